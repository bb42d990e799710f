#pragma once
// TAutoTRackFrame: the docked tracking frame. It places tracking points on
// the active document, keeps their list, runs the automatic tracking one
// frame per timer tick through the main window's transport, asks the run's
// questions in its message panel, positions the current point finely in its
// zoom view, and reaches the results (graphs, CSV, spreadsheet).
//
// The points belong to the document (VideoDocument::TrackingPoints); the
// frame holds only what a docked frame needs and may be closed and docked
// again at any time. Markers are drawn by the document view's marker
// layer; the frame's view tool handles placing, picking and dragging them.

#include "common/Rational.h"
#include "graphs/Channel.h"
#include "tracking/engine/TrackingEngine.h"
#include "tracking/engine/TrackingExport.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

class PaintGate;
class QButtonGroup;
class QComboBox;
class QFrame;
class QLabel;
class QMenu;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTimer;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;
class TQORVideo;
class TrackingViewTool;
class TrackingZoomView;
class VideoDocument;

class TAutoTRackFrame : public QWidget, private TrackingDriver {
    Q_OBJECT
public:
    explicit TAutoTRackFrame(QWidget* parent = nullptr);
    ~TAutoTRackFrame() override;

    // --- What the main window gives the frame
    // The document the frame works on (the active one; may be null).
    void SetVideo(TQORVideo* video);
    TQORVideo* Video() const;
    // Moves the common time (every document, the slider); without it the
    // frame loads the document's frames itself.
    std::function<void(const Rational&)> SetCommonTime;
    // The marked range of the common time axis (in, out); without it the
    // run covers the whole recording.
    std::function<std::pair<Rational, Rational>()> MarkedRange;
    // Message boxes: `question` true asks (OK/Yes and Cancel) and returns the
    // answer; otherwise it informs and returns true. Tests replace it.
    std::function<bool(const QString& text, bool question)> MessageBox;
    // Save dialogs of the results page: the chosen path or empty.
    std::function<QString(const QString& caption, const QString& filter, const QString& suffix)> SaveFileName;
    // Opens a written spreadsheet with the desktop's application; false when
    // the desktop has none for it.
    std::function<bool(const QString& path)> OpenDocument;

    // --- State, for the main window and tests
    TrackingEngine* Engine() const { return m_engine.get(); }
    TTrackingPoint* CurrentPoint() const { return m_engine ? m_engine->CurrentPoint() : nullptr; }
    bool IsRunning() const { return m_engine && m_engine->Running(); }
    bool WaitingForUser() const { return m_engine && m_engine->WaitingForUser(); }
    TrackingZoomView* ZoomView() const { return ImageZoomView; }
    TrackingViewTool* Tool() const;
    // The active document's measurement origin (image pixels).
    QPointF Origin() const;
    bool HasOrigin() const;

    // --- Operations of the frame (the controls call these)
    void PlaceArmed(int method, bool down);      // a placement button went down or up
    void PickReport(int code, QPointF imagePoint); // 16 new point, 17 refresh, 29 origin
    void AutoTrackClicked(bool down);
    void SelectOnly(int index);
    void SyncSelection();
    void ShowPoint(TTrackingPoint* point);
    void ConfirmClicked();
    void UndoClicked();
    void SettingsClicked();
    void ZoomIn();
    void ZoomOut();
    void ToggleEnabledClicked();
    void SetMode(PointMode mode);
    void SetMethod(uint8_t method);
    void DeletePointsClicked();
    void DeleteDataClicked();
    void MarkerClicked(TTrackingPoint* point, Qt::KeyboardModifiers modifiers);
    void RenamePoint(int index, const QString& name);
    // Results page.
    void PlotClicked(KinematicsQuantity quantity);
    void ExportCsvClicked();
    void ExportSpreadsheetClicked();

    // The controls by their form names (tests and accessibility use them).
    QTabWidget* PageControl1 = nullptr;
    QComboBox* ZoomComboEx = nullptr;
    TrackingZoomView* ImageZoomView = nullptr;
    QToolButton* btnTrackPoints = nullptr;
    QToolButton* ToolButton1 = nullptr;
    QToolButton* ToolButton2 = nullptr;
    QToolButton* ToolButton3 = nullptr;
    QToolButton* ToolButton4 = nullptr;
    QToolButton* DeletePointBut = nullptr;
    QToolButton* DeleteDataBut = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QToolButton* ZoomInBut = nullptr;
    QToolButton* ZoomOutBut = nullptr;
    QComboBox* ZoomZoomCombo = nullptr;
    QToolButton* ToolButton49 = nullptr;
    QToolButton* ToolButton50 = nullptr;
    QToolButton* TRackTargetBut = nullptr;
    QToolButton* AutoModeBut = nullptr;
    QToolButton* Semimodebut = nullptr;
    QToolButton* ManModebut = nullptr;
    QTreeWidget* ListView1 = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QFrame* PanelMessage = nullptr;
    QLabel* LabelMessage = nullptr;
    QLabel* TrackingFrameNumberLabel = nullptr;
    QLabel* ThreshLabel = nullptr;
    QLabel* Trackingpercentlabel = nullptr;
    QProgressBar* Trackingprogressbar = nullptr;
    QTimer* MakeIdleTimer = nullptr;
    QPushButton* BitBtn3 = nullptr;
    QPushButton* BitBtn4 = nullptr;
    QPushButton* BitBtn5 = nullptr;
    QPushButton* BitBtn6 = nullptr;
    QPushButton* BitBtn9 = nullptr;
    QToolButton* ToolButton5 = nullptr;
    QToolButton* ToolButton6 = nullptr;
    QToolButton* ToolButton9 = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    QRadioButton* YdirDefRadio = nullptr;
    QRadioButton* YdirInvRadio = nullptr;
    QLabel* OriginST = nullptr;
    QPushButton* BitBtn7 = nullptr;
    QPushButton* ToExcelBut = nullptr;

signals:
    // A result button: plot these channels in a new graph window.
    void plotRequested(std::vector<TABChannel> channels);

private:
    // TrackingDriver
    const Frame* FrameAt(int frameNumber) override;
    void Report(const RunPanel& panel) override;
    void PointStatusChanged(int pointIndex, PointStatus status) override;
    void PointsRefreshed() override;
    void SelectionChanged() override;
    void ScheduleTick() override;
    void RunStopped(StopReason reason) override;

    void buildControls();
    QWidget* buildTrackingPage();
    QWidget* buildResultsPage();
    void connectControls();

    VideoDocument* document() const;
    TrackingPointList* points() const;
    void setRecordingAndRange();
    // Shows the document's origin and Y direction on the results page and the view.
    void showOrigin();
    void frameLoaded();
    void followDocument();
    void timerTick();
    // While a run goes from frame to frame the windows are not painted for
    // every frame (see PaintGate).
    void holdPainting(bool hold);
    void refreshHeld();
    void rebuildList();
    void updateRow(int index);
    void syncListSelection();
    void listSelectionChanged();
    void listContextMenu(const QPoint& at);
    void zoomComboChanged(int index);
    void raisePlacementButtons();
    void dragStarted(TTrackingPoint* point, QPointF centre);
    void dragMoved(TTrackingPoint* point, QPointF centre);
    void dragEnded(TTrackingPoint* point, QPointF centre);
    void zoomCrossPressed();
    void zoomPositioned(QPointF imagePoint);
    void refreshView();
    void enableResultButtons(bool on);
    void showMessage(const QString& text) { MessageBox(text, false); }
    bool ask(const QString& text) { return MessageBox(text, true); }
    // What the results need of the document and of the results page.
    TrackingExportInfo exportInfo() const;

    QPointer<TQORVideo> m_video;
    std::unique_ptr<TrackingEngine> m_engine;
    QPointer<TrackingViewTool> m_tool;
    QButtonGroup* m_placeGroup = nullptr;
    bool m_updating = false;          // list and combo events are ignored meanwhile
    bool m_tickRunning = false;       // ticks scheduled from a tick follow at once
    QMetaObject::Connection m_frameConnection;
    QMetaObject::Connection m_closingConnection;
    QMetaObject::Connection m_destroyedConnection;
    QElapsedTimer m_shown;            // since the windows were last painted in a run
    PaintGate* m_paintGate = nullptr;
    bool m_refreshHeld = false;       // a refresh waits for the next paint
    std::optional<RunPanel> m_heldPanel;
    bool m_frameHeld = false;         // the document window waits to show the run's frame
    std::unordered_map<const TTrackingPoint*, PointStatus> m_statuses;
    Qt::KeyboardModifiers m_lastMarkerShift;
};
