// The file format: packing, the writer/reader round trip, and hostile or
// damaged files, each refused with a clear reason (run under the sanitizers).

#include "SvfTestSupport.h"

#include "sources/svf/SvfSource.h"

#include <QTemporaryDir>
#include <climits>
#include <functional>

using namespace svftest;

TEST(SvfFormat, PackingKeepsEveryTwelveBitValue)
{
    Samples all(4096);
    for (int i = 0; i < 4096; ++i)
        all[size_t(i)] = uint16_t((i * 2654435761u) & 0xFFF);
    std::vector<uint8_t> packed(4096 * 3 / 2);
    svf::PackSamples(all.data(), 4096, packed.data());
    Samples back(4096);
    svf::UnpackSamples(packed.data(), 4096, back.data());
    EXPECT_EQ(back, all);
    // The documented byte order: 0xABC, 0x123 -> BC 3A 12.
    const uint16_t two[2] = {0xABC, 0x123};
    uint8_t bytes[3];
    svf::PackSamples(two, 2, bytes);
    EXPECT_EQ(bytes[0], 0xBC);
    EXPECT_EQ(bytes[1], 0x3A);
    EXPECT_EQ(bytes[2], 0x12);
}

TEST(SvfFormat, WriterAndReaderRoundTrip)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("r.svf");
    svf::Header header = SmallHeader(8, 6, 3, 2);
    header.modelName = QStringLiteral("Stravo SV-8C");
    header.framesOffset = 300;  // a gap after the header
    header.frameStride = 80;    // 72 bytes of samples, 8 of padding
    header.registeredWhite[0] = 3000;
    const std::vector<Samples> frames = {Random(8, 6, 1), Random(8, 6, 2), Random(8, 6, 3)};
    svf::SvfWriter writer;
    ASSERT_TRUE(writer.open(path, header, nullptr));
    for (const auto& f : frames)
        ASSERT_TRUE(writer.writeFrame(f.data()));
    ASSERT_TRUE(writer.close());

    TFxSvffFc c;
    ASSERT_TRUE(c.OpenFile(path)) << c.LastError().toStdString();
    EXPECT_EQ(c.ModelName(), QStringLiteral("Stravo SV-8C"));
    EXPECT_EQ(c.StartFrameNumber(), 10);
    EXPECT_EQ(c.EndFrameNumber(), 12);
    EXPECT_EQ(c.FrameTotal(), 3);
    EXPECT_EQ(c.RecordRate(), 2000);
    EXPECT_EQ(c.Shutter(), 4000);
    EXPECT_EQ(c.ImageSize(), (8 << 16) | 6);
    EXPECT_EQ(c.BayerPattern(), 2);
    EXPECT_EQ(c.header().registeredWhite[0], 3000);
    for (int k = 2; k >= 0; --k) { // backwards: every read goes to its offset
        ASSERT_TRUE(c.SetFrameNumber(10 + k));
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 8; ++x)
                ASSERT_EQ(c.mosaic().plane.at(x, y), frames[size_t(k)][size_t(y * 8 + x)]) << k << " " << x << "," << y;
    }
    EXPECT_FALSE(c.SetFrameNumber(13));
    EXPECT_FALSE(c.SetFrameNumber(9));
    EXPECT_EQ(c.CurrentFrameNumber(), 10);
}

TEST(SvfFormat, SampleRecordingOpensWithTheSceneInIt)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("s.svf");
    bvf::SampleOptions options;
    options.size = QSize(64, 48);
    options.frames = 4;
    options.firstFrame = 5;
    options.fps = 500;
    options.colour = true;
    QString error;
    ASSERT_TRUE(svf::WriteSampleRecording(path, options, &error)) << error.toStdString();
    TFxSvffFc c;
    ASSERT_TRUE(c.OpenFile(path));
    EXPECT_EQ(c.FrameTotal(), 4);
    EXPECT_EQ(c.StartFrameNumber(), 5);
    EXPECT_EQ(c.RecordRate(), 500);
    EXPECT_EQ(c.Shutter(), 1000);
    Samples expected;
    svf::RenderSampleMosaic(3, options.size, true, 0, expected);
    ASSERT_TRUE(c.SetFrameNumber(8));
    EXPECT_EQ(c.mosaic().plane.at(20, 17), expected[17 * 64 + 20]);

    options.size = QSize(63, 48);
    EXPECT_FALSE(svf::WriteSampleRecording(dir.filePath("odd.svf"), options, &error));
    EXPECT_TRUE(error.contains("even sides")) << error.toStdString();
}

namespace {

QByteArray Valid(int frames = 3)
{
    return svf::RecordingBytes(SmallHeader(8, 6, frames), std::vector<Samples>(size_t(frames), Constant(8, 6, 700)));
}

void SetI32(QByteArray& b, int at, int32_t v) { WriteLE<int32_t>(b.data() + at, v); }
void SetU16(QByteArray& b, int at, uint16_t v) { WriteLE<uint16_t>(b.data() + at, v); }
void SetI64(QByteArray& b, int at, int64_t v) { WriteLE<int64_t>(b.data() + at, v); }

} // namespace

TEST(SvfHostile, OpenFailsWithAClearReason)
{
    struct Case {
        const char* name;
        std::function<void(QByteArray&)> damage;
        const char* reason; // part of the message
    };
    const Case cases[] = {
        {"empty", [](QByteArray& b) { b.clear(); }, "too short"},
        {"header cut", [](QByteArray& b) { b.truncate(200); }, "too short"},
        {"magic", [](QByteArray& b) { b[0] = 'X'; }, "not a Stravo recording"},
        {"version", [](QByteArray& b) { SetU16(b, svf::kOffVersion, 9); }, "format version 9"},
        {"header size", [](QByteArray& b) { SetU16(b, svf::kOffHeaderSize, 128); }, "header size"},
        {"bits", [](QByteArray& b) { b[svf::kOffBitsPerSample] = 10; }, "10-bit"},
        {"zero width", [](QByteArray& b) { SetU16(b, svf::kOffWidth, 0); }, "image size 0 x 6"},
        {"odd width", [](QByteArray& b) { SetU16(b, svf::kOffWidth, 7); }, "image size 7 x 6"},
        {"huge", [](QByteArray& b) { SetU16(b, svf::kOffWidth, 65534); SetU16(b, svf::kOffHeight, 65534); }, "image size"},
        {"pattern", [](QByteArray& b) { b[svf::kOffBayerPattern] = 4; }, "Bayer pattern code 4"},
        {"rate zero", [](QByteArray& b) { SetI32(b, svf::kOffRecordRate, 0); }, "record rate (0"},
        {"rate negative", [](QByteArray& b) { SetI32(b, svf::kOffRecordRate, -5); }, "record rate (-5"},
        {"shutter", [](QByteArray& b) { SetI32(b, svf::kOffShutter, 0); }, "shutter"},
        {"black level", [](QByteArray& b) { SetU16(b, svf::kOffBlackLevel, 4095); }, "black level"},
        {"no frames", [](QByteArray& b) { SetI32(b, svf::kOffFrameTotal, 0); }, "holds no frames"},
        {"numbers mismatch", [](QByteArray& b) { SetI32(b, svf::kOffEndFrame, 40); }, "do not match the frame total"},
        {"numbers wrap", [](QByteArray& b) { SetI32(b, svf::kOffStartFrame, INT32_MAX); SetI32(b, svf::kOffEndFrame, INT32_MIN + 1); },
         "do not match"},
        {"stride small", [](QByteArray& b) { SetI64(b, svf::kOffFrameStride, 71); }, "frame stride (71"},
        {"stride huge", [](QByteArray& b) { SetI64(b, svf::kOffFrameStride, INT64_MAX); }, "frame stride"},
        {"stride negative", [](QByteArray& b) { SetI64(b, svf::kOffFrameStride, -72); }, "frame stride"},
        {"offset inside header", [](QByteArray& b) { SetI64(b, svf::kOffFramesOffset, 8); }, "outside the file"},
        {"offset past end", [](QByteArray& b) { SetI64(b, svf::kOffFramesOffset, INT64_MAX); }, "outside the file"},
        {"offset negative", [](QByteArray& b) { SetI64(b, svf::kOffFramesOffset, INT64_MIN); }, "outside the file"},
        {"cut short", [](QByteArray& b) { b.chop(10); }, "holds 2 of the 3 frames"},
        {"many frames promised", [](QByteArray& b) {
             SetI32(b, svf::kOffFrameTotal, INT32_MAX); SetI32(b, svf::kOffStartFrame, 0); SetI32(b, svf::kOffEndFrame, INT32_MAX - 1); },
         "holds 3 of the 2147483647 frames"},
    };
    for (const Case& c : cases) {
        QByteArray bytes = Valid();
        c.damage(bytes);
        TFxSvffFc converter;
        EXPECT_FALSE(converter.OpenDevice(Device(bytes))) << c.name;
        EXPECT_TRUE(converter.LastError().contains(QLatin1String(c.reason)))
            << c.name << ": " << converter.LastError().toStdString();
        EXPECT_FALSE(converter.IsOpen()) << c.name;
        EXPECT_FALSE(converter.Convert()) << c.name;
    }
}

TEST(SvfHostile, OpenerNamesTheFileAndTheReason)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("bad.svf");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    QByteArray bytes = Valid();
    bytes[0] = 'Q';
    f.write(bytes);
    f.close();
    QString error;
    EXPECT_EQ(OpenSvfSource(path, &error), nullptr);
    EXPECT_EQ(error, QStringLiteral("\"bad.svf\": The file is not a Stravo recording (it does not start with \"SVF1\")."));
    EXPECT_EQ(OpenSvfSource(dir.filePath("none.svf"), &error), nullptr);
    EXPECT_TRUE(error.contains("Cannot find")) << error.toStdString();
}

TEST(SvfHostile, FileShrunkAfterOpeningGivesAReadErrorAndKeepsTheFrame)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("shrink.svf");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(Valid());
    f.close();
    TFxSvffFc c;
    ASSERT_TRUE(c.OpenFile(path));
    ASSERT_TRUE(f.resize(svf::kHeaderSize + 72 + 10));
    EXPECT_FALSE(c.SetFrameNumber(12));
    EXPECT_TRUE(c.LastError().contains("Frame 12 cannot be read")) << c.LastError().toStdString();
    EXPECT_EQ(c.CurrentFrameNumber(), 10);
    EXPECT_EQ(c.mosaic().plane.at(3, 3), 700);
}
