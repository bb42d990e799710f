#include "adjust/PixelOps.h"

#include "common/Frame.h"
#include "common/Rounding.h"

#include <algorithm>
#include <cmath>
#include <cstring>

void AdjustBrightness(Frame& frame, int32_t offset)
{
    // Offsets beyond ±255 saturate every value anyway; clamping first also
    // keeps v + offset from overflowing.
    const int d = std::clamp<int32_t>(offset, -255, 255);
    if (d == 0 || frame.isEmpty())
        return;
    // A saturating add over the whole buffer (padding included, which nobody
    // reads). Written as a plain compare-and-select so the compiler turns it
    // into packed saturating byte arithmetic.
    uint8_t* p = frame.bits();
    const size_t count = frame.byteCount();
    if (d > 0) {
        const uint8_t add = uint8_t(d);
        const uint8_t limit = uint8_t(255 - d);
        for (size_t i = 0; i < count; ++i)
            p[i] = p[i] > limit ? uint8_t(255) : uint8_t(p[i] + add);
    } else {
        const uint8_t sub = uint8_t(-d);
        for (size_t i = 0; i < count; ++i)
            p[i] = p[i] < sub ? uint8_t(0) : uint8_t(p[i] - sub);
    }
}

ByteTable GammaTable(float exponent)
{
    // Round(i^e × 255 / 255^e), all in double precision: 0 stays 0 and 255
    // stays 255 for every positive exponent (a single-precision factor with
    // truncation turned white into 254 for most slider positions).
    ByteTable table;
    const double e = double(exponent);
    const double factor = 255.0 / std::pow(255.0, e);
    for (int i = 0; i < 256; ++i) {
        const double v = std::pow(double(i), e) * factor;
        // A negative exponent sends 0 to infinity; saturate instead of
        // converting an out-of-range value.
        if (!(v < 255.0))
            table[i] = 255;
        else if (!(v > 0.0))
            table[i] = 0;
        else
            table[i] = uint8_t(Round(v));
    }
    return table;
}

void ApplyGamma(Frame& frame, float exponent)
{
    if (exponent == 0.0f || !std::isfinite(exponent))
        return;
    const ByteTable table = GammaTable(exponent);
    if (!IsIdentityTable(table))
        ApplyByteTable(frame, table);
}

QImage GreyFrame::toImage() const
{
    QImage image(width, height, QImage::Format_Grayscale8);
    for (int y = 0; y < height; ++y)
        std::memcpy(image.scanLine(y), row(y), size_t(width));
    return image;
}

GreyFrame ConvertToGrey8(const Frame& frame)
{
    GreyFrame grey;
    if (frame.isEmpty())
        return grey;
    grey.width = frame.width();
    grey.height = frame.height();
    grey.pixels.resize(size_t(grey.width) * size_t(grey.height));
    uint8_t* out = grey.pixels.data();
    for (int y = 0; y < grey.height; ++y) {
        const uint8_t* p = frame.row(y) + 1; // green byte
        for (int x = 0; x < grey.width; ++x, p += 3)
            *out++ = std::min<uint8_t>(*p, 254);
    }
    return grey;
}
