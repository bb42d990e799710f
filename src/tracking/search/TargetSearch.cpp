// Search parameters, luminance, template capture and the dispatch of the
// centring step by method.

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

TargetTemplate CaptureTemplate(const Frame& frame, double displayX, double displayY,
                               int templateWidth, int templateHeight)
{
    TargetTemplate t;
    if (templateWidth <= 0 || templateHeight <= 0
        || (long long)templateWidth * templateHeight > MaxTemplatePixels || !IsUsableCoordinate(displayX) || !IsUsableCoordinate(displayY))
        return t;
    t.width = templateWidth;
    t.height = templateHeight;
    const int left = int(Trunc(displayX) - templateWidth / 2);
    const int top = int(Trunc(displayY) - templateHeight / 2);
    t.values.resize(size_t(templateWidth) * size_t(templateHeight));
    for (int j = 0; j < templateHeight; ++j)
        for (int i = 0; i < templateWidth; ++i)
            t.values[size_t(j) * templateWidth + i] = Luminance(frame, left + i, top + j);
    t.fracX = displayX - double(Trunc(displayX));
    t.fracY = displayY - double(Trunc(displayY));
    return t;
}

TargetTemplate RecaptureTemplate(const Frame& frame, const TargetTemplate& previous, double displayX,
                                 double displayY, int templateWidth, int templateHeight)
{
    TargetTemplate t = CaptureTemplate(frame, displayX, displayY, templateWidth, templateHeight);
    if (t.isEmpty() || previous.isEmpty() || previous.width != t.width || previous.height != t.height)
        return t;
    t.first = previous.first ? previous.first : std::make_shared<const TargetTemplate>(previous);
    return t;
}

CentreResult Search(const Frame& frame, const SearchParameters& params,
                    double posX, double posY, bool wide)
{
    switch (params.Method) {
    case MethodQuadrant:
        return QuadrantCentre(frame, params, posX, posY, wide);
    case MethodLightSpot:
    case MethodDarkSpot:
        return SpotCentre(frame, params, posX, posY, wide);
    default:
        // Correlation alone: the correlation position is the centre.
        return {true, posX, posY};
    }
}

} // namespace tracking
