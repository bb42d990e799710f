#include "tracking/engine/TrackingEngine.h"

#include "common/Frame.h"

#include <algorithm>
#include <cmath>

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

void TrackingEngine::SetRange(int rangeFirst, int rangeLast, int markFirst, int markLast)
{
    m_rangeFirst = rangeFirst;
    m_rangeLast = rangeLast;
    m_markFirst = markFirst;
    m_markLast = markLast;
}

void TrackingEngine::SetStatus(int index, PointStatus status)
{
    if (index < 0 || index >= m_points.size())
        return;
    // A disabled point reads "disabled" rather than "ready".
    if (status == PointStatus::Ready && !m_points[index]->Enabled)
        status = PointStatus::Disabled;
    m_driver.PointStatusChanged(index, status);
}

void TrackingEngine::SetCurrentPoint(TTrackingPoint* point)
{
    if (point && m_points.indexOf(point) < 0)
        point = nullptr;
    m_currentPoint = point;
}

void TrackingEngine::RecomputeUnconfirmed()
{
    m_unconfirmedExist = std::any_of(m_points.begin(), m_points.end(),
                                     [](const auto& q) { return !q->Confirmed; });
}

// --- Frames ---------------------------------------------------------------

bool TrackingEngine::GoToFrame(int frame)
{
    if (m_running || m_inTick || m_askingToDefine)
        return false;
    const Frame* working = m_driver.FrameAt(frame);
    if (!working)
        return false;
    m_currentFrame = frame;
    m_working = working;
    RefreshPoints();
    return true;
}

bool TrackingEngine::FrameChanged(int frame, const Frame* working)
{
    if (m_running || m_inTick || m_askingToDefine)
        return false;
    m_currentFrame = frame;
    m_working = working;
    RefreshPoints();
    return true;
}

bool TrackingEngine::LoadRunFrame(int frame)
{
    const Frame* working = m_driver.FrameAt(frame);
    if (!working) {
        m_failedFrame = frame;
        return false;
    }
    m_currentFrame = frame;
    m_working = working;
    RefreshPoints();
    return true;
}

void TrackingEngine::RefreshPoints()
{
    for (int i = 0; i < m_points.size(); ++i) {
        TTrackingPoint& p = *m_points[i];
        p.FrameNo = m_currentFrame;
        p.BaseFrame = m_recording.FirstFrame;
        const TrackRecord* r = p.CurrentRecord();
        if (!r) {
            // The document shows a frame outside the recording: nothing to
            // show for this point; its data are left alone.
            continue;
        }
        p.DisplayX = r->X;
        p.DisplayY = r->Y;
        // Outside a run, another frame drops a position that was moved but
        // not confirmed: the point is back on its stored place, confirmed.
        if (!m_running) {
            p.Confirmed = true;
            if (p.Mark == PointMark::MarkUnconfirmed && !p.Dragging) {
                p.Mark = PointMark::MarkConfirmed;
                SetStatus(i, PointStatus::Ready);
            }
        }
        p.ShowMarker = true;
        p.UpdateMarker(true);
    }
    if (!m_running)
        RecomputeUnconfirmed();
    m_driver.PointsRefreshed();
}

// --- Point commands -----------------------------------------------------------

tracking::SearchParameters TrackingEngine::DefaultParameters(uint8_t method)
{
    TTrackingPoint p;
    p.Params.Method = method;
    p.SetDefaults();
    return p.Params;
}

TTrackingPoint* TrackingEngine::AddPoint(uint8_t method, double x, double y)
{
    return AddPoint(x, y, DefaultParameters(method));
}

TTrackingPoint* TrackingEngine::AddPoint(double x, double y, const tracking::SearchParameters& params)
{
    if (m_running || m_inTick || m_askingToDefine)
        return nullptr;
    const int id = m_points.NextPointId();
    if (id < 0)
        return nullptr;
    auto created = std::make_unique<TTrackingPoint>();
    TTrackingPoint& p = *created;
    p.Params.Method = params.Method;
    p.SetDefaults();
    p.Params = params;
    p.Params.updateSearchSize();
    p.PosX = x;
    p.PosY = y;
    p.FrameNo = m_currentFrame;
    p.DefinedFrame = m_currentFrame;
    p.BaseFrame = m_recording.FirstFrame;
    p.ZoomFactor = ZoomFactorFor(m_zoomViewWidth, p.Params.SearchWidth);
    p.PointId = id;
    p.Name = QStringLiteral("Point %1").arg(id);
    p.InitRecords(m_recording.FirstFrame, m_recording.FrameCount, m_recording.TimeZeroFrame,
                  m_recording.FrameRate);
    if (TrackRecord* r = p.CurrentRecord())
        r->SetPosition(x, y);

    m_currentPoint = m_points.Append(std::move(created));
    RefreshPoints();
    if (m_working) {
        // RefreshPoints took the working position from the record just set.
        p.CentreSearch(*m_working, true);
        if (p.Found)
            p.Confirm();
        p.CaptureTemplate(*m_working);
    }
    ConfirmCurrent();
    m_driver.SelectionChanged();
    return &p;
}

DeleteOutcome TrackingEngine::DeleteSelectedPoints(int* deleted)
{
    if (deleted)
        *deleted = 0;
    if (m_running || m_inTick || m_askingToDefine)
        return DeleteOutcome::Refused;
    if (!m_points.AnySelected())
        return DeleteOutcome::NoneSelected;
    for (const auto& p : m_points)
        p->DeleteMark = p->Selected;
    const int removed = m_points.RemoveMarked();
    if (deleted)
        *deleted = removed;
    for (const auto& p : m_points)
        p->Selected = false;
    RecomputeUnconfirmed();
    SyncSelection();
    return DeleteOutcome::Deleted;
}

bool TrackingEngine::DeleteTrackedData(int fromFrame, int endFrame)
{
    if (m_running || m_inTick || m_askingToDefine)
        return false;
    if (int64_t(endFrame) - 1 < fromFrame)
        return true;
    m_points.DeleteTrackedData(fromFrame, endFrame);
    RefreshPoints();
    m_resumeFrame.reset();
    return true;
}

void TrackingEngine::Confirm(TTrackingPoint& p)
{
    if (TrackRecord* r = p.CurrentRecord())
        r->SetPosition(p.PosX, p.PosY);
    p.Confirm();
    if (m_working)
        p.CaptureTemplate(*m_working);
}

void TrackingEngine::ConfirmCurrent()
{
    TTrackingPoint* p = m_currentPoint;
    if (!p || p->Busy || p->PosX == -1.0 || m_inTick)
        return;
    Confirm(*p);
    RecomputeUnconfirmed();
    p->UpdateMarker(true);
    SetStatus(m_points.indexOf(p), m_running ? PointStatus::AutoTracking : PointStatus::Ready);
    m_driver.PointsRefreshed();
    if (m_running && m_waitingForUser) {
        // The answer to the run's question: go on from this frame.
        m_stopReason = StopReason::Running;
        m_resumeFrame = m_currentFrame;
        m_waitingForUser = false;
        m_question = {};
        ScheduleTick();
    }
}

void TrackingEngine::UndoCurrent()
{
    TTrackingPoint* p = m_currentPoint;
    if (!p || p->Busy || m_inTick)
        return;
    const bool placing = p->NeedsPlacing;
    p->Dragging = false;
    p->RevertToStored();
    p->UpdateMarker(true);
    RecomputeUnconfirmed();
    SetStatus(m_points.indexOf(p), placing ? PointStatus::NeedToPlace : PointStatus::Ready);
    m_driver.PointsRefreshed();
}

void TrackingEngine::SelectOnly(TTrackingPoint* point)
{
    for (const auto& p : m_points)
        p->Selected = p.get() == point;
    SyncSelection();
}

void TrackingEngine::SyncSelection()
{
    TTrackingPoint* only = nullptr;
    int selected = 0;
    for (const auto& p : m_points) {
        if (p->Selected) {
            only = p.get();
            ++selected;
        }
    }
    m_currentPoint = selected == 1 ? only : nullptr;
    m_driver.SelectionChanged();
}

void TrackingEngine::ToggleSelectedEnabled()
{
    if (m_inTick || m_askingToDefine)
        return;
    bool allEnabled = true;
    bool any = false;
    for (const auto& p : m_points) {
        if (p->Selected) {
            any = true;
            allEnabled = allEnabled && p->Enabled;
        }
    }
    if (!any)
        return;
    for (int i = 0; i < m_points.size(); ++i) {
        TTrackingPoint& p = *m_points[i];
        if (!p.Selected)
            continue;
        if (allEnabled) {
            p.Enabled = false;
            SetStatus(i, PointStatus::Disabled);
            if (m_running) {
                if (TrackRecord* r = p.CurrentRecord())
                    r->Clear();
                p.NeedsPlacing = false;
                p.Confirmed = true;
            }
        } else {
            p.Enabled = true;
            SetStatus(i, PointStatus::Ready);
        }
    }
    RefreshPoints();
    if (m_running) {
        m_resumeFrame = m_currentFrame;
        m_waitingForUser = false;
        m_question = {};
        ScheduleTick();
    }
}

void TrackingEngine::SetSelectedMode(PointMode mode)
{
    if (m_inTick)
        return;
    for (const auto& p : m_points)
        if (p->Selected)
            p->Mode = mode;
    m_driver.PointsRefreshed();
}

void TrackingEngine::SetSelectedMethod(uint8_t method)
{
    if (m_inTick || method > tracking::MethodCorrelation)
        return;
    for (const auto& p : m_points)
        if (p->Selected)
            p->Params.Method = method;
    m_driver.PointsRefreshed();
}

void TrackingEngine::BeginDrag(TTrackingPoint* point)
{
    if (!point || m_inTick || m_points.indexOf(point) < 0)
        return;
    SelectOnly(point);
    point->Dragging = true;
    point->Confirmed = false;
    point->Mark = PointMark::MarkUnconfirmed;
    m_unconfirmedExist = true;
    SetStatus(m_points.indexOf(point), PointStatus::NeedToConfirm);
    point->UpdateMarker(true);
    m_driver.PointsRefreshed();
}

void TrackingEngine::EndDrag(TTrackingPoint* point, double x, double y)
{
    if (!point || m_points.indexOf(point) < 0)
        return;
    point->Dragging = false;
    // While the run works on a frame, a dropped marker is left as dragged.
    if (m_inTick || (m_running && !m_waitingForUser))
        return;
    m_currentPoint = point;
    point->PosX = x;
    point->PosY = y;
    if (m_working) {
        // The centring search writes the record; the stored position stays
        // until the user confirms, so that Undo can go back to it.
        TrackRecord* r = point->CurrentRecord();
        const TrackRecord stored = r ? *r : TrackRecord{};
        point->CentreSearch(*m_working, true);
        if (r)
            *r = stored;
    }
    MarkUnconfirmed(point);
}

void TrackingEngine::MoveCurrentTo(double x, double y)
{
    if (!m_currentPoint || m_inTick)
        return;
    m_currentPoint->PosX = x;
    m_currentPoint->PosY = y;
    MarkUnconfirmed(m_currentPoint);
}

void TrackingEngine::MarkUnconfirmed(TTrackingPoint* point)
{
    if (!point || m_points.indexOf(point) < 0)
        return;
    point->Confirmed = false;
    point->Mark = PointMark::MarkUnconfirmed;
    m_unconfirmedExist = true;
    SetStatus(m_points.indexOf(point), PointStatus::NeedToConfirm);
    m_driver.PointsRefreshed();
}

std::optional<KinematicsSeries> TrackingEngine::CurrentPointSeries(const KinematicsSettings& settings,
                                                                   KinematicsQuantity quantity, bool smoothed) const
{
    if (!m_currentPoint)
        return std::nullopt;
    return ComputeSeries(m_currentPoint->Records, settings, quantity, smoothed);
}
