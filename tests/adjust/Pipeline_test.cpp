// The dispatcher and the document's rendering through the adjustment list.

#include "adjust/AdjustmentEntry.h"
#include "adjust/FilterLibrary.h"
#include "adjust/PixelOps.h"
#include "document/VideoDocument.h"

#include "FakeSource.h"
#include "TestFrames.h"

#include <gtest/gtest.h>
#include <limits>

namespace {

std::unique_ptr<AdjustmentEntry> Entry(AdjustmentEntry::Parameters parameters)
{
    return std::make_unique<AdjustmentEntry>(std::move(parameters));
}

AnnotationEntry Text(int x)
{
    AnnotationEntry text;
    text.AnnX = x;
    return text;
}

} // namespace

TEST(ApplyEntry, NeutralAndInertEntriesLeaveTheFrame)
{
    const Frame original = RandomFrame(31, 9);
    const std::unique_ptr<AdjustmentEntry> entries[] = {
        Entry(BrightnessEntry{.Offset = 0}),
        Entry(HueSatEntry{.Hue = 0, .Saturation = 0, .Value = 0}),
        Entry(GammaEntry{.Slider = 10, .Exponent = 0.0f}),
        Entry(GammaEntry{.Slider = 10, .Exponent = 1.0f}),
        Entry(ContrastEntry{.Amount = 0}),
        Entry(RgbEntry{.Red = 0, .Green = 0, .Blue = 0}),
        Entry(RotateEntry{.Mirror = 0, .Turn = 0}),
        Entry(CalibrationGridEntry{.AngleDegrees = 30, .GridSize = 2.0f, .StartX = 5}),
        Entry(AnnotationEntry{}), // no text
        Entry(LogoEntry{}),       // no file
    };
    for (const auto& e : entries) {
        Frame frame = original;
        ApplyEntry(frame, *e);
        EXPECT_EQ(frame, original) << "kind " << e->Kind();
    }
    Frame empty;
    ApplyEntry(empty, *Entry(RotateEntry{.Mirror = 3, .Turn = 1}));
    EXPECT_TRUE(empty.isEmpty());
}

TEST(MakeAdjustmentEntry, MakesEveryStoredKindAndNothingElse)
{
    for (int kind : {KindContrast, KindLogo, KindRgb, KindText, KindTimeStamp, KindHueSat, KindGamma, KindRotate,
                     KindBrightness, KindGrid}) {
        const auto entry = MakeAdjustmentEntry(kind);
        ASSERT_NE(entry, nullptr) << kind;
        EXPECT_EQ(entry->Kind(), kind);
    }
    EXPECT_EQ(MakeAdjustmentEntry(12345), nullptr);
    EXPECT_EQ(MakeAdjustmentEntry(0), nullptr);
    EXPECT_TRUE(MakeAdjustmentEntry(KindTimeStamp)->As<AnnotationEntry>()->TimeStamp);
    EXPECT_FALSE(MakeAdjustmentEntry(KindText)->As<AnnotationEntry>()->TimeStamp);
    EXPECT_EQ(MakeAdjustmentEntry(KindGamma)->As<RotateEntry>(), nullptr);
}

TEST(ApplyEntry, EachKindRunsItsOperation)
{
    const Frame original = RandomFrame(31, 9);
    auto expectSame = [&](const AdjustmentEntry& entry, auto operation) {
        Frame viaEntry = original;
        ApplyEntry(viaEntry, entry);
        Frame direct = original;
        operation(direct);
        EXPECT_EQ(viaEntry, direct) << "kind " << entry.Kind();
        EXPECT_NE(viaEntry, original) << "kind " << entry.Kind();
    };
    expectSame(*Entry(BrightnessEntry{.Offset = -40}), [](Frame& f) { AdjustBrightness(f, -40); });
    expectSame(*Entry(ContrastEntry{.Amount = 60}), [](Frame& f) { NVIM_Contrast(f, 60); });
    expectSame(*Entry(RgbEntry{.Red = 10, .Green = -20, .Blue = 30}),
               [](Frame& f) { NVIM_WorkOutColours(10, -20, 30, f); });
    expectSame(*Entry(HueSatEntry{.Hue = 45, .Saturation = 20, .Value = 0}),
               [](Frame& f) { NVIM_RGBBitmapToHSV(f, 45, 20, 0); });
    expectSame(*Entry(GammaEntry{.Slider = 15, .Exponent = 0.5f}), [](Frame& f) { ApplyGamma(f, 0.5f); });

    Frame turned = original;
    ApplyEntry(turned, *Entry(RotateEntry{.Mirror = 0, .Turn = 2}));
    EXPECT_EQ(turned.width(), 9);
    EXPECT_EQ(turned.height(), 31);
}

TEST(ApplyAdjustmentList, MatchesEntryByEntryApplication)
{
    AdjustmentList list;
    list.push_back(Entry(BrightnessEntry{.Offset = 30}));
    list.push_back(Entry(GammaEntry{.Slider = 13, .Exponent = 0.7f}));
    list.push_back(Entry(ContrastEntry{.Amount = -40}));
    list.push_back(Entry(RgbEntry{.Red = 20, .Green = -10, .Blue = 150}));
    list.push_back(Entry(HueSatEntry{.Hue = 50, .Saturation = -30, .Value = 0}));
    list.push_back(Entry(BrightnessEntry{.Offset = -300}));           // clamped offset
    list.push_back(Entry(GammaEntry{.Slider = 10, .Exponent = 0.0f})); // no-op inside a run
    list.push_back(Entry(RotateEntry{.Mirror = 1, .Turn = 2}));
    list.push_back(Entry(RgbEntry{.Red = -150, .Green = 0, .Blue = 0}));
    list.push_back(Entry(ContrastEntry{.Amount = 150}));
    const Frame original = RandomFrame(37, 11, 9);
    Frame oneByOne = original;
    for (const auto& e : list)
        ApplyEntry(oneByOne, *e);
    Frame fused = original;
    ApplyAdjustmentList(fused, list);
    EXPECT_EQ(fused, oneByOne);

    Frame untouched = original;
    ApplyAdjustmentList(untouched, AdjustmentList());
    EXPECT_EQ(untouched, original);
}

TEST(FindEntry, ReturnsTheFirstOfItsKind)
{
    AdjustmentList list;
    list.push_back(Entry(Text(1)));
    list.push_back(Entry(BrightnessEntry{.Offset = 2}));
    list.push_back(Entry(Text(3)));
    EXPECT_EQ(FindEntry(list, KindText), list[0].get());
    EXPECT_EQ(FindEntry(list, KindBrightness), list[1].get());
    EXPECT_EQ(FindEntry(list, KindGamma), nullptr);
    EXPECT_EQ(FindEntry(AdjustmentList(), KindText), nullptr);
}

TEST(RenderFrame, AppliesTheListInOrder)
{
    VideoDocument doc;
    doc.AttachSource(MakeStillSource(), QStringLiteral("still.bvf"));
    const Frame source = doc.FrameBitmap;
    EXPECT_EQ(doc.DisplayBitmap, source); // empty list

    doc.AppendEntry(Entry(ContrastEntry{.Amount = 80}));
    doc.AppendEntry(Entry(BrightnessEntry{.Offset = 70}));
    doc.Redisplay();
    const Frame contrastFirst = doc.DisplayBitmap;
    Frame expected = source;
    NVIM_Contrast(expected, 80);
    AdjustBrightness(expected, 70);
    EXPECT_EQ(contrastFirst, expected);

    // Same entries, other order: another picture.
    std::swap(doc.Adjustments[0], doc.Adjustments[1]);
    doc.Redisplay();
    Frame reversed = source;
    AdjustBrightness(reversed, 70);
    NVIM_Contrast(reversed, 80);
    EXPECT_EQ(doc.DisplayBitmap, reversed);
    EXPECT_NE(doc.DisplayBitmap, contrastFirst);

    // The source frame itself is never changed, and a turn only turns the display.
    doc.AppendEntry(Entry(RotateEntry{.Mirror = 0, .Turn = 1}));
    doc.Redisplay();
    EXPECT_EQ(doc.FrameBitmap, source);
    EXPECT_EQ(doc.DisplayBitmap.width(), 48);
    EXPECT_EQ(doc.DisplayBitmap.height(), 64);
}

TEST(ClampToFrameRanges, EntriesFromOutsideStayWithinWhatTheFramesCanSet)
{
    struct Case {
        const char* name;
        AdjustmentEntry::Parameters given, expected;
    };
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    AnnotationEntry farText;
    farText.AnnX = 5;
    farText.AnnY = 6;
    farText.AnnAngle = 4000;
    AnnotationEntry farTextClamped = farText;
    farTextClamped.AnnAngle = 180;
    const CalibrationGridEntry hugeGrid{
        .AngleDegrees = 99999, .GridSize = 1e9f, .StartX = 99999, .StartY = 99999, .Polar = true, .PixelsPerUnit = 1e9f};
    const Case cases[] = {
        {"contrast", ContrastEntry{.Amount = 500}, ContrastEntry{.Amount = 150}},
        {"rgb", RgbEntry{.Red = -999, .Green = 151, .Blue = 3}, RgbEntry{.Red = -150, .Green = 150, .Blue = 3}},
        {"hue/sat", HueSatEntry{.Hue = 720, .Saturation = -101, .Value = 50},
         HueSatEntry{.Hue = 180, .Saturation = -100, .Value = 0}},
        {"brightness", BrightnessEntry{.Offset = -100000}, BrightnessEntry{.Offset = -254}},
        {"gamma huge", GammaEntry{.Slider = 40, .Exponent = 25.0f}, GammaEntry{.Slider = 19, .Exponent = 1.9f}},
        {"gamma tiny", GammaEntry{.Slider = -3, .Exponent = 0.001f}, GammaEntry{.Slider = 1, .Exponent = 0.1f}},
        {"gamma negative", GammaEntry{.Slider = 10, .Exponent = -2.0f}, GammaEntry{.Slider = 10, .Exponent = 0.1f}},
        {"gamma infinite", GammaEntry{.Slider = 10, .Exponent = inf}, GammaEntry{.Slider = 10, .Exponent = 1.0f}},
        {"gamma nan", GammaEntry{.Slider = 10, .Exponent = nan}, GammaEntry{.Slider = 10, .Exponent = 1.0f}},
        {"gamma neutral", GammaEntry{.Slider = 10, .Exponent = 0.0f}, GammaEntry{.Slider = 10, .Exponent = 0.0f}},
        {"gamma in range", GammaEntry{.Slider = 7, .Exponent = 1.3f}, GammaEntry{.Slider = 7, .Exponent = 1.3f}},
        {"rotate unknown codes", RotateEntry{.Mirror = 7, .Turn = -1}, RotateEntry{.Mirror = 0, .Turn = 0}},
        {"rotate known codes", RotateEntry{.Mirror = 3, .Turn = 2}, RotateEntry{.Mirror = 3, .Turn = 2}},
        {"text angle", farText, farTextClamped},
        {"grid untouched", hugeGrid, hugeGrid},
    };
    for (const Case& c : cases) {
        AdjustmentEntry e(c.given);
        ClampToFrameRanges(e);
        EXPECT_TRUE(e.Params() == c.expected) << c.name;
    }

    AnnotationEntry stamp;
    stamp.TimeStamp = true;
    stamp.AnnFontSize = -100000;
    stamp.AnnBackground = 9;
    stamp.AnnInfoKind = -4;
    stamp.AnnDecimals = 400;
    AdjustmentEntry text(stamp);
    ClampToFrameRanges(text);
    const AnnotationEntry& clamped = *text.As<AnnotationEntry>();
    EXPECT_EQ(clamped.AnnFontSize, 4096);
    EXPECT_EQ(clamped.AnnBackground, 0);
    EXPECT_EQ(clamped.AnnInfoKind, 0);
    EXPECT_EQ(clamped.AnnDecimals, 15);
    EXPECT_EQ(text.Kind(), KindTimeStamp);

    LogoEntry given;
    given.LogoSize = -5;
    given.LogoCorner = 9; // an unknown corner draws nothing, so it stays
    given.LogoMethod = 77;
    AdjustmentEntry logo(given);
    ClampToFrameRanges(logo);
    EXPECT_EQ(logo.As<LogoEntry>()->LogoSize, 1);
    EXPECT_EQ(logo.As<LogoEntry>()->LogoCorner, 9);
    EXPECT_EQ(logo.As<LogoEntry>()->LogoMethod, 0);
}

TEST(ClampToFrameRanges, AppendingALoadedGammaEntryNeverBlackensThePicture)
{
    VideoDocument doc;
    doc.AttachSource(MakeStillSource(), QStringLiteral("still.bvf"));
    const Frame source = doc.FrameBitmap;
    doc.AppendEntry(Entry(GammaEntry{.Slider = 10, .Exponent = 30.0f}));
    doc.Redisplay();
    Frame expected = source;
    ApplyGamma(expected, 1.9f);
    EXPECT_EQ(doc.DisplayBitmap, expected);
}
