// libFuzzer target: Stravo header checks and the whole conversion chain.
// The input is a whole .svf file; its last bytes also steer the settings so
// every path (methods, white balance modes and picks, tone, filters) runs.

#include "sources/svf/SvfConverter.h"

#include <QBuffer>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const uint8_t a = size > 0 ? data[size - 1] : 0;
    const uint8_t b = size > 1 ? data[size - 2] : 0;
    const uint8_t c = size > 2 ? data[size - 3] : 0;
    auto buffer = std::make_unique<QBuffer>();
    buffer->setData(reinterpret_cast<const char*>(data), qsizetype(size));
    buffer->open(QIODevice::ReadOnly);

    TFxSvffFc converter;
    converter.SetConversionMethod(int16_t(1 + a % 8));
    if (!converter.OpenDevice(std::move(buffer)))
        return 0;
    // The conversion cost grows with the frame; skip what would only be slow.
    if (int64_t(converter.header().width) * converter.header().height > 1 << 18)
        return 0;

    int events = 0;
    converter.Converted = [&events](Frame& f) {
        ++events;
        if (f.width() < 1)
            __builtin_trap();
    };
    converter.SetGain(int16_t((a / 8) % 3 * 6));
    converter.SetGamma(int16_t(b % 3 * 2));
    converter.SetEnhance(int16_t((b / 3) % 4 * 2));
    converter.SetWhiteBalance(int16_t(int(c % 7) - 1));
    converter.SetSaturation(int16_t(c * 2 - 60));
    converter.SetHue(int16_t(int(b) * 3 - 400));
    converter.SetKnee(int16_t((a >> 5) & 1));
    converter.SetLowPass((a >> 6) & 1);
    converter.SetRgbCorrection((b >> 7) & 1);
    converter.SetLuminanceLut(int16_t(c % 3));
    converter.SetCustomLut({c, b, a, 300, -5});
    converter.Convert();
    converter.SetFrameNumber(converter.EndFrameNumber());
    converter.CalculateAutoWhite();
    converter.SetWhitePoint(b % 11, a % 7);
    converter.Convert();
    converter.SetFrameNumber(converter.StartFrameNumber() - 1);
    converter.Convert();
    if (events != 3)
        __builtin_trap();
    return 0;
}
