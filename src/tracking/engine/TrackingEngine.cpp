#include "tracking/engine/TrackingEngine.h"

#include "common/Frame.h"
#include "common/NumberFormat.h"
#include "common/Rounding.h"

#include <algorithm>
#include <array>
#include <cmath>

QString PointStatusText(int index)
{
    static const std::array<const char*, 11> texts = {
        "", "Ready", "Disabled..", "AutoTracking..", "Searching Target..", "Need to Place",
        "Need to Confirm", "Tracked", "Vanished", "Threshhold", "Centre",
    };
    if (index < 0 || index >= int(texts.size()))
        return QString();
    return QString::fromLatin1(texts[size_t(index)]);
}

QString RunMessageText(int kind, const QString& pointName)
{
    switch (kind) {
    case MessageSearching: return QStringLiteral("Searching");
    case MessageTracking: return QStringLiteral("Tracking");
    case MessageLostThreshold: return QStringLiteral("%1 is LOST (Below Threshold)").arg(pointName);
    case MessageLostCentre: return QStringLiteral("%1 is LOST (Can't Find Centre)").arg(pointName);
    case MessageNeedPlace: return QStringLiteral("%1 need to place").arg(pointName);
    case MessageNeedConfirm: return QStringLiteral("%1 needs to be Confirmed").arg(pointName);
    default: return QString();
    }
}

int ZoomFactorFor(int viewWidth, int searchWidth)
{
    if (searchWidth <= 0)
        return 32;
    const double ratio = double(viewWidth) / double(searchWidth);
    if (ratio > 32.0)
        return 32;
    int best = 1;
    for (int z = 2; z <= 32; z *= 2)
        if (std::fabs(ratio - z) < std::fabs(ratio - best))  // strict: a tie keeps the smaller
            best = z;
    return best;
}

TrackingEngine::TrackingEngine(TrackingPointList& points, TrackingDriver& driver)
    : m_points(points)
    , m_driver(driver)
{
}

void TrackingEngine::SetStatus(int index, int status)
{
    if (index < 0 || index >= m_points.size())
        return;
    // A disabled point reads "Disabled.." rather than "Ready".
    if (status == StatusReady && !m_points[index]->Enabled)
        status = StatusDisabled;
    if (status < 0 || status > 10)
        return;
    m_driver.PointStatus(index, status);
}

// --- Frames ---------------------------------------------------------------

bool TrackingEngine::GoToFrame(int frame)
{
    const Frame* working = m_driver.FrameAt(frame);
    if (!working)
        return false;
    FrameChanged(frame, working);
    return true;
}

void TrackingEngine::FrameChanged(int frame, const Frame* working)
{
    CurrentFrame = frame;
    m_working = working;
    RefreshPoints();
}

void TrackingEngine::RefreshPoints()
{
    for (int i = 0; i < m_points.size(); ++i) {
        TTrackingPoint& p = *m_points[i];
        p.FrameNo = CurrentFrame;
        p.BaseFrame = Recording.FirstFrame;
        const TrackRecord* r = p.CurrentRecord();
        if (!r) {
            // The document shows a frame outside the recording: nothing to
            // show for this point; its data are left alone.
            continue;
        }
        p.DisplayX = r->X;
        p.DisplayY = r->Y;
        if (!Running)
            p.Confirmed = true;
        p.ShowMarker = true;
        p.UpdateMarker(true);
    }
    m_driver.PointsRefreshed();
}

// --- Point commands -----------------------------------------------------------

TTrackingPoint* TrackingEngine::AddPoint(uint8_t method, double x, double y)
{
    const int id = m_points.NextPointId();
    if (id < 0)
        return nullptr;
    auto created = std::make_unique<TTrackingPoint>();
    TTrackingPoint& p = *created;
    p.Params.Method = method;
    p.SetDefaults();
    p.PosX = x;
    p.PosY = y;
    p.FrameNo = CurrentFrame;
    p.DefinedFrame = CurrentFrame;
    p.BaseFrame = Recording.FirstFrame;
    p.ZoomFactor = ZoomFactorFor(ZoomViewWidth, p.Params.SearchWidth);
    p.PointId = id;
    p.Name = QStringLiteral("Point %1").arg(id);
    p.InitRecords(Recording.FirstFrame, Recording.FrameCount, Recording.TimeZeroFrame, Recording.FrameRate);
    if (TrackRecord* r = p.CurrentRecord())
        r->SetPosition(x, y);

    CurrentPoint = m_points.Append(std::move(created));
    RefreshPoints();
    if (m_working) {
        p.CentreSearch(*m_working, true);
        if (p.Found)
            p.Confirm();
        p.CaptureTemplate(*m_working);
    }
    ConfirmCurrentImpl(true);
    return &p;
}

int TrackingEngine::DeleteSelectedPoints()
{
    if (!m_points.AnySelected()) {
        m_driver.Tell(BoxKind::Error, QStringLiteral("No Points to delete selected"));
        return 0;
    }
    if (!m_driver.Ask(BoxKind::Confirmation,
                      QStringLiteral("Are you sure you want to delete ALL the selected Points?")))
        return 0;
    for (const auto& p : m_points) {
        p->DeleteMark = p->Selected;
        if (p->DeleteMark && p.get() == CurrentPoint)
            CurrentPoint = nullptr;
    }
    const int removed = m_points.RemoveMarked();
    for (const auto& p : m_points)
        p->Selected = false;
    AttentionIndex = -1;
    m_driver.SelectionChanged();
    return removed;
}

void TrackingEngine::DeleteTrackedData(int fromFrame, int endFrame)
{
    if (int64_t(endFrame) - 1 < fromFrame)
        return;
    m_points.DeleteTrackedData(fromFrame, endFrame);
    RefreshPoints();
    ResumeFrame = -1;
}

void TrackingEngine::ConfirmCurrent()
{
    ConfirmCurrentImpl(true);
}

void TrackingEngine::ConfirmCurrentImpl(bool fromUser)
{
    TTrackingPoint* p = CurrentPoint;
    if (!p || p->Busy || p->PosX == -1.0)
        return;
    if (TrackRecord* r = p->CurrentRecord())
        r->SetPosition(p->PosX, p->PosY);
    p->Confirm();
    if (m_working)
        p->CaptureTemplate(*m_working);
    UnconfirmedExist = std::any_of(m_points.begin(), m_points.end(),
                                   [](const auto& q) { return !q->Confirmed; });
    p->UpdateMarker(true);
    m_driver.PointsRefreshed();
    SetStatus(m_points.indexOf(p), Running ? StatusAutoTracking : StatusReady);
    if (Running) {
        StopReason = 0;
        ResumeFrame = CurrentFrame;
        // Inside the run's own loop the loop simply goes on; a timer started
        // there would restart a run that meanwhile waits for the user.
        if (fromUser)
            m_driver.ScheduleTick();
        RefreshPoints();
    }
}

void TrackingEngine::UndoCurrent()
{
    if (!CurrentPoint || CurrentPoint->Busy)
        return;
    CurrentPoint->RevertToStored();
    CurrentPoint->UpdateMarker(false);
    m_driver.PointsRefreshed();
}

void TrackingEngine::SelectOnly(TTrackingPoint* point)
{
    for (const auto& p : m_points)
        p->Selected = p.get() == point;
    m_driver.SelectionChanged();
}

// --- The run ---------------------------------------------------------------------

bool TrackingEngine::StartRun()
{
    if (PrepareRun() == 2)
        return false;
    Running = true;
    WaitingForUser = false;
    FailedFrame = -1;
    m_driver.ScheduleTick();
    return true;
}

void TrackingEngine::OnTimerTick()
{
    if (RunBusy)
        return;
    RunBusy = true;
    RunTick();
    RunBusy = false;
}

int TrackingEngine::PrepareRun()
{
    StopReason = 0;
    if (UnconfirmedExist) {
        m_driver.Tell(BoxKind::Confirmation, QStringLiteral("Please confirm all the points before start tracking."));
        return 2;
    }
    // Every point starts the run without a search centre and unconfirmed.
    for (const auto& p : m_points) {
        p->SearchX = p->SearchY = -1.0;
        p->Confirmed = false;
    }
    if (!m_points.AnyEnabled()) {
        m_driver.Tell(BoxKind::Confirmation, QStringLiteral("There are no Points to be tracked"));
        return 2;
    }
    const bool anyGap = std::any_of(m_points.begin(), m_points.end(), [this](const auto& p) {
        return p->Enabled && p->HasGap(RangeFirst, RangeLast);
    });
    if (!anyGap) {
        m_driver.Tell(BoxKind::Confirmation,
                      QStringLiteral("Nothing to do! All points are tracked within the current range."));
        return 2;
    }

    // Running first, so that refreshing the points for the first frame
    // leaves them unconfirmed.
    Running = true;
    if (!GoToFrame(RangeFirst)) {
        FailedFrame = RangeFirst;
        Running = false;
        StopTracking();
        return 2;
    }

    QString names;
    const QString lineBreak = QStringLiteral("\n\r");
    for (const auto& p : m_points) {
        if (!p->Enabled)
            continue;
        int index = -1;
        if (p->FindStoredFrame(RangeFirst - p->BaseFrame, RangeLast - p->BaseFrame, &index))
            p->DefinedFrame = p->BaseFrame + index;
        else
            names += p->Name + lineBreak;
    }
    if (!names.isEmpty()) {
        const QString question = QStringLiteral("The Following points have no data within the current range:")
            + lineBreak + names + lineBreak
            + QStringLiteral("Do you Want To define the points on the Current Frame?");
        if (m_driver.Ask(BoxKind::Confirmation, question)) {
            PlaceOnCurrentFrame();
            return 1;
        }
        StopReason = 0;
        StopTracking();
        return 2;
    }
    ResumeFrame = FindResumeFrame();
    return 0;
}

void TrackingEngine::PlaceOnCurrentFrame()
{
    for (int k = 0; k < m_points.size(); ++k) {
        TTrackingPoint& p = *m_points[k];
        if (!p.Enabled)
            continue;
        int index = -1;
        if (p.FindStoredFrame(MarkFirst - p.BaseFrame, MarkLast - p.BaseFrame, &index))
            continue;
        if (p.LoadNearestStored() == -1) {
            // Never placed: spread such points out from the frame centre.
            p.PosX = Recording.FrameWidth / 2 + k * p.Params.MarginX;
            p.PosY = Recording.FrameHeight / 2 + k * p.Params.MarginX;
        }
        if (TrackRecord* r = p.CurrentRecord())
            r->SetPosition(p.PosX, p.PosY);
        p.DefinedFrame = CurrentFrame;
        p.Mark = MarkLost;
        p.Dragging = false;
        p.NeedsPlacing = true;
        p.Score = 0.1;
        SetStatus(k, StatusNeedToPlace);
        p.Started = true;
        p.UpdateMarker(true);
    }
    m_driver.PointsRefreshed();
    for (const auto& p : m_points) {
        if (p->Selected) {
            SelectOnly(p.get());
            break;
        }
    }
}

int TrackingEngine::FindResumeFrame() const
{
    int result = RangeLast;
    bool work = false;
    for (const auto& p : m_points) {
        if (!p->Enabled)
            continue;
        bool seenPosition = false;
        for (int64_t f = RangeFirst; f <= RangeLast; ++f) {
            if (p->HasPositionAt(int(f))) {
                seenPosition = true;
                continue;
            }
            work = true;
            if (seenPosition) {
                result = std::min(result, int(f - 1));
                break;
            }
        }
    }
    return work ? result : -1;
}

bool TrackingEngine::NeedsWorkHere() const
{
    if (CurrentFrame >= MarkLast)
        return true;
    for (const auto& p : m_points) {
        if (!p->Enabled)
            continue;
        if (!p->HasPositionAt(CurrentFrame) || !p->HasPositionAt(CurrentFrame + 1))
            return true;
    }
    return false;
}

void TrackingEngine::RunTick()
{
    AttentionIndex = -1;
    bool goOn = true;
    if (!m_points.AnyEnabled()) {
        m_driver.Tell(BoxKind::Confirmation, QStringLiteral("There are no Points to be tracked"));
        Running = false;
        goOn = false;
    } else if (ResumeFrame != -1 && ResumeFrame != CurrentFrame) {
        if (!GoToFrame(ResumeFrame)) {
            FailedFrame = ResumeFrame;
            StopReason = 4;
            Running = false;
            goOn = false;
        }
    }

    // Every pass moves forward one frame or jumps forward to unfinished
    // work; the bound only guards against a range that keeps sending the
    // run back to the same frame.
    const int64_t span = int64_t(RangeLast) - int64_t(RangeFirst) + 2;
    m_stepsLeft = std::max<int64_t>(span, 1) * (int64_t(m_points.size()) + 2) * 2;

    while (goOn && StopReason != 1) {
        if (--m_stepsLeft < 0) {
            StopReason = 4;
            Running = false;
            break;
        }
        // 1. A point waiting to be placed stops the run at once.
        int placing = -1;
        for (int i = 0; i < m_points.size(); ++i) {
            if (m_points[i]->NeedsPlacing) {
                placing = i;
                break;
            }
        }
        if (placing >= 0) {
            SetStatus(placing, StatusNeedToPlace);
            AttentionIndex = placing;
            ShowMessagePanel(MessageNeedPlace);
            break;
        }

        // 2. Nothing to do on this frame: jump to the next unfinished one.
        if (!NeedsWorkHere()) {
            ResumeFrame = FindResumeFrame();
            if (ResumeFrame == -1) {
                StopReason = 4;
                Running = false;
                break;
            }
            if (!GoToFrame(ResumeFrame)) {
                FailedFrame = ResumeFrame;
                StopReason = 4;
                Running = false;
                break;
            }
        }

        // 3. Search and judge every point on this frame.
        StepPoints();
        const int named = EvaluatePoints();
        if (named >= 0) {
            CurrentPoint = m_points[named];
            SelectOnly(CurrentPoint);
            goOn = false;
        }
        RefreshPoints();  // the driver shows the points and lets the stop button in
        if (!goOn || StopReason == 1 || !Running)
            break;

        // 4. On to the next frame.
        if (CurrentFrame >= RangeLast) {
            StopReason = 4;
            Running = false;
            break;
        }
        if (!GoToFrame(CurrentFrame + 1)) {
            FailedFrame = CurrentFrame + 1;
            StopReason = 4;
            Running = false;
            break;
        }
        const bool wasRunning = Running;
        const int reasonBefore = StopReason;
        ConfirmCurrentImpl(false);
        goOn = wasRunning && reasonBefore != 1;
    }

    if (StopReason == 1)
        StopReason = 2;
    if (!Running)
        StopTracking();
}

void TrackingEngine::StepPoints()
{
    for (int i = 0; i < m_points.size(); ++i) {
        TTrackingPoint& p = *m_points[i];
        p.Searched = false;
        if (!p.Enabled)
            continue;
        if (!p.CheckReady() && CurrentFrame != p.DefinedFrame) {
            SetStatus(i, StatusSearching);
            continue;
        }
        if (!p.Started && CurrentFrame < p.DefinedFrame)
            continue;
        // A point's first frame in the run keeps its stored position.
        if (p.Started)
            RunStep(p);
        p.Started = true;
    }
}

void TrackingEngine::RunStep(TTrackingPoint& p)
{
    p.Confirmed = false;
    const TrackRecord* r = p.CurrentRecord();
    if (!r)
        return;  // a frame outside the recording: nothing to search or store
    if (r->Status == 0) {
        if (!m_working)
            return;
        p.CorrelationStep(*m_working);
        if (p.Mode != ModeManual)
            p.CentreSearch(*m_working, false);
    } else {
        p.Confirmed = true;
    }
}

int TrackingEngine::EvaluatePoints()
{
    int named = -1;
    int kind = MessageTracking;
    auto name = [&](int index, int messageKind) {
        if (named < 0) {
            named = index;
            kind = messageKind;
        }
    };
    for (int i = 0; i < m_points.size(); ++i) {
        TTrackingPoint& p = *m_points[i];
        if (!p.Enabled) {
            SetStatus(i, StatusReady);
            continue;
        }
        const int code = p.TrackState();
        if (code == 0 || code == 3 || p.Confirmed) {
            SetStatus(i, StatusAutoTracking);
            p.Confirm();
            if (p.UpdateTemplate == 1 && p.FramesSinceUpdate + 1 >= p.UpdateEvery) {
                if (m_working)
                    p.RefreshTemplate(*m_working);
                p.FramesSinceUpdate = 0;
            } else {
                ++p.FramesSinceUpdate;
            }
            continue;
        }
        switch (code) {
        case 1:
            p.Mark = MarkUnconfirmed;
            SetStatus(i, StatusThreshold);
            name(i, MessageLostThreshold);
            break;
        case 2:
            p.Mark = MarkUnconfirmed;
            SetStatus(i, StatusCentre);
            name(i, MessageLostCentre);
            break;
        case 7:
            SetStatus(i, StatusSearching);
            break;
        case 8:
            p.Mark = MarkUnconfirmed;
            SetStatus(i, StatusNeedToConfirm);
            name(i, MessageNeedConfirm);
            break;
        case 9:
            p.Mark = MarkLost;
            SetStatus(i, StatusNeedToPlace);
            name(i, MessageNeedPlace);
            break;
        default:
            break;
        }
    }
    if (named >= 0)
        AttentionIndex = named;
    ShowMessagePanel(kind);
    return named;
}

void TrackingEngine::ShowMessagePanel(int kind)
{
    const TTrackingPoint* p = nullptr;
    if (AttentionIndex >= 0 && AttentionIndex < m_points.size())
        p = m_points[AttentionIndex];
    else if (CurrentPoint)
        p = CurrentPoint;
    else if (!m_points.isEmpty())
        p = m_points[0];

    RunMessage m;
    m.kind = kind;
    m.pointIndex = p ? m_points.indexOf(p) : -1;
    m.text = RunMessageText(kind, p ? p->Name : QString());
    const int n = MarkLast - MarkFirst;
    const int d = CurrentFrame - MarkFirst;
    // An empty marked range is all done once the run is on its frame.
    m.percent = n > 0 ? int(Trunc(double(d) / double(n) * 100.0)) : (d >= 0 ? 100 : 0);
    m.percentText = QStringLiteral("%1% (%2 / %3)").arg(m.percent).arg(d).arg(n);
    m.frameText = QStringLiteral("Auto Tracking Frame # %1").arg(CurrentFrame - Recording.TimeZeroFrame);
    m.scoreText = FormatFixed(p ? p->Score : 0.0, 7, 3);
    static const std::array<uint32_t, 6> colours = {0x008000, 0x008000, 0x008080, 0x0000FF, 0x008080, 0xFF0000};
    m.colour = kind >= 0 && kind < 6 ? colours[size_t(kind)] : 0x008000;
    m.waitingForUser = kind >= MessageLostThreshold;
    WaitingForUser = m.waitingForUser;
    m_driver.Report(m);
}

void TrackingEngine::StopTracking()
{
    if (StopReason == 0)
        StopReason = 1;
    for (int i = 0; i < m_points.size(); ++i) {
        TTrackingPoint& p = *m_points[i];
        p.Mark = MarkConfirmed;
        p.Confirmed = true;
        p.Started = false;
        SetStatus(i, StatusReady);
        // What was searched on the frame the run stopped in is not kept.
        if (p.Searched && StopReason != 4) {
            p.Score = -1.0;
            if (TrackRecord* r = p.CurrentRecord())
                r->Clear();
        }
        // The flag belongs to this run; a later stop must not clear a frame
        // the user has moved to since.
        p.Searched = false;
    }
    Running = false;
    UnconfirmedExist = false;
    WaitingForUser = false;
    m_driver.RunStopped();
}
