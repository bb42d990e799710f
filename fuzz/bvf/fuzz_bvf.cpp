// libFuzzer target: Brava header parsing and the whole decode chain.
// The input is a whole .bvf file; the last bytes also steer the decode
// settings so every path (patterns, white balance, gamma, enhancement,
// rotation, white-reference pick) gets exercised.

#include "sources/bvf/BvfReader.h"

#include <QByteArray>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QString error;
    auto reader = TBVSCFILECAM::openBytes(bytes, &error);
    if (!reader)
        return 0;
    // The decode cost grows with the window; skip what would only be slow.
    if (int64_t(reader->windowWidth()) * reader->windowHeight() > 1 << 20)
        return 0;

    reader->readFrame(reader->startFrame());
    reader->readFrame(reader->endFrame());
    reader->readFrame(reader->startFrame() + 1);
    reader->readFrame(reader->startFrame() - 1);

    const uint8_t a = size > 0 ? data[size - 1] : 0;
    const uint8_t b = size > 1 ? data[size - 2] : 0;
    reader->setWbMode(a % 6);
    reader->setGammaMode((a / 6) % 3);
    reader->setEnhanceLevel((a / 18) % 5);
    reader->setChroma((b % 9) * 25);
    reader->setRotation((b / 9) % 4 * 90);
    reader->setSubtractDark(b & 0x80);
    reader->setUserWhiteReference(a, b, a ^ b);
    reader->redecode();
    reader->pickWhiteReference(QPoint(b % 7, a % 5));
    return 0;
}
