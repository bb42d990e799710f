#pragma once
// TABgraph: a graph window. It plots its channels (GraphPlot), lists the
// samples of one channel, shows a read-out of every channel at the common
// time, and hosts the editing operations (drag and drop between graph
// windows, cross plot, trash can, invert, rescale, axis dialog, CFC filter)
// and the exports (T/HIS, spreadsheet, images).
//
// The window owns its channels. It asks for a new common time through
// timeRequested (a click on a data point); the main window answers by
// calling ShowCursorAt on every graph window.

#include "graphs/Channel.h"
#include "graphs/ui/GraphPlot.h"

#include <QWidget>
#include <vector>

class QFrame;
class QLabel;
class QTabWidget;
class QTableView;
class QToolButton;
class QVBoxLayout;
class ChannelListModel;
class LegendBox;

class TABgraph : public QWidget {
    Q_OBJECT
public:
    // `owner` is the main window: the graph stays in front of it.
    explicit TABgraph(QWidget* owner = nullptr);
    ~TABgraph() override;

    // The graph takes the channel: it gets its colour, the channels are
    // sorted by unit and title, and the plot is rebuilt.
    void AddChannel(TABChannel channel);
    // Several at once, rebuilding once.
    void AddChannels(std::vector<TABChannel> channels);
    void RemoveChannel(int index);
    void RebuildGraph();
    void ShowChannelList(int index);
    // The time cursor and the read-outs at the common time t (seconds).
    void ShowCursorAt(double t);

    // Graph defaults: the window's size and cursor shape, and the plot's
    // look; a new window takes them before its first channel.
    void LoadGraphDefaults();

    const std::vector<TABChannel>& Channels() const { return m_channels; }
    GraphPlot* Plot() const { return m_plot; }
    QString MainTitle() const;
    // Replaces the caption and main title (the command line's --title).
    void SetMainTitle(const QString& title);
    bool CrossPlotted() const { return m_crossPlotted; }
    int SelectedCount() const;
    bool IsSelected(int index) const;
    // A legend box press: the left button selects only this channel, the
    // others add it to or take it from the selection. The channel becomes
    // the one the cursor follows.
    void PressLegend(int index, Qt::MouseButton button);
    QString ReadoutY(int index) const;
    QString ReadoutX(int index) const;
    ChannelListModel* ListModel() const { return m_listModel; }
    int ListedChannel() const;

    // Editing (the toolbar buttons). They act on the only channel, or on the
    // selected channels when there are several.
    void Invert();
    void ApplyCfcClass(int cfc);
    void Rescale();
    void SetCursorShape(GraphPlot::CursorShape shape);

    // Drag and drop: what a drop of `sender`'s selected channels does here.
    // A left drag copies them, a right drag cross-plots; a drop on its own
    // graph is refused.
    void DropFrom(TABgraph* sender, bool rightDrag);
    // A drop on this window's trash can: a one-channel graph closes, else
    // the first selected channel goes.
    void DropOnTrash(TABgraph* sender);
    // Cross plot: this graph's only channel against `sender`'s. False (after
    // the message) when refused.
    bool CrossPlot(TABgraph* sender);

    // Exports.
    void ExportThis();
    void ExportSpreadsheet();
    void CopyImageToClipboard();
    void ExportGraph();

    // The live graph windows (for drops between them).
    static const std::vector<TABgraph*>& LiveWindows();

signals:
    // A data point was clicked: the common time should become `seconds`.
    void timeRequested(double seconds);
    // Sent while closing, before the window goes.
    void closing(TABgraph* window);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildToolBar();
    QWidget* buildGraphPage();
    QWidget* buildListPage();
    void afterChannelsChanged();
    void rebuildLegend();
    void showTitles();
    void startChannelDrag(Qt::MouseButton button);
    void dataPointClicked(QCPAbstractPlottable* plottable, int dataIndex, QMouseEvent* event);
    void axisDoubleClicked(QCPAxis* axis);
    std::vector<int> targetChannels() const; // the only one, or the selected ones
    void chooseListFont();

    std::vector<TABChannel> m_channels;
    std::vector<LegendBox*> m_legend;
    std::vector<QFrame*> m_listBoxes;
    bool m_crossPlotted = false;
    int m_maxPoints = -1;
    int m_dataDecimals = 2;
    bool m_zoomEnabled = false;
    bool m_rightDrag = false;
    double m_lastTime = qQNaN();
    int m_cursorChannel = 0; // the channel the cursor follows

    GraphPlot* m_plot = nullptr;
    QTabWidget* m_pages = nullptr;
    QWidget* m_legendPanel = nullptr;
    QVBoxLayout* m_legendLayout = nullptr;
    QLabel* m_trashCan = nullptr;
    QLabel* m_chanLabel = nullptr;
    QTableView* m_table = nullptr;
    ChannelListModel* m_listModel = nullptr;
    QWidget* m_listBoxPanel = nullptr;
    QVBoxLayout* m_listBoxLayout = nullptr;
    QToolButton* m_cursorButtons[3] = {};
    QPoint m_pressPos;
    bool m_dragArmed = false;
    bool m_dragEnding = false; // the release after a channel drag is no click on a sample
};
