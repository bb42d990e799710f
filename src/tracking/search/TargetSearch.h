#pragma once
// Target search of the tracking points: the luminance template, the
// normalised cross-correlation search around the last position with its
// sub-pixel refinement, and the three centring methods (quadrant, light spot,
// dark spot) that then fix the target centre.
//
// Everything here is widget-free and keeps no state between calls: the
// routines read a working bitmap (a 24-bit Frame, bytes blue, green, red) and
// the point's search parameters, and return what they found. The caller (the
// tracking point, see src/tracking/engine) stores the results in its own
// fields and in its current TrackRecord, and sets its Busy / Searched flags.
//
// Coordinates are image pixels: x to the right, y downward, pixel (i, j)
// covers [i, i+1) x [j, j+1), so a pixel centre is at (i + 0.5, j + 0.5).
// Nothing here ever reads outside the frame: every window is clipped at the
// frame edges, and a pixel outside the frame reads as luminance 0.

#include "common/Frame.h"

#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

namespace tracking {

// Target methods, the values of SearchParameters::Method.
enum TargetMethod : uint8_t {
    MethodQuadrant = 0,
    MethodLightSpot = 1,
    MethodDarkSpot = 2,
    MethodCorrelation = 3,
};

// The per-point search settings, with the defaults a new point gets. A
// tracking point holds one of these; the parameter dialog edits it.
struct SearchParameters {
    uint8_t Method = MethodQuadrant;   // TargetMethod
    int32_t TemplateWidth = 9;         // template size in pixels
    int32_t TemplateHeight = 9;
    int32_t SearchPercent = 180;       // search area in percent of the template size
    int32_t SearchWidth = 16;          // Round(TemplateWidth * SearchPercent / 100)
    int32_t SearchHeight = 16;         // Round(TemplateHeight * SearchPercent / 100)
    int32_t MarginX = 7;               // SearchWidth - TemplateWidth
    int32_t MarginY = 7;               // SearchHeight - TemplateHeight
    double Threshold = 0.8;            // acceptance threshold of the correlation score, 0.01 ... 1.00
    // Quadrant method.
    int32_t CentreDiameter = 80;       // centring circle diameter in percent of TemplateWidth
    int32_t MaxCentreMove = 20;        // largest accepted centre movement, pixels
    // Spot methods.
    int32_t FixedRange = 0;            // 1: RangeMin ... RangeMax; 0: adaptive (ThresholdPercent)
    int32_t WeightedCog = 0;           // 1: centre weighted with intensity; 0: normal
    int32_t ThresholdPercent = 0;      // adaptive: percent of the template's max (light) / min (dark)
    int32_t RangeMin = 0;              // fixed: intensity range 0 ... 255
    int32_t RangeMax = 0;

    // Sets the template size and search percent and recomputes SearchWidth,
    // SearchHeight, MarginX and MarginY from them (they always change together).
    void setSize(int templateWidth, int templateHeight, int searchPercent);
    // Recomputes SearchWidth, SearchHeight, MarginX, MarginY from the
    // current template size and SearchPercent.
    void updateSearchSize();
};

// An axis-aligned rectangle of pixels.
struct PixelRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool isEmpty() const { return width <= 0 || height <= 0; }
};

// The luminance template of a point: values indexed (x, y), captured around
// the point's displayed position. The pixels are copied as they are (no
// resampling); the fractions say where the point lay inside the centre
// pixel, so the template's relation to the point is exact.
struct TargetTemplate {
    int width = 0;
    int height = 0;
    double fracX = 0.0;                // TemplateFracX: fractional part of the centre at capture
    double fracY = 0.0;                // TemplateFracY
    std::vector<double> values;        // row-major: values[y * width + x]
    // The point's first template, kept by every template recaptured from it
    // (RecaptureTemplate): each correlation step aligns it once more so that
    // the small errors of successive updates do not add up to a drift.
    // Empty for a first template.
    std::shared_ptr<const TargetTemplate> first;

    bool isEmpty() const { return width <= 0 || height <= 0; }
    double at(int x, int y) const { return values[size_t(y) * size_t(width) + size_t(x)]; }
};

// What a correlation step found.
enum class SearchOutcome : uint8_t {
    Found,           // the best score reaches the point's Threshold
    BelowThreshold,  // searched, but nothing in the window reaches the Threshold: lost
    NotSearchable,   // no search: the template does not fit inside the frame around the
                     // search centre (a target at the border or beyond), or no usable
                     // template or position: lost
};

// Result of a correlation step. The position is always set (the best match,
// or the search centre when nothing could be searched), so the caller
// stores x, y as PosX, PosY and in the current record and sets Score to score;
// only outcome Found means the target is still there.
struct CorrelationResult {
    double x = -1.0;
    double y = -1.0;
    double score = 0.0;         // maximum correlation; 0 when nothing could be searched
    SearchOutcome outcome = SearchOutcome::NotSearchable;
    bool templateInside = false;  // false: the template did not fit around the search centre
    bool refined = false;         // the sub-pixel alignment was applied
    bool firstTemplateUsed = false; // the position comes from aligning the first template

    bool found() const { return outcome == SearchOutcome::Found; }
};

// Result of a centring search. x, y is the position the point takes: the new
// centre when found, else the position it was given (unchanged).
struct CentreResult {
    bool found = false;
    double x = -1.0;
    double y = -1.0;
};

struct PointD {
    double x = 0.0;
    double y = 0.0;
};

// Whether a coordinate can take part in a search: finite and within a
// billion pixels (anything farther is off every frame, and would overflow
// the integer pixel arithmetic). Searches given other coordinates report
// not found / template outside.
inline bool IsUsableCoordinate(double v) { return std::isfinite(v) && std::fabs(v) < 1e9; }

// Largest template CaptureTemplate makes, in pixels (a template is at most
// a frame; this only stops absurd sizes from exhausting memory).
constexpr long long MaxTemplatePixels = 1LL << 26;

// Luminance 0.299 R + 0.587 G + 0.114 B of pixel (x, y), 0 ... 255; a pixel
// outside the frame reads as 0.
double Luminance(const Frame& frame, int x, int y);

// Copies the tw x th luminance template around (displayX, displayY): its
// left/top corner is (Trunc(displayX) - Trunc(tw/2), Trunc(displayY) -
// Trunc(th/2)); pixels outside the frame read as 0. The fractional parts of
// the centre are kept for the correlation position. An empty template comes
// back for a non-positive or absurd size or an unusable position.
TargetTemplate CaptureTemplate(const Frame& frame, double displayX, double displayY,
                               int templateWidth, int templateHeight);

// A template recaptured during a run (the template update): the same as
// CaptureTemplate, keeping `previous`'s first template (or `previous`
// itself when it is a first template) when the size is unchanged.
TargetTemplate RecaptureTemplate(const Frame& frame, const TargetTemplate& previous, double displayX,
                                 double displayY, int templateWidth, int templateHeight);

// Sub-pixel alignment of a template with the frame: the real-valued
// position (left, top) of the template's first pixel at which the frame's
// luminance best matches a * template + b, found by Gauss-Newton from the
// given start on cubic-spline-interpolated luminance. converged is false
// when it did not settle within about 1.5 pixels of the start or the
// template has no gradient to align on; score is the normalised
// correlation there.
struct AlignResult {
    bool converged = false;
    double left = 0.0;
    double top = 0.0;
    double score = 0.0;
};
AlignResult AlignTemplate(const Frame& frame, const TargetTemplate& templ, double left, double top);

// The cubic B-spline coefficients of the luminance of a rectangle of the
// frame (edge pixels repeated beyond the frame), for aligning templates on
// it. Building them is most of an alignment's work, so one patch serves
// every alignment around the same place.
struct SplinePatch {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    std::vector<double> coefficients;   // row-major
};
// Margin around a template that an alignment may move into (a pixel and a
// half each way) plus what the interpolation and the prefilter need.
constexpr int SplinePatchMargin = 7;
void BuildSplinePatch(const Frame& frame, int left, int top, int width, int height, SplinePatch& patch);
// The patch for aligning a template of the given size started at (left, top).
void BuildSplinePatchAround(const Frame& frame, double left, double top, int templateWidth, int templateHeight,
                            SplinePatch& patch);
// AlignTemplate on a patch built beforehand; not converged when the
// alignment would need coefficients beyond the patch.
AlignResult AlignOnPatch(const SplinePatch& patch, const TargetTemplate& templ, double left, double top);

// The search window of width w and height h centred on integer pixel (cx, cy),
// clipped at the frame border. May come back empty for a centre far outside.
PixelRect SearchWindow(int cx, int cy, int w, int h, int frameWidth, int frameHeight);

// Normalised cross-correlation of the template at every offset of the
// search window (params.SearchWidth x params.SearchHeight, clipped at the
// frame) around (searchX, searchY); a window no larger than the template
// still has its one offset. The first maximum in scan order (rows top to
// bottom, each left to right) wins. When it reaches params.Threshold the
// position is refined by aligning the template with the frame
// (AlignTemplate, started from a parabola through the peak); a recaptured
// template then has its first template aligned from there as well, and that
// position is kept when it scores at the Threshold and lies within half a
// pixel. The template's own size is used (not params.TemplateWidth), so a
// template captured before a size change stays consistent. A flat window
// counts as variance 1; a flat template gives correlation 0 everywhere.
// Scores are accurate to about 1e-6. Allocates nothing once its per-thread
// scratch buffers have grown.
CorrelationResult CorrelationStep(const Frame& frame, const TargetTemplate& templ,
                                  double searchX, double searchY,
                                  const SearchParameters& params);

// The centring step of params.Method around (posX, posY); wide is false in
// the tracking run, true when the user places or drops a point. The
// correlation method is always found at (posX, posY). The caller writes the
// result's x, y as PosX, PosY and into the current record, and Found.
CentreResult Search(const Frame& frame, const SearchParameters& params,
                    double posX, double posY, bool wide);

// Quadrant method: the centre of a target of four alternating light and dark
// quadrants, from the circle profile around (posX, posY) (wide: RingSearch
// with a 1.2 times larger circle). Not found when the centre would move
// farther than params.MaxCentreMove.
CentreResult QuadrantCentre(const Frame& frame, const SearchParameters& params,
                            double posX, double posY, bool wide);

// Light and dark spot methods: the region of pixels in the spot's intensity
// range that holds the seed found by SpiralSeed gives a first centre (wide
// makes up to five passes, re-centring the rectangle each time); it is then
// refined without pixel bias: the centroid of the spot's brightness (light)
// or darkness (dark) beyond a level between the local background and the
// spot's extreme, in a template-sized window symmetric about the estimate
// and moved with it until it settles. Weighted or not, as WeightedCog says:
// not weighted, the pixels inside the spot count equally.
CentreResult SpotCentre(const Frame& frame, const SearchParameters& params,
                        double posX, double posY, bool wide);

// The intensity range low ... high that the spot methods use for a template
// rectangle (fixed range, or adaptive from the rectangle's max / min luminance).
struct IntensityRange {
    int low = 0;
    int high = 255;
};
IntensityRange SpotRange(const Frame& frame, const SearchParameters& params, const PixelRect& rect);

// The first pixel whose luminance lies in low ... high along a square spiral
// from (x0, y0) (legs 1, 1, 2, 2, 3, 3, ... going up, left, down, right).
// Only pixels inside `bound` (clipped to the frame) are tested; the walk ends
// with "not found" once the spiral has covered the whole bound.
bool SpiralSeed(const Frame& frame, int x0, int y0, int low, int high,
                const PixelRect& bound, int& seedX, int& seedY);

// The spot centre inside rect: the 4-connected region of pixels with
// luminance in low ... high that holds pixel (Round(seedX), Round(seedY)),
// its centre of gravity (weighted: a light spot with luminance, a dark spot
// with 255 - luminance, whatever the range; normal: every position between
// the leftmost and rightmost region pixel of each row counts), returned as
// a pixel centre (+0.5). Not found when the seed is not strictly inside
// rect, rect leaves the frame, or the seed pixel is out of range. This is a
// whole-pixel first estimate; SpotCentre refines it.
CentreResult RegionCentre(const Frame& frame, const PixelRect& rect, bool weighted, bool darkSpot,
                          int low, int high, double seedX, double seedY);

// Labels the 4-connected regions of values in lo ... hi (both included) of a
// width x height row-major array. Labels are 1, 2, ... in the order in which
// each region's first pixel is met scanning rows top to bottom, each left to
// right; 0 marks values out of range. Returns the number of regions.
int LabelRegions(const double* values, int width, int height, double lo, double hi,
                 std::vector<int32_t>& labels);

// The centre of a quadrant target from a circle of radius r around (x, y):
// 270 bilinear samples of the luminance profile, exactly two rising and two
// falling crossings of the profile's mean, and the intersection of the line
// through the falling points with the line through the rising points.
CentreResult CircleCentre(const Frame& frame, double x, double y, double r);

// CircleCentre tried from candidate centres on three rings around (x, y)
// (radii 0, r, 2r), each success confirmed by a second CircleCentre from the
// centre it found.
CentreResult RingSearch(const Frame& frame, double x, double y, double r);

// Intersection of the line through the falling points F1, F2 with the line
// through the rising points R1, R2; not found when they are parallel.
CentreResult LineIntersection(PointD f1, PointD f2, PointD r1, PointD r2);

} // namespace tracking
