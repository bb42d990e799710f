#include "tracking/ui/ParamPreview.h"

#include "common/Frame.h"
#include "common/Rounding.h"

#include <algorithm>
#include <cstdlib>

namespace paramview {

int PreviewScaleFor(int viewWidth, int searchWidth)
{
    if (searchWidth <= 0)
        return MaxPreviewScale;
    const double wanted = double(viewWidth) / (2.0 * searchWidth);
    int best = 1;
    for (int z = 2; z <= MaxPreviewScale; z *= 2) {
        // Strictly nearer only: a tie keeps the smaller scale.
        if (std::abs(z - wanted) < std::abs(best - wanted))
            best = z;
    }
    return best;
}

QString ZoomText(int scale)
{
    return QString::number(scale * 100) + QStringLiteral(" %");
}

QPoint CentredOrigin(double x, double y, int viewWidth, int viewHeight, int scale)
{
    const int z = std::max(1, scale);
    const long long left = Round(x - viewWidth / (2.0 * z));
    const long long top = Round(y - viewHeight / (2.0 * z));
    return QPoint(int(std::clamp<long long>(left, 0, 1 << 30)), int(std::clamp<long long>(top, 0, 1 << 30)));
}

tracking::PixelRect PreviewTemplateRect(double x, double y, int templateWidth, int templateHeight)
{
    tracking::PixelRect r;
    r.left = int(std::max<long long>(0, Trunc(x - templateWidth / 2.0)));
    r.top = int(std::max<long long>(0, Trunc(y - templateHeight / 2.0)));
    r.width = templateWidth;
    r.height = templateHeight;
    return r;
}

void PaintRangeRed(Frame& frame, const tracking::PixelRect& rect, int low, int high)
{
    if (low < 0 || high > 255 || rect.isEmpty())
        return;
    const int left = std::max(rect.left, 0);
    const int top = std::max(rect.top, 0);
    const int right = int(std::min<long long>((long long)rect.left + rect.width, frame.width()));
    const int bottom = int(std::min<long long>((long long)rect.top + rect.height, frame.height()));
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            const double l = tracking::Luminance(frame, x, y);
            if (l >= low && l <= high) {
                uint8_t* p = frame.pixel(x, y);
                p[0] = 0;
                p[1] = 0;
                p[2] = 255;
            }
        }
    }
}

QPoint ViewPoint(double x, double y, QPoint origin, int scale)
{
    return QPoint(int(Round((x - origin.x()) * scale)), int(Round((y - origin.y()) * scale)));
}

PreviewMarks MarksFor(const MarksInput& in)
{
    PreviewMarks m;
    const double tw = in.templateWidth;
    const double th = in.templateHeight;
    m.centre = ViewPoint(in.x, in.y, in.origin, in.scale);
    m.templateTopLeft = ViewPoint(in.x - tw / 2, in.y - th / 2, in.origin, in.scale);
    m.templateBottomRight = ViewPoint(in.x + tw / 2, in.y + th / 2, in.origin, in.scale);
    const double sw = in.searchPercent / 100.0 * tw;
    const double sh = in.searchPercent / 100.0 * th;
    m.searchTopLeft = ViewPoint(in.x - sw / 2, in.y - sh / 2, in.origin, in.scale);
    m.searchBottomRight = ViewPoint(in.x + sw / 2, in.y + sh / 2, in.origin, in.scale);
    if (in.circle) {
        m.hasCircle = true;
        m.circleCentre = QPointF((in.x - in.origin.x()) * in.scale, (in.y - in.origin.y()) * in.scale);
        m.circleRadius = in.circlePercent / 100.0 * tw / 2.0 * in.scale;
    }
    if (in.spotFound) {
        m.hasSpotCentre = true;
        m.spotCentre = ViewPoint(in.spotX, in.spotY, in.origin, in.scale);
    }
    return m;
}

} // namespace paramview
