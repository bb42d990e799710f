// The automatic run of the tracking engine: starting, one frame per tick,
// judging the points, the questions to the user and stopping. The point
// commands and frame changes are in TrackingEngine.cpp.

#include "tracking/engine/TrackingEngine.h"

#include "common/Frame.h"

#include <algorithm>

int ProgressPercent(int done, int total)
{
    if (total <= 0)
        return done >= 0 ? 100 : 0;
    const int64_t percent = int64_t(done) * 100 / int64_t(total);  // truncates toward zero
    return int(std::clamp<int64_t>(percent, 0, 100));
}

void TrackingEngine::ScheduleTick()
{
    m_tickDue = true;
    m_driver.ScheduleTick();
}

StartOutcome TrackingEngine::StartRun()
{
    if (m_running || m_inTick || m_askingToDefine)
        return StartOutcome::AlreadyRunning;
    m_stopReason = StopReason::Running;
    m_failedFrame = -1;
    m_withoutData.clear();
    if (m_unconfirmedExist)
        return StartOutcome::Unconfirmed;
    if (!m_points.AnyEnabled())
        return StartOutcome::NoPoints;
    const bool anyGap = std::any_of(m_points.begin(), m_points.end(), [this](const auto& p) {
        return p->Enabled && p->HasGap(m_rangeFirst, m_rangeLast);
    });
    if (!anyGap)
        return StartOutcome::NothingToDo;

    // Every point starts the run without a search centre and unconfirmed;
    // running first, so that refreshing the points for the first frame
    // leaves them unconfirmed.
    for (const auto& p : m_points) {
        p->SearchX = p->SearchY = -1.0;
        p->Confirmed = false;
    }
    m_running = true;
    if (!LoadRunFrame(m_rangeFirst)) {
        m_stopReason = StopReason::FrameNotLoaded;
        StopTracking();
        return StartOutcome::FrameNotLoaded;
    }

    for (const auto& p : m_points) {
        if (!p->Enabled)
            continue;
        int index = -1;
        if (p->FindStoredFrame(m_rangeFirst - p->BaseFrame, m_rangeLast - p->BaseFrame, &index))
            p->DefinedFrame = p->BaseFrame + index;
        else
            m_withoutData.push_back(p.get());
    }
    const int64_t span = int64_t(m_rangeLast) - int64_t(m_rangeFirst) + 2;
    // Every frame takes a tick, and one more for each question on it; the
    // limit only guards against a run that keeps returning to frames done.
    m_stepsLeft = m_tickLimit > 0 ? m_tickLimit : std::max<int64_t>(span, 1) * (int64_t(m_points.size()) + 2) * 2;
    m_waitingForUser = false;
    m_question = {};
    if (!m_withoutData.empty()) {
        m_askingToDefine = true;
        return StartOutcome::Question;
    }
    m_resumeFrame = FindResumeFrame();
    ScheduleTick();
    return StartOutcome::Started;
}

StartOutcome TrackingEngine::AnswerDefineOnCurrentFrame(bool define)
{
    if (!m_askingToDefine)
        return m_running ? StartOutcome::AlreadyRunning : StartOutcome::Cancelled;
    m_askingToDefine = false;
    if (!define) {
        // The points stay as they were.
        m_stopReason = StopReason::Stopped;
        StopTracking();
        return StartOutcome::Cancelled;
    }
    PlaceOnCurrentFrame();
    // The run goes on from here, where the points now wait to be placed;
    // a resume frame left from an earlier run must not send it elsewhere.
    m_resumeFrame = m_currentFrame;
    ScheduleTick();
    return StartOutcome::Started;
}

void TrackingEngine::PlaceOnCurrentFrame()
{
    TTrackingPoint* firstPlaced = nullptr;
    for (int k = 0; k < m_points.size(); ++k) {
        TTrackingPoint& p = *m_points[k];
        if (!p.Enabled)
            continue;
        int index = -1;
        if (p.FindStoredFrame(m_markFirst - p.BaseFrame, m_markLast - p.BaseFrame, &index))
            continue;
        if (p.LoadNearestStored() == -1) {
            // Never placed: spread such points out from the frame centre.
            p.PosX = m_recording.FrameWidth / 2 + k * p.Params.MarginX;
            p.PosY = m_recording.FrameHeight / 2 + k * p.Params.MarginX;
        }
        if (TrackRecord* r = p.CurrentRecord())
            r->SetPosition(p.PosX, p.PosY);
        p.DefinedFrame = m_currentFrame;
        p.Mark = MarkLost;
        p.Dragging = false;
        p.NeedsPlacing = true;
        p.Score = 0.1;
        SetStatus(k, PointStatus::NeedToPlace);
        p.Started = true;
        p.UpdateMarker(true);
        if (!firstPlaced)
            firstPlaced = &p;
    }
    m_driver.PointsRefreshed();
    // The point to place first is the current one.
    if (firstPlaced)
        SelectOnly(firstPlaced);
}

std::optional<int> TrackingEngine::FindResumeFrame() const
{
    int result = m_rangeLast;
    bool work = false;
    for (const auto& p : m_points) {
        if (!p->Enabled)
            continue;
        bool seenPosition = false;
        for (int64_t f = m_rangeFirst; f <= m_rangeLast; ++f) {
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
    return work ? std::optional<int>(result) : std::nullopt;
}

bool TrackingEngine::NeedsWorkHere() const
{
    if (m_currentFrame >= m_markLast)
        return true;
    for (const auto& p : m_points) {
        if (!p->Enabled)
            continue;
        if (!p->HasPositionAt(m_currentFrame) || !p->HasPositionAt(m_currentFrame + 1))
            return true;
    }
    return false;
}

void TrackingEngine::StopRun()
{
    if (m_inTick) {
        // The tick finishes its frame and then stops; nothing is loaded after.
        if (m_stopReason == StopReason::Running)
            m_stopReason = StopReason::StopRequested;
        m_tickDue = false;
        return;
    }
    if (!m_running && !m_askingToDefine)
        return;
    m_askingToDefine = false;
    m_stopReason = StopReason::Stopped;
    StopTracking();
}

TickOutcome TrackingEngine::OnTimerTick()
{
    if (m_inTick || !m_tickDue || !m_running)
        return TickOutcome::Ignored;
    m_tickDue = false;
    m_inTick = true;
    TickOutcome outcome = Tick();
    m_inTick = false;
    if (m_stopReason == StopReason::StopRequested) {
        m_stopReason = StopReason::Stopped;
        StopTracking();
        outcome = TickOutcome::Stopped;
    }
    return outcome;
}

TickOutcome TrackingEngine::EndRun(StopReason reason)
{
    m_stopReason = reason;
    m_inTick = false;
    StopTracking();
    switch (reason) {
    case StopReason::Finished: return TickOutcome::Finished;
    case StopReason::StepLimit: return TickOutcome::StepLimit;
    case StopReason::FrameNotLoaded: return TickOutcome::FrameNotLoaded;
    default: return TickOutcome::Stopped;
    }
}

TickOutcome TrackingEngine::Tick()
{
    m_question = {};
    m_waitingForUser = false;
    if (--m_stepsLeft < 0)
        return EndRun(StopReason::StepLimit);
    if (!m_points.AnyEnabled()) {
        EndRun(StopReason::Stopped);
        return TickOutcome::NoPoints;
    }
    if (m_resumeFrame && *m_resumeFrame != m_currentFrame && !LoadRunFrame(*m_resumeFrame))
        return EndRun(StopReason::FrameNotLoaded);

    // A point waiting to be placed stops the run at once.
    for (int i = 0; i < m_points.size(); ++i) {
        if (m_points[i]->Enabled && m_points[i]->NeedsPlacing) {
            SetStatus(i, PointStatus::NeedToPlace);
            Wait(i, PanelKind::NeedToPlace);
            return TickOutcome::WaitingForUser;
        }
    }

    // Nothing to do on this frame: jump to the next unfinished one.
    if (!NeedsWorkHere()) {
        const std::optional<int> resume = FindResumeFrame();
        if (!resume)
            return EndRun(StopReason::Finished);
        m_resumeFrame = resume;
        if (*resume != m_currentFrame && !LoadRunFrame(*resume))
            return EndRun(StopReason::FrameNotLoaded);
    }

    StepPoints();
    const int named = EvaluatePoints();
    RefreshPoints();
    if (named >= 0)
        return TickOutcome::WaitingForUser;
    if (m_stopReason == StopReason::StopRequested)
        return TickOutcome::Stopped;  // the caller stops and discards this frame

    // This frame is done: it is kept whatever happens next.
    for (const auto& p : m_points)
        p->Searched = false;
    if (m_currentFrame >= m_rangeLast)
        return EndRun(StopReason::Finished);
    m_resumeFrame = m_currentFrame + 1;
    ScheduleTick();
    return TickOutcome::NextFrame;
}

void TrackingEngine::StepPoints()
{
    for (int i = 0; i < m_points.size(); ++i) {
        TTrackingPoint& p = *m_points[i];
        p.Searched = false;
        if (!p.Enabled)
            continue;
        if (!p.CheckReady() && m_currentFrame != p.DefinedFrame) {
            SetStatus(i, PointStatus::Searching);
            continue;
        }
        if (!p.Started && m_currentFrame < p.DefinedFrame)
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
    if (r && r->Status != 0) {
        p.Confirmed = true;  // tracked before: kept
        return;
    }
    if (!r || !m_working) {
        // Nothing to search on: the point counts as lost, not as found
        // where it was.
        p.Found = false;
        p.Score = 0.0;
        return;
    }
    p.CorrelationStep(*m_working);
    if (p.Mode != ModeManual)
        p.CentreSearch(*m_working, false);
}

int TrackingEngine::EvaluatePoints()
{
    int named = -1;
    PanelKind kind = PanelKind::Tracking;
    for (int i = 0; i < m_points.size(); ++i) {
        TTrackingPoint& p = *m_points[i];
        if (!p.Enabled) {
            SetStatus(i, PointStatus::Ready);
            continue;
        }
        const TrackState state = p.State();
        if (p.Confirmed || state == TrackState::Found) {
            SetStatus(i, PointStatus::AutoTracking);
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
        if (state == TrackState::NotStarted) {
            SetStatus(i, PointStatus::Searching);
            continue;
        }
        // The point needs the user. A score below the threshold is a lost
        // target even when a centre was found near the old position.
        PanelKind need = PanelKind::LostBelowThreshold;
        switch (state) {
        case TrackState::CentreNotFound:
            p.Mark = PointMark::MarkUnconfirmed;
            SetStatus(i, PointStatus::CentreNotFound);
            need = PanelKind::LostCentre;
            break;
        case TrackState::SemiAuto:
            p.Mark = PointMark::MarkUnconfirmed;
            SetStatus(i, PointStatus::NeedToConfirm);
            need = PanelKind::NeedToConfirm;
            break;
        case TrackState::Manual:
            p.Mark = MarkLost;
            SetStatus(i, PointStatus::NeedToPlace);
            need = PanelKind::NeedToPlace;
            break;
        default:
            p.Mark = PointMark::MarkUnconfirmed;
            SetStatus(i, PointStatus::BelowThreshold);
            break;
        }
        if (named < 0) {
            named = i;
            kind = need;
        } else if (p.Searched) {
            // Only the first point is asked about now. The others lose what
            // was searched here, so that going on from this frame searches
            // and judges them again instead of taking their record as done.
            if (TrackRecord* r = p.CurrentRecord())
                r->Clear();
        }
    }
    if (named >= 0)
        Wait(named, kind);
    else
        ShowMessagePanel(kind);
    return named;
}

void TrackingEngine::Wait(int pointIndex, PanelKind kind)
{
    TTrackingPoint* p = m_points[pointIndex];
    SelectOnly(p);
    m_question.point = p;
    m_question.frame = m_currentFrame;
    switch (kind) {
    case PanelKind::LostBelowThreshold: m_question.kind = QuestionKind::LostBelowThreshold; break;
    case PanelKind::LostCentre: m_question.kind = QuestionKind::LostCentre; break;
    case PanelKind::NeedToPlace: m_question.kind = QuestionKind::Place; break;
    default: m_question.kind = QuestionKind::Confirm; break;
    }
    m_panel.pointIndex = pointIndex;
    ShowMessagePanel(kind);
}

void TrackingEngine::ShowMessagePanel(PanelKind kind)
{
    const bool waits = kind != PanelKind::Searching && kind != PanelKind::Tracking;
    const TTrackingPoint* p = nullptr;
    if (waits && m_question.point)
        p = m_question.point;
    else if (m_currentPoint)
        p = m_currentPoint;
    else if (!m_points.isEmpty())
        p = m_points[0];

    RunPanel panel;
    panel.kind = kind;
    panel.pointIndex = p ? m_points.indexOf(p) : -1;
    panel.score = p ? p->Score : 0.0;
    panel.frame = m_currentFrame - m_recording.TimeZeroFrame;
    panel.total = m_markLast - m_markFirst;
    panel.done = m_currentFrame - m_markFirst;
    panel.percent = ProgressPercent(panel.done, panel.total);
    panel.waitingForUser = waits;
    m_waitingForUser = waits;
    m_panel = panel;
    m_driver.Report(panel);
}

void TrackingEngine::StopTracking()
{
    const bool keepFrame = m_stopReason == StopReason::Finished;
    for (int i = 0; i < m_points.size(); ++i) {
        TTrackingPoint& p = *m_points[i];
        p.Mark = MarkConfirmed;
        p.Confirmed = true;
        p.Started = false;
        // A point never placed keeps no stand-in position.
        if (p.NeedsPlacing) {
            if (TrackRecord* r = p.RecordAt(p.DefinedFrame))
                r->Clear();
            p.NeedsPlacing = false;
        }
        SetStatus(i, PointStatus::Ready);
        // What was searched on the frame the run stopped in is not kept.
        if (p.Searched && !keepFrame) {
            p.Score = -1.0;
            if (TrackRecord* r = p.CurrentRecord())
                r->Clear();
        }
        // The flag belongs to this run; a later stop must not clear a frame
        // the user has moved to since.
        p.Searched = false;
        p.UpdateMarker(true);
    }
    m_running = false;
    m_tickDue = false;
    m_askingToDefine = false;
    m_unconfirmedExist = false;
    m_waitingForUser = false;
    m_question = {};
    m_driver.PointsRefreshed();
    m_driver.RunStopped(m_stopReason);
}
