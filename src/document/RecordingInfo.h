#pragma once
// RecordingInfo: the packed 8378-byte recording-information record. It is held
// by every document and written as the "rinf" chunk of exported AVI files, so
// its byte layout is a file format: toBytes()/fromBytes() map each field to
// its fixed little-endian offset. Text fields are 256-byte short strings (a
// length byte and up to 255 single-byte characters). Reserved areas are kept
// verbatim in `Raw` so a record read from a file writes back unchanged.

#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>

struct RecordingInfo {
    static constexpr int Size = 8378;

    // Field offsets within the record.
    enum Offset : int {
        OffFileName = 0,
        OffSourceKind = 516,
        OffFrameLabel = 520,
        OffTimeZeroFrame = 776,
        OffFrameRate = 780,
        OffInfoTitle = 784,
        OffFrameCount = 1040,
        OffCurrentFrame = 1044,
        OffFrameInterval = 1304,
        OffSvfSettingsA = 1308,
        OffFrameNumberBase = 1322,
        OffInfoText = 1326,
        OffSaveSettings = 5678,
        OffRangeCopyFirst = 5690,
        OffRangeCopyLast = 5694,
        OffImageWidth = 5698,
        OffImageHeight = 5702,
        OffCalUnitIndex = 5718,
        OffSvfSettingsB = 5722,
        OffPixelsPerUnit = 5738,
        OffSvfSettingsC = 5742,
        OffSvfColour = 5754,
        OffSvfSettingsD = 5778,
        OffExportText = 5786,
        OffCalPoint1 = 8090,
        OffCalPoint2 = 8098,
        OffFirstFrame = 8106,
        OffLastFrame = 8110,
        OffRangeFirst = 8114,
        OffRangeLast = 8118,
        OffReservedTail = 8122,
        OffSvfSettingsE = 8124,
    };

    QString FileName;
    int32_t SourceKind = 0;            // 0 AVI, 1 SVF, 7 BVF
    QString FrameLabel;
    int32_t TimeZeroFrame = 0;
    int32_t FrameRate = 0;
    QString InfoTitle;
    int32_t FrameCount = 0;
    int32_t CurrentFrame = 0;
    float FrameInterval = 0.0f;
    std::array<int16_t, 7> SvfSettingsA{};
    int32_t FrameNumberBase = 0;
    std::array<QString, 17> InfoText;
    std::array<int32_t, 3> SaveSettings{};
    int32_t RangeCopyFirst = 0;
    int32_t RangeCopyLast = 0;
    int32_t ImageWidth = 0;
    int32_t ImageHeight = 0;
    int32_t CalUnitIndex = 6;          // 0 µm, 1 mm, 2 cm, 3 m, 4 in, 5 ft, 6 pixels
    std::array<int16_t, 6> SvfSettingsB{};
    std::array<uint8_t, 4> SvfSettingsBBytes{};
    float PixelsPerUnit = 1.0f;
    std::array<int16_t, 6> SvfSettingsC{};
    std::array<double, 3> SvfColour{};
    std::array<int32_t, 2> SvfSettingsD{};
    std::array<QString, 9> ExportText;
    std::array<float, 2> CalPoint1{};
    std::array<float, 2> CalPoint2{};
    int32_t FirstFrame = 0;
    int32_t LastFrame = 0;
    int32_t RangeFirst = 0;
    int32_t RangeLast = 0;
    int16_t SvfSettingsE = 0;

    // The bytes of reserved areas as last read (all zero for a new record).
    QByteArray Raw = QByteArray(Size, '\0');

    QByteArray toBytes() const;
    // Reads a record; returns false (and leaves *this unchanged) when fewer
    // than Size bytes are given.
    bool fromBytes(const QByteArray& bytes);

    // Short-string helpers shared with other fixed-layout records.
    static void writeShortString(char* field, const QString& text);
    static QString readShortString(const char* field);
};
