#pragma once
// TQorMain: the program's frame. It opens recordings into document windows,
// keeps the common time axis and the play controls, and docks at most one
// tool frame at a time in its DockPanel.

#include "app/settings/Settings.h"
#include "app/transport/PlaybackTransport.h"
#include "app/transport/TimeAxis.h"

#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <functional>

class QAbstractButton;
class QButtonGroup;
class QLabel;
class QLineEdit;
class QSpinBox;
class QTimer;
class QToolButton;
class QVBoxLayout;
class RangeSlider;
class TQORVideo;
class VideoDocument;

class TQorMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TQorMain(QWidget* parent = nullptr);
    ~TQorMain() override;

    // Opens each file in order; a missing file is reported by name and the
    // others still open.
    void OpenFiles(const QStringList& fileNames);
    // Opens one recording in a new document window; false when it failed.
    bool OpenInNewWindow(const QString& fileName);
    void ActivateVideo(TQORVideo* video);
    void CloseToolFrames();
    void UpdateCameraSettingsButton();
    void NotifyPicks();
    void PassTrackingPick(QPointF imagePoint);
    void NudgeBrightness(bool up);

    // Transport.
    void SetTime(float seconds);
    void BroadcastTime(float seconds);
    void UpdateSlider();
    void UpdateSliderRange();
    void Step(bool backward);
    void Play(int direction);
    void StopPlayback();
    void SetPlaySpeed(int framesPerSecond);

    // "Zoom Area" and "Zoom Watch" raise the "Pan" button.
    void RaisePanButton();

    // Window ▸ Fix Locations.
    void FixLocations();

    TQORVideo* ActiveVideo = nullptr;
    QList<TQORVideo*> VideoWindows;
    QList<QWidget*> GraphWindows;

    // CommonTime, InTime, OutTime, TimeStep, the range and the play state.
    PlaybackTransport Transport;
    TimeRange Range;                  // RangeStartTime .. RangeEndTime, only widening
    bool SliderUpdating = false;
    bool PanMode = false;
    WindowPlaceList WindowPlaces;
    TQORPregistry Prefs;
    DefaultFontInfo DefaultFont;
    QString VersionText;

    // Messages that start-up wanted to show (shown once the window is up).
    QStringList StartupMessages;

    // The kind of the docked tool frame, or -1.
    int DockedKind() const { return m_dockedKind; }
    QWidget* DockedFrame() const { return m_dockedFrame; }
    // Presses (or raises) a tool button by its kind, as the user would.
    void PressToolButton(int kind, bool down);

    // Indices of the grouped tool buttons.
    enum ToolKind {
        ZoomTool, SvfTool, BrightnessTool, ContrastTool, GammaTool, RgbTool, HueSatTool,
        RotateTool, AnnotateTool, LogoTool, CalibrateTool, TrackTool, ToolCount
    };

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void buildMenus();
    QWidget* buildRightPanel();
    QWidget* buildPlayBar();
    QWidget* buildSliderPanel();
    QWidget* buildSpeedBar();
    QWidget* buildToolBar();
    void openDialog();
    void saveAs();
    void showPreferences();
    void showAbout();
    void toolButtonClicked(int kind);
    void dockFrame(int kind);
    void refreshDockedFrame();
    void showHistogramsInDockedFrame();
    void timerTick();
    void documentClosing(TQORVideo* video);
    void setLoopImages(bool loop);
    void markIn();
    void markOut();
    void sliderPositionChanged();
    void sliderInChanged(int tick);
    void sliderOutChanged(int tick);
    void setLamp(bool lit);
    void recomputeTimeStep();
    void syncRange();

    SettingsStore m_store;
    QTimer* m_playTimer = nullptr;
    RangeSlider* m_slider = nullptr;
    QLineEdit* m_inEdit = nullptr;
    QLineEdit* m_curTimeEdit = nullptr;
    QLineEdit* m_outEdit = nullptr;
    QSpinBox* m_playSpeed = nullptr;
    QLabel* m_lamp = nullptr;
    QToolButton* m_playBackward = nullptr;
    QToolButton* m_playForward = nullptr;
    QToolButton* m_toolButtons[ToolCount] = {};
    QToolButton* m_panButton = nullptr;
    QButtonGroup* m_toolGroup = nullptr;
    QWidget* m_dockPanel = nullptr;
    QVBoxLayout* m_dockLayout = nullptr;
    QPointer<QWidget> m_dockedFrame;
    int m_dockedKind = -1;
};
