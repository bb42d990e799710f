// Our files read by the ffmpeg tools, and files made by ffmpeg read by us.

#include "AviTestSupport.h"

#include "document/RecordingInfo.h"
#include "sources/avi/AviSource.h"
#include "sources/avi/AviWriter.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

constexpr int W = 48;
constexpr int H = 32;

class AviFfmpeg : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!HaveFfmpeg())
            GTEST_SKIP() << "ffmpeg/ffprobe not installed";
    }
    QTemporaryDir dir;
    QString file(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }

    QString probe(const QString& path, const char* entries)
    {
        bool ok = false;
        const QByteArray out = RunTool("ffprobe", {"-v", "error", "-select_streams", "v:0", "-count_packets",
                                                   "-show_entries", entries, "-of", "default=nw=1:nk=1", path},
                                       &ok);
        EXPECT_TRUE(ok);
        return QString::fromLatin1(out).trimmed();
    }
};

} // namespace

TEST_F(AviFfmpeg, FfmpegReadsEveryFrameOfASplitFile)
{
    struct Case { AviCodec codec; const char* name; };
    for (const Case& c : {Case{AviCodec::Dib24, "split_dib.avi"}, Case{AviCodec::Grey8, "split_grey.avi"},
                          Case{AviCodec::Mjpeg, "split_mjpg.avi"}}) {
        SCOPED_TRACE(c.name);
        AviWriter writer(c.codec == AviCodec::Mjpeg ? 6000 : 30000);
        ASSERT_TRUE(writer.open(file(c.name), W, H, 30, c.codec, 90, RecordingInfo().toBytes()));
        for (int n = 0; n < 60; ++n)
            ASSERT_TRUE(writer.writeFrame(MakeTestFrame(W, H, n)));
        ASSERT_TRUE(writer.close());
        EXPECT_GE(writer.riffCount(), 3);

        EXPECT_EQ(probe(file(c.name), "stream=r_frame_rate,nb_read_packets"), "30/1\n60");

        bool ok = false;
        const std::vector<Frame> frames = DecodeWithFfmpeg(file(c.name), W, H, &ok);
        ASSERT_TRUE(ok);
        ASSERT_EQ(frames.size(), 60u);
        auto ours = OpenAviSource(file(c.name), nullptr);
        ASSERT_TRUE(ours);
        for (int n = 0; n < 60; ++n) {
            Frame frame;
            ASSERT_TRUE(ours->readFrame(n, frame));
            if (c.codec == AviCodec::Mjpeg) {
                // The colour conversions differ a little; the frames must not.
                const Frame expected = MakeTestFrame(W, H, n);
                EXPECT_LT(MeanAbsDiff(frames[size_t(n)], expected), 9.0) << n;
                EXPECT_LT(MeanAbsDiff(frame, expected), 9.0) << n;
                EXPECT_EQ(ClosestTestFrame(frames[size_t(n)], 60), n);
                EXPECT_EQ(ClosestTestFrame(frame, 60), n);
            } else {
                EXPECT_TRUE(frames[size_t(n)] == frame) << n;
            }
        }
    }
}

TEST_F(AviFfmpeg, StreamNameAndHeaderFieldsAreWhatVideoForWindowsWrote)
{
    AviWriter writer;
    ASSERT_TRUE(writer.open(file("name.avi"), W, H, 12, AviCodec::Dib24, 0, {}));
    ASSERT_TRUE(writer.writeFrame(MakeTestFrame(W, H, 0)));
    ASSERT_TRUE(writer.close());
    EXPECT_EQ(probe(file("name.avi"), "stream=width,height:stream_tags=title"), "48\n32\nLUMETR0 09");
}

TEST_F(AviFfmpeg, FilesMadeByFfmpegReadCorrectly)
{
    const int count = 60;
    ASSERT_TRUE(WriteRawFrames(file("raw.bgr"), W, H, count));
    struct Case { const char* name; QStringList codecArgs; double tolerance; };
    const Case cases[] = {
        {"ffv1.avi", {"-c:v", "ffv1", "-pix_fmt", "bgr0"}, 0.0},
        {"mjpeg.avi", {"-c:v", "mjpeg", "-q:v", "2"}, 6.0},
        {"h264.avi", {"-c:v", "libx264", "-g", "25", "-crf", "12", "-pix_fmt", "yuv444p"}, 6.0},
        // Open GOPs: B-frames after a key frame that display before it.
        {"mpeg4_open.avi", {"-c:v", "mpeg4", "-g", "25", "-bf", "2", "-q:v", "2"}, 10.0},
        {"h264_open.avi", {"-c:v", "libx264", "-g", "25", "-bf", "3", "-x264-params", "open-gop=1:b-pyramid=none:scenecut=0", "-crf", "12",
                           "-pix_fmt", "yuv444p"}, 6.0},
        {"mpeg4.avi", {"-c:v", "mpeg4", "-g", "25", "-bf", "2", "-flags", "+cgop", "-sc_threshold", "1000000000", "-q:v", "2"}, 10.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        bool ok = false;
        QStringList args{"-v", "error", "-y", "-f", "rawvideo", "-pix_fmt", "bgr24", "-s",
                         QStringLiteral("%1x%2").arg(W).arg(H), "-r", "25", "-i", file("raw.bgr")};
        args << c.codecArgs << file(c.name);
        RunTool("ffmpeg", args, &ok);
        if (!ok) {
            ADD_FAILURE() << "ffmpeg could not make " << c.name;
            continue;
        }
        QString error;
        auto source = OpenAviSource(file(c.name), &error);
        ASSERT_TRUE(source) << error.toStdString();
        EXPECT_EQ(source->frameCount(), count);
        EXPECT_DOUBLE_EQ(source->streamFrameRate(), 25.0);
        // Sequential first, then jumps across key frames, backwards and forwards.
        std::vector<Frame> sequential(count);
        for (int n = 0; n < count; ++n) {
            ASSERT_TRUE(source->readFrame(n, sequential[size_t(n)])) << n;
            const Frame expected = MakeTestFrame(W, H, n);
            if (c.tolerance == 0.0)
                EXPECT_TRUE(sequential[size_t(n)] == expected) << n;
            else
                EXPECT_LT(MeanAbsDiff(sequential[size_t(n)], expected), c.tolerance) << n;
            EXPECT_EQ(ClosestTestFrame(sequential[size_t(n)], count), n);
        }
        for (int n : {59, 24, 25, 26, 0, 49, 50, 51, 13, 13, 37, 12, 58, 23, 57}) {
            Frame frame;
            ASSERT_TRUE(source->readFrame(n, frame)) << n;
            EXPECT_TRUE(frame == sequential[size_t(n)]) << n;
        }
    }
}
