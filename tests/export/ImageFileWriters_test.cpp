#include "export/ImageFileWriters.h"

#include "ExternalTools.h"
#include "TiffRead.h"
#include "common/Frame.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <cstdlib>
#include <gtest/gtest.h>
#include <vector>

namespace {

// Odd width, so rows need padding in BMP and in the frame.
Frame TestFrame(int width = 7, int height = 5, int seed = 0)
{
    Frame frame(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint8_t* p = frame.pixel(x, y);
            p[0] = uint8_t(seed + 30 * x);      // blue
            p[1] = uint8_t(seed + 50 * y);      // green
            p[2] = uint8_t(seed + 200 - 20 * x); // red
        }
    return frame;
}

void ExpectSamePixels(const QImage& image, const Frame& frame, int tolerance)
{
    ASSERT_EQ(image.width(), frame.width());
    ASSERT_EQ(image.height(), frame.height());
    for (int y = 0; y < frame.height(); ++y)
        for (int x = 0; x < frame.width(); ++x) {
            const QRgb c = image.pixel(x, y);
            const uint8_t* p = frame.pixel(x, y);
            EXPECT_LE(std::abs(qRed(c) - p[2]), tolerance) << x << "," << y;
            EXPECT_LE(std::abs(qGreen(c) - p[1]), tolerance) << x << "," << y;
            EXPECT_LE(std::abs(qBlue(c) - p[0]), tolerance) << x << "," << y;
        }
}

} // namespace

TEST(ImageFileWriters, BmpReadsBackExactly)
{
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/a.bmp");
    const Frame frame = TestFrame();
    QString error;
    ASSERT_TRUE(WriteBmp(path, frame, &error)) << qPrintable(error);
    const QImage image(path);
    ASSERT_FALSE(image.isNull());
    ExpectSamePixels(image, frame, 0);
    // 14 + 40 header bytes, then 5 rows of 7 pixels padded to 24 bytes.
    EXPECT_EQ(QFile(path).size(), 54 + 5 * 24);
}

TEST(ImageFileWriters, JpegReadsBackClose)
{
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/a.jpg");
    Frame frame(16, 16);
    frame.fill(40, 120, 200); // flat colour: only quantisation error
    QString error;
    ASSERT_TRUE(WriteJpeg(path, frame, 95, &error)) << qPrintable(error);
    const QImage image(path);
    ASSERT_FALSE(image.isNull());
    ExpectSamePixels(image, frame, 3);
}

TEST(ImageFileWriters, JpegQualityChangesTheSize)
{
    QTemporaryDir dir;
    const Frame frame = TestFrame(64, 64, 17);
    QString error;
    ASSERT_TRUE(WriteJpeg(dir.path() + "/lo.jpg", frame, 10, &error));
    ASSERT_TRUE(WriteJpeg(dir.path() + "/hi.jpg", frame, 100, &error));
    EXPECT_LT(QFile(dir.path() + "/lo.jpg").size(), QFile(dir.path() + "/hi.jpg").size());
}

TEST(ImageFileWriters, TiffReadsBackExactly)
{
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/a.tif");
    const Frame frame = TestFrame();
    QString error;
    ASSERT_TRUE(WriteTiff(path, frame, &error)) << qPrintable(error);
    ExpectSamePixels(ReadTiffPage(path, 0), frame, 0);
}

TEST(ImageFileWriters, MultiPageTiffHasOnePagePerFrame)
{
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/pages.tif");
    QString error;
    {
        MultiPageTiffWriter writer;
        ASSERT_TRUE(writer.open(path, &error)) << qPrintable(error);
        for (int i = 0; i < 4; ++i)
            ASSERT_TRUE(writer.appendPage(TestFrame(7, 5, i * 10), &error)) << qPrintable(error);
        EXPECT_EQ(writer.pageCount(), 4);
    }
    for (int i = 0; i < 4; ++i)
        ExpectSamePixels(ReadTiffPage(path, i), TestFrame(7, 5, i * 10), 0);
    if (HaveTool(QStringLiteral("tiffinfo"))) {
        const QByteArray info = RunTool(QStringLiteral("tiffinfo"), {path});
        EXPECT_EQ(info.count("TIFF Directory at offset"), 4) << info.constData();
    }

    // Writing again starts a new file instead of adding to the old pages.
    {
        MultiPageTiffWriter writer;
        ASSERT_TRUE(writer.open(path, &error));
        ASSERT_TRUE(writer.appendPage(TestFrame(), &error));
    }
    EXPECT_TRUE(ReadTiffPage(path, 1).isNull());
    ExpectSamePixels(ReadTiffPage(path, 0), TestFrame(), 0);
}

TEST(ImageFileWriters, UnwritableFolderGivesErrors)
{
    const Frame frame = TestFrame();
    const QString folder = QStringLiteral("/nonexistent-folder-for-export-tests/");
    QString error;
    EXPECT_FALSE(WriteBmp(folder + "a.bmp", frame, &error));
    EXPECT_TRUE(error.contains("a.bmp")) << qPrintable(error);
    error.clear();
    EXPECT_FALSE(WriteJpeg(folder + "a.jpg", frame, 75, &error));
    EXPECT_TRUE(error.contains("a.jpg")) << qPrintable(error);
    error.clear();
    EXPECT_FALSE(WriteTiff(folder + "a.tif", frame, &error));
    EXPECT_TRUE(error.contains("a.tif")) << qPrintable(error);
}
