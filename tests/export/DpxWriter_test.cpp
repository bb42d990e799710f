#include "export/DpxWriter.h"

#include "ExternalTools.h"
#include "common/Frame.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <cstring>
#include <gtest/gtest.h>

namespace {

uint32_t U32(const QByteArray& b, int offset) { return qFromLittleEndian<uint32_t>(b.constData() + offset); }
uint16_t U16(const QByteArray& b, int offset) { return qFromLittleEndian<uint16_t>(b.constData() + offset); }
float F32(const QByteArray& b, int offset)
{
    const uint32_t bits = U32(b, offset);
    float v;
    std::memcpy(&v, &bits, 4);
    return v;
}
QByteArray Text(const QByteArray& b, int offset, int width)
{
    const QByteArray field = b.mid(offset, width);
    return field.left(field.indexOf('\0') < 0 ? width : field.indexOf('\0'));
}
bool AllZero(const QByteArray& b, int from, int to)
{
    for (int i = from; i < to; ++i)
        if (b[i] != 0)
            return false;
    return true;
}

Frame TestFrame(int width, int height)
{
    Frame frame(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint8_t* p = frame.pixel(x, y);
            p[0] = uint8_t(10 + x);     // blue
            p[1] = uint8_t(100 + y);    // green
            p[2] = uint8_t(200 + x + y); // red
        }
    return frame;
}

} // namespace

TEST(DpxWriter, OnePixelFileHoldsRedGreenBlueInOnePaddedRow)
{
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/one.dpx");
    Frame frame(1, 1);
    frame.fill(/*blue*/ 3, /*green*/ 2, /*red*/ 1);
    QString error;
    ASSERT_TRUE(WriteDpx(path, frame, &error)) << qPrintable(error);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    // 8192 header bytes, then red, green, blue and one byte of row padding.
    ASSERT_EQ(bytes.size(), 8196);
    EXPECT_EQ(bytes.right(4), QByteArray("\x01\x02\x03\x00", 4));
    EXPECT_EQ(U32(bytes, 16), 8196u);
}

TEST(DpxWriter, HeaderFieldsAndPixelOrder)
{
    const Frame frame = TestFrame(5, 3);
    const QString path = QStringLiteral("/tmp/some/folder/frame007.dpx");
    const QDateTime when(QDate(2015, 6, 1), QTime(14, 5, 9));
    const QByteArray b = BuildDpxFile(frame, path, when);
    const int rowBytes = 16; // 5 pixels of 3 bytes, padded to 4
    ASSERT_EQ(b.size(), 8192 + rowBytes * 3);

    EXPECT_EQ(b.left(4), QByteArray("XPDS"));
    EXPECT_EQ(U32(b, 4), 8192u);
    EXPECT_EQ(b.mid(8, 8), QByteArray("V1.0\0\0\0\0", 8));
    EXPECT_EQ(U32(b, 16), uint32_t(b.size()));
    EXPECT_EQ(U32(b, 24), 1664u);
    EXPECT_EQ(uint8_t(b[36]), path.size());
    EXPECT_EQ(b.mid(37, path.size()), path.toLatin1());
    EXPECT_EQ(uint8_t(b[136]), 23);
    EXPECT_EQ(b.mid(137, 23), QByteArray("2015:06:01:14:05:09:LTZ"));
    EXPECT_FALSE(Text(b, 160, 100).isEmpty());
    EXPECT_EQ(Text(b, 260, 200), QByteArray("Stravo K4"));
    EXPECT_TRUE(AllZero(b, 460, 660));
    EXPECT_EQ(U32(b, 660), 0xFFFFFFFFu);
    EXPECT_TRUE(AllZero(b, 664, 768));

    EXPECT_EQ(U16(b, 768), 0);
    EXPECT_EQ(U16(b, 770), 1);
    EXPECT_EQ(U32(b, 772), 5u);
    EXPECT_EQ(U32(b, 776), 3u);
    {
        const int e = 780;
        EXPECT_EQ(U32(b, e + 0), 0u);
        EXPECT_EQ(U32(b, e + 4), 0u);
        EXPECT_EQ(F32(b, e + 8), 0.0f);
        EXPECT_EQ(U32(b, e + 12), 255u);
        EXPECT_EQ(F32(b, e + 16), 255.0f);
        EXPECT_EQ(b[e + 20], char(50)); // interleaved RGB
        EXPECT_EQ(b[e + 21], 2);
        EXPECT_EQ(b[e + 22], 0);
        EXPECT_EQ(b[e + 23], 8);
        EXPECT_EQ(U16(b, e + 24), 1);
        EXPECT_EQ(U16(b, e + 26), 0);
        EXPECT_EQ(U32(b, e + 28), 8192u);
        EXPECT_EQ(U32(b, e + 32), 1u); // end-of-line padding
        EXPECT_EQ(U32(b, e + 36), 0u);
        EXPECT_EQ(Text(b, e + 40, 32), QByteArray("RGB NuvIE"));
    }
    EXPECT_TRUE(AllZero(b, 852, 1408));

    EXPECT_EQ(U32(b, 1408), 0u);
    EXPECT_EQ(U32(b, 1412), 0u);
    EXPECT_EQ(F32(b, 1416), 2.5f);
    EXPECT_EQ(F32(b, 1420), 1.5f);
    EXPECT_EQ(U32(b, 1424), 5u);
    EXPECT_EQ(U32(b, 1428), 3u);
    EXPECT_TRUE(AllZero(b, 1432, 1628));
    EXPECT_EQ(U32(b, 1628), 1u);
    EXPECT_EQ(U32(b, 1632), 1u);
    EXPECT_TRUE(AllZero(b, 1636, 8192));

    // Rows from the top, pixels left to right, red green blue, zero padding.
    for (int y = 0; y < 3; ++y) {
        EXPECT_EQ(b[8192 + y * rowBytes + 15], 0);
        for (int x = 0; x < 5; ++x) {
            const int at = 8192 + y * rowBytes + x * 3;
            EXPECT_EQ(uint8_t(b[at + 0]), frame.pixel(x, y)[2]);
            EXPECT_EQ(uint8_t(b[at + 1]), frame.pixel(x, y)[1]);
            EXPECT_EQ(uint8_t(b[at + 2]), frame.pixel(x, y)[0]);
        }
    }
}

TEST(DpxWriter, LongPathIsCutTo99CharactersInTheHeaderOnly)
{
    QTemporaryDir dir;
    const QString folder = dir.path() + QLatin1Char('/') + QString(60, 'd');
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString path = folder + QLatin1Char('/') + QString(60, 'f') + QStringLiteral(".dpx");
    ASSERT_GT(path.size(), 99);
    QString error;
    ASSERT_TRUE(WriteDpx(path, TestFrame(2, 2), &error)) << qPrintable(error);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray b = file.readAll();
    EXPECT_EQ(uint8_t(b[36]), 99);
    EXPECT_EQ(b.mid(37, 99), path.left(99).toLatin1());
}

TEST(DpxWriter, UnwritablePathGivesAnError)
{
    QString error;
    EXPECT_FALSE(WriteDpx(QStringLiteral("/nonexistent-folder/x.dpx"), TestFrame(1, 1), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("/nonexistent-folder/x.dpx"))) << qPrintable(error);
}

TEST(DpxWriter, ImageMagickAndFfmpegReadSizeAndPixels)
{
    if (!HaveTool(QStringLiteral("identify")) || !HaveTool(QStringLiteral("convert")))
        GTEST_SKIP() << "ImageMagick not installed";
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/im.dpx");
    const Frame frame = TestFrame(7, 4);
    QString error;
    ASSERT_TRUE(WriteDpx(path, frame, &error)) << qPrintable(error);

    const QByteArray size = RunTool(QStringLiteral("identify"), {QStringLiteral("-format"), QStringLiteral("%w %h"), path});
    EXPECT_EQ(size.trimmed(), QByteArray("7 4"));

    // ImageMagick 6 takes every DPX file as linear RGB and would convert it;
    // ask for the stored values.
    const QByteArray rgb = RunTool(QStringLiteral("convert"), {path, QStringLiteral("-set"), QStringLiteral("colorspace"),
                                                               QStringLiteral("sRGB"), QStringLiteral("-depth"), QStringLiteral("8"), QStringLiteral("rgb:-")});
    ASSERT_EQ(rgb.size(), 7 * 4 * 3);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 7; ++x) {
            const int at = (y * 7 + x) * 3;
            EXPECT_EQ(uint8_t(rgb[at + 0]), frame.pixel(x, y)[2]) << x << "," << y;
            EXPECT_EQ(uint8_t(rgb[at + 1]), frame.pixel(x, y)[1]) << x << "," << y;
            EXPECT_EQ(uint8_t(rgb[at + 2]), frame.pixel(x, y)[0]) << x << "," << y;
        }
    if (HaveTool(QStringLiteral("ffmpeg"))) {
        const QByteArray decoded = RunTool(QStringLiteral("ffmpeg"), {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-i"), path,
                                                                      QStringLiteral("-f"), QStringLiteral("rawvideo"), QStringLiteral("-pix_fmt"),
                                                                      QStringLiteral("rgb24"), QStringLiteral("-")});
        EXPECT_EQ(decoded, rgb);
    }
}
