#include "sources/svf/SvfFormat.h"

#include <cstring>

namespace svf {

QByteArray HeaderBytes(const Header& header)
{
    QByteArray out(kHeaderSize, '\0');
    char* p = out.data();
    std::memcpy(p, kMagic, 4);
    WriteLE<uint16_t>(p + kOffVersion, kVersion);
    WriteLE<uint16_t>(p + kOffHeaderSize, kHeaderSize);
    const QByteArray name = header.modelName.toLatin1().left(kModelNameField - 1);
    p[kOffModelName] = char(name.size());
    std::memcpy(p + kOffModelName + 1, name.constData(), size_t(name.size()));
    WriteLE<int32_t>(p + kOffStartFrame, header.startFrame);
    WriteLE<int32_t>(p + kOffEndFrame, header.endFrame);
    WriteLE<int32_t>(p + kOffRecordRate, header.recordRate);
    WriteLE<uint16_t>(p + kOffWidth, uint16_t(header.width));
    WriteLE<uint16_t>(p + kOffHeight, uint16_t(header.height));
    WriteLE<int32_t>(p + kOffShutter, header.shutter);
    WriteLE<int32_t>(p + kOffFrameTotal, header.frameTotal);
    p[kOffBayerPattern] = char(header.bayerPattern);
    p[kOffBitsPerSample] = char(kBitsPerSample);
    WriteLE<uint16_t>(p + kOffBlackLevel, uint16_t(header.blackLevel));
    for (int c = 0; c < 3; ++c)
        WriteLE<uint16_t>(p + kOffRegisteredWhite + 2 * c, header.registeredWhite[c]);
    WriteLE<int64_t>(p + kOffFramesOffset, header.framesOffset);
    WriteLE<int64_t>(p + kOffFrameStride,
                     header.frameStride > 0 ? header.frameStride : PackedFrameBytes(header.width, header.height));
    return out;
}

bool ParseHeader(const char* p, int64_t fileSize, Header* header, QString* error)
{
    auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    if (std::memcmp(p, kMagic, 4) != 0)
        return fail(QStringLiteral("The file is not a Stravo recording (it does not start with \"SVF1\")."));
    const int version = ReadLE<uint16_t>(p + kOffVersion);
    if (version != kVersion)
        return fail(QStringLiteral("The recording has format version %1; this program reads version %2.")
                        .arg(version).arg(kVersion));
    if (ReadLE<uint16_t>(p + kOffHeaderSize) != kHeaderSize)
        return fail(QStringLiteral("The recording's header size is not %1 bytes.").arg(kHeaderSize));

    Header h;
    const int nameLength = std::min<int>(uint8_t(p[kOffModelName]), kModelNameField - 1);
    h.modelName = QString::fromLatin1(p + kOffModelName + 1, nameLength);
    h.startFrame = ReadLE<int32_t>(p + kOffStartFrame);
    h.endFrame = ReadLE<int32_t>(p + kOffEndFrame);
    h.recordRate = ReadLE<int32_t>(p + kOffRecordRate);
    h.width = ReadLE<uint16_t>(p + kOffWidth);
    h.height = ReadLE<uint16_t>(p + kOffHeight);
    h.shutter = ReadLE<int32_t>(p + kOffShutter);
    h.frameTotal = ReadLE<int32_t>(p + kOffFrameTotal);
    h.bayerPattern = uint8_t(p[kOffBayerPattern]);
    const int bits = uint8_t(p[kOffBitsPerSample]);
    h.blackLevel = ReadLE<uint16_t>(p + kOffBlackLevel);
    for (int c = 0; c < 3; ++c)
        h.registeredWhite[c] = ReadLE<uint16_t>(p + kOffRegisteredWhite + 2 * c);
    h.framesOffset = ReadLE<int64_t>(p + kOffFramesOffset);
    h.frameStride = ReadLE<int64_t>(p + kOffFrameStride);

    if (bits != kBitsPerSample)
        return fail(QStringLiteral("The recording stores %1-bit samples; only 12-bit samples are read.").arg(bits));
    if (h.width < 4 || h.height < 4 || h.width > kMaxSide || h.height > kMaxSide || h.width % 2 != 0 || h.height % 2 != 0)
        return fail(QStringLiteral("The image size %1 x %2 is not valid (even sides from 4 to %3 pixels).")
                        .arg(h.width).arg(h.height).arg(kMaxSide));
    if (h.bayerPattern > 3)
        return fail(QStringLiteral("The Bayer pattern code %1 is not valid (0 to 3).").arg(h.bayerPattern));
    if (h.recordRate <= 0 || h.recordRate > kMaxRecordRate)
        return fail(QStringLiteral("The record rate (%1 frames per second) is not valid.").arg(h.recordRate));
    if (h.shutter <= 0)
        return fail(QStringLiteral("The shutter value (1/%1 s) is not valid.").arg(h.shutter));
    if (h.blackLevel >= kMaxSample)
        return fail(QStringLiteral("The black level (%1) is not below the white level.").arg(h.blackLevel));
    if (h.frameTotal < 1)
        return fail(QStringLiteral("The recording holds no frames (frame total %1).").arg(h.frameTotal));
    if (int64_t(h.endFrame) - h.startFrame + 1 != h.frameTotal)
        return fail(QStringLiteral("The frame numbers %1 to %2 do not match the frame total %3.")
                        .arg(h.startFrame).arg(h.endFrame).arg(h.frameTotal));
    const int64_t packed = PackedFrameBytes(h.width, h.height);
    if (h.frameStride < packed || h.frameStride > kMaxFrameStride)
        return fail(QStringLiteral("The frame stride (%1 bytes) does not fit frames of %2 x %3 pixels.")
                        .arg(h.frameStride).arg(h.width).arg(h.height));
    if (h.framesOffset < kHeaderSize || h.framesOffset > fileSize)
        return fail(QStringLiteral("The first frame's offset (%1) lies outside the file.").arg(h.framesOffset));
    // Every frame must be in the file: (total - 1) strides plus one frame,
    // compared without overflowing.
    const int64_t room = fileSize - h.framesOffset;
    const bool fits = room >= packed && (room - packed) / h.frameStride >= int64_t(h.frameTotal) - 1;
    if (!fits) {
        const int64_t present = room < packed ? 0 : (room - packed) / h.frameStride + 1;
        return fail(QStringLiteral("The file is cut short: it holds %1 of the %2 frames its header promises.")
                        .arg(present).arg(h.frameTotal));
    }
    *header = h;
    return true;
}

void PackSamples(const uint16_t* s, int64_t count, uint8_t* out)
{
    for (int64_t i = 0; i + 1 < count; i += 2, s += 2, out += 3) {
        const unsigned a = s[0] & 0xFFF;
        const unsigned b = s[1] & 0xFFF;
        out[0] = uint8_t(a);
        out[1] = uint8_t((a >> 8) | ((b & 0xF) << 4));
        out[2] = uint8_t(b >> 4);
    }
}

void UnpackSamples(const uint8_t* in, int64_t count, uint16_t* s)
{
    for (int64_t i = 0; i + 1 < count; i += 2, s += 2, in += 3) {
        s[0] = uint16_t(in[0] | ((in[1] & 0xF) << 8));
        s[1] = uint16_t((in[1] >> 4) | (in[2] << 4));
    }
}

} // namespace svf
