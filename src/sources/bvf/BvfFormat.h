#pragma once
// Byte layout of Brava ".bvf" recordings, shared by the reader and the writer.
// All integers are little-endian (common/LittleEndian.h reads and writes them).

#include "common/LittleEndian.h"

#include <QByteArray>
#include <QSize>
#include <cstdint>
#include <cstring>

namespace bvf {

constexpr char kMagic[4] = {'B', 'V', 'S', 'C'};
constexpr int kFileHeaderSize = 16;
constexpr int kChunkHeaderSize = 16;
constexpr int kChunkTypeOffset = 4;
constexpr int kChunkSizeOffset = 8;

enum ChunkType : int32_t {
    ChunkCamera = 1,
    ChunkWindow = 2,
    ChunkDarkFrame = 3,
    ChunkFirstFrame = 4,
    ChunkSettings = 5,
};

// Bytes that lead the dark frame and every frame image, not interpreted.
constexpr int kImagePrefix = 384;

// Camera description (type 1): the reader keeps at most this many bytes.
constexpr int kCameraKept = 220;
constexpr int kCamModelCode = 5;     // two ASCII characters
constexpr int kCamColourFlag = 7;    // 'C' for a colour sensor
constexpr int kCamWindowTop = 142;   // u16, with the next three
constexpr int kCamWindowLeft = 144;
constexpr int kCamWindowBottom = 146;
constexpr int kCamWindowRight = 148;
constexpr int kCamFrameRate = 150;   // u16
constexpr int kCamSensorWidth = 162; // u16, for unknown model codes
constexpr int kCamSensorHeight = 198;

// Recording window (type 2): 12 bytes before the payload, then the payload,
// of which the reader keeps at most this many bytes.
constexpr int kWindowLeading = 12;
constexpr int kWindowKept = 136;
constexpr int kWinLayoutKind = 4; // i32; kinds 0 and 1 carry the fields below
constexpr int kWinTop = 28;
constexpr int kWinLeft = 32;
constexpr int kWinBottom = 36;
constexpr int kWinRight = 40;
constexpr int kWinFrameRate = 52;

// Processing settings (type 5), only when the payload is exactly this size.
constexpr int kSettingsSize = 1024;
constexpr int kSetVersionHigh = 0;
constexpr int kSetVersionLow = 1;
constexpr int kSetChroma = 53;
constexpr int kSetGamma = 57;
constexpr int kSetWbMode = 61;
constexpr int kSetEnhance = 65;
constexpr int kSetBuild = 69;
constexpr int kSetDarkSwitch = 128; // 137 switches dark-frame subtraction on
constexpr int kSetRotation = 136;
constexpr int kSetBayerPattern = 223; // only read for builds after 1074
constexpr int32_t kDarkSwitchOn = 137;
constexpr int32_t kLastBuildWithoutPattern = 1074;

// Sensor size of a model code; an invalid size for codes not in the table.
inline QSize SensorSizeForModel(const char code[2])
{
    if (code[0] == '1' && code[1] == '3') return {1280, 1024};
    if (code[0] == '2' && code[1] == '0') return {640, 480};
    if (code[0] == '2' && code[1] == '1') return {1024, 768};
    if (code[0] == '3' && code[1] == '1') return {1280, 1024};
    if (code[0] == '3' && code[1] == '4') return {1696, 1710};
    return {};
}

// The settings version: the two bytes written as decimal numbers one after
// the other (7 and 1 give 71, 10 and 5 give 105).
inline int SettingsVersion(uint8_t high, uint8_t low)
{
    const QByteArray text = QByteArray::number(high) + QByteArray::number(low);
    return text.toInt();
}

} // namespace bvf
