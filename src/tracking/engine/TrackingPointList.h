#pragma once
// The tracking points of one document, in list order. The document owns the
// list; the tracking engine and the user interface work on it. Points are
// held by pointer, so a point's address stays valid while it is in the list
// (the user interface may key its markers by it).

#include "tracking/engine/TrackingPoint.h"

#include <memory>
#include <vector>

class TrackingPointList {
public:
    // The largest PointId (it is a small signed number in the point lists
    // users see and in older files).
    static constexpr int MaxPointId = 127;

    int size() const { return int(m_points.size()); }
    bool isEmpty() const { return m_points.empty(); }
    TTrackingPoint* at(int index) const { return m_points[size_t(index)].get(); }
    TTrackingPoint* operator[](int index) const { return at(index); }
    int indexOf(const TTrackingPoint* point) const;

    auto begin() const { return m_points.begin(); }
    auto end() const { return m_points.end(); }

    // The smallest id >= 0 that no point has; -1 when all MaxPointId + 1 are taken.
    int NextPointId() const;
    TTrackingPoint* Append(std::unique_ptr<TTrackingPoint> point);
    // Removes and frees every point whose DeleteMark is set; returns how many.
    int RemoveMarked();
    void Clear() { m_points.clear(); }

    bool AnyEnabled() const;
    bool AnySelected() const;
    TTrackingPoint* FirstEnabled() const;

    // "Delete Tracked Data": clears frames a <= f < b of every selected
    // point (frame b is kept). Nothing happens when b - 1 < a.
    void DeleteTrackedData(int fromFrame, int endFrame);

private:
    std::vector<std::unique_ptr<TTrackingPoint>> m_points;
};
