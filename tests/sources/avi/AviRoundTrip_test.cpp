// Files written by AviWriter read back by AviSource.

#include "AviTestSupport.h"

#include "sources/avi/AviErrors.h"
#include "sources/avi/AviSource.h"
#include "sources/avi/AviWriter.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <limits>

namespace {

constexpr int W = 37;   // odd width: DIB rows carry padding
constexpr int H = 23;

Frame GreyOf(const Frame& frame)
{
    Frame grey(frame.width(), frame.height());
    for (int y = 0; y < frame.height(); ++y)
        for (int x = 0; x < frame.width(); ++x) {
            const uint8_t g = std::min<uint8_t>(frame.pixel(x, y)[1], 254);
            uint8_t* p = grey.pixel(x, y);
            p[0] = p[1] = p[2] = g;
        }
    return grey;
}

bool WriteTestAvi(const QString& path, AviCodec codec, int count, const QByteArray& rinf = QByteArray(),
                  int64_t riffLimit = AviWriter::DefaultRiffLimit, int fps = 25)
{
    AviWriter writer(riffLimit);
    QString error;
    if (!writer.open(path, W, H, fps, codec, 95, rinf, &error)) {
        ADD_FAILURE() << error.toStdString();
        return false;
    }
    for (int n = 0; n < count; ++n) {
        if (!writer.writeFrame(MakeTestFrame(W, H, n))) {
            ADD_FAILURE() << writer.lastError().toStdString();
            return false;
        }
    }
    return writer.close();
}

class AviRoundTrip : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString file(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
};

} // namespace

TEST_F(AviRoundTrip, EveryCodecReadsBackItsFrames)
{
    struct Case { AviCodec codec; const char* name; double tolerance; };
    for (const Case& c : {Case{AviCodec::Dib24, "dib.avi", 0.0}, Case{AviCodec::Grey8, "grey.avi", 0.0},
                          Case{AviCodec::Mjpeg, "mjpg.avi", 4.0}}) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(WriteTestAvi(file(c.name), c.codec, 12));
        QString error;
        auto source = OpenAviSource(file(c.name), &error);
        ASSERT_TRUE(source) << error.toStdString();
        EXPECT_EQ(source->frameCount(), 12);
        EXPECT_EQ(source->width(), W);
        EXPECT_EQ(source->height(), H);
        EXPECT_DOUBLE_EQ(source->streamFrameRate(), 25.0);
        for (int n = 0; n < 12; ++n) {
            Frame frame;
            ASSERT_TRUE(source->readFrame(n, frame)) << source->lastError().toStdString();
            Frame expected = MakeTestFrame(W, H, n);
            if (c.codec == AviCodec::Grey8)
                expected = GreyOf(expected);
            if (c.tolerance == 0.0)
                EXPECT_TRUE(frame == expected) << "frame " << n;
            else
                EXPECT_LT(MeanAbsDiff(frame, expected), c.tolerance) << "frame " << n;
            if (c.codec != AviCodec::Grey8)
                EXPECT_EQ(ClosestTestFrame(frame, 12), n);
        }
        Frame untouched = MakeTestFrame(W, H, 99);
        EXPECT_FALSE(source->readFrame(12, untouched));
        EXPECT_FALSE(source->readFrame(-1, untouched));
        EXPECT_TRUE(untouched == MakeTestFrame(W, H, 99));
    }
}

TEST_F(AviRoundTrip, GreyWritesGreenClampedTo254)
{
    AviWriter writer;
    ASSERT_TRUE(writer.open(file("white.avi"), 8, 2, 10, AviCodec::Grey8, 100, {}));
    Frame white(8, 2);
    white.fill(255, 255, 255);
    ASSERT_TRUE(writer.writeFrame(white));
    const uint8_t ramp[16] = {0, 1, 2, 100, 200, 253, 254, 255, 10, 20, 30, 40, 50, 60, 70, 80};
    ASSERT_TRUE(writer.writeGreyFrame(ramp, 8));
    ASSERT_TRUE(writer.close());

    auto source = OpenAviSource(file("white.avi"), nullptr);
    ASSERT_TRUE(source);
    Frame frame;
    ASSERT_TRUE(source->readFrame(0, frame));
    EXPECT_EQ(frame.pixel(3, 1)[0], 254);
    ASSERT_TRUE(source->readFrame(1, frame));
    for (int i = 0; i < 16; ++i) {
        const uint8_t* p = frame.pixel(i % 8, i / 8);
        EXPECT_EQ(p[0], std::min<uint8_t>(ramp[i], 254)) << i;
        EXPECT_EQ(p[1], p[0]);
        EXPECT_EQ(p[2], p[0]);
    }
}

TEST_F(AviRoundTrip, ImpossibleCalibrationInTheChunkLeavesTheFileUncalibrated)
{
    const struct {
        float pixelsPerUnit;
        int32_t unit;
    } cases[] = {{0.0f, 1}, {-2.0f, 1}, {std::numeric_limits<float>::quiet_NaN(), 1},
                 {std::numeric_limits<float>::infinity(), 1}, {2.0f, 7}, {2.0f, -1}};
    for (const auto& c : cases) {
        RecordingInfo written;
        written.PixelsPerUnit = c.pixelsPerUnit;
        written.CalUnitIndex = c.unit;
        ASSERT_TRUE(WriteTestAvi(file("badcal.avi"), AviCodec::Dib24, 2, written.toBytes()));
        auto source = OpenAviSource(file("badcal.avi"), nullptr);
        ASSERT_TRUE(source);
        RecordingInfo info;
        source->fillInfo(info);
        EXPECT_EQ(info.PixelsPerUnit, 1.0f) << c.pixelsPerUnit << " " << c.unit;
        EXPECT_EQ(info.CalUnitIndex, 6) << c.pixelsPerUnit << " " << c.unit;
    }
}

TEST_F(AviRoundTrip, InformationChunkRestoresTheTimeBase)
{
    RecordingInfo written;
    written.TimeZeroFrame = 50;
    written.FrameRate = 2000;
    written.InfoTitle = "title";
    for (int k = 0; k < 17; ++k)
        written.InfoText[size_t(k)] = QStringLiteral("line %1").arg(k);
    written.PixelsPerUnit = 3.5f;   // the calibration travels with the file
    written.CalUnitIndex = 1;
    written.FrameCount = 9999;
    ASSERT_TRUE(WriteTestAvi(file("rinf.avi"), AviCodec::Dib24, 60, written.toBytes()));

    auto source = OpenAviSource(file("rinf.avi"), nullptr);
    ASSERT_TRUE(source);
    EXPECT_TRUE(source->hasInfoChunk());
    RecordingInfo info;
    info.InfoText[16] = "kept";
    source->fillInfo(info);
    EXPECT_EQ(info.SourceKind, 0);
    EXPECT_EQ(info.TimeZeroFrame, 50);
    EXPECT_EQ(info.FrameRate, 2000);
    EXPECT_FLOAT_EQ(info.FrameInterval, 0.0005f);
    EXPECT_EQ(info.InfoTitle, "title");
    for (int k = 0; k < 16; ++k)
        EXPECT_EQ(info.InfoText[size_t(k)], QStringLiteral("line %1").arg(k));
    EXPECT_EQ(info.InfoText[16], "kept");
    EXPECT_FLOAT_EQ(info.PixelsPerUnit, 3.5f);
    EXPECT_EQ(info.CalUnitIndex, 1);
    EXPECT_EQ(info.FrameCount, 60);
    EXPECT_EQ(info.FirstFrame, 0);
    EXPECT_EQ(info.LastFrame, 59);
    EXPECT_EQ(info.RangeFirst, 0);
    EXPECT_EQ(info.RangeLast, 59);
    EXPECT_EQ(info.ImageWidth, W);
    EXPECT_EQ(info.ImageHeight, H);
    EXPECT_EQ(info.FileName, file("rinf.avi"));
}

TEST_F(AviRoundTrip, WithoutChunkTimeZeroIsFrameZeroAtOneThousandFramesPerSecond)
{
    ASSERT_TRUE(WriteTestAvi(file("plain.avi"), AviCodec::Mjpeg, 300));
    auto source = OpenAviSource(file("plain.avi"), nullptr);
    ASSERT_TRUE(source);
    EXPECT_FALSE(source->hasInfoChunk());
    RecordingInfo info;
    info.TimeZeroFrame = 77;
    source->fillInfo(info);
    EXPECT_EQ(info.TimeZeroFrame, 0);
    EXPECT_EQ(info.FrameRate, 1000);
    EXPECT_FLOAT_EQ(info.FrameInterval, 0.001f);
    EXPECT_EQ(info.FirstFrame, 0);
    EXPECT_EQ(info.LastFrame, 299);

    // A chunk with a rate of zero keeps the time axis finite.
    RecordingInfo zeroRate;
    zeroRate.FrameRate = 0;
    ASSERT_TRUE(WriteTestAvi(file("zero.avi"), AviCodec::Dib24, 2, zeroRate.toBytes()));
    auto zero = OpenAviSource(file("zero.avi"), nullptr);
    ASSERT_TRUE(zero);
    zero->fillInfo(info);
    EXPECT_EQ(info.FrameRate, 1000);
}

TEST_F(AviRoundTrip, RandomAccessGivesTheSamePixelsAsSequentialReading)
{
    ASSERT_TRUE(WriteTestAvi(file("seq.avi"), AviCodec::Mjpeg, 40));
    auto source = OpenAviSource(file("seq.avi"), nullptr);
    ASSERT_TRUE(source);
    std::vector<Frame> sequential(40);
    for (int n = 0; n < 40; ++n)
        ASSERT_TRUE(source->readFrame(n, sequential[size_t(n)]));
    const int order[] = {39, 0, 17, 16, 18, 18, 5, 38, 1, 25, 24, 39, 2};
    for (int n : order) {
        Frame frame;
        ASSERT_TRUE(source->readFrame(n, frame));
        EXPECT_TRUE(frame == sequential[size_t(n)]) << n;
    }
}

TEST_F(AviRoundTrip, OpenDmlSplitKeepsEveryFrame)
{
    // About 2.6 kB per frame; a 20 kB limit gives several RIFF forms.
    RecordingInfo info;
    info.TimeZeroFrame = 3;
    AviWriter writer(20000);
    ASSERT_TRUE(writer.open(file("split.avi"), W, H, 30, AviCodec::Dib24, 0, info.toBytes()));
    for (int n = 0; n < 50; ++n)
        ASSERT_TRUE(writer.writeFrame(MakeTestFrame(W, H, n)));
    ASSERT_TRUE(writer.close());
    EXPECT_GE(writer.riffCount(), 5);
    EXPECT_EQ(writer.framesWritten(), 50);

    auto source = OpenAviSource(file("split.avi"), nullptr);
    ASSERT_TRUE(source);
    EXPECT_EQ(source->frameCount(), 50);
    EXPECT_TRUE(source->hasInfoChunk());
    for (int n : {49, 0, 1, 2, 30, 31, 10, 48}) {
        Frame frame;
        ASSERT_TRUE(source->readFrame(n, frame));
        EXPECT_TRUE(frame == MakeTestFrame(W, H, n)) << n;
    }
}

TEST_F(AviRoundTrip, ClosingEarlyLeavesAReadableFile)
{
    {
        AviWriter writer(8000);
        ASSERT_TRUE(writer.open(file("abort.avi"), W, H, 25, AviCodec::Dib24, 0, {}));
        for (int n = 0; n < 7; ++n)
            ASSERT_TRUE(writer.writeFrame(MakeTestFrame(W, H, n)));
        EXPECT_FALSE(writer.writeFrame(MakeTestFrame(W + 1, H, 0)));   // wrong size: refused
        EXPECT_EQ(writer.lastErrorCode(), AviError::BadFormat);
        // Destroyed without close(): the destructor closes.
    }
    auto source = OpenAviSource(file("abort.avi"), nullptr);
    ASSERT_TRUE(source);
    EXPECT_EQ(source->frameCount(), 7);
    Frame frame;
    ASSERT_TRUE(source->readFrame(6, frame));
    EXPECT_TRUE(frame == MakeTestFrame(W, H, 6));

    // No frames at all still gives a well-formed (empty) file.
    AviWriter empty;
    ASSERT_TRUE(empty.open(file("empty.avi"), W, H, 25, AviCodec::Mjpeg, 50, {}));
    ASSERT_TRUE(empty.close());
    EXPECT_FALSE(OpenAviSource(file("empty.avi"), nullptr));
}

TEST_F(AviRoundTrip, WriterRefusesBadArguments)
{
    AviWriter writer;
    QString error;
    EXPECT_FALSE(writer.open(file("no/such/dir/x.avi"), W, H, 25, AviCodec::Dib24, 0, {}, &error));
    EXPECT_EQ(writer.lastErrorCode(), AviError::FileOpen);
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(writer.open(file("x.avi"), 0, H, 25, AviCodec::Dib24, 0, {}));
    EXPECT_FALSE(writer.open(file("x.avi"), W, H, 0, AviCodec::Dib24, 0, {}));
    EXPECT_FALSE(writer.writeFrame(MakeTestFrame(W, H, 0)));
    EXPECT_EQ(writer.lastErrorCode(), AviError::BadHandle);
    ASSERT_TRUE(writer.open(file("x.avi"), W, H, 25, AviCodec::Dib24, 0, {}));
    const uint8_t grey[W * H] = {};
    EXPECT_FALSE(writer.writeGreyFrame(grey, W));   // not a grey file
    EXPECT_TRUE(writer.close());
}

TEST_F(AviRoundTrip, DamagedFilesGiveAnErrorNotACrash)
{
    ASSERT_TRUE(WriteTestAvi(file("good.avi"), AviCodec::Mjpeg, 20));
    QFile good(file("good.avi"));
    ASSERT_TRUE(good.open(QIODevice::ReadOnly));
    const QByteArray bytes = good.readAll();

    auto tryFile = [&](const QByteArray& content, const char* name) {
        QFile out(file(name));
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(content);
        out.close();
        QString error;
        auto source = OpenAviSource(file(name), &error);
        if (!source) {
            EXPECT_FALSE(error.isEmpty());
            return;
        }
        Frame frame;
        for (int n : {0, source->frameCount() - 1, source->frameCount() / 2, 1})
            if (!source->readFrame(n, frame))
                EXPECT_FALSE(source->lastError().isEmpty());
    };
    for (qsizetype cut : {qsizetype(0), qsizetype(11), qsizetype(100), bytes.size() / 3, bytes.size() / 2,
                          bytes.size() - 100})
        tryFile(bytes.left(cut), "cut.avi");
    QByteArray garbage = bytes;
    for (qsizetype i = 300; i < garbage.size(); i += 97)
        garbage[i] = char(garbage[i] ^ 0x5A);
    tryFile(garbage, "garbage.avi");
    tryFile(QByteArray(5000, 'x'), "text.avi");

    QString error;
    EXPECT_FALSE(OpenAviSource(file("missing.avi"), &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST_F(AviRoundTrip, FileCutShortOffersOnlyTheFramesItHolds)
{
    struct Case {
        const char* name;
        AviCodec codec;
        int64_t riffLimit;
    };
    for (const Case& c : {Case{"cut.avi", AviCodec::Dib24, AviWriter::DefaultRiffLimit},
                          Case{"cutjpeg.avi", AviCodec::Mjpeg, AviWriter::DefaultRiffLimit},
                          Case{"cutsplit.avi", AviCodec::Dib24, 20000}}) {
        SCOPED_TRACE(c.name);
        const QString path = file(c.name);
        ASSERT_TRUE(WriteTestAvi(path, c.codec, 40, {}, c.riffLimit));
        QFile f(path);
        ASSERT_TRUE(f.resize(f.size() / 2));
        QString error;
        auto source = OpenAviSource(path, &error);
        ASSERT_TRUE(source) << error.toStdString();
        const int present = source->frameCount();
        EXPECT_GT(present, 5);
        EXPECT_LT(present, 40);
        EXPECT_TRUE(source->openWarning().contains(QString::number(present))) << source->openWarning().toStdString();
        Frame frame;
        ASSERT_TRUE(source->readFrame(present - 1, frame)) << source->lastError().toStdString();
        EXPECT_LT(MeanAbsDiff(frame, MakeTestFrame(W, H, present - 1)), 8.0);
        EXPECT_FALSE(source->readFrame(present, frame));
    }
    // A whole file gives no notice.
    ASSERT_TRUE(WriteTestAvi(file("whole.avi"), AviCodec::Dib24, 10));
    auto whole = OpenAviSource(file("whole.avi"), nullptr);
    ASSERT_TRUE(whole);
    EXPECT_EQ(whole->frameCount(), 10);
    EXPECT_TRUE(whole->openWarning().isEmpty());
}
