#pragma once
// The magnifier ("Zoom Watch"): a rectangle of the picture, kept in image
// coordinates so it follows zoom and scroll, that shows what lies under it
// (picture, grid, ruler) enlarged by 10^(level / 50) about its centre, inside
// a raised frame. The user moves and resizes it through its band.

#include "document/ui/ViewResampler.h"
#include "overlays/MagnifierGeometry.h"
#include "overlays/ViewMapping.h"

#include <QImage>
#include <QRect>
#include <QRectF>

class Magnifier {
public:
    // Level 10 as the 64 × 64 image square centred on the point; selected.
    void show(QPointF centreImagePoint);
    void remove();
    bool exists() const { return m_exists; }

    int level() const { return m_level; }
    void setLevel(int level); // 0..50
    QRectF rect() const { return m_rect; } // image coordinates
    void setRect(const QRectF& imageRect);
    bool selected() const { return m_selected; }
    void setSelected(bool selected);

    // Its place in the view: the band (exact) and the painted area (whole pixels).
    QRectF bandInView(const ViewMapping& map) const { return map.toView(m_rect); }
    QRect paintedInView(const ViewMapping& map) const;
    // The part under a view position: a handle of the selected band, the body
    // (anywhere inside), or none.
    BandHandle hit(QPointF viewPos, const ViewMapping& map) const;

    // Band drags: `deltaInImage` from where the drag began; with `symmetric`
    // (Ctrl held) a handle drag keeps the centre.
    void beginDrag(BandHandle handle);
    bool dragging() const { return m_drag != BandHandle::None; }
    void dragBy(QPointF deltaInImage, bool symmetric);
    void endDrag() { m_drag = BandHandle::None; }

    // Enlarges what `buffer` holds under the magnifier into the same place and
    // draws the raised frame. Samples a snapshot, so the lower layers painted
    // into the buffer are magnified too.
    void paint(QImage& buffer, const ViewMapping& map);

private:
    bool m_exists = false;
    bool m_selected = false;
    int m_level = 10;
    QRectF m_rect;
    BandHandle m_drag = BandHandle::None;
    QRectF m_dragStart;
    ViewResampler m_resampler; // its own, so the picture's tables stay cached
    QImage m_snapshot;         // 24-bit copy of the area under it
};
