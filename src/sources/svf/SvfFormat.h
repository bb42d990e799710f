#pragma once
// Byte layout of Stravo ".svf" recordings (docs/SVF-FORMAT.md), shared by the
// converter and the writer. All integers are little-endian.

#include "common/LittleEndian.h"

#include <QByteArray>
#include <QString>
#include <cstdint>

namespace svf {

constexpr char kMagic[4] = {'S', 'V', 'F', '1'};
constexpr int kHeaderSize = 256;
constexpr uint16_t kVersion = 1;

// Header fields (byte offsets).
constexpr int kOffVersion = 4;        // u16
constexpr int kOffHeaderSize = 6;     // u16, 256
constexpr int kOffModelName = 8;      // u8 length + up to 63 characters (Latin-1)
constexpr int kModelNameField = 64;
constexpr int kOffStartFrame = 72;    // i32
constexpr int kOffEndFrame = 76;      // i32
constexpr int kOffRecordRate = 80;    // i32, frames per second
constexpr int kOffWidth = 84;         // u16
constexpr int kOffHeight = 86;        // u16
constexpr int kOffShutter = 88;       // i32, denominator of 1/x s
constexpr int kOffFrameTotal = 92;    // i32
constexpr int kOffBayerPattern = 96;  // u8, 0 RGGB, 1 GRBG, 2 GBRG, 3 BGGR
constexpr int kOffBitsPerSample = 97; // u8, 12
constexpr int kOffBlackLevel = 98;    // u16, 0..4095
constexpr int kOffRegisteredWhite = 100; // 3 x u16: red, green, blue levels of a white patch
constexpr int kOffFramesOffset = 112; // i64, file offset of the first frame
constexpr int kOffFrameStride = 120;  // i64, bytes from one frame to the next

constexpr int kBitsPerSample = 12;
constexpr int kMaxSample = 4095;
// Frames larger than this on either side are refused: no camera of the
// line makes them, and the limit keeps every size computation small.
constexpr int kMaxSide = 8192;
constexpr int64_t kMaxFrameStride = int64_t(1) << 31;
constexpr int32_t kMaxRecordRate = 10000000;

// Site colours of the mosaic.
enum Site : uint8_t { SiteRed = 0, SiteGreen = 1, SiteBlue = 2 };

// Colour of site (x, y) for pattern 0..3 (0 RGGB, 1 GRBG, 2 GBRG, 3 BGGR:
// the colours of the top-left 2 x 2 block read row by row).
inline Site SiteAt(int pattern, int x, int y)
{
    static constexpr Site kBlocks[4][4] = {
        {SiteRed, SiteGreen, SiteGreen, SiteBlue},
        {SiteGreen, SiteRed, SiteBlue, SiteGreen},
        {SiteGreen, SiteBlue, SiteRed, SiteGreen},
        {SiteBlue, SiteGreen, SiteGreen, SiteRed},
    };
    return kBlocks[pattern & 3][((y & 1) << 1) | (x & 1)];
}

// Bytes of one packed frame: two 12-bit samples in three bytes, rows one
// after the other (the width is even).
inline int64_t PackedFrameBytes(int width, int height)
{
    return int64_t(width) * height * 3 / 2;
}

// What the header says.
struct Header {
    QString modelName;
    int32_t startFrame = 0;
    int32_t endFrame = 0;
    int32_t recordRate = 1000;
    int width = 0;
    int height = 0;
    int32_t shutter = 1000;
    int32_t frameTotal = 1;
    int bayerPattern = 0;
    int blackLevel = 0;
    uint16_t registeredWhite[3] = {kMaxSample, kMaxSample, kMaxSample};
    int64_t framesOffset = kHeaderSize;
    int64_t frameStride = 0; // 0: the packed frame size
};

// The 256 header bytes (frameStride 0 is written as the packed size).
QByteArray HeaderBytes(const Header& header);

// Reads and checks a header against the size of the file it leads. Returns
// false with a one-line reason for anything a reader cannot trust.
bool ParseHeader(const char* bytes, int64_t fileSize, Header* header, QString* error);

} // namespace svf

namespace svf {

// Packs `count` (even) 12-bit samples into count * 3 / 2 bytes: sample 2k in
// byte 3k and the low half of byte 3k+1, sample 2k+1 in the high half of
// byte 3k+1 and byte 3k+2. Bits above the twelfth are dropped.
void PackSamples(const uint16_t* samples, int64_t count, uint8_t* packed);
// The reverse.
void UnpackSamples(const uint8_t* packed, int64_t count, uint16_t* samples);

} // namespace svf
