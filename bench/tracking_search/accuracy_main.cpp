// Accuracy of the target search on synthetic sequences with known sub-pixel
// paths: anti-aliased quadrant, light and dark Gaussian spot, textured patch;
// with and without noise. Prints, per method, the RMS and largest distance
// between found and true centres, the frames where the centring failed, and
// a pixel-locking index: how much of the error depends on where the true
// centre falls inside its pixel (0 = none, 1 = as bad as rounding to whole
// pixels), with the mean x error per tenth of a pixel.
//
// Usage: bench_tracking_search_accuracy [frames]   (default 400)

#include "tracking/search/TargetSearch.h"
#include "SyntheticTargets.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

using namespace tracking;
using synthetic::GreyImage;

namespace {

constexpr int Width = 128;
constexpr int Height = 128;
constexpr int Bins = 10;

struct PathPoint { double x, y; };

// A smooth closed path, slow enough (under 0.8 pixel per frame) for every
// search area, whose fractional positions sweep the whole pixel.
PathPoint TruePosition(int frame)
{
    const double t = frame;
    return {64.0 + 12.0 * std::sin(2.0 * M_PI * t / 150.0 + 0.3),
            64.0 + 12.0 * std::sin(2.0 * M_PI * t / 97.0 + 1.1)};
}

using Renderer = std::function<GreyImage(double x, double y)>;

GreyImage Quadrant(double x, double y) { return synthetic::QuadrantImage(Width, Height, x, y, 210.0, 30.0); }

GreyImage LightSpot(double x, double y)
{
    GreyImage img(Width, Height, 40.0);
    synthetic::AddGaussianSpot(img, x, y, 2.5, 180.0);
    return img;
}

GreyImage DarkSpot(double x, double y)
{
    GreyImage img(Width, Height, 210.0);
    synthetic::AddGaussianSpot(img, x, y, 2.5, -170.0);
    return img;
}

// A disc of texture (soft edge) that moves with the target over a flat grey.
GreyImage TexturedPatch(double x, double y)
{
    static const synthetic::Texture texture(31, 16, 1.0);
    // The texture is rendered shifted so that it moves with the patch.
    GreyImage img = texture.render(Width, Height, x - 64.0, y - 64.0);
    for (int j = 0; j < Height; ++j) {
        for (int i = 0; i < Width; ++i) {
            const double d = std::hypot(i + 0.5 - x, j + 0.5 - y);
            const double inside = std::clamp((22.0 - d) / 3.0, 0.0, 1.0);
            img.at(i, j) = 100.0 + (img.at(i, j) - 100.0) * inside;
        }
    }
    return img;
}

struct Sequence {
    std::string name;
    std::vector<Frame> frames;   // noisy or clean frames of the path
};

Sequence MakeSequence(const std::string& name, const Renderer& render, int frames, double noise)
{
    Sequence s{name, {}};
    s.frames.reserve(size_t(frames));
    for (int k = 0; k < frames; ++k) {
        const PathPoint p = TruePosition(k);
        GreyImage img = render(p.x, p.y);
        if (noise > 0.0)
            img.addNoise(noise, uint32_t(1000 + k));
        s.frames.push_back(img.toFrame());
    }
    return s;
}

// How a method is driven over the sequence.
enum class Drive {
    RunUpdated,    // like the tracking run: correlation, then centring, template recaptured every frame
    RunFixed,      // the same with the first template kept
    CentringOnly,  // centring alone, started 0.7, -0.5 pixels off the true centre every frame
};

struct Stats {
    double rms = 0.0;
    double maxError = 0.0;
    int failures = 0;
    double lockIndex = 0.0;
    double binMeanX[Bins] = {};
};

// Pixel-locking index: spread of the mean error over the fractional
// position, relative to the spread that rounding to whole pixels gives.
double LockingSpread(const std::vector<double>& fractions, const std::vector<double>& errors, double* binMeans)
{
    double sum[Bins] = {}, count[Bins] = {};
    for (size_t k = 0; k < errors.size(); ++k) {
        const int b = std::min(Bins - 1, int(fractions[k] * Bins));
        sum[b] += errors[k];
        count[b] += 1;
    }
    double mean = 0.0;
    int used = 0;
    for (int b = 0; b < Bins; ++b) {
        if (count[b] > 0) {
            binMeans[b] = sum[b] / count[b];
            mean += binMeans[b];
            ++used;
        }
    }
    mean /= std::max(used, 1);
    double var = 0.0;
    for (int b = 0; b < Bins; ++b)
        if (count[b] > 0)
            var += (binMeans[b] - mean) * (binMeans[b] - mean);
    return std::sqrt(var / std::max(used, 1));
}

Stats Evaluate(const Sequence& seq, const SearchParameters& params, Drive drive)
{
    std::vector<double> fracX, fracY, errX, errY;
    double sumSq = 0.0;
    Stats stats;
    const PathPoint start = TruePosition(0);
    double x = start.x, y = start.y;
    TargetTemplate templ;
    if (drive != Drive::CentringOnly) {
        // Placement: the wide centring, then the template.
        const CentreResult placed = Search(seq.frames[0], params, x, y, true);
        if (placed.found) {
            x = placed.x;
            y = placed.y;
        }
        templ = CaptureTemplate(seq.frames[0], x, y, params.TemplateWidth, params.TemplateHeight);
    }
    for (size_t k = 1; k < seq.frames.size(); ++k) {
        const Frame& frame = seq.frames[k];
        const PathPoint truth = TruePosition(int(k));
        if (drive == Drive::CentringOnly) {
            const CentreResult r = Search(frame, params, truth.x + 0.7, truth.y - 0.5, false);
            if (!r.found)
                ++stats.failures;
            x = r.x;
            y = r.y;
        } else {
            const CorrelationResult c = CorrelationStep(frame, templ, x, y, params);
            x = c.x;
            y = c.y;
            const CentreResult r = Search(frame, params, x, y, false);
            if (!r.found)
                ++stats.failures;
            x = r.x;
            y = r.y;
            if (drive == Drive::RunUpdated)
                templ = RecaptureTemplate(frame, templ, x, y, params.TemplateWidth, params.TemplateHeight);
        }
        const double ex = x - truth.x, ey = y - truth.y;
        const double e = std::hypot(ex, ey);
        sumSq += e * e;
        stats.maxError = std::max(stats.maxError, e);
        fracX.push_back(truth.x - std::floor(truth.x));
        fracY.push_back(truth.y - std::floor(truth.y));
        errX.push_back(ex);
        errY.push_back(ey);
    }
    stats.rms = std::sqrt(sumSq / double(errX.size()));

    // The same spread for a search that rounds the truth to whole pixels.
    std::vector<double> roundX(fracX.size()), roundY(fracY.size());
    for (size_t k = 0; k < fracX.size(); ++k) {
        roundX[k] = std::round(fracX[k]) - fracX[k];
        roundY[k] = std::round(fracY[k]) - fracY[k];
    }
    double unused[Bins];
    const double reference = 0.5 * (LockingSpread(fracX, roundX, unused) + LockingSpread(fracY, roundY, unused));
    double binY[Bins];
    const double spread = 0.5 * (LockingSpread(fracX, errX, stats.binMeanX) + LockingSpread(fracY, errY, binY));
    stats.lockIndex = spread / reference;
    return stats;
}

struct Row {
    std::string method;
    std::string target;
    SearchParameters params;
    Drive drive;
    const Sequence* clean;
    const Sequence* noisy;
};

const char* DriveName(Drive d)
{
    switch (d) {
    case Drive::RunUpdated: return "run, template updated";
    case Drive::RunFixed: return "run, fixed template";
    case Drive::CentringOnly: return "centring alone";
    }
    return "";
}

SearchParameters MakeParams(uint8_t method, int size, bool weighted = false)
{
    SearchParameters p;
    p.Method = method;
    p.setSize(size, size, 180);
    p.ThresholdPercent = 50;
    p.WeightedCog = weighted ? 1 : 0;
    return p;
}

} // namespace

int main(int argc, char** argv)
{
    const int frames = argc > 1 ? std::max(10, std::atoi(argv[1])) : 400;
    const double noise = 4.0;
    std::printf("Target search accuracy: %d frames of %dx%d, path radius 12 px, noise sigma 0 and %.0f grey levels\n\n",
                frames, Width, Height, noise);

    const Sequence quadClean = MakeSequence("quadrant", Quadrant, frames, 0.0);
    const Sequence quadNoisy = MakeSequence("quadrant", Quadrant, frames, noise);
    const Sequence lightClean = MakeSequence("light spot", LightSpot, frames, 0.0);
    const Sequence lightNoisy = MakeSequence("light spot", LightSpot, frames, noise);
    const Sequence darkClean = MakeSequence("dark spot", DarkSpot, frames, 0.0);
    const Sequence darkNoisy = MakeSequence("dark spot", DarkSpot, frames, noise);
    const Sequence texClean = MakeSequence("textured patch", TexturedPatch, frames, 0.0);
    const Sequence texNoisy = MakeSequence("textured patch", TexturedPatch, frames, noise);

    std::vector<Row> rows;
    for (Drive d : {Drive::CentringOnly, Drive::RunUpdated})
        rows.push_back({"quadrant (15 px, 80 %)", "quadrant", MakeParams(MethodQuadrant, 15), d, &quadClean, &quadNoisy});
    for (bool weighted : {false, true}) {
        for (Drive d : {Drive::CentringOnly, Drive::RunUpdated}) {
            rows.push_back({std::string("light spot, ") + (weighted ? "weighted" : "normal"), "light spot",
                            MakeParams(MethodLightSpot, 15, weighted), d, &lightClean, &lightNoisy});
            rows.push_back({std::string("dark spot, ") + (weighted ? "weighted" : "normal"), "dark spot",
                            MakeParams(MethodDarkSpot, 15, weighted), d, &darkClean, &darkNoisy});
        }
    }
    for (int size : {9, 15, 31}) {
        for (Drive d : {Drive::RunFixed, Drive::RunUpdated}) {
            rows.push_back({"correlation " + std::to_string(size) + " px", "textured patch",
                            MakeParams(MethodCorrelation, size), d, &texClean, &texNoisy});
        }
    }
    for (Drive d : {Drive::RunFixed, Drive::RunUpdated}) {
        rows.push_back({"correlation 15 px", "quadrant", MakeParams(MethodCorrelation, 15), d, &quadClean, &quadNoisy});
        rows.push_back({"correlation 15 px", "light spot", MakeParams(MethodCorrelation, 15), d, &lightClean, &lightNoisy});
    }

    std::printf("%-26s %-15s %-22s | %-28s | %-28s\n", "method", "target", "driven as", "no noise: RMS  max  fail lock",
                "noise: RMS  max  fail lock");
    std::printf("%s\n", std::string(130, '-').c_str());
    std::vector<std::pair<std::string, Stats>> lockingRows;
    for (const Row& row : rows) {
        const Stats a = Evaluate(*row.clean, row.params, row.drive);
        const Stats b = Evaluate(*row.noisy, row.params, row.drive);
        std::printf("%-26s %-15s %-22s | %8.3f %6.3f %4d %5.2f   | %8.3f %6.3f %4d %5.2f\n", row.method.c_str(),
                    row.target.c_str(), DriveName(row.drive), a.rms, a.maxError, a.failures, a.lockIndex, b.rms,
                    b.maxError, b.failures, b.lockIndex);
        lockingRows.push_back({row.method + " / " + row.target + " / " + DriveName(row.drive), a});
    }
    std::printf("\nRMS and max in pixels; fail = frames where the centring reported not found; lock = pixel-locking\n"
                "index (0 none, 1 like rounding to whole pixels).\n\n");

    std::printf("Mean x error (pixels, no noise) by fractional part of the true x position:\n");
    std::printf("%-70s", "method / target / driven as");
    for (int b = 0; b < Bins; ++b)
        std::printf("  .%d-  ", b);
    std::printf("\n");
    for (const auto& [name, stats] : lockingRows) {
        std::printf("%-70s", name.c_str());
        for (int b = 0; b < Bins; ++b)
            std::printf(" %+6.3f", stats.binMeanX[b]);
        std::printf("\n");
    }
    return 0;
}
