// Header parsing: model codes, layout kinds, settings block rules, dark
// frame, frame addressing and the document-facing source.

#include "BvfTestSupport.h"

#include "sources/bvf/BvfFormat.h"
#include "sources/bvf/BvfSource.h"

#include <QTemporaryDir>

using namespace bvftest;

TEST(BvfHeader, SensorSizeFollowsModelCode)
{
    struct Case { const char* code; QSize expected; };
    const Case cases[] = {
        {"13", {1280, 1024}}, {"20", {640, 480}}, {"21", {1024, 768}},
        {"31", {1280, 1024}}, {"34", {1696, 1710}}, {"XS", {40, 30}},
    };
    for (const Case& c : cases) {
        bvf::RecordingLayout l = Layout(8, 6);
        l.model[0] = c.code[0];
        l.model[1] = c.code[1];
        l.sensor = QSize(40, 30); // used only for unknown codes
        l.window = QRect(2, 3, 8, 6);
        auto r = Open(l, {Constant(8, 6, 1)});
        ASSERT_TRUE(r) << c.code;
        EXPECT_EQ(r->sensorSize(), c.expected) << c.code;
        EXPECT_EQ(r->windowLeft(), 2);
        EXPECT_EQ(r->windowTop(), 3);
        EXPECT_EQ(r->windowRight(), 9);
        EXPECT_EQ(r->windowBottom(), 8);
        EXPECT_EQ(r->output().width(), 8);
        EXPECT_EQ(r->output().height(), 6);
    }
}

TEST(BvfHeader, LayoutKindPicksWhereWindowAndRateComeFrom)
{
    for (int kind : {0, 1, 2, 7}) {
        bvf::RecordingLayout l = Layout(10, 8);
        l.window = QRect(0, 0, 10, 8);
        l.layoutKind = kind;
        l.frameRate = 1234;
        QByteArray bytes = bvf::RecordingBytes(l, {Constant(10, 8, 5)});
        // Spoil the copy the reader must not use.
        const int cameraPayload = bvf::kFileHeaderSize + bvf::kChunkHeaderSize;
        const int windowPayload = cameraPayload + bvf::kCameraKept + bvf::kChunkHeaderSize + bvf::kWindowLeading;
        char* spoil = bytes.data() + (kind <= 1 ? cameraPayload + bvf::kCamFrameRate
                                                 : windowPayload + bvf::kWinFrameRate);
        WriteLE<uint16_t>(spoil, 9);
        auto r = Open(bytes);
        ASSERT_TRUE(r) << kind;
        EXPECT_EQ(r->cameraFrameRate(), 1234) << kind;
        EXPECT_EQ(r->windowWidth(), 10);
        EXPECT_EQ(r->windowHeight(), 8);
    }
}

TEST(BvfHeader, ColourFlagAndUnknownChunks)
{
    bvf::RecordingLayout l = Layout(4, 4, true);
    l.unknownChunk = true;
    auto r = Open(l, {Constant(4, 4, 9)});
    ASSERT_TRUE(r);
    EXPECT_TRUE(r->isColour());
    l.colour = false;
    EXPECT_FALSE(Open(l, {Constant(4, 4, 9)})->isColour());
}

TEST(BvfHeader, SettingsBlockVersionsClampsAndBuild)
{
    struct Case {
        uint8_t hi, lo;
        int32_t chroma, gamma, wb, enhance, build, dark, pattern;
        int eChroma, eGamma, eWb, eEnhance, ePattern;
        bool eDark;
    };
    const Case cases[] = {
        // version 71: everything counts
        {7, 1, 50, 2, 3, 4, 1075, 137, 2, 50, 2, 3, 4, 2, true},
        // version 70: processing fields, but no dark-frame subtraction
        {7, 0, 50, 1, 1, 3, 1075, 137, 1, 50, 1, 1, 3, 1, false},
        // version 69: none of them (initial values stay)
        {6, 9, 50, 1, 1, 3, 1074, 137, 3, 100, 0, 4, 2, 0, false},
        // out-of-range values take their stand-ins
        {7, 1, 250, 3, 6, 5, 1075, 0, 3, 100, 0, 2, 2, 3, false},
        {7, 1, -1, -1, -1, -1, 1075, 136, 1, 100, 0, 2, 2, 1, false},
        // build 1074 keeps pattern 0
        {7, 1, 100, 0, 0, 0, 1074, 0, 3, 100, 0, 0, 0, 0, false},
        // version 105 (bytes 10 and 5)
        {10, 5, 75, 0, 5, 1, 2000, 137, 1, 75, 0, 5, 1, 1, true},
    };
    for (const Case& c : cases) {
        bvf::RecordingLayout l = Layout(4, 4, true);
        l.settings = {c.hi, c.lo, c.chroma, c.gamma, c.wb, c.enhance, c.build, c.dark, 90, c.pattern};
        auto r = Open(l, {Constant(4, 4, 9)});
        ASSERT_TRUE(r);
        SCOPED_TRACE(int(c.hi) * 100 + c.lo);
        EXPECT_EQ(r->chroma(), c.eChroma);
        EXPECT_EQ(r->gammaMode(), c.eGamma);
        EXPECT_EQ(r->wbMode(), c.eWb);
        EXPECT_EQ(r->enhanceLevel(), c.eEnhance);
        EXPECT_EQ(r->bayerPattern(), c.ePattern);
        EXPECT_EQ(r->subtractDark(), c.eDark);
        EXPECT_EQ(r->rotation(), 90); // read whatever the version
    }
}

TEST(BvfHeader, SettingsChunkOfOtherSizeIsIgnored)
{
    bvf::RecordingLayout l = Layout(4, 4);
    l.writeSettings = false;
    QByteArray bytes = bvf::HeaderBytes(l);
    QByteArray chunk(16, '\0');
    WriteLE<int32_t>(chunk.data() + 4, bvf::ChunkSettings);
    WriteLE<int32_t>(chunk.data() + 8, 1000);
    QByteArray block(1000, '\0');
    block[0] = 7;
    block[1] = 1;
    WriteLE<int32_t>(block.data() + bvf::kSetChroma, 0);
    bytes += chunk + block + bvf::FrameRecordBytes(l, Constant(4, 4, 1).data());
    auto r = Open(bytes);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->chroma(), 100);
    EXPECT_EQ(r->wbMode(), TBVSCFILECAM::WbAuto);
    EXPECT_EQ(r->enhanceLevel(), 2);
    EXPECT_EQ(r->settingsVersion(), 0);
}

TEST(BvfHeader, DarkFrameMinimum)
{
    bvf::RecordingLayout l = Layout(4, 4);
    l.darkFrame = Make(4, 4, [](int x, int y) { return 20 + x + y; });
    EXPECT_EQ(Open(l, {Constant(4, 4, 1)})->darkMin(), 20);
    l.darkFrame = Constant(4, 4, 255);
    auto r = Open(l, {Constant(4, 4, 1)});
    EXPECT_EQ(r->darkMin(), 0);
    EXPECT_TRUE(r->hasDarkFrame());
}

TEST(BvfHeader, FramesAreAddressedDirectlyWithNegativeNumbers)
{
    bvf::RecordingLayout l = Layout(6, 4, false, 5);
    l.startFrame = -2;
    l.endFrame = 2;
    l.recordPadding = 10; // records larger than their image
    std::vector<Image> frames;
    for (int k = 0; k < 5; ++k)
        frames.push_back(Make(6, 4, [k](int x, int y) { return 10 * k + x + 6 * y; }));
    const QByteArray bytes = bvf::RecordingBytes(l, frames);
    auto r = Open(bytes);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->frameStride(), 16 + 384 + 24 + 10);
    EXPECT_EQ(r->framesStart(), bvf::HeaderBytes(l).size());
    EXPECT_EQ(r->recordsInFile(), 5);
    EXPECT_EQ(r->frameCount(), 5);
    for (int n : {2, -2, 0, 1, -1}) {
        ASSERT_TRUE(r->readFrame(n)) << r->lastError().toStdString();
        EXPECT_EQ(r->currentFrameNumber(), n);
        const int k = n + 2;
        EXPECT_EQ(Rgb(r->output(), 0, 0), (std::array<int, 3>{10 * k, 10 * k, 10 * k}));
        EXPECT_EQ(Rgb(r->output(), 5, 3)[1], 10 * k + 23);
    }
}

TEST(BvfSourceTest, FillInfoAndFrames)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("rec.bvf");
    bvf::RecordingLayout l = Layout(8, 6, false, 3);
    l.startFrame = 10;
    l.endFrame = 12;
    l.settings.rotation = 90;
    bvf::BvfWriter writer;
    ASSERT_TRUE(writer.open(path, l, nullptr));
    for (int k = 0; k < 3; ++k)
        ASSERT_TRUE(writer.writeFrame(Constant(8, 6, uint8_t(50 + k)).data()));
    ASSERT_TRUE(writer.close());

    QString error;
    auto source = OpenBvfSource(path, &error);
    ASSERT_TRUE(source) << error.toStdString();
    RecordingInfo info;
    source->fillInfo(info);
    EXPECT_EQ(source->sourceKind(), 7);
    EXPECT_EQ(info.SourceKind, 7);
    EXPECT_EQ(info.FrameCount, 3);
    EXPECT_EQ(info.FirstFrame, 10);
    EXPECT_EQ(info.LastFrame, 12);
    EXPECT_EQ(info.RangeFirst, 10);
    EXPECT_EQ(info.RangeLast, 12);
    EXPECT_EQ(info.FrameRate, 500);
    EXPECT_FLOAT_EQ(info.FrameInterval, 1.0f / 500.0f);
    EXPECT_EQ(info.TimeZeroFrame, 0);
    EXPECT_EQ(info.ImageWidth, 6); // turned by 90 degrees
    EXPECT_EQ(info.ImageHeight, 8);
    EXPECT_EQ(info.InfoText[0], "Qor Brava");
    EXPECT_EQ(info.InfoText[1], "SC");

    Frame frame;
    ASSERT_TRUE(source->readFrame(11, frame));
    EXPECT_EQ(frame.width(), 6);
    EXPECT_EQ(Rgb(frame, 3, 3)[0], 51);
    // Numbers outside the recording give a black frame of the same size.
    ASSERT_TRUE(source->readFrame(0, frame));
    EXPECT_EQ(frame.width(), 6);
    EXPECT_EQ(frame.height(), 8);
    EXPECT_EQ(Rgb(frame, 2, 2), (std::array<int, 3>{0, 0, 0}));

    EXPECT_FALSE(OpenBvfSource(dir.filePath("missing.bvf"), &error));
    EXPECT_TRUE(error.contains("Cannot find")) << error.toStdString();
}
