#include "tracking/ui/AutoTrackFrame.h"

#include "common/NumberFormat.h"
#include "common/Rounding.h"
#include "document/VideoDocument.h"
#include "document/ui/ImageView.h"
#include "document/window/VideoWindow.h"
#include "tracking/engine/TrackingTexts.h"
#include "tracking/ui/AdjustParamForm.h"
#include "tracking/ui/PaintGate.h"
#include "tracking/ui/TrackingIcons.h"
#include "tracking/ui/TrackingViewTool.h"
#include "tracking/ui/TrackingZoomView.h"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QProgressBar>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QUrl>
#include <algorithm>
#include <cmath>

namespace {

// The list row's own data: what its pictures show, so a refresh sets
// only what changed.
constexpr int RowState = Qt::UserRole + 1;

int RowStateOf(const TTrackingPoint& p)
{
    return int(p.Method()) | int(p.Mode) << 4 | int(p.Enabled) << 8;
}

QColor FromBgr(uint32_t c)
{
    return QColor(int(c & 0xff), int((c >> 8) & 0xff), int((c >> 16) & 0xff));
}

} // namespace

TAutoTRackFrame::TAutoTRackFrame(QWidget* parent)
    : QWidget(parent)
{
    MessageBox = [this](const QString& text, bool question) {
        if (!question) {
            QMessageBox::information(this, QStringLiteral("Qor Player"), text);
            return true;
        }
        return QMessageBox::question(this, QStringLiteral("Qor Player"), text, QMessageBox::Ok | QMessageBox::Cancel)
               == QMessageBox::Ok;
    };
    SaveFileName = [this](const QString& caption, const QString& filter, const QString& suffix) {
        QFileDialog dialog(this, caption, QString(), filter);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(suffix);
        return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty() ? dialog.selectedFiles().front()
                                                                                        : QString();
    };
    OpenDocument = [](const QString& path) { return QDesktopServices::openUrl(QUrl::fromLocalFile(path)); };
    m_paintGate = new PaintGate(this);
    buildControls();
    connectControls();
    enableResultButtons(false);
}

TAutoTRackFrame::~TAutoTRackFrame()
{
    // Closing the frame ends a run; the points stay with the document.
    if (m_engine && (m_engine->Running() || m_engine->InTick()))
        m_engine->StopRun();
    MakeIdleTimer->stop();
    holdPainting(false);
    if (m_video && m_tool)
        m_video->view()->removeTool(m_tool);
    delete m_tool;
    if (m_video)
        m_video->view()->trackingPointsChanged();
}

TQORVideo* TAutoTRackFrame::Video() const
{
    return m_video;
}

TrackingViewTool* TAutoTRackFrame::Tool() const
{
    return m_tool;
}

VideoDocument* TAutoTRackFrame::document() const
{
    return m_video ? m_video->document() : nullptr;
}

TrackingPointList* TAutoTRackFrame::points() const
{
    return m_video ? &m_video->document()->TrackingPoints() : nullptr;
}

// ---------------------------------------------------------------- the document

void TAutoTRackFrame::SetVideo(TQORVideo* video)
{
    if (video == m_video && (m_engine || !video))
        return;
    if (m_engine && (m_engine->Running() || m_engine->InTick()))
        m_engine->StopRun();
    MakeIdleTimer->stop();
    disconnect(m_closingConnection);
    disconnect(m_destroyedConnection);
    if (m_video) {
        holdPainting(false);
        disconnect(m_frameConnection);
        if (m_tool)
            m_video->view()->removeTool(m_tool);
        m_video->view()->trackingPointsChanged();
    }
    delete m_tool;
    m_tool = nullptr;
    m_engine.reset();
    m_statuses.clear();
    m_video = video;
    raisePlacementButtons();
    SpeedButton1->setChecked(false);
    setEnabled(video != nullptr);
    if (!video) {
        rebuildList();
        return;
    }

    VideoDocument* doc = video->document();
    TrackingDriver& driver = *this;
    m_engine = std::make_unique<TrackingEngine>(doc->TrackingPoints(), driver);
    m_engine->SetZoomViewWidth(ImageZoomView->width());
    setRecordingAndRange();
    m_engine->FrameChanged(doc->FrameAtTime(doc->CurrentTime), &doc->DisplayBitmap);
    m_frameConnection = connect(doc, &VideoDocument::frameLoaded, this, [this] { frameLoaded(); });
    // The document goes: the run ends while its points are still there.
    m_closingConnection = connect(video, &TQORVideo::closing, this, [this](TQORVideo* v) {
        if (v == m_video)
            SetVideo(nullptr);
    });
    m_destroyedConnection = connect(video, &QObject::destroyed, this, [this] {
        MakeIdleTimer->stop();
        m_engine.reset();
        rebuildList();
    });

    m_tool = new TrackingViewTool(video->view(), &doc->TrackingPoints());
    connect(m_tool, &TrackingViewTool::placeRequested, this, [this](QPointF p) { PickReport(16, p); });
    connect(m_tool, &TrackingViewTool::originPicked, this, [this](QPointF p) { PickReport(29, p); });
    connect(m_tool, &TrackingViewTool::markerClicked, this,
            [this](TTrackingPoint* p) { MarkerClicked(p, QGuiApplication::keyboardModifiers()); });
    connect(m_tool, &TrackingViewTool::markerPressed, this,
            [this](TTrackingPoint*, Qt::KeyboardModifiers m) { m_lastMarkerShift = m; });
    connect(m_tool, &TrackingViewTool::dragStarted, this, [this](TTrackingPoint* p, QPointF c) { dragStarted(p, c); });
    connect(m_tool, &TrackingViewTool::dragMoved, this, [this](TTrackingPoint* p, QPointF c) { dragMoved(p, c); });
    connect(m_tool, &TrackingViewTool::dragEnded, this, [this](TTrackingPoint* p, QPointF c) { dragEnded(p, c); });
    showOrigin();
    video->view()->setTool(m_tool);

    rebuildList();
    enableResultButtons(!doc->TrackingPoints().isEmpty());
    PageControl1->setCurrentIndex(0);
    SyncSelection();
}

QPointF TAutoTRackFrame::Origin() const
{
    const VideoDocument* doc = document();
    return doc ? QPointF(doc->Origin.X, doc->Origin.Y) : QPointF();
}

bool TAutoTRackFrame::HasOrigin() const
{
    const VideoDocument* doc = document();
    return doc && doc->Origin.HasOrigin;
}

void TAutoTRackFrame::showOrigin()
{
    const VideoDocument* doc = document();
    if (!doc)
        return;
    const MeasurementOrigin& origin = doc->Origin;
    OriginST->setText(origin.HasOrigin ? QStringLiteral("X: %1:: Y: %2").arg(FormatFixed(origin.X, 7, 2), FormatFixed(origin.Y, 7, 2))
                                       : QStringLiteral("X : 0; Y : 0 "));
    (origin.YDir == YDirection::Up ? YdirDefRadio : YdirInvRadio)->setChecked(true);
    if (m_tool)
        m_tool->setOrigin(origin.HasOrigin ? std::optional<QPointF>(Origin()) : std::nullopt);
}

void TAutoTRackFrame::setRecordingAndRange()
{
    VideoDocument* doc = document();
    if (!doc || !m_engine)
        return;
    const RecordingInfo& info = doc->Info;
    TrackingRecording recording;
    recording.FirstFrame = info.FirstFrame;
    recording.FrameCount = info.LastFrame - info.FirstFrame + 1;
    recording.TimeZeroFrame = info.TimeZeroFrame;
    recording.FrameRate = info.FrameRate;
    recording.FrameWidth = doc->FrameBitmap.width();
    recording.FrameHeight = doc->FrameBitmap.height();
    m_engine->SetRecording(recording);
    int first = info.FirstFrame;
    int last = info.LastFrame;
    if (MarkedRange) {
        const auto [in, out] = MarkedRange();
        first = std::clamp(doc->FrameAtTime(in), info.FirstFrame, info.LastFrame);
        last = std::clamp(doc->FrameAtTime(out), info.FirstFrame, info.LastFrame);
        if (last < first)
            std::swap(first, last);
    }
    doc->Info.RangeFirst = first;
    doc->Info.RangeLast = last;
    m_engine->SetRange(first, last, first, last);
}

void TAutoTRackFrame::followDocument()
{
    // Only when the engine missed a frame change: a refresh would put
    // points the user moved back on their stored places.
    VideoDocument* doc = document();
    const int frame = doc->FrameAtTime(doc->CurrentTime);
    if (m_engine->CurrentFrame() != frame || m_engine->Working() != &doc->DisplayBitmap)
        m_engine->FrameChanged(frame, &doc->DisplayBitmap);
}

void TAutoTRackFrame::frameLoaded()
{
    // The user (or another tool) moved the document; during a run the run
    // has loaded the frame itself and the engine refuses this.
    VideoDocument* doc = document();
    if (!doc || !m_engine)
        return;
    m_engine->FrameChanged(doc->FrameAtTime(doc->CurrentTime), &doc->DisplayBitmap);
}

// ---------------------------------------------------------------- TrackingDriver

const Frame* TAutoTRackFrame::FrameAt(int frameNumber)
{
    VideoDocument* doc = document();
    if (!doc)
        return nullptr;
    {
        // Between the paints of a run the document window is not handed
        // every frame (a copy of the whole picture each) and its view draws
        // none of them; it shows the current one when the run paints.
        const bool held = m_paintGate->holding();
        const QSignalBlocker quiet(held ? doc : nullptr);
        m_frameHeld = m_frameHeld || held;
        m_video->HoldView(held);
        if (SetCommonTime)
            SetCommonTime(doc->TimeOfFrame(frameNumber));
        m_video->HoldView(false);
    }
    if (doc->FrameAtTime(doc->CurrentTime) != frameNumber || doc->Info.CurrentFrame != frameNumber)
        doc->LoadFrame(frameNumber);
    if (doc->IsOutsideRecording() || !doc->FrameReadError.isEmpty())
        return nullptr;
    return &doc->DisplayBitmap;
}

void TAutoTRackFrame::Report(const RunPanel& panel)
{
    // Frame by frame the panel is brought up to date when it is painted.
    if (m_paintGate->holding() && !panel.waitingForUser) {
        m_heldPanel = panel;
        m_refreshHeld = true;
        return;
    }
    m_heldPanel.reset();
    const TrackingPointList* list = points();
    const QString name = list && panel.pointIndex >= 0 && panel.pointIndex < list->size()
                             ? list->at(panel.pointIndex)->Name
                             : QString();
    QPalette palette = PanelMessage->palette();
    palette.setColor(QPalette::Window, FromBgr(PanelColour(panel.kind)));
    PanelMessage->setPalette(palette);
    LabelMessage->setText(PanelMessageText(panel.kind, name));
    ThreshLabel->setText(PanelScoreText(panel));
    TrackingFrameNumberLabel->setText(PanelFrameText(panel));
    Trackingpercentlabel->setText(PanelPercentText(panel));
    Trackingprogressbar->setValue(panel.percent);
    PanelMessage->show();
}

void TAutoTRackFrame::PointStatusChanged(int pointIndex, PointStatus status)
{
    const TrackingPointList* list = points();
    if (!list || pointIndex < 0 || pointIndex >= list->size())
        return;
    m_statuses[list->at(pointIndex)] = status;
    if (QTreeWidgetItem* item = ListView1->topLevelItem(pointIndex)) {
        const QString text = PointStatusText(status);
        if (item->text(5) != text) {
            const bool was = m_updating;
            m_updating = true;
            item->setText(5, text);
            m_updating = was;
        }
    }
}

void TAutoTRackFrame::PointsRefreshed()
{
    refreshView();
}

void TAutoTRackFrame::SelectionChanged()
{
    syncListSelection();
    TTrackingPoint* current = CurrentPoint();
    const bool one = current != nullptr;
    ImageZoomView->setVisible(one);
    const bool was = m_updating;
    m_updating = true;
    const int index = one ? points()->indexOf(current) + 1 : 0;
    ZoomComboEx->setCurrentIndex(index);
    m_updating = was;
    if (one)
        ShowPoint(current);
    if (m_video)
        m_video->view()->trackingPointsChanged();
}

void TAutoTRackFrame::ScheduleTick()
{
    // The next frame follows at once; the first frame of a run, and the run
    // going on after the user's answer, wait half a second.
    MakeIdleTimer->start(m_tickRunning ? 0 : 500);
}

void TAutoTRackFrame::RunStopped(StopReason)
{
    MakeIdleTimer->stop();
    holdPainting(false);
    btnTrackPoints->setChecked(false);
    btnTrackPoints->setText(QStringLiteral("Auto Track"));
    PanelMessage->hide();
    refreshView();
}

void TAutoTRackFrame::timerTick()
{
    if (!m_engine)
        return;
    m_tickRunning = true;
    const TickOutcome outcome = m_engine->OnTimerTick();
    m_tickRunning = false;
    if (outcome == TickOutcome::NextFrame) {
        // Painting the picture and the controls costs more than reading and
        // searching a frame: while the run goes from frame to frame, what
        // changed is painted five times a second. Input is handled between
        // all frames.
        holdPainting(true);
        if (!m_shown.isValid() || m_shown.elapsed() >= 250) {
            m_shown.start();
            refreshHeld();
            m_paintGate->paintHeld();
        }
    } else {
        holdPainting(false);
    }
    switch (outcome) {
    case TickOutcome::NoPoints:
        showMessage(StartRefusalText(StartOutcome::NoPoints));
        break;
    case TickOutcome::StepLimit:
    case TickOutcome::FrameNotLoaded:
        showMessage(RunEndText(outcome, m_engine->FailedFrame()));
        break;
    default:
        break;
    }
}

void TAutoTRackFrame::holdPainting(bool hold)
{
    if (hold) {
        m_paintGate->hold(window());
        if (m_video)
            m_paintGate->hold(m_video);
    } else {
        refreshHeld();
        m_paintGate->release();
    }
}

void TAutoTRackFrame::refreshHeld()
{
    if (m_frameHeld && m_video) {
        m_frameHeld = false;
        const PaintGate::Pause open(*m_paintGate);
        m_video->ShowDisplayBitmap();
        m_video->UpdateStatusBar();
    }
    if (!m_refreshHeld)
        return;
    m_refreshHeld = false;
    const PaintGate::Pause open(*m_paintGate);
    if (m_heldPanel) {
        const RunPanel panel = *m_heldPanel;
        m_heldPanel.reset();
        Report(panel);
    }
    refreshView();
}

// ---------------------------------------------------------------- the list

void TAutoTRackFrame::rebuildList()
{
    const bool was = m_updating;
    m_updating = true;
    ListView1->clear();
    while (ZoomComboEx->count() > 1)
        ZoomComboEx->removeItem(1);
    if (const TrackingPointList* list = points()) {
        for (int i = 0; i < list->size(); ++i) {
            const TTrackingPoint& p = *list->at(i);
            auto* item = new QTreeWidgetItem(ListView1);
            item->setFlags(item->flags() | Qt::ItemIsEditable);
            item->setData(0, RowState, -1);
            ZoomComboEx->addItem(TrackingMethodIcon(p.Method()), p.Name);
            updateRow(i);
        }
    }
    m_updating = was;
    syncListSelection();
}

void TAutoTRackFrame::updateRow(int index)
{
    const TrackingPointList* list = points();
    QTreeWidgetItem* item = ListView1->topLevelItem(index);
    if (!list || !item || index >= list->size())
        return;
    const TTrackingPoint& p = *list->at(index);
    const bool was = m_updating;
    m_updating = true;
    if (item->text(0) != p.Name)
        item->setText(0, p.Name);
    const int state = RowStateOf(p);
    if (item->data(0, RowState).toInt() != state) {
        item->setData(0, RowState, state);
        item->setIcon(0, TrackingEnabledIcon(p.Enabled));
        item->setIcon(1, TrackingMethodIcon(p.Method()));
        item->setIcon(2, TrackingModeIcon(p.Mode));
        item->setText(3, QString::number(p.PointId));
        static const char* const methods[] = {"Quadrant", "Light Spot", "Dark Spot", "Correlation"};
        static const char* const modes[] = {"Auto", "Semi-auto", "Manual"};
        item->setToolTip(1, QString::fromLatin1(methods[std::min<int>(p.Method(), 3)]));
        item->setToolTip(2, QString::fromLatin1(modes[std::min<int>(p.Mode, 2)]));
        item->setToolTip(0, p.Enabled ? QStringLiteral("Enabled") : QStringLiteral("Disabled"));
        ZoomComboEx->setItemIcon(index + 1, TrackingMethodIcon(p.Method()));
    }
    const auto status = m_statuses.find(&p);
    const QString text = PointStatusText(status == m_statuses.end()
                                             ? (p.Enabled ? PointStatus::Ready : PointStatus::Disabled)
                                             : status->second);
    if (item->text(5) != text)
        item->setText(5, text);
    if (ZoomComboEx->itemText(index + 1) != p.Name)
        ZoomComboEx->setItemText(index + 1, p.Name);
    m_updating = was;
}

void TAutoTRackFrame::syncListSelection()
{
    const TrackingPointList* list = points();
    const bool was = m_updating;
    m_updating = true;
    for (int i = 0; i < ListView1->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = ListView1->topLevelItem(i);
        const bool selected = list && i < list->size() && list->at(i)->Selected;
        if (item->isSelected() != selected)
            item->setSelected(selected);
    }
    m_updating = was;
}

void TAutoTRackFrame::listSelectionChanged()
{
    TrackingPointList* list = points();
    if (m_updating || !list || !m_engine)
        return;
    const QList<QTreeWidgetItem*> selected = ListView1->selectedItems();
    if (selected.size() == 1) {
        SelectOnly(ListView1->indexOfTopLevelItem(selected.front()));
        return;
    }
    for (int i = 0; i < list->size() && i < ListView1->topLevelItemCount(); ++i)
        list->at(i)->Selected = ListView1->topLevelItem(i)->isSelected();
    SyncSelection();
}

void TAutoTRackFrame::listContextMenu(const QPoint& at)
{
    TrackingPointList* list = points();
    QTreeWidgetItem* item = ListView1->itemAt(at);
    if (!list || !item)
        return;
    const int index = ListView1->indexOfTopLevelItem(item);
    if (index >= 0 && index < list->size() && !list->at(index)->Selected)
        SelectOnly(index);
    PopupMenu1->popup(ListView1->viewport()->mapToGlobal(at));
}

void TAutoTRackFrame::zoomComboChanged(int index)
{
    if (m_updating || !m_engine)
        return;
    if (index <= 0) {
        ImageZoomView->hide();
        m_engine->SetCurrentPoint(nullptr);
        return;
    }
    SelectOnly(index - 1);
}

void TAutoTRackFrame::SelectOnly(int index)
{
    TrackingPointList* list = points();
    if (!list || !m_engine || index < 0 || index >= list->size())
        return;
    m_engine->SelectOnly(list->at(index));
}

void TAutoTRackFrame::SyncSelection()
{
    TrackingPointList* list = points();
    if (!list || !m_engine)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    for (const auto& p : *list)
        p->ShowMarker = true;
    m_engine->SyncSelection();
    QApplication::restoreOverrideCursor();
}

void TAutoTRackFrame::RenamePoint(int index, const QString& name)
{
    TrackingPointList* list = points();
    if (!list || index < 0 || index >= list->size())
        return;
    TTrackingPoint& p = *list->at(index);
    const QString text = name.left(255);
    if (text == p.Name)
        return;
    p.Name = text;
    updateRow(index);
    if (m_video)
        m_video->view()->trackingPointsChanged();
}

// ---------------------------------------------------------------- points

void TAutoTRackFrame::raisePlacementButtons()
{
    for (QAbstractButton* b : m_placeGroup->buttons())
        b->setChecked(false);
    if (m_tool && m_tool->pick() == TrackingViewTool::Pick::Place)
        m_tool->setPick(TrackingViewTool::Pick::None);
}

void TAutoTRackFrame::PlaceArmed(int method, bool down)
{
    for (QAbstractButton* b : m_placeGroup->buttons())
        if (m_placeGroup->id(b) != method)
            b->setChecked(false);
    if (QAbstractButton* b = m_placeGroup->button(method))
        b->setChecked(down);
    if (down)
        SpeedButton1->setChecked(false);
    if (m_tool)
        m_tool->setPick(down ? TrackingViewTool::Pick::Place : TrackingViewTool::Pick::None);
}

void TAutoTRackFrame::PickReport(int code, QPointF p)
{
    VideoDocument* doc = document();
    if (!doc || !m_engine)
        return;
    switch (code) {
    case 16: {
        const int method = m_placeGroup->checkedId();
        if (method < 0 || doc->IsOutsideRecording() || m_engine->Running())
            return;
        setRecordingAndRange();
        followDocument();
        TTrackingPoint* added = m_engine->AddPoint(uint8_t(method), p.x(), p.y());
        if (!added) {
            showMessage(QStringLiteral("No more points can be placed on this recording."));
            return;
        }
        rebuildList();
        enableResultButtons(true);
        // The new point is the current one, alone selected.
        m_engine->SelectOnly(added);
        break;
    }
    case 17:
        m_engine->FrameChanged(doc->FrameAtTime(doc->CurrentTime), &doc->DisplayBitmap);
        break;
    case 29:
        doc->Origin.HasOrigin = true;
        doc->Origin.X = p.x();
        doc->Origin.Y = p.y();
        SpeedButton1->setChecked(false);
        if (m_tool)
            m_tool->setPick(TrackingViewTool::Pick::None);
        showOrigin();
        break;
    default:
        break;
    }
}

void TAutoTRackFrame::ShowPoint(TTrackingPoint* p)
{
    VideoDocument* doc = document();
    if (!p || !doc || !m_engine || !m_engine->Working())
        return;
    if (p->Records.empty()) {
        ImageZoomView->hide();
        return;
    }
    const int64_t last = int64_t(p->Records.size()) - 1;
    const TrackRecord& r = p->Records[size_t(std::clamp<int64_t>(int64_t(p->FrameNo) - p->BaseFrame, 0, last))];
    if (r.Status == 0) {
        ImageZoomView->hide();
        return;
    }
    ImageZoomView->show();
    TrackingZoomView::Content c;
    c.zoom = std::clamp(p->ZoomFactor, 1, 32);
    const int z = c.zoom;
    c.left = int(Round(p->PosX - ImageZoomView->width() / (2.0 * z)));
    c.top = int(Round(p->PosY - ImageZoomView->height() / (2.0 * z)));
    c.point = QPointF(p->PosX, p->PosY);
    c.shape = p->Dragging ? stMPUnconfirm : TNUVShapeType(p->Shape());
    int w = std::max<int>(1, int(Round(p->Params.TemplateWidth * double(z))));
    int h = std::max<int>(1, int(Round(p->Params.TemplateHeight * double(z))));
    if (w <= 15) {
        h = int(Round(16.0 * h / w));
        w = 16;
    } else if (h <= 15) {
        w = int(Round(16.0 * w / h));
        h = 16;
    }
    c.markerSize = QSize(w, h);
    c.greenFrame = !p->Dragging || p->Mark == MarkUnconfirmed;
    ImageZoomView->showContent(*m_engine->Working(), c);
    const bool was = m_updating;
    m_updating = true;
    const int item = int(std::log2(double(z))) - 1;
    if (item >= 0 && item < ZoomZoomCombo->count())
        ZoomZoomCombo->setCurrentIndex(item);
    m_updating = was;
}

void TAutoTRackFrame::refreshView()
{
    // While painting is held the list and the zoom view are brought up to
    // date just before they are painted.
    if (m_paintGate->holding()) {
        m_refreshHeld = true;
        return;
    }
    if (const TrackingPointList* list = points())
        for (int i = 0; i < list->size(); ++i)
            updateRow(i);
    if (TTrackingPoint* p = CurrentPoint())
        ShowPoint(p);
    if (m_video)
        m_video->view()->trackingPointsChanged();
}

void TAutoTRackFrame::ConfirmClicked()
{
    if (m_engine)
        m_engine->ConfirmCurrent();
}

void TAutoTRackFrame::UndoClicked()
{
    if (!m_engine)
        return;
    m_engine->UndoCurrent();
    ShowPoint(CurrentPoint());
}

void TAutoTRackFrame::SettingsClicked()
{
    VideoDocument* doc = document();
    if (!doc || !m_engine)
        return;
    const Frame& working = m_engine->Working() ? *m_engine->Working() : doc->DisplayBitmap;
    if (!EditPointParameters(CurrentPoint(), working, this))
        return;
    refreshView();
}

void TAutoTRackFrame::ZoomIn()
{
    if (TTrackingPoint* p = CurrentPoint()) {
        if (p->ZoomFactor < 32)
            p->ZoomFactor *= 2;
        ShowPoint(p);
    }
}

void TAutoTRackFrame::ZoomOut()
{
    if (TTrackingPoint* p = CurrentPoint()) {
        if (p->ZoomFactor > 2)
            p->ZoomFactor = int(Round(p->ZoomFactor / 2.0));
        ShowPoint(p);
    }
}

void TAutoTRackFrame::ToggleEnabledClicked()
{
    if (m_engine)
        m_engine->ToggleSelectedEnabled();
    refreshView();
}

void TAutoTRackFrame::SetMode(PointMode mode)
{
    if (!m_engine)
        return;
    m_engine->SetSelectedMode(mode);
    if (TrackingPointList* list = points())
        for (const auto& p : *list)
            if (p->Selected && mode == ModeManual && !p->Dragging)
                p->Mark = MarkLost;
    refreshView();
}

void TAutoTRackFrame::SetMethod(uint8_t method)
{
    if (!m_engine)
        return;
    m_engine->SetSelectedMethod(method);
    refreshView();
}

void TAutoTRackFrame::DeletePointsClicked()
{
    TrackingPointList* list = points();
    if (!list || !m_engine)
        return;
    if (!list->AnySelected()) {
        showMessage(NoPointsToDeleteText());
        return;
    }
    ListView1->setFocus();
    if (!ask(DeletePointsQuestion()))
        return;
    for (const auto& p : *list)
        if (p->Selected)
            m_statuses.erase(p.get());
    if (m_engine->DeleteSelectedPoints() != DeleteOutcome::Deleted)
        return;
    rebuildList();
    SelectionChanged();
}

void TAutoTRackFrame::DeleteDataClicked()
{
    VideoDocument* doc = document();
    if (!doc || !m_engine)
        return;
    ListView1->setFocus();
    setRecordingAndRange();
    m_engine->DeleteTrackedData(doc->Info.RangeFirst, doc->Info.RangeLast);
    refreshView();
}

void TAutoTRackFrame::MarkerClicked(TTrackingPoint* point, Qt::KeyboardModifiers modifiers)
{
    TrackingPointList* list = points();
    if (!list || !m_engine)
        return;
    const int index = list->indexOf(point);
    if (index < 0)
        return;
    if ((modifiers | m_lastMarkerShift) & Qt::ControlModifier) {
        point->Selected = !point->Selected;
        SyncSelection();
    } else {
        SelectOnly(index);
    }
}

void TAutoTRackFrame::dragStarted(TTrackingPoint* point, QPointF centre)
{
    if (!m_engine)
        return;
    m_engine->BeginDrag(point);
    point->PosX = centre.x();
    point->PosY = centre.y();
    refreshView();
}

void TAutoTRackFrame::dragMoved(TTrackingPoint* point, QPointF centre)
{
    point->PosX = centre.x();
    point->PosY = centre.y();
    refreshView();
}

void TAutoTRackFrame::dragEnded(TTrackingPoint* point, QPointF centre)
{
    if (!m_engine)
        return;
    m_engine->EndDrag(point, centre.x(), centre.y());
    refreshView();
}

void TAutoTRackFrame::zoomCrossPressed()
{
    if (m_engine && CurrentPoint())
        m_engine->MarkUnconfirmed(CurrentPoint());
}

void TAutoTRackFrame::zoomPositioned(QPointF imagePoint)
{
    if (!m_engine || !CurrentPoint())
        return;
    m_engine->MoveCurrentTo(imagePoint.x(), imagePoint.y());
    refreshView();
}

// ---------------------------------------------------------------- the run

void TAutoTRackFrame::AutoTrackClicked(bool down)
{
    raisePlacementButtons();
    VideoDocument* doc = document();
    if (!doc || !m_engine) {
        btnTrackPoints->setChecked(false);
        return;
    }
    if (!down) {
        m_engine->StopRun();
        return;
    }
    btnTrackPoints->setChecked(true);
    setRecordingAndRange();
    followDocument();
    StartOutcome outcome = m_engine->StartRun();
    if (outcome == StartOutcome::Question)
        outcome = m_engine->AnswerDefineOnCurrentFrame(ask(DefineOnCurrentFrameQuestion(m_engine->PointsWithoutData())));
    if (outcome == StartOutcome::Started) {
        btnTrackPoints->setText(QStringLiteral("Stop Tracking"));
        enableResultButtons(true);
        refreshView();
        return;
    }
    btnTrackPoints->setChecked(false);
    btnTrackPoints->setText(QStringLiteral("Auto Track"));
    if (outcome == StartOutcome::FrameNotLoaded)
        showMessage(RunEndText(TickOutcome::FrameNotLoaded, m_engine->FailedFrame()));
    else if (const QString why = StartRefusalText(outcome); !why.isEmpty())
        showMessage(why);
    refreshView();
}

void TAutoTRackFrame::enableResultButtons(bool on)
{
    for (QPushButton* b : {BitBtn3, BitBtn4, BitBtn5, BitBtn6, BitBtn9, BitBtn7, ToExcelBut})
        b->setEnabled(on);
}
