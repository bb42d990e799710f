#include "adjust/AdjustmentEntry.h"
#include "adjust/LogoOverlay.h"
#include "adjust/TextDrawing.h"

#include "TestFrames.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Bounding box of the pixels that differ from the uniform background.
QRect ChangedArea(const Frame& frame, Bgr background)
{
    QRect box;
    for (int y = 0; y < frame.height(); ++y)
        for (int x = 0; x < frame.width(); ++x)
            if (!(PixelAt(frame, x, y) == background))
                box |= QRect(x, y, 1, 1);
    return box;
}

AnnotationEntry TextEntry(int x, int y, int angle, const QString& text)
{
    AnnotationEntry entry;
    entry.AnnX = x;
    entry.AnnY = y;
    entry.AnnAngle = angle;
    entry.AnnDrawText = text;
    entry.AnnFontName = QStringLiteral("DejaVu Sans");
    entry.AnnFontSize = 20;
    entry.AnnFontColour = 0x00FFFFFF;
    return entry;
}

} // namespace

TEST(TextDrawing, WritesBelowAndRightOfTheAnchorOnly)
{
    Frame frame = SolidFrame(200, 120, 0, 0, 0);
    ApplyEntry(frame, TextEntry(50, 40, 0, QStringLiteral("Test 123")));
    const QRect box = ChangedArea(frame, {0, 0, 0});
    ASSERT_FALSE(box.isEmpty());
    // Antialiased edges may reach one pixel beyond the character cell.
    EXPECT_GE(box.left(), 49);
    EXPECT_LT(box.left(), 56);
    EXPECT_GE(box.top(), 39);
    EXPECT_LE(box.bottom(), 40 + 20); // within the 20-pixel character cell
    EXPECT_GT(box.width(), 40);
    EXPECT_LT(box.width(), 150);
}

TEST(TextDrawing, AngleTurnsCounterClockwiseAboutTheAnchor)
{
    // At 90 degrees the line runs upwards from the anchor and the character
    // cell lies to its right (the text's top edge faces left).
    Frame frame = SolidFrame(200, 200, 0, 0, 0);
    ApplyEntry(frame, TextEntry(100, 150, 90, QStringLiteral("Upwards")));
    const QRect box = ChangedArea(frame, {0, 0, 0});
    ASSERT_FALSE(box.isEmpty());
    EXPECT_LE(box.bottom(), 151);
    EXPECT_LT(box.top(), 100);       // long extent goes up
    EXPECT_GE(box.left(), 99);       // the cell's height goes to the right
    EXPECT_LE(box.right(), 100 + 20);
}

TEST(TextDrawing, BackgroundFillsTheTextCell)
{
    Frame frame = SolidFrame(200, 60, 128, 128, 128);
    AnnotationEntry entry = TextEntry(10, 10, 0, QStringLiteral("ab"));
    entry.AnnFontColour = 0x000000FF; // red (0x00BBGGRR)
    entry.AnnBackground = 2;          // white
    ApplyEntry(frame, entry);
    EXPECT_EQ(PixelAt(frame, 10, 10), (Bgr{255, 255, 255}));
    EXPECT_EQ(PixelAt(frame, 9, 10), (Bgr{128, 128, 128}));
    bool sawRed = false;
    for (int y = 10; y < 30; ++y)
        for (int x = 10; x < 40; ++x)
            sawRed = sawRed || PixelAt(frame, x, y) == (Bgr{0, 0, 255});
    EXPECT_TRUE(sawRed);

    Frame plain = SolidFrame(200, 60, 128, 128, 128);
    entry.AnnBackground = 0;
    ApplyEntry(plain, entry);
    EXPECT_EQ(PixelAt(plain, 10, 10), (Bgr{128, 128, 128}));

    // Empty text and text far outside the frame change nothing.
    Frame untouched = SolidFrame(50, 50, 1, 2, 3);
    ApplyEntry(untouched, TextEntry(0, 0, 0, QString()));
    ApplyEntry(untouched, TextEntry(-5000, 9000, 45, QStringLiteral("far away")));
    EXPECT_EQ(untouched, SolidFrame(50, 50, 1, 2, 3));
}

TEST(TextDrawing, PainterStateIsGivenBack)
{
    QImage image(50, 20, QImage::Format_BGR888);
    image.fill(Qt::black);
    QPainter painter(&image);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(12);
    painter.setFont(font);
    painter.setBrush(Qt::NoBrush);
    DrawRotatedText(painter, 2, 2, true, 12.5f, QStringLiteral("x"));
    EXPECT_EQ(painter.font().pixelSize(), 12);
    EXPECT_EQ(painter.brush().style(), Qt::NoBrush);
    painter.end();
    EXPECT_EQ(image.pixelColor(3, 3), QColor(Qt::white)); // opaque: white cell
}

class LogoTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ClearLogoCache();
    }
    QString WriteLogo(const QString& name, int w, int h, QColor colour)
    {
        QImage image(w, h, QImage::Format_RGB32);
        image.fill(colour);
        const QString path = dir.filePath(name);
        EXPECT_TRUE(image.save(path, "BMP"));
        return path;
    }
    LogoEntry Logo(const QString& path, int corner, int size = 100)
    {
        LogoEntry entry;
        entry.LogoFile = path;
        entry.LogoCorner = corner;
        entry.LogoMethod = OverlaySolidMethod;
        entry.LogoSize = size;
        return entry;
    }
    static constexpr int OverlaySolidMethod = 1;
    QTemporaryDir dir;
};

TEST_F(LogoTest, SizesRoundHalfToEven)
{
    EXPECT_EQ(ScaledLogoSize(QSize(101, 51), 50), QSize(50, 26));
    EXPECT_EQ(ScaledLogoSize(QSize(10, 10), 100), QSize(10, 10));
    EXPECT_EQ(ScaledLogoSize(QSize(3, 3), 10), QSize());      // 0.3 pixels
    EXPECT_EQ(ScaledLogoSize(QSize(10, 10), 0), QSize());
    EXPECT_EQ(ScaledLogoSize(QSize(10, 10), -50), QSize());
    EXPECT_EQ(ScaledLogoSize(QSize(1000, 1000), 1000000), QSize()); // absurd: nothing

    const QString path = WriteLogo(QStringLiteral("wide.bmp"), 101, 51, Qt::red);
    const auto logo = LoadScaledLogo(path, 50);
    ASSERT_TRUE(logo);
    EXPECT_EQ(logo->width(), 50);
    EXPECT_EQ(logo->height(), 26);
}

TEST_F(LogoTest, NearestNeighbourDropsAndRepeats)
{
    Frame source(4, 1);
    for (int x = 0; x < 4; ++x)
        SetPixel(source, x, 0, {x, x, x});
    const Frame half = ScaleNearest(source, 2, 1);
    EXPECT_EQ(PixelAt(half, 0, 0).b, 1);
    EXPECT_EQ(PixelAt(half, 1, 0).b, 3);
    const Frame twice = ScaleNearest(source, 8, 2);
    for (int x = 0; x < 8; ++x) {
        EXPECT_EQ(PixelAt(twice, x, 0).b, x / 2);
        EXPECT_EQ(PixelAt(twice, x, 1).b, x / 2);
    }
}

TEST_F(LogoTest, CornersPlaceTheLogo)
{
    const QString path = WriteLogo(QStringLiteral("logo.bmp"), 4, 3, QColor(10, 20, 30));
    const Bgr logoColour{30, 20, 10};
    struct Case {
        int corner;
        QRect area;
    };
    const Case cases[] = {
        {0, QRect(0, 0, 4, 3)},
        {1, QRect(16, 0, 4, 3)},
        {2, QRect(0, 12, 4, 3)},
        {3, QRect(16, 12, 4, 3)},
        {4, QRect()},
        {-1, QRect()},
    };
    for (const Case& c : cases) {
        Frame frame = SolidFrame(20, 15, 0, 0, 0);
        ApplyEntry(frame, Logo(path, c.corner));
        EXPECT_EQ(ChangedArea(frame, {0, 0, 0}), c.area) << "corner " << c.corner;
        if (!c.area.isEmpty())
            EXPECT_EQ(PixelAt(frame, c.area.left(), c.area.top()), logoColour);
    }
}

TEST_F(LogoTest, LargerThanTheFrameIsClippedAtTheBottomRight)
{
    const QString path = WriteLogo(QStringLiteral("big.bmp"), 30, 30, Qt::white);
    Frame frame = SolidFrame(20, 10, 0, 0, 0);
    ApplyEntry(frame, Logo(path, 3));
    EXPECT_EQ(ChangedArea(frame, {0, 0, 0}), QRect(0, 0, 20, 10));
}

TEST_F(LogoTest, MissingUnreadableOrDisabledDrawsNothing)
{
    Frame frame = SolidFrame(20, 15, 0, 0, 0);
    ApplyEntry(frame, Logo(dir.filePath(QStringLiteral("absent.bmp")), 0));
    ApplyEntry(frame, Logo(QString(), 0));
    ApplyEntry(frame, Logo(dir.path(), 0)); // a folder
    QFile junk(dir.filePath(QStringLiteral("junk.bmp")));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("BM\x10\x00garbage");
    junk.close();
    ApplyEntry(frame, Logo(junk.fileName(), 0));
    LogoEntry disabled = Logo(WriteLogo(QStringLiteral("ok.bmp"), 2, 2, Qt::white), 0);
    disabled.LogoDisabled = true;
    ApplyEntry(frame, disabled);
    EXPECT_EQ(frame, SolidFrame(20, 15, 0, 0, 0));
}

TEST_F(LogoTest, CacheFollowsChangesToTheFile)
{
    const QString path = WriteLogo(QStringLiteral("logo.bmp"), 4, 4, Qt::white);
    const auto first = LoadScaledLogo(path, 100);
    ASSERT_TRUE(first);
    EXPECT_EQ(LoadScaledLogo(path, 100), first); // served from the cache

    WriteLogo(QStringLiteral("logo.bmp"), 6, 5, Qt::blue); // replaced (other size)
    const auto second = LoadScaledLogo(path, 100);
    ASSERT_TRUE(second);
    EXPECT_EQ(second->width(), 6);

    // Same size and the same modification time, other content.
    const QDateTime stamp = QFileInfo(path).lastModified();
    WriteLogo(QStringLiteral("logo.bmp"), 6, 5, Qt::red);
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(stamp, QFileDevice::FileModificationTime));
    }
    ASSERT_EQ(QFileInfo(path).lastModified(), stamp);
    const auto third = LoadScaledLogo(path, 100);
    ASSERT_TRUE(third);
    EXPECT_NE(PixelAt(*third, 0, 0), PixelAt(*second, 0, 0));

    ASSERT_TRUE(QFile::remove(path));
    EXPECT_FALSE(LoadScaledLogo(path, 100)); // deleted: the logo disappears
}

namespace {

std::unique_ptr<AdjustmentEntry> PixelEntry(AdjustmentEntry::Parameters parameters)
{
    return std::make_unique<AdjustmentEntry>(std::move(parameters));
}

} // namespace

TEST(OverlayOrder, TextIsDrawnOverTheFinishedPictureWhereverItIsInTheList)
{
    struct Case {
        const char* name;
        AdjustmentEntry::Parameters pixels;
    };
    const Case cases[] = {
        {"brightness -200", BrightnessEntry{.Offset = -200}},
        {"contrast 100", ContrastEntry{.Amount = 100}},
        {"gamma 1.9", GammaEntry{.Slider = 1, .Exponent = 1.9f}},
        {"quarter turn", RotateEntry{.Mirror = 0, .Turn = 2}},
        {"other quarter turn and mirror", RotateEntry{.Mirror = 3, .Turn = 1}},
        {"half turn", RotateEntry{.Mirror = 0, .Turn = 3}},
    };
    const Frame original = SolidFrame(160, 120, 40, 90, 140);
    for (const Case& c : cases) {
        AdjustmentList textFirst;
        textFirst.push_back(std::make_unique<AdjustmentEntry>(TextEntry(20, 10, 0, QStringLiteral("Test 1"))));
        textFirst.push_back(PixelEntry(c.pixels));
        AdjustmentList textLast;
        textLast.push_back(PixelEntry(c.pixels));
        textLast.push_back(std::make_unique<AdjustmentEntry>(TextEntry(20, 10, 0, QStringLiteral("Test 1"))));

        Frame a = original;
        ApplyAdjustmentList(a, textFirst);
        Frame b = original;
        ApplyAdjustmentList(b, textLast);
        EXPECT_EQ(a, b) << c.name;

        // The text is white and upright at (20, 10) of the shown picture.
        Frame expected = original;
        ApplyEntry(expected, *textLast[0]);
        const Frame background = expected;
        ApplyEntry(expected, *textLast[1]);
        EXPECT_EQ(a, expected) << c.name;
        const QRect box = ChangedArea(a, PixelAt(background, 0, 0));
        // (Antialiasing may reach one pixel past the anchor.)
        EXPECT_NEAR(box.left(), 20, 2) << c.name;
        EXPECT_GE(box.top(), 9) << c.name;
        EXPECT_LE(box.top(), 16) << c.name;
        EXPECT_GT(box.width(), box.height()) << c.name;
        int white = 0;
        for (int y = 0; y < a.height(); ++y)
            for (int x = 0; x < a.width(); ++x)
                white += PixelAt(a, x, y) == Bgr{255, 255, 255};
        EXPECT_GT(white, 20) << c.name;
    }
}

TEST(OverlayOrder, OverlaysKeepTheirOwnListOrder)
{
    // Two texts at one place: the later one is on top, with any pixel
    // operation between them.
    AnnotationEntry white = TextEntry(10, 10, 0, QStringLiteral("MMMM"));
    white.AnnBackground = 1;
    AnnotationEntry red = white;
    red.AnnFontColour = 0x000000FF;
    AdjustmentList list;
    list.push_back(std::make_unique<AdjustmentEntry>(white));
    list.push_back(PixelEntry(BrightnessEntry{.Offset = 50}));
    list.push_back(std::make_unique<AdjustmentEntry>(red));
    Frame frame = SolidFrame(120, 60, 0, 0, 0);
    ApplyAdjustmentList(frame, list);
    int reds = 0, whites = 0;
    for (int y = 0; y < frame.height(); ++y)
        for (int x = 0; x < frame.width(); ++x) {
            reds += PixelAt(frame, x, y) == Bgr{0, 0, 255};
            whites += PixelAt(frame, x, y) == Bgr{255, 255, 255};
        }
    EXPECT_GT(reds, 20);
    EXPECT_EQ(whites, 0);
}
