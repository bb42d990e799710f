#include "document/ui/ViewResampler.h"

#include "common/Frame.h"

#include <gtest/gtest.h>

namespace {

// A frame whose pixel (x, y) is blue = x, green = y, red = x + y (mod 256).
Frame gradientFrame(int w, int h)
{
    Frame f(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = f.pixel(x, y);
            p[0] = uint8_t(x);
            p[1] = uint8_t(y);
            p[2] = uint8_t(x + y);
        }
    return f;
}

ViewResampler::Source sourceOf(const Frame& f)
{
    return {f.bits(), f.width(), f.height(), f.stride()};
}

QRgb expectedAt(int x, int y)
{
    return qRgb((x + y) & 255, y & 255, x & 255);
}

} // namespace

TEST(ViewResampler, EveryKernelIsIdentityAtScaleOne)
{
    const Frame frame = gradientFrame(37, 23);
    for (int k = 0; k < 4; ++k) {
        ViewResampler resampler;
        QImage dest(50, 40, QImage::Format_RGB32);
        dest.fill(Qt::black);
        const QRect drawn = resampler.Render(sourceOf(frame), dest, dest.rect(), 1.0, 5.0, 3.0, ZoomKernel(k));
        EXPECT_EQ(drawn, QRect(5, 3, 37, 23)) << k;
        for (int y = 0; y < 23; ++y)
            for (int x = 0; x < 37; ++x)
                ASSERT_EQ(dest.pixel(x + 5, y + 3), expectedAt(x, y)) << "kernel " << k << " at " << x << "," << y;
        EXPECT_EQ(dest.pixel(4, 3), qRgb(0, 0, 0)) << "outside the image stays untouched";
    }
}

TEST(ViewResampler, BoxUpscaleRepeatsPixelsAndBoxDownscaleAverages)
{
    Frame frame(4, 2);
    const uint8_t values[2][4] = {{0, 100, 200, 40}, {20, 60, 0, 0}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x)
            std::fill(frame.pixel(x, y), frame.pixel(x, y) + 3, values[y][x]);

    ViewResampler resampler;
    QImage big(16, 8, QImage::Format_RGB32);
    resampler.Render(sourceOf(frame), big, big.rect(), 4.0, 0.0, 0.0, ZoomKernel::Box);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 16; ++x)
            ASSERT_EQ(qBlue(big.pixel(x, y)), values[y / 4][x / 4]) << x << "," << y;

    QImage small(2, 1, QImage::Format_RGB32);
    resampler.Render(sourceOf(frame), small, small.rect(), 0.5, 0.0, 0.0, ZoomKernel::Box);
    EXPECT_EQ(qBlue(small.pixel(0, 0)), 45);  // (0 + 100 + 20 + 60) / 4
    EXPECT_EQ(qBlue(small.pixel(1, 0)), 60);  // (200 + 40 + 0 + 0) / 4
}

TEST(ViewResampler, FlatAreasStayFlatWithEveryKernelAndScale)
{
    Frame frame(40, 30);
    frame.fill(17, 128, 250);
    for (int k = 0; k < 4; ++k)
        for (double scale : {0.13, 0.5, 0.77, 1.5, 3.3, 8.0}) {
            ViewResampler resampler;
            QImage dest(64, 48, QImage::Format_RGB32);
            dest.fill(Qt::black);
            const QRect drawn = resampler.Render(sourceOf(frame), dest, dest.rect(), scale, 1.7, 2.6, ZoomKernel(k));
            ASSERT_FALSE(drawn.isEmpty());
            for (int y = drawn.top(); y <= drawn.bottom(); ++y)
                for (int x = drawn.left(); x <= drawn.right(); ++x)
                    ASSERT_EQ(dest.pixel(x, y), qRgb(250, 128, 17)) << k << " " << scale << " " << x << "," << y;
        }
}

TEST(ViewResampler, LinearInterpolatesBetweenPixelCentres)
{
    Frame frame(2, 1);
    std::fill(frame.pixel(0, 0), frame.pixel(0, 0) + 3, 0);
    std::fill(frame.pixel(1, 0), frame.pixel(1, 0) + 3, 200);
    ViewResampler resampler;
    QImage dest(8, 4, QImage::Format_RGB32);
    resampler.Render(sourceOf(frame), dest, dest.rect(), 4.0, 0.0, 0.0, ZoomKernel::Linear);
    // View pixel centres 0.5..7.5 map to source -0.375..1.375 (clamped at the edges).
    const int expected[8] = {0, 0, 25, 75, 125, 175, 200, 200};
    for (int x = 0; x < 8; ++x)
        EXPECT_NEAR(qBlue(dest.pixel(x, 1)), expected[x], 1) << x;
}

TEST(ViewResampler, OnlyTheClipAndTheImageAreWritten)
{
    const Frame frame = gradientFrame(100, 100);
    ViewResampler resampler;
    QImage dest(50, 50, QImage::Format_RGB32);
    dest.fill(Qt::black);
    const QRect drawn = resampler.Render(sourceOf(frame), dest, QRect(10, 10, 5, 5), 2.0, -20.0, -20.0, ZoomKernel::Cubic);
    EXPECT_EQ(drawn, QRect(10, 10, 5, 5));
    EXPECT_EQ(dest.pixel(9, 10), qRgb(0, 0, 0));
    EXPECT_EQ(dest.pixel(15, 12), qRgb(0, 0, 0));
    // Far away from the view: nothing to draw, no crash.
    EXPECT_TRUE(resampler.Render(sourceOf(frame), dest, dest.rect(), 2.0, 5000.0, 0.0, ZoomKernel::Box).isEmpty());
    EXPECT_TRUE(resampler.Render(sourceOf(frame), dest, dest.rect(), 0.0, 0.0, 0.0, ZoomKernel::Box).isEmpty());
}

TEST(ViewResampler, ALargeViewDrawnAtOnceEqualsItDrawnInSmallTiles)
{
    // A large area is split over threads and its loops run with one tap
    // count for the whole row; small tiles take neither path. The pixels
    // must not depend on it, at the image's edges either.
    Frame frame(700, 530);
    uint32_t seed = 12345;
    for (int y = 0; y < frame.height(); ++y)
        for (int x = 0; x < 3 * frame.width(); ++x) {
            seed = seed * 1664525u + 1013904223u;
            frame.row(y)[x] = uint8_t(seed >> 24);
        }
    const double scales[] = {0.37, 0.61, 1.3};
    for (int k = 0; k < 4; ++k)
        for (const double scale : scales) {
            ViewResampler whole;
            QImage once(900, 640, QImage::Format_RGB32);
            once.fill(0);
            whole.Render(sourceOf(frame), once, once.rect(), scale, -11.3, 7.6, ZoomKernel(k));
            QImage tiled(once.size(), QImage::Format_RGB32);
            tiled.fill(0);
            ViewResampler pieces;
            for (int ty = 0; ty < tiled.height(); ty += 97)
                for (int tx = 0; tx < tiled.width(); tx += 131)
                    pieces.Render(sourceOf(frame), tiled, QRect(tx, ty, 131, 97), scale, -11.3, 7.6, ZoomKernel(k));
            ASSERT_TRUE(once == tiled) << "kernel " << k << " scale " << scale;
        }
}
