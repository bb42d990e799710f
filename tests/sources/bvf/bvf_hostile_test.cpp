// Damaged and hostile files: every one gets a clear error or a defined
// result, never a read outside the buffers (run these under the sanitizers).

#include "BvfTestSupport.h"

#include "sources/bvf/BvfFormat.h"
#include "sources/bvf/BvfSource.h"
#include "sources/bvf/SampleScene.h"

#include <QTemporaryDir>
#include <climits>
#include <functional>

using namespace bvftest;

namespace {

QByteArray Valid(int frames = 3)
{
    bvf::RecordingLayout l = Layout(8, 6, true, frames);
    std::vector<Image> images(size_t(frames), Constant(8, 6, 77));
    return bvf::RecordingBytes(l, images);
}

// Offsets in the file made by Valid().
constexpr int kCameraPayload = 32;
constexpr int kWindowHeader = kCameraPayload + bvf::kCameraKept;
constexpr int kWindowLeadingAt = kWindowHeader + 16;
constexpr int kWindowPayload = kWindowLeadingAt + 12;

void SetI32(QByteArray& b, int at, int32_t v)
{
    WriteLE<int32_t>(b.data() + at, v);
}

} // namespace

TEST(BvfHostile, OpenFailsWithAClearReason)
{
    struct Case {
        const char* name;
        std::function<void(QByteArray&)> spoil;
        const char* reason;
    };
    const int framesStart = bvf::HeaderBytes(Layout(8, 6, true, 3)).size();
    const Case cases[] = {
        {"empty", [](QByteArray& b) { b.clear(); }, "too short"},
        {"bad magic", [](QByteArray& b) { b[0] = 'X'; }, "not a Brava"},
        {"header only", [=](QByteArray& b) { b.truncate(framesStart); }, "ends before"},
        {"cut inside the window chunk", [](QByteArray& b) { b.truncate(kWindowPayload + 3); }, "past the end"},
        {"negative chunk size", [](QByteArray& b) { SetI32(b, kWindowHeader + 8, -5); }, "past the end"},
        {"chunk size past the end", [](QByteArray& b) { SetI32(b, kCameraPayload - 8, INT32_MAX); }, "past the end"},
        {"first record cut short", [=](QByteArray& b) { b.truncate(framesStart + 100); }, "past the end"},
        {"window 1 pixel wide", [](QByteArray& b) { SetI32(b, kWindowPayload + bvf::kWinRight, 0); }, "smaller than 2 x 2"},
        {"window upside down", [](QByteArray& b) { SetI32(b, kWindowPayload + bvf::kWinBottom, -50); }, "smaller than 2 x 2"},
        {"window larger than the records", [](QByteArray& b) { SetI32(b, kWindowPayload + bvf::kWinRight, 100); }, "too small for"},
        {"window enormous", [](QByteArray& b) {
             SetI32(b, kWindowPayload + bvf::kWinLeft, INT32_MIN);
             SetI32(b, kWindowPayload + bvf::kWinRight, INT32_MAX); }, "too small for"},
        {"frame rate 0", [](QByteArray& b) { SetI32(b, kWindowPayload + bvf::kWinFrameRate, 0); }, "frame rate"},
        {"frame rate negative", [](QByteArray& b) { SetI32(b, kWindowPayload + bvf::kWinFrameRate, -10); }, "frame rate"},
        {"reversed range", [](QByteArray& b) { SetI32(b, kWindowLeadingAt + 4, 10); }, "reversed"},
        {"range too long", [](QByteArray& b) {
             SetI32(b, kWindowLeadingAt + 4, INT32_MIN);
             SetI32(b, kWindowLeadingAt + 8, INT32_MAX); }, "too long"},
        {"sensor 1 x 1", [](QByteArray& b) {
             WriteLE<uint16_t>(b.data() + kCameraPayload + bvf::kCamSensorWidth, 1);
             WriteLE<uint16_t>(b.data() + kCameraPayload + bvf::kCamSensorHeight, 1); }, "sensor size"},
        {"no window chunk", [](QByteArray& b) {
             SetI32(b, kWindowHeader + 4, 99); // skipped: its 12 leading bytes count in its size
             SetI32(b, kWindowHeader + 8, bvf::kWindowLeading + bvf::kWindowKept); }, "no recording window"},
    };
    for (const Case& c : cases) {
        QByteArray bytes = Valid();
        c.spoil(bytes);
        QString error;
        EXPECT_FALSE(TBVSCFILECAM::openBytes(bytes, &error)) << c.name;
        EXPECT_TRUE(error.contains(c.reason)) << c.name << ": " << error.toStdString();
    }
}

TEST(BvfHostile, LayoutKindWindowFromDescriptionIsCheckedToo)
{
    QByteArray bytes = Valid();
    SetI32(bytes, kWindowPayload + bvf::kWinLayoutKind, 3);
    WriteLE<uint16_t>(bytes.data() + kCameraPayload + bvf::kCamFrameRate, 0);
    QString error;
    EXPECT_FALSE(TBVSCFILECAM::openBytes(bytes, &error));
    EXPECT_TRUE(error.contains("frame rate")) << error.toStdString();
}

TEST(BvfHostile, UnreadableFramesKeepTheLastGoodOne)
{
    QByteArray bytes = Valid(3);
    auto probe = Open(bytes);
    const int64_t start = probe->framesStart();
    const int64_t stride = probe->frameStride();
    // Record 1 states another payload size; record 2 is cut off.
    SetI32(bytes, int(start + stride + 8), 999);
    bytes.truncate(int(start + 2 * stride + 200));
    auto r = Open(bytes);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->recordsInFile(), 2);
    const Frame before = r->output();

    EXPECT_FALSE(r->readFrame(1));
    EXPECT_TRUE(r->lastError().contains("damaged")) << r->lastError().toStdString();
    EXPECT_FALSE(r->readFrame(2));
    EXPECT_TRUE(r->lastError().contains("missing")) << r->lastError().toStdString();
    EXPECT_FALSE(r->readFrame(3));
    EXPECT_TRUE(r->lastError().contains("outside")) << r->lastError().toStdString();
    EXPECT_FALSE(r->readFrame(INT32_MIN));
    EXPECT_EQ(r->output(), before);
    EXPECT_EQ(r->currentFrameNumber(), 0);
    EXPECT_TRUE(r->readFrame(0));
}

TEST(BvfHostile, SourceReportsDamagedFramesAndBlanksOthers)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("cut.bvf");
    QByteArray bytes = Valid(3);
    bytes.chop(50);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    f.close();
    QString error;
    auto source = OpenBvfSource(path, &error);
    ASSERT_TRUE(source) << error.toStdString();
    Frame frame;
    EXPECT_TRUE(source->readFrame(1, frame));
    frame.fill(1, 2, 3);
    const Frame kept = frame;
    EXPECT_FALSE(source->readFrame(2, frame));
    EXPECT_FALSE(source->lastError().isEmpty());
    EXPECT_EQ(frame, kept);
    EXPECT_TRUE(source->readFrame(-7, frame)); // not recorded: black
    EXPECT_EQ(frame.pixel(0, 0)[1], 0);

    EXPECT_FALSE(OpenBvfSource(dir.path(), &error)); // a folder
    EXPECT_FALSE(error.isEmpty());
}

TEST(BvfHostile, DarkFrameThatDoesNotFitIsNotUsed)
{
    // Window outside the sensor: no subtraction, no out-of-bounds read.
    bvf::RecordingLayout l = Layout(8, 6);
    l.sensor = QSize(10, 10);
    l.window = QRect(5, 6, 8, 6);
    l.darkFrame = Constant(10, 10, 30);
    l.settings.darkSwitch = 137;
    auto r = Open(l, {Constant(8, 6, 100)});
    ASSERT_TRUE(r);
    EXPECT_FALSE(r->hasDarkFrame());
    EXPECT_EQ(Rgb(r->output(), 2, 2)[0], 100);

    // A dark-frame chunk smaller than the sensor is ignored as well.
    l.window = QRect();
    QByteArray bytes = bvf::RecordingBytes(l, {Constant(10, 10, 100)});
    const int darkSizeAt = bvf::HeaderBytes(l).size() - (384 + 100) - 8;
    ASSERT_EQ(ReadLE<int32_t>(bytes.constData() + darkSizeAt - 4), bvf::ChunkDarkFrame);
    SetI32(bytes, darkSizeAt, 384 + 50);
    bytes.remove(darkSizeAt + 8 + 384 + 50, 50);
    r = Open(bytes);
    ASSERT_TRUE(r);
    EXPECT_FALSE(r->hasDarkFrame());
}

TEST(BvfHostile, EveryTruncationIsHandled)
{
    bvf::RecordingLayout l = Layout(6, 4, true, 2);
    l.darkFrame = Constant(6, 4, 3);
    l.unknownChunk = true;
    const QByteArray full = bvf::RecordingBytes(l, {Constant(6, 4, 9), Constant(6, 4, 10)});
    int opened = 0;
    for (int n = 0; n <= full.size(); ++n) {
        QString error;
        auto r = TBVSCFILECAM::openBytes(full.left(n), &error);
        if (!r) {
            EXPECT_FALSE(error.isEmpty()) << n;
            continue;
        }
        ++opened;
        r->readFrame(0);
        r->readFrame(1);
    }
    EXPECT_GT(opened, 0);
}

TEST(BvfRoundTrip, SampleRecordingsDecodeToTheirScene)
{
    QTemporaryDir dir;
    const QSize size(64, 48);
    for (bool colour : {false, true}) {
        const QString path = dir.filePath(colour ? "c.bvf" : "m.bvf");
        bvf::SampleOptions o;
        o.size = size;
        o.frames = 4;
        o.fps = 2000;
        o.firstFrame = -1;
        o.colour = colour;
        QString error;
        ASSERT_TRUE(bvf::WriteSampleRecording(path, o, &error)) << error.toStdString();
        auto source = OpenBvfSource(path, &error);
        ASSERT_TRUE(source) << error.toStdString();
        RecordingInfo info;
        source->fillInfo(info);
        EXPECT_EQ(info.FirstFrame, -1);
        EXPECT_EQ(info.LastFrame, 2);
        EXPECT_EQ(info.FrameRate, 2000);
        EXPECT_EQ(source->reader().isColour(), colour);

        Frame frame;
        ASSERT_TRUE(source->readFrame(1, frame)); // frame index 2
        std::vector<uint8_t> image;
        bvf::RenderSampleImage(2, size, colour, 0, image);
        std::vector<float> rgb;
        bvf::RenderSampleRgb(2, size, rgb);
        double error2 = 0;
        int count = 0;
        for (int y = 2; y < size.height() - 2; ++y)
            for (int x = 2; x < size.width() - 2; ++x) {
                const uint8_t* p = frame.pixel(x, y);
                if (!colour) {
                    ASSERT_EQ(p[1], image[size_t(y) * 64 + x]);
                    continue;
                }
                const float* q = rgb.data() + (size_t(y) * 64 + x) * 3;
                for (int c = 0; c < 3; ++c) {
                    const double d = double(p[2 - c]) - std::clamp(q[c], 0.0f, 255.0f);
                    error2 += d * d;
                    ++count;
                }
            }
        if (colour)
            EXPECT_LT(std::sqrt(error2 / count), 12.0); // demosaicing blurs the target edges
    }
}
