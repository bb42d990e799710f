#include "document/RecordingInfo.h"

#include "common/LittleEndian.h"

#include <algorithm>
#include <cstring>

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
    WriteLE<int32_t>(b + OffSourceKind, SourceKind);
    writeShortString(b + OffFrameLabel, FrameLabel);
    WriteLE<int32_t>(b + OffTimeZeroFrame, TimeZeroFrame);
    WriteLE<int32_t>(b + OffFrameRate, FrameRate);
    writeShortString(b + OffInfoTitle, InfoTitle);
    WriteLE<int32_t>(b + OffFrameCount, FrameCount);
    WriteLE<int32_t>(b + OffCurrentFrame, CurrentFrame);
    WriteLE<float>(b + OffFrameInterval, FrameInterval);
    for (int i = 0; i < 7; ++i)
        WriteLE<int16_t>(b + OffSvfSettingsA + 2 * i, SvfSettingsA[i]);
    WriteLE<int32_t>(b + OffFrameNumberBase, FrameNumberBase);
    for (int i = 0; i < 17; ++i)
        writeShortString(b + OffInfoText + 256 * i, InfoText[i]);
    for (int i = 0; i < 3; ++i)
        WriteLE<int32_t>(b + OffSaveSettings + 4 * i, SaveSettings[i]);
    WriteLE<int32_t>(b + OffRangeCopyFirst, RangeCopyFirst);
    WriteLE<int32_t>(b + OffRangeCopyLast, RangeCopyLast);
    WriteLE<int32_t>(b + OffImageWidth, ImageWidth);
    WriteLE<int32_t>(b + OffImageHeight, ImageHeight);
    WriteLE<int32_t>(b + OffCalUnitIndex, CalUnitIndex);
    for (int i = 0; i < 6; ++i)
        WriteLE<int16_t>(b + OffSvfSettingsB + 2 * i, SvfSettingsB[i]);
    for (int i = 0; i < 4; ++i)
        b[OffSvfSettingsB + 12 + i] = char(SvfSettingsBBytes[i]);
    WriteLE<float>(b + OffPixelsPerUnit, PixelsPerUnit);
    for (int i = 0; i < 6; ++i)
        WriteLE<int16_t>(b + OffSvfSettingsC + 2 * i, SvfSettingsC[i]);
    for (int i = 0; i < 3; ++i)
        WriteLE<double>(b + OffSvfColour + 8 * i, SvfColour[i]);
    for (int i = 0; i < 2; ++i)
        WriteLE<int32_t>(b + OffSvfSettingsD + 4 * i, SvfSettingsD[i]);
    for (int i = 0; i < 9; ++i)
        writeShortString(b + OffExportText + 256 * i, ExportText[i]);
    WriteLE<float>(b + OffCalPoint1, CalPoint1[0]);
    WriteLE<float>(b + OffCalPoint1 + 4, CalPoint1[1]);
    WriteLE<float>(b + OffCalPoint2, CalPoint2[0]);
    WriteLE<float>(b + OffCalPoint2 + 4, CalPoint2[1]);
    WriteLE<int32_t>(b + OffFirstFrame, FirstFrame);
    WriteLE<int32_t>(b + OffLastFrame, LastFrame);
    WriteLE<int32_t>(b + OffRangeFirst, RangeFirst);
    WriteLE<int32_t>(b + OffRangeLast, RangeLast);
    WriteLE<int16_t>(b + OffSvfSettingsE, SvfSettingsE);
    return bytes;
}

bool RecordingInfo::fromBytes(const QByteArray& bytes)
{
    if (bytes.size() < Size)
        return false;
    const char* b = bytes.constData();
    Raw = bytes.left(Size);
    FileName = readShortString(b + OffFileName);
    SourceKind = ReadLE<int32_t>(b + OffSourceKind);
    FrameLabel = readShortString(b + OffFrameLabel);
    TimeZeroFrame = ReadLE<int32_t>(b + OffTimeZeroFrame);
    FrameRate = ReadLE<int32_t>(b + OffFrameRate);
    InfoTitle = readShortString(b + OffInfoTitle);
    FrameCount = ReadLE<int32_t>(b + OffFrameCount);
    CurrentFrame = ReadLE<int32_t>(b + OffCurrentFrame);
    FrameInterval = ReadLE<float>(b + OffFrameInterval);
    for (int i = 0; i < 7; ++i)
        SvfSettingsA[i] = ReadLE<int16_t>(b + OffSvfSettingsA + 2 * i);
    FrameNumberBase = ReadLE<int32_t>(b + OffFrameNumberBase);
    for (int i = 0; i < 17; ++i)
        InfoText[i] = readShortString(b + OffInfoText + 256 * i);
    for (int i = 0; i < 3; ++i)
        SaveSettings[i] = ReadLE<int32_t>(b + OffSaveSettings + 4 * i);
    RangeCopyFirst = ReadLE<int32_t>(b + OffRangeCopyFirst);
    RangeCopyLast = ReadLE<int32_t>(b + OffRangeCopyLast);
    ImageWidth = ReadLE<int32_t>(b + OffImageWidth);
    ImageHeight = ReadLE<int32_t>(b + OffImageHeight);
    CalUnitIndex = ReadLE<int32_t>(b + OffCalUnitIndex);
    for (int i = 0; i < 6; ++i)
        SvfSettingsB[i] = ReadLE<int16_t>(b + OffSvfSettingsB + 2 * i);
    for (int i = 0; i < 4; ++i)
        SvfSettingsBBytes[i] = uint8_t(b[OffSvfSettingsB + 12 + i]);
    PixelsPerUnit = ReadLE<float>(b + OffPixelsPerUnit);
    for (int i = 0; i < 6; ++i)
        SvfSettingsC[i] = ReadLE<int16_t>(b + OffSvfSettingsC + 2 * i);
    for (int i = 0; i < 3; ++i)
        SvfColour[i] = ReadLE<double>(b + OffSvfColour + 8 * i);
    for (int i = 0; i < 2; ++i)
        SvfSettingsD[i] = ReadLE<int32_t>(b + OffSvfSettingsD + 4 * i);
    for (int i = 0; i < 9; ++i)
        ExportText[i] = readShortString(b + OffExportText + 256 * i);
    CalPoint1 = {ReadLE<float>(b + OffCalPoint1), ReadLE<float>(b + OffCalPoint1 + 4)};
    CalPoint2 = {ReadLE<float>(b + OffCalPoint2), ReadLE<float>(b + OffCalPoint2 + 4)};
    FirstFrame = ReadLE<int32_t>(b + OffFirstFrame);
    LastFrame = ReadLE<int32_t>(b + OffLastFrame);
    RangeFirst = ReadLE<int32_t>(b + OffRangeFirst);
    RangeLast = ReadLE<int32_t>(b + OffRangeLast);
    SvfSettingsE = ReadLE<int16_t>(b + OffSvfSettingsE);
    return true;
}
