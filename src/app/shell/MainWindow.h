#pragma once
// TQorMain: the program's frame. It opens recordings into document windows
// and connects the three parts of its right-hand panel: the transport
// controls (ControlPanel), the common time axis (PlaybackController) and the
// tool dock (ToolDock).

#include "app/settings/Settings.h"
#include "app/shell/AnalysisKeeper.h"
#include "app/shell/ToolDock.h"
#include "app/transport/PlaybackController.h"
#include "graphs/Channel.h"

#include <QList>
#include <QMainWindow>
#include <utility>

class ControlPanel;
class TABgraph;
class TQORVideo;
class VideoDocument;

class TQorMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TQorMain(QWidget* parent = nullptr);
    ~TQorMain() override;

    // The tool kinds, as TQorMain::BrightnessTool and so on.
    using enum ToolKind;

    // Opens each file in order; a missing file is reported by name and the
    // others still open.
    void OpenFiles(const QStringList& fileNames);
    // Opens one recording in a new document window; false when it failed.
    bool OpenInNewWindow(const QString& fileName);
    void ActivateVideo(TQORVideo* video);
    // File ▸ Close: closes the active document's window.
    void CloseActiveVideo();
    // File ▸ Save Analysis: writes the active document's work beside its
    // recording; false when there is none or it cannot be written.
    bool SaveAnalysis();
    AnalysisKeeper& Analyses() { return m_analyses; }
    // The marks of the common axis as frames of a document (not set while
    // they cover the whole range).
    AnalysisMarks MarksFor(const TQORVideo* video) const;
    // File ▸ Recording rate...: asks for the active recording's rate.
    void AskRecordingRate();
    // Re-times a recording without its own time base and moves the common
    // axis with it; false when the recording keeps its own rate.
    bool SetRecordingRate(TQORVideo* video, int framesPerSecond, int timeZeroFrame);

    // Transport (the same as the buttons).
    void SetTime(const Rational& seconds);
    void Step(bool backward);
    void Play(int direction);
    void StopPlayback();

    // Opens a new graph window with the channels (the tracking results
    // buttons, drops of files); it follows the common time.
    TABgraph* PlotChannels(std::vector<TABChannel> channels);

    // Window ▸ Fix Locations.
    void FixLocations();

    PlaybackController& Playback() { return *m_playback; }
    // Where the k-th new document window goes when no place is stored:
    // inside `area`, sized to fit it, 24 px further right and down for each
    // of the last ten, never beyond the area (so never over the controls);
    // a window that cannot shrink below `minimum` moves left or up instead.
    static QRect CascadePlace(const QRect& area, int k, const QSize& preferred, const QSize& minimum);
    ControlPanel& Controls() { return *m_controls; }
    ToolDock& Tools() { return *m_tools; }
    int DockedKind() const { return m_tools->DockedKind(); }
    QWidget* DockedFrame() const { return m_tools->DockedFrame(); }
    void PressToolButton(int kind, bool down) { m_tools->PressToolButton(kind, down); }

    TQORVideo* ActiveVideo = nullptr;
    QList<TQORVideo*> VideoWindows;
    QList<TABgraph*> GraphWindows;

    bool PanMode = false;
    WindowPlaceList WindowPlaces;
    TQORPregistry Prefs;
    DefaultFontInfo DefaultFont;
    QString VersionText;

    // Messages that start-up wanted to show (shown once the window is up).
    QStringList StartupMessages;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void buildMenus();
    QWidget* buildRightPanel();
    void connectControls();
    void openDialog();
    void saveAs();
    void showPreferences();
    void showAbout();
    void documentClosing(TQORVideo* video);
    void documentsChanged();
    void broadcastTime(const Rational& seconds);
    void showTransport();

    SettingsStore m_store;
    AnalysisKeeper m_analyses{this};
    PlaybackController* m_playback = nullptr;
    QWidget* m_pictureArea = nullptr; // left of the control panel
    // The picture area in screen coordinates, where new documents go.
    QRect PictureArea() const;
    // The marks of the common axis as frames of a document, inside its recording.
    std::pair<int, int> MarkedFrames(const VideoDocument& doc) const;
    ControlPanel* m_controls = nullptr;
    ToolDock* m_tools = nullptr;
    TQORVideo* m_justOpened = nullptr; // until the axis has taken it in
};
