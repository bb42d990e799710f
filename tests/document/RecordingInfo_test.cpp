#include "document/RecordingInfo.h"

#include <QtEndian>
#include <cstring>
#include <gtest/gtest.h>

namespace {
int32_t int32At(const QByteArray& b, int offset) { return qFromLittleEndian<int32_t>(b.constData() + offset); }
float floatAt(const QByteArray& b, int offset)
{
    const uint32_t bits = qFromLittleEndian<uint32_t>(b.constData() + offset);
    float f;
    std::memcpy(&f, &bits, 4);
    return f;
}
QString stringAt(const QByteArray& b, int offset)
{
    return QString::fromLatin1(b.constData() + offset + 1, uint8_t(b[offset]));
}
} // namespace

TEST(RecordingInfo, FieldsLandAtTheirFileOffsets)
{
    RecordingInfo info;
    info.FileName = QStringLiteral("C:\\rec\\crash.bvf");
    info.SourceKind = 7;
    info.FrameLabel = QStringLiteral("00042");
    info.TimeZeroFrame = 500;
    info.FrameRate = 1000;
    info.FrameCount = 1000;
    info.CurrentFrame = -3;
    info.FrameInterval = 0.001f;
    info.FrameNumberBase = 11;
    info.InfoText[0] = QStringLiteral("Qor Brava");
    info.InfoText[16] = QStringLiteral("last line");
    info.SaveSettings = {4, 5, 6};
    info.RangeCopyFirst = -500;
    info.RangeCopyLast = 499;
    info.ImageWidth = 1280;
    info.ImageHeight = 1024;
    info.CalUnitIndex = 1;
    info.PixelsPerUnit = 2.5f;
    info.ExportText[2] = QStringLiteral("export");
    info.CalPoint1 = {1.5f, 2.5f};
    info.CalPoint2 = {3.5f, 4.5f};
    info.FirstFrame = -500;
    info.LastFrame = 499;
    info.RangeFirst = -100;
    info.RangeLast = 100;

    const QByteArray b = info.toBytes();
    ASSERT_EQ(b.size(), 8378);
    EXPECT_EQ(stringAt(b, 0), info.FileName);
    EXPECT_EQ(int32At(b, 516), 7);
    EXPECT_EQ(stringAt(b, 520), QStringLiteral("00042"));
    EXPECT_EQ(int32At(b, 776), 500);
    EXPECT_EQ(int32At(b, 780), 1000);
    EXPECT_EQ(int32At(b, 1040), 1000);
    EXPECT_EQ(int32At(b, 1044), -3);
    EXPECT_FLOAT_EQ(floatAt(b, 1304), 0.001f);
    EXPECT_EQ(int32At(b, 1322), 11);
    EXPECT_EQ(stringAt(b, 1326), QStringLiteral("Qor Brava"));
    EXPECT_EQ(stringAt(b, 1326 + 16 * 256), QStringLiteral("last line"));
    EXPECT_EQ(int32At(b, 5678), 4);
    EXPECT_EQ(int32At(b, 5686), 6);
    EXPECT_EQ(int32At(b, 5690), -500);
    EXPECT_EQ(int32At(b, 5694), 499);
    EXPECT_EQ(int32At(b, 5698), 1280);
    EXPECT_EQ(int32At(b, 5702), 1024);
    EXPECT_EQ(int32At(b, 5718), 1);
    EXPECT_FLOAT_EQ(floatAt(b, 5738), 2.5f);
    EXPECT_EQ(stringAt(b, 5786 + 2 * 256), QStringLiteral("export"));
    EXPECT_FLOAT_EQ(floatAt(b, 8090), 1.5f);
    EXPECT_FLOAT_EQ(floatAt(b, 8094), 2.5f);
    EXPECT_FLOAT_EQ(floatAt(b, 8098), 3.5f);
    EXPECT_FLOAT_EQ(floatAt(b, 8102), 4.5f);
    EXPECT_EQ(int32At(b, 8106), -500);
    EXPECT_EQ(int32At(b, 8110), 499);
    EXPECT_EQ(int32At(b, 8114), -100);
    EXPECT_EQ(int32At(b, 8118), 100);
}

TEST(RecordingInfo, RoundTripKeepsReservedBytesAndFields)
{
    QByteArray original(8378, '\0');
    for (int i = 0; i < original.size(); ++i)
        original[i] = char((i * 7) & 0x7f);
    // Valid short strings where the record holds text.
    for (int offset : {0, 256, 520, 784, 1048})
        original[offset] = 3;
    for (int i = 0; i < 17; ++i)
        original[1326 + 256 * i] = 2;
    for (int i = 0; i < 9; ++i)
        original[5786 + 256 * i] = 4;

    RecordingInfo info;
    ASSERT_TRUE(info.fromBytes(original));
    EXPECT_EQ(info.toBytes(), original);
}

TEST(RecordingInfo, ShortInputIsRejectedAndLongTextIsCut)
{
    RecordingInfo info;
    info.FrameRate = 77;
    EXPECT_FALSE(info.fromBytes(QByteArray(8377, '\0')));
    EXPECT_EQ(info.FrameRate, 77);

    info.FileName = QString(300, QLatin1Char('x'));
    const QByteArray b = info.toBytes();
    EXPECT_EQ(uint8_t(b[0]), 255);
    EXPECT_EQ(b[256], '\0');
}
