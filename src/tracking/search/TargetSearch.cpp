#include "tracking/search/TargetSearch.h"

#include "common/Rounding.h"

namespace tracking {

void SearchParameters::setSize(int templateWidth, int templateHeight, int searchPercent)
{
    TemplateWidth = templateWidth;
    TemplateHeight = templateHeight;
    SearchPercent = searchPercent;
    updateSearchSize();
}

void SearchParameters::updateSearchSize()
{
    SearchWidth = int32_t(Round(TemplateWidth * double(SearchPercent) / 100.0));
    SearchHeight = int32_t(Round(TemplateHeight * double(SearchPercent) / 100.0));
    MarginX = SearchWidth - TemplateWidth;
    MarginY = SearchHeight - TemplateHeight;
}

double Luminance(const Frame& frame, int x, int y)
{
    if (x < 0 || y < 0 || x >= frame.width() || y >= frame.height())
        return 0.0;
    const uint8_t* p = frame.pixel(x, y);
    return 0.299 * p[2] + 0.587 * p[1] + 0.114 * p[0];
}

// Temporary stubs while the searches are being written.
TargetTemplate CaptureTemplate(const Frame&, double, double, int, int) { return {}; }
PixelRect SearchWindow(int, int, int, int, int, int) { return {}; }
CorrelationResult CorrelationStep(const Frame&, const TargetTemplate&, double x, double y,
                                  const SearchParameters&)
{
    CorrelationResult r;
    r.x = x;
    r.y = y;
    return r;
}
CentreResult Search(const Frame&, const SearchParameters&, double x, double y, bool) { return {false, x, y}; }
CentreResult QuadrantCentre(const Frame&, const SearchParameters&, double x, double y, bool) { return {false, x, y}; }
CentreResult SpotCentre(const Frame&, const SearchParameters&, double x, double y, bool) { return {false, x, y}; }
IntensityRange SpotRange(const Frame&, const SearchParameters&, const PixelRect&) { return {}; }
bool SpiralSeed(const Frame&, int, int, int, int, const PixelRect&, int&, int&) { return false; }
CentreResult RegionCentre(const Frame&, const PixelRect&, bool, int, int, double x, double y) { return {false, x, y}; }
int LabelRegions(const double*, int, int, double, double, std::vector<int32_t>&) { return 0; }
CentreResult CircleCentre(const Frame&, double x, double y, double) { return {false, x, y}; }
CentreResult RingSearch(const Frame&, double x, double y, double) { return {false, x, y}; }
CentreResult LineIntersection(PointD, PointD, PointD, PointD) { return {}; }

} // namespace tracking
