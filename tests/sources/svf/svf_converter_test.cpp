// The converter's operations and the document's SVF opener.

#include "SvfTestSupport.h"

#include "sources/svf/SvfSource.h"

#include <QFile>
#include <QTemporaryDir>

using namespace svftest;

namespace {

std::array<int, 3> Rgb(const Frame& f, int x, int y)
{
    const uint8_t* p = f.pixel(x, y);
    return {p[2], p[1], p[0]};
}

// A grey card lit a little warm: red sites 1800, green 1500, blue 1000.
Samples WarmGrey(int w, int h)
{
    Samples s(size_t(w) * size_t(h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int site = svf::SiteAt(0, x, y);
            s[size_t(y * w + x)] = uint16_t(site == svf::SiteRed ? 1800 : (site == svf::SiteGreen ? 1500 : 1000));
        }
    return s;
}

QString WriteFile(QTemporaryDir& dir, const svf::Header& header, const std::vector<Samples>& frames)
{
    const QString path = dir.filePath("t.svf");
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(svf::RecordingBytes(header, frames));
    return path;
}

} // namespace

TEST(SvfConverter, ConvertDeliversOneFrameOfImageSizeForTheFrameSetLast)
{
    const std::vector<Samples> frames = {Constant(16, 12, 0), Constant(16, 12, 4095)};
    auto c = Open(SmallHeader(16, 12, 2), frames);
    c->SetKnee(0);
    const Frame first = ConvertNow(*c); // the frame it stands on after opening
    EXPECT_EQ(first.width(), 16);
    EXPECT_EQ(first.height(), 12);
    EXPECT_EQ(Rgb(first, 5, 5), (std::array<int, 3>{0, 0, 0}));
    ASSERT_TRUE(c->SetFrameNumber(11));
    EXPECT_EQ(Rgb(ConvertNow(*c), 5, 5), (std::array<int, 3>{255, 255, 255}));
    c->CloseFile();
    int events = 0;
    c->Converted = [&](Frame&) { ++events; };
    EXPECT_FALSE(c->Convert());
    EXPECT_EQ(events, 0);
}

TEST(SvfConverter, MethodsWithoutHardwareRefuseToOpen)
{
    const auto bytes = svf::RecordingBytes(SmallHeader(8, 8), {Constant(8, 8, 100)});
    for (int16_t method = 1; method <= 8; ++method) {
        TFxSvffFc c;
        ASSERT_TRUE(c.SetConversionMethod(method));
        const bool hardware = method == 3 || method == 4 || method == 7 || method == 8;
        EXPECT_EQ(c.OpenDevice(Device(bytes)), !hardware) << method;
        if (hardware)
            EXPECT_TRUE(c.LastError().contains("not found")) << c.LastError().toStdString();
    }
    TFxSvffFc c;
    EXPECT_FALSE(c.SetConversionMethod(0));
    EXPECT_FALSE(c.SetConversionMethod(9));
    EXPECT_EQ(c.ConversionMethod(), TFxSvffFc::MethodB1);
}

TEST(SvfConverter, WhiteBalanceModesBalanceAWarmGreyCard)
{
    auto c = Open(SmallHeader(16, 16), {WarmGrey(16, 16)});
    c->SetWhiteBalance(TFxSvffFc::WbNone);
    const auto unbalanced = Rgb(ConvertNow(*c), 8, 8);
    EXPECT_GT(unbalanced[0], unbalanced[1] + 10);
    EXPECT_GT(unbalanced[1], unbalanced[2] + 10);

    // Custom point on the card.
    c->SetWhiteBalance(TFxSvffFc::WbCustom);
    ASSERT_TRUE(c->SetWhitePoint(8, 8));
    EXPECT_NEAR(c->WhiteValue1(), 1500.0 / 1800.0, 1e-9); // red gain
    EXPECT_NEAR(c->WhiteValue2(), 1.5, 1e-9);             // blue gain
    EXPECT_EQ(c->WhiteValue3(), 1.0);                     // green
    const auto custom = Rgb(ConvertNow(*c), 8, 8);
    EXPECT_NEAR(custom[0], custom[1], 1);
    EXPECT_NEAR(custom[2], custom[1], 1);

    // Automatic from the current frame.
    int16_t area = 0, level = 0;
    c->GetWhiteArea(&area, &level);
    EXPECT_EQ(area, -1);
    c->SetWhiteBalance(TFxSvffFc::WbAuto);
    c->CalculateAutoWhite();
    c->GetWhiteArea(&area, &level);
    EXPECT_EQ(area, 100);
    EXPECT_EQ(level, 1500);
    const auto automatic = Rgb(ConvertNow(*c), 8, 8);
    EXPECT_NEAR(automatic[0], automatic[1], 1);
    EXPECT_NEAR(automatic[2], automatic[1], 1);

    // Warm light (3100 K) needs less red and more blue than cool light (9000 K).
    c->SetWhiteBalance(TFxSvffFc::Wb3100);
    const double red3100 = c->WhiteValue1(), blue3100 = c->WhiteValue2();
    c->SetWhiteBalance(TFxSvffFc::Wb9000);
    EXPECT_LT(red3100, c->WhiteValue1());
    EXPECT_GT(blue3100, c->WhiteValue2());
    EXPECT_LT(red3100, 1.0);
    EXPECT_GT(blue3100, 1.0);

    // Outside the picture or in the dark: refused, nothing changes.
    c->SetWhiteBalance(TFxSvffFc::WbCustom);
    EXPECT_FALSE(c->SetWhitePoint(16, 3));
    EXPECT_FALSE(c->SetWhitePoint(-1, 3));
    EXPECT_NEAR(c->WhiteValue2(), 1.5, 1e-9);
}

TEST(SvfConverter, RegisteredWhiteComesFromTheHeader)
{
    svf::Header header = SmallHeader(8, 8);
    header.registeredWhite[0] = 4000;
    header.registeredWhite[1] = 2000;
    header.registeredWhite[2] = 1000;
    auto c = Open(header, {Constant(8, 8, 100)});
    c->SetWhiteBalance(TFxSvffFc::WbRegistered);
    EXPECT_DOUBLE_EQ(c->WhiteValue1(), 0.5);
    EXPECT_DOUBLE_EQ(c->WhiteValue2(), 2.0);
}

TEST(SvfConverter, EverySettingChangesThePicture)
{
    // A textured colour frame: each setting must move some pixel.
    auto c = Open(SmallHeader(32, 32), {Random(32, 32, 3)});
    c->SetKnee(0);
    c->SetWhiteBalance(TFxSvffFc::WbNone);
    const Frame base = ConvertNow(*c);
    struct Change {
        const char* name;
        std::function<void(TFxSvffFc&)> set, reset;
    };
    const Change changes[] = {
        {"gain", [](TFxSvffFc& t) { t.SetGain(6); }, [](TFxSvffFc& t) { t.SetGain(0); }},
        {"gamma", [](TFxSvffFc& t) { t.SetGamma(4); }, [](TFxSvffFc& t) { t.SetGamma(0); }},
        {"enhance", [](TFxSvffFc& t) { t.SetEnhance(4); }, [](TFxSvffFc& t) { t.SetEnhance(0); }},
        {"saturation", [](TFxSvffFc& t) { t.SetSaturation(50); }, [](TFxSvffFc& t) { t.SetSaturation(100); }},
        {"hue", [](TFxSvffFc& t) { t.SetHue(90); }, [](TFxSvffFc& t) { t.SetHue(0); }},
        {"knee", [](TFxSvffFc& t) { t.SetGain(12); t.SetKnee(1); }, [](TFxSvffFc& t) { t.SetGain(0); t.SetKnee(0); }},
        {"low pass", [](TFxSvffFc& t) { t.SetLowPass(1); }, [](TFxSvffFc& t) { t.SetLowPass(0); }},
        {"rgb correction", [](TFxSvffFc& t) { t.SetRgbCorrection(1); }, [](TFxSvffFc& t) { t.SetRgbCorrection(0); }},
        {"linear", [](TFxSvffFc& t) { t.SetLuminanceLut(1); }, [](TFxSvffFc& t) { t.SetLuminanceLut(0); }},
        {"custom curve", [](TFxSvffFc& t) { t.SetLuminanceLut(2); t.SetCustomLut({0, 30, 60, 120, 255}); },
         [](TFxSvffFc& t) { t.SetLuminanceLut(0); }},
    };
    for (const Change& change : changes) {
        change.set(*c);
        EXPECT_NE(ConvertNow(*c), base) << change.name;
        change.reset(*c);
    }
    EXPECT_EQ(ConvertNow(*c), base);
    // A straight custom curve is the linear encoding.
    c->SetLuminanceLut(1);
    const Frame linear = ConvertNow(*c);
    c->SetLuminanceLut(2);
    c->SetCustomLut({0, 64, 128, 191, 255});
    const Frame custom = ConvertNow(*c);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 96; ++x)
            ASSERT_NEAR(custom.row(y)[x], linear.row(y)[x], 1);
}

TEST(SvfConverter, MethodsDifferOnDetailButAgreeOnFlatAreas)
{
    const auto frames = std::vector<Samples>{Random(32, 32, 11)};
    const auto flat = std::vector<Samples>{Constant(32, 32, 2000)};
    std::vector<Frame> detailed;
    for (int16_t method : {TFxSvffFc::MethodA, TFxSvffFc::MethodB1, TFxSvffFc::MethodB2, TFxSvffFc::MethodB3}) {
        auto c = Open(SmallHeader(32, 32), frames, method);
        detailed.push_back(ConvertNow(*c));
        auto f = Open(SmallHeader(32, 32), flat, method);
        EXPECT_EQ(Rgb(ConvertNow(*f), 9, 9), Rgb(ConvertNow(*f), 20, 3)) << method;
    }
    for (size_t i = 1; i < detailed.size(); ++i)
        EXPECT_NE(detailed[i], detailed[i - 1]) << i;
}

TEST(SvfSource, OpenerFillsTheRecordingInfo)
{
    QTemporaryDir dir;
    svf::Header header = SmallHeader(16, 12, 5);
    header.shutter = 2000;
    header.modelName = QStringLiteral("Stravo SV-16C");
    const QString path = WriteFile(dir, header, std::vector<Samples>(5, WarmGrey(16, 12)));
    SetSvfConversionPreference(TFxSvffFc::MethodB3);
    QString error;
    auto source = OpenSvfSource(path, &error);
    ASSERT_TRUE(source) << error.toStdString();
    RecordingInfo info;
    source->fillInfo(info);
    EXPECT_EQ(info.SourceKind, 1);
    EXPECT_EQ(info.InfoText[4], QStringLiteral("1/2000"));
    EXPECT_EQ(info.InfoText[0], QStringLiteral("Qor Stravo"));
    EXPECT_EQ(info.InfoText[1], QStringLiteral("Stravo SV-16C"));
    EXPECT_EQ(info.FrameCount, 5);
    EXPECT_EQ(info.FrameRate, 2000);
    EXPECT_FLOAT_EQ(info.FrameInterval, 1.0f / 2000);
    EXPECT_EQ(info.ImageWidth, 16);
    EXPECT_EQ(info.ImageHeight, 12);
    EXPECT_EQ(info.FirstFrame, 10);
    EXPECT_EQ(info.LastFrame, 14);
    EXPECT_EQ(info.RangeFirst, 10);
    EXPECT_EQ(info.RangeCopyLast, 14);
    EXPECT_EQ(info.SvfSettingsA[5], TFxSvffFc::MethodB3);
    EXPECT_EQ(info.SvfSettingsA[6], 1); // knee unset at open becomes on
    EXPECT_EQ(source->converter().Knee(), 1);
    EXPECT_EQ(info.SvfSettingsB[0], -1);
    EXPECT_EQ(info.SvfSettingsC[5], 12);

    Frame frame;
    ASSERT_TRUE(source->readFrame(12, frame));
    EXPECT_EQ(frame.width(), 16);
    EXPECT_EQ(source->converter().CurrentFrameNumber(), 12);
    ASSERT_TRUE(source->readFrame(0, frame)); // not recorded: black
    EXPECT_EQ(Rgb(frame, 3, 3), (std::array<int, 3>{0, 0, 0}));
}

TEST(SvfSource, PreferredMethodWithoutHardwareOpensWithB1)
{
    QTemporaryDir dir;
    const QString path = WriteFile(dir, SmallHeader(8, 8), {Constant(8, 8, 1000)});
    for (int preferred : {3, 4, 7, 8, 0, 99}) {
        SetSvfConversionPreference(preferred);
        auto source = OpenSvfSource(path, nullptr);
        ASSERT_TRUE(source) << preferred;
        RecordingInfo info;
        source->fillInfo(info);
        EXPECT_EQ(info.SvfSettingsA[5], TFxSvffFc::MethodB1) << preferred;
    }
    SetSvfConversionPreference(TFxSvffFc::MethodB1);
}
