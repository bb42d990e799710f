#include "tracking/engine/TrackingPointList.h"

#include <algorithm>

int TrackingPointList::indexOf(const TTrackingPoint* point) const
{
    for (size_t i = 0; i < m_points.size(); ++i)
        if (m_points[i].get() == point)
            return int(i);
    return -1;
}

int TrackingPointList::NextPointId() const
{
    for (int id = 0; id <= MaxPointId; ++id) {
        const bool used = std::any_of(m_points.begin(), m_points.end(),
                                      [id](const auto& p) { return p->PointId == id; });
        if (!used)
            return id;
    }
    return -1;
}

TTrackingPoint* TrackingPointList::Append(std::unique_ptr<TTrackingPoint> point)
{
    m_points.push_back(std::move(point));
    return m_points.back().get();
}

int TrackingPointList::RemoveMarked()
{
    const auto before = m_points.size();
    std::erase_if(m_points, [](const auto& p) { return p->DeleteMark; });
    return int(before - m_points.size());
}

bool TrackingPointList::AnyEnabled() const
{
    return FirstEnabled() != nullptr;
}

bool TrackingPointList::AnySelected() const
{
    return std::any_of(m_points.begin(), m_points.end(), [](const auto& p) { return p->Selected; });
}

TTrackingPoint* TrackingPointList::FirstEnabled() const
{
    for (const auto& p : m_points)
        if (p->Enabled)
            return p.get();
    return nullptr;
}

void TrackingPointList::DeleteTrackedData(int fromFrame, int endFrame)
{
    if (int64_t(endFrame) - 1 < fromFrame)
        return;
    for (const auto& p : m_points)
        if (p->Selected)
            p->ClearRecords(fromFrame, endFrame);
}
