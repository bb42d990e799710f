#pragma once
// The synthetic scene of the sample recordings (qorplayer-cli make-sample):
// a textured, still background with three moving targets, each on a smooth
// periodic path with sub-pixel steps:
//   - a quadrant target: a square checker of four quadrants (top-left and
//     bottom-right black, the other two white);
//   - a light spot and a dark spot, both Gaussian.
// The path functions give the true centres (in pixels, x right, y down, the
// centre of the top-left pixel at (0, 0)) so tracking tests can check
// measured positions against them. `frameIndex` counts from the first frame
// of the recording (0, 1, 2, ...), whatever the camera's frame numbers are.

#include <QPointF>
#include <QSize>
#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

namespace bvf {

constexpr QSize kDefaultSampleSize{640, 480};

QPointF quadrantCentreAt(int frameIndex, QSize size = kDefaultSampleSize);
QPointF lightSpotCentreAt(int frameIndex, QSize size = kDefaultSampleSize);
QPointF darkSpotCentreAt(int frameIndex, QSize size = kDefaultSampleSize);
// Half the side of the quadrant target's square, in pixels.
double quadrantHalfSide(QSize size = kDefaultSampleSize);
// Standard deviation of both spots, in pixels.
double spotSigma(QSize size = kDefaultSampleSize);

struct SampleOptions {
    QSize size = kDefaultSampleSize;
    int frames = 200;
    int fps = 1000;
    int firstFrame = 0;
    bool colour = false;
};

// Renders frame `frameIndex` as RGB (three floats per pixel, 0..255).
void RenderSampleRgb(int frameIndex, QSize size, std::vector<float>& rgb);
// The camera image of a frame: grey samples, or a Bayer mosaic (pattern
// 0..3) of the RGB picture when `colour`.
void RenderSampleImage(int frameIndex, QSize size, bool colour, int bayerPattern,
                       std::vector<uint8_t>& image);

// Writes a whole sample recording; progress, when given, hears before each
// frame and once at the end.
bool WriteSampleRecording(const QString& path, const SampleOptions& options, QString* error,
                          const std::function<void(int done, int total)>& progress = {});

// Writes the true target centres of every frame of such a recording as CSV
// in image coordinates (top-left pixel centre at (0.5, 0.5), the scene's
// paths plus half a pixel): a header line, then one line per frame with the
// camera frame number and x, y of the quadrant, light spot and dark spot.
bool WriteSampleTruth(const QString& path, const SampleOptions& options, QString* error);

} // namespace bvf
