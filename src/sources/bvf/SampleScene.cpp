#include "sources/bvf/SampleScene.h"

#include "sources/bvf/BvfDecode.h"
#include "sources/bvf/BvfWriter.h"

#include <QSaveFile>
#include <QTextStream>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace bvf {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

double Phase(int frameIndex, double period)
{
    return kTwoPi * double(frameIndex) / period;
}

// Small deterministic noise in -1..1 from a pixel position and frame.
float Noise(int x, int y, int frame)
{
    uint32_t h = uint32_t(x) * 0x9E3779B1u ^ uint32_t(y) * 0x85EBCA77u ^ uint32_t(frame) * 0xC2B2AE3Du;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    return float(h & 0xffff) / 32767.5f - 1.0f;
}

// Length of the pixel [p - 0.5, p + 0.5) (scene coordinates: pixel
// centres at whole numbers) that lies inside [lo, hi].
double Overlap(int p, double lo, double hi)
{
    return std::clamp(std::min(p + 0.5, hi) - std::max(p - 0.5, lo), 0.0, 1.0);
}

// The still background of a size, three floats per pixel, computed once:
// the trigonometry is most of the work of a frame.
const std::vector<float>& Background(QSize size)
{
    thread_local QSize cachedSize;
    thread_local std::vector<float> cached;
    if (cachedSize == size && !cached.empty())
        return cached;
    const int w = size.width();
    const int h = size.height();
    cached.resize(size_t(w) * size_t(h) * 3);
    std::vector<float> blueTint(static_cast<size_t>(w));
    for (int x = 0; x < w; ++x)
        blueTint[size_t(x)] = 10.0f * std::sin(x / 57.0f);
    for (int y = 0; y < h; ++y) {
        float* p = cached.data() + size_t(y) * size_t(w) * 3;
        const float wobble = 0.7f * std::sin(y / 31.0f);
        for (int x = 0; x < w; ++x) {
            const float base = 105.0f + 28.0f * std::sin(x / 23.0f + wobble)
                + 18.0f * std::cos(y / 17.0f - x / 41.0f);
            p[3 * x] = base * 0.95f + 12.0f;                                   // red
            p[3 * x + 1] = base;                                               // green
            p[3 * x + 2] = base * 0.75f + 20.0f + blueTint[size_t(x)];         // blue
        }
    }
    cachedSize = size;
    return cached;
}

} // namespace

QPointF quadrantCentreAt(int frameIndex, QSize size)
{
    const double t = Phase(frameIndex, 160.0);
    return {size.width() * (0.30 + 0.10 * std::sin(t)),
            size.height() * (0.35 + 0.10 * std::sin(t + 0.8))};
}

QPointF lightSpotCentreAt(int frameIndex, QSize size)
{
    return {size.width() * (0.70 + 0.12 * std::cos(Phase(frameIndex, 200.0))),
            size.height() * (0.30 + 0.08 * std::sin(Phase(frameIndex, 100.0)))};
}

QPointF darkSpotCentreAt(int frameIndex, QSize size)
{
    return {size.width() * (0.55 + 0.25 * std::sin(Phase(frameIndex, 300.0))),
            size.height() * (0.75 + 0.06 * std::cos(Phase(frameIndex, 150.0)))};
}

double quadrantHalfSide(QSize size)
{
    return std::max(3.0, std::min(size.width(), size.height()) / 16.0);
}

double spotSigma(QSize size)
{
    return std::max(1.0, std::min(size.width(), size.height()) / 160.0);
}

void RenderSampleRgb(int frameIndex, QSize size, std::vector<float>& rgb)
{
    const int w = size.width();
    const int h = size.height();
    rgb.resize(size_t(w) * size_t(h) * 3);

    // Background: a still, gently coloured texture with a little sensor noise.
    const std::vector<float>& background = Background(size);
    for (int y = 0; y < h; ++y) {
        float* p = rgb.data() + size_t(y) * size_t(w) * 3;
        const float* b = background.data() + size_t(y) * size_t(w) * 3;
        for (int x = 0; x < w; ++x) {
            const float n = 3.0f * Noise(x, y, frameIndex);
            p[3 * x] = b[3 * x] + n;
            p[3 * x + 1] = b[3 * x + 1] + n;
            p[3 * x + 2] = b[3 * x + 2] + n;
        }
    }

    // Quadrant target, anti-aliased exactly: each pixel takes the share of
    // its area in each quadrant (the square's edges run along the pixel
    // grid, so the shares are products of overlaps), and the true centre is
    // the one the pixels show, whatever its fraction.
    const QPointF q = quadrantCentreAt(frameIndex, size);
    const double a = quadrantHalfSide(size);
    const int qx0 = std::max(0, int(std::floor(q.x() - a - 1)));
    const int qx1 = std::min(w - 1, int(std::ceil(q.x() + a + 1)));
    const int qy0 = std::max(0, int(std::floor(q.y() - a - 1)));
    const int qy1 = std::min(h - 1, int(std::ceil(q.y() + a + 1)));
    for (int y = qy0; y <= qy1; ++y) {
        const double top = Overlap(y, q.y() - a, q.y());
        const double bottom = Overlap(y, q.y(), q.y() + a);
        for (int x = qx0; x <= qx1; ++x) {
            const double left = Overlap(x, q.x() - a, q.x());
            const double right = Overlap(x, q.x(), q.x() + a);
            const float inside = float((left + right) * (top + bottom));
            if (inside <= 0.0f)
                continue;
            // White where left of the centre and below it, or right and above.
            const float whiteShare = float(left * bottom + right * top);
            const float blackShare = inside - whiteShare;
            float* p = rgb.data() + (size_t(y) * size_t(w) + size_t(x)) * 3;
            for (int c = 0; c < 3; ++c)
                p[c] = p[c] * (1.0f - inside) + 235.0f * whiteShare + 15.0f * blackShare;
        }
    }

    // Spots: a warm light one added, a dark one dimming the background.
    const double sigma = spotSigma(size);
    const int reach = int(std::ceil(4.0 * sigma));
    auto spot = [&](QPointF c, auto apply) {
        const int cx = int(std::lround(c.x()));
        const int cy = int(std::lround(c.y()));
        for (int y = std::max(0, cy - reach); y <= std::min(h - 1, cy + reach); ++y)
            for (int x = std::max(0, cx - reach); x <= std::min(w - 1, cx + reach); ++x) {
                const double dx = x - c.x();
                const double dy = y - c.y();
                const float g = float(std::exp(-(dx * dx + dy * dy) / (2.0 * sigma * sigma)));
                apply(rgb.data() + (size_t(y) * size_t(w) + size_t(x)) * 3, g);
            }
    };
    spot(lightSpotCentreAt(frameIndex, size), [](float* p, float g) {
        p[0] += 105.0f * g;
        p[1] += 98.0f * g;
        p[2] += 79.0f * g;
    });
    spot(darkSpotCentreAt(frameIndex, size), [](float* p, float g) {
        for (int c = 0; c < 3; ++c)
            p[c] *= 1.0f - 0.85f * g;
    });
}

void RenderSampleImage(int frameIndex, QSize size, bool colour, int bayerPattern,
                       std::vector<uint8_t>& image)
{
    static thread_local std::vector<float> rgb;
    RenderSampleRgb(frameIndex, size, rgb);
    const int w = size.width();
    const int h = size.height();
    image.resize(size_t(w) * size_t(h));
    for (int y = 0; y < h; ++y) {
        const float* p = rgb.data() + size_t(y) * size_t(w) * 3;
        uint8_t* o = image.data() + size_t(y) * size_t(w);
        for (int x = 0; x < w; ++x) {
            float v;
            if (colour)
                v = p[3 * x + int(SiteColourAt(bayerPattern, x, y))];
            else
                v = 0.299f * p[3 * x] + 0.587f * p[3 * x + 1] + 0.114f * p[3 * x + 2];
            o[x] = uint8_t(std::clamp(std::lround(v), 0L, 255L));
        }
    }
}

bool WriteSampleRecording(const QString& path, const SampleOptions& options, QString* error,
                          const std::function<void(int done, int total)>& progress)
{
    const QSize size = options.size;
    RecordingLayout layout;
    if (size == QSize(640, 480)) {
        layout.model[0] = '2'; layout.model[1] = '0';
    } else if (size == QSize(1024, 768)) {
        layout.model[0] = '2'; layout.model[1] = '1';
    } else if (size == QSize(1280, 1024)) {
        layout.model[0] = '1'; layout.model[1] = '3';
    } else {
        layout.model[0] = 'X'; layout.model[1] = 'S'; // size taken from the description
    }
    layout.sensor = size;
    layout.colour = options.colour;
    layout.startFrame = options.firstFrame;
    layout.endFrame = int32_t(int64_t(options.firstFrame) + options.frames - 1);
    layout.frameRate = options.fps;
    // The scene is already balanced: no white balance, gamma or enhancement.
    layout.settings = SettingsBlock{};

    BvfWriter writer;
    if (!writer.open(path, layout, error))
        return false;
    std::vector<uint8_t> image;
    for (int i = 0; i < options.frames; ++i) {
        if (progress)
            progress(i, options.frames);
        RenderSampleImage(i, size, options.colour, layout.settings.bayerPattern, image);
        if (!writer.writeFrame(image.data())) {
            writer.close();
            if (error)
                *error = QStringLiteral("Cannot write \"%1\".").arg(path);
            return false;
        }
    }
    if (progress)
        progress(options.frames, options.frames);
    return writer.close(error);
}

bool WriteSampleTruth(const QString& path, const SampleOptions& options, QString* error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        if (error)
            *error = QStringLiteral("Cannot write \"%1\": %2").arg(path, file.errorString());
        return false;
    }
    QTextStream out(&file);
    out << "frame,quadrant_x,quadrant_y,light_spot_x,light_spot_y,dark_spot_x,dark_spot_y\n";
    // Image coordinates put the top-left pixel's centre at (0.5, 0.5).
    auto put = [&out](QPointF p) {
        out << ',' << QString::number(p.x() + 0.5, 'f', 6) << ',' << QString::number(p.y() + 0.5, 'f', 6);
    };
    for (int i = 0; i < options.frames; ++i) {
        out << (int64_t(options.firstFrame) + i);
        put(quadrantCentreAt(i, options.size));
        put(lightSpotCentreAt(i, options.size));
        put(darkSpotCentreAt(i, options.size));
        out << '\n';
    }
    out.flush();
    if (!file.commit()) {
        if (error)
            *error = QStringLiteral("Cannot write \"%1\": %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

} // namespace bvf
