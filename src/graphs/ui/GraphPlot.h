#pragma once
// The plot of a graph window: one line per channel on stacked axis rects
// grouped by unit (GroupAxesByUnit), null samples as gaps, the time cursor
// on a layer of its own, zooming, axis settings that survive rebuilds, and
// the image writers. The command-line tool renders through this same class.

#include "graphs/Channel.h"

#include <qcustomplot.h>

#include <QMap>
#include <QString>
#include <vector>

class GraphPlot : public QCustomPlot {
    Q_OBJECT
public:
    // The cursor shapes of the window's three buttons.
    enum class CursorShape { Line = 1, Cross = 2, Square = 3 };

    explicit GraphPlot(QWidget* parent = nullptr);

    // Replaces everything plotted by `channels` (in graph order). Axis ranges
    // set by hand and axis labels typed by the user are kept; other ranges
    // follow the data. `keepXRange` leaves the X range as it is.
    void Rebuild(const std::vector<TABChannel>& channels, const QString& title, bool keepXRange);
    void SetTitle(const QString& title);

    // Which channel a plottable draws (-1: none of ours).
    int ChannelOf(const QCPAbstractPlottable* plottable) const;
    // The Y axis rect a channel is on, and how many there are.
    int AxisOfChannel(int channel) const;
    int AxisRectCount() const { return int(m_rects.size()); }

    // The cursor: marks sample `sample` of channel `channel`, drawn at (x, y)
    // (the sample's X and shown Y; NaN y for a gap), and repaints only the
    // cursor layer.
    void SetCursorShape(CursorShape shape);
    CursorShape cursorShape() const { return m_cursorShape; }
    void ShowCursor(int channel, int sample, double x, double y);
    void HideCursor();
    int CursorChannel() const { return m_cursorChannel; }
    int CursorSample() const { return m_cursorSample; }
    // Where the cursor is in plot coordinates (NaN when hidden).
    QPointF CursorPoint() const { return m_cursorPoint; }

    // Rubber-band zoom ("Enable Zoom"), dragging and wheel zoom ("Zoom
    // Scrolling"), and back to the ranges of the data ("Undo Zoom").
    void SetZoomEnabled(bool on);
    void SetZoomScrolling(bool on);
    void UndoZoom();

    // Axis settings as the axis dialog edits them. Keys: "x", "y<i>" and
    // "ry<i>" for the left and right scales of axis rect i.
    struct AxisSetting {
        bool manual = false;
        double minimum = 0;
        double maximum = 0;
        QString label;
    };
    QString AxisKey(const QCPAxis* axis) const;
    AxisSetting CurrentAxisSetting(const QString& key) const;
    void ApplyAxisSetting(const QString& key, const AxisSetting& setting);
    // Labels set by the program (a cross plot names its axes).
    void SetAxisLabel(const QString& key, const QString& label);
    QString AxisLabel(const QString& key) const;
    void SetXAutomatic();

    // The plot as a picture, with a legend of the channels when it has
    // several (the window shows its legend beside the plot), without the
    // time cursor.
    QPixmap ImageForExport(int width, int height);
    // Writes the plot as PNG, PDF or SVG (by the file's extension) at
    // width x height pixels. False with a message when it cannot.
    bool SaveImage(const QString& path, int width, int height, QString* error);

    // The full replot is due (buffers invalid): a layer replot would not do.
    bool NeedsFullReplot() { return hasInvalidatedPaintBuffers(); }

private:
    QCPAxis* axisFor(const QString& key) const;
    void rescaleAuto();
    void syncX(const QCPRange& range);
    void placeCursor();
    // Shows the legend (when there are several channels) and hides the
    // cursor while alive.
    struct ExportLegend {
        explicit ExportLegend(GraphPlot* plot);
        ~ExportLegend();
        GraphPlot* plot;
    };

    struct Rect {
        QCPAxisRect* rect = nullptr;
        QCPItemStraightLine* line = nullptr;
        QCPItemTracer* tracer = nullptr;
    };
    std::vector<Rect> m_rects;
    std::vector<QCPAbstractPlottable*> m_plottables; // per channel
    std::vector<int> m_channelAxis;                  // per channel
    QCPTextElement* m_title = nullptr;
    QCPLegend* m_legend = nullptr; // shown in exported pictures only
    QCPMarginGroup* m_margins = nullptr;
    QMap<QString, AxisSetting> m_userAxes; // set through the axis dialog
    QMap<QString, QString> m_labels;       // set by the program
    CursorShape m_cursorShape = CursorShape::Line;
    int m_cursorChannel = -1;
    int m_cursorSample = -1;
    QPointF m_cursorPoint{qQNaN(), qQNaN()};
    bool m_zoomScrolling = false;
    bool m_syncing = false;
};
