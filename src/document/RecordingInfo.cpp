#include "document/RecordingInfo.h"

#include <QtEndian>
#include <algorithm>
#include <cstring>

namespace {

template <typename T>
void put(char* base, int offset, T value)
{
    qToLittleEndian<T>(value, base + offset);
}

template <typename T>
T get(const char* base, int offset)
{
    return qFromLittleEndian<T>(base + offset);
}

void putFloat(char* base, int offset, float value)
{
    uint32_t bits;
    std::memcpy(&bits, &value, 4);
    put<uint32_t>(base, offset, bits);
}

float getFloat(const char* base, int offset)
{
    const uint32_t bits = get<uint32_t>(base, offset);
    float value;
    std::memcpy(&value, &bits, 4);
    return value;
}

void putDouble(char* base, int offset, double value)
{
    uint64_t bits;
    std::memcpy(&bits, &value, 8);
    put<uint64_t>(base, offset, bits);
}

double getDouble(const char* base, int offset)
{
    const uint64_t bits = get<uint64_t>(base, offset);
    double value;
    std::memcpy(&value, &bits, 8);
    return value;
}

} // namespace

void RecordingInfo::writeShortString(char* field, const QString& text)
{
    const QByteArray latin = text.toLatin1();
    const int length = std::min<int>(latin.size(), 255);
    // Bytes past the text are left as they are, so a record read from a
    // file writes back byte for byte.
    field[0] = char(length);
    std::memcpy(field + 1, latin.constData(), size_t(length));
}

QString RecordingInfo::readShortString(const char* field)
{
    const int length = uint8_t(field[0]);
    return QString::fromLatin1(field + 1, length);
}

QByteArray RecordingInfo::toBytes() const
{
    QByteArray bytes = Raw.size() == Size ? Raw : QByteArray(Size, '\0');
    char* b = bytes.data();
    writeShortString(b + OffFileName, FileName);
    put<int32_t>(b, OffSourceKind, SourceKind);
    writeShortString(b + OffFrameLabel, FrameLabel);
    put<int32_t>(b, OffTimeZeroFrame, TimeZeroFrame);
    put<int32_t>(b, OffFrameRate, FrameRate);
    writeShortString(b + OffInfoTitle, InfoTitle);
    put<int32_t>(b, OffFrameCount, FrameCount);
    put<int32_t>(b, OffCurrentFrame, CurrentFrame);
    putFloat(b, OffFrameInterval, FrameInterval);
    for (int i = 0; i < 7; ++i)
        put<int16_t>(b, OffSvfSettingsA + 2 * i, SvfSettingsA[i]);
    put<int32_t>(b, OffFrameNumberBase, FrameNumberBase);
    for (int i = 0; i < 17; ++i)
        writeShortString(b + OffInfoText + 256 * i, InfoText[i]);
    for (int i = 0; i < 3; ++i)
        put<int32_t>(b, OffSaveSettings + 4 * i, SaveSettings[i]);
    put<int32_t>(b, OffRangeCopyFirst, RangeCopyFirst);
    put<int32_t>(b, OffRangeCopyLast, RangeCopyLast);
    put<int32_t>(b, OffImageWidth, ImageWidth);
    put<int32_t>(b, OffImageHeight, ImageHeight);
    put<int32_t>(b, OffCalUnitIndex, CalUnitIndex);
    for (int i = 0; i < 6; ++i)
        put<int16_t>(b, OffSvfSettingsB + 2 * i, SvfSettingsB[i]);
    for (int i = 0; i < 4; ++i)
        b[OffSvfSettingsB + 12 + i] = char(SvfSettingsBBytes[i]);
    putFloat(b, OffPixelsPerUnit, PixelsPerUnit);
    for (int i = 0; i < 6; ++i)
        put<int16_t>(b, OffSvfSettingsC + 2 * i, SvfSettingsC[i]);
    for (int i = 0; i < 3; ++i)
        putDouble(b, OffSvfColour + 8 * i, SvfColour[i]);
    for (int i = 0; i < 2; ++i)
        put<int32_t>(b, OffSvfSettingsD + 4 * i, SvfSettingsD[i]);
    for (int i = 0; i < 9; ++i)
        writeShortString(b + OffExportText + 256 * i, ExportText[i]);
    putFloat(b, OffCalPoint1, CalPoint1[0]);
    putFloat(b, OffCalPoint1 + 4, CalPoint1[1]);
    putFloat(b, OffCalPoint2, CalPoint2[0]);
    putFloat(b, OffCalPoint2 + 4, CalPoint2[1]);
    put<int32_t>(b, OffFirstFrame, FirstFrame);
    put<int32_t>(b, OffLastFrame, LastFrame);
    put<int32_t>(b, OffRangeFirst, RangeFirst);
    put<int32_t>(b, OffRangeLast, RangeLast);
    put<int16_t>(b, OffSvfSettingsE, SvfSettingsE);
    return bytes;
}

bool RecordingInfo::fromBytes(const QByteArray& bytes)
{
    if (bytes.size() < Size)
        return false;
    const char* b = bytes.constData();
    Raw = bytes.left(Size);
    FileName = readShortString(b + OffFileName);
    SourceKind = get<int32_t>(b, OffSourceKind);
    FrameLabel = readShortString(b + OffFrameLabel);
    TimeZeroFrame = get<int32_t>(b, OffTimeZeroFrame);
    FrameRate = get<int32_t>(b, OffFrameRate);
    InfoTitle = readShortString(b + OffInfoTitle);
    FrameCount = get<int32_t>(b, OffFrameCount);
    CurrentFrame = get<int32_t>(b, OffCurrentFrame);
    FrameInterval = getFloat(b, OffFrameInterval);
    for (int i = 0; i < 7; ++i)
        SvfSettingsA[i] = get<int16_t>(b, OffSvfSettingsA + 2 * i);
    FrameNumberBase = get<int32_t>(b, OffFrameNumberBase);
    for (int i = 0; i < 17; ++i)
        InfoText[i] = readShortString(b + OffInfoText + 256 * i);
    for (int i = 0; i < 3; ++i)
        SaveSettings[i] = get<int32_t>(b, OffSaveSettings + 4 * i);
    RangeCopyFirst = get<int32_t>(b, OffRangeCopyFirst);
    RangeCopyLast = get<int32_t>(b, OffRangeCopyLast);
    ImageWidth = get<int32_t>(b, OffImageWidth);
    ImageHeight = get<int32_t>(b, OffImageHeight);
    CalUnitIndex = get<int32_t>(b, OffCalUnitIndex);
    for (int i = 0; i < 6; ++i)
        SvfSettingsB[i] = get<int16_t>(b, OffSvfSettingsB + 2 * i);
    for (int i = 0; i < 4; ++i)
        SvfSettingsBBytes[i] = uint8_t(b[OffSvfSettingsB + 12 + i]);
    PixelsPerUnit = getFloat(b, OffPixelsPerUnit);
    for (int i = 0; i < 6; ++i)
        SvfSettingsC[i] = get<int16_t>(b, OffSvfSettingsC + 2 * i);
    for (int i = 0; i < 3; ++i)
        SvfColour[i] = getDouble(b, OffSvfColour + 8 * i);
    for (int i = 0; i < 2; ++i)
        SvfSettingsD[i] = get<int32_t>(b, OffSvfSettingsD + 4 * i);
    for (int i = 0; i < 9; ++i)
        ExportText[i] = readShortString(b + OffExportText + 256 * i);
    CalPoint1 = {getFloat(b, OffCalPoint1), getFloat(b, OffCalPoint1 + 4)};
    CalPoint2 = {getFloat(b, OffCalPoint2), getFloat(b, OffCalPoint2 + 4)};
    FirstFrame = get<int32_t>(b, OffFirstFrame);
    LastFrame = get<int32_t>(b, OffLastFrame);
    RangeFirst = get<int32_t>(b, OffRangeFirst);
    RangeLast = get<int32_t>(b, OffRangeLast);
    SvfSettingsE = get<int16_t>(b, OffSvfSettingsE);
    return true;
}
