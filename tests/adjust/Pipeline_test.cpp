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

std::unique_ptr<AdjustmentEntry> Entry(int kind, int v1 = 0, int v2 = 0, int v3 = 0, float real = 0.0f)
{
    auto e = std::make_unique<AdjustmentEntry>();
    e->Kind = kind;
    e->Value1 = v1;
    e->Value2 = v2;
    e->Value3 = v3;
    e->RealValue = real;
    return e;
}

} // namespace

TEST(ApplyEntry, NeutralAndInertEntriesLeaveTheFrame)
{
    const Frame original = RandomFrame(31, 9);
    const std::unique_ptr<AdjustmentEntry> entries[] = {
        Entry(KindBrightness, 0),
        Entry(KindHueSat, 0, 0, 0),
        Entry(KindGamma, 10, 0, 0, 0.0f),
        Entry(KindGamma, 10, 0, 0, 1.0f),
        Entry(KindContrast, 0),
        Entry(KindRgb, 0, 0, 0),
        Entry(KindRotate, 0, 0),
        Entry(KindGrid, 5, 30, 0, 2.0f),
        Entry(KindText), // no text
        Entry(KindLogo), // no file
        Entry(12345, 99, 99, 99, 9.0f),
        Entry(0),
    };
    for (const auto& e : entries) {
        Frame frame = original;
        ApplyEntry(frame, *e);
        EXPECT_EQ(frame, original) << "kind " << e->Kind;
    }
    Frame empty;
    ApplyEntry(empty, *Entry(KindRotate, 3, 1));
    EXPECT_TRUE(empty.isEmpty());
}

TEST(ApplyEntry, EachKindRunsItsOperation)
{
    const Frame original = RandomFrame(31, 9);
    auto expectSame = [&](const AdjustmentEntry& entry, auto operation) {
        Frame viaEntry = original;
        ApplyEntry(viaEntry, entry);
        Frame direct = original;
        operation(direct);
        EXPECT_EQ(viaEntry, direct) << "kind " << entry.Kind;
        EXPECT_NE(viaEntry, original) << "kind " << entry.Kind;
    };
    expectSame(*Entry(KindBrightness, -40), [](Frame& f) { AdjustBrightness(f, -40); });
    expectSame(*Entry(KindContrast, 60), [](Frame& f) { NVIM_Contrast(f, 60); });
    expectSame(*Entry(KindRgb, 10, -20, 30), [](Frame& f) { NVIM_WorkOutColours(10, -20, 30, f); });
    expectSame(*Entry(KindHueSat, 45, 20, 0), [](Frame& f) { NVIM_RGBBitmapToHSV(f, 45, 20, 0); });
    expectSame(*Entry(KindGamma, 15, 0, 0, 0.5f), [](Frame& f) { ApplyGamma(f, 0.5f); });

    Frame turned = original;
    ApplyEntry(turned, *Entry(KindRotate, 0, 2));
    EXPECT_EQ(turned.width(), 9);
    EXPECT_EQ(turned.height(), 31);
}

TEST(ApplyAdjustmentList, MatchesEntryByEntryApplication)
{
    AdjustmentList list;
    list.push_back(Entry(KindBrightness, 30));
    list.push_back(Entry(KindGamma, 13, 0, 0, 0.7f));
    list.push_back(Entry(KindContrast, -40));
    list.push_back(Entry(KindRgb, 20, -10, 150));
    list.push_back(Entry(KindHueSat, 50, -30, 0));
    list.push_back(Entry(KindBrightness, -300));  // clamped offset
    list.push_back(Entry(KindGamma, 10, 0, 0, 0.0f)); // no-op inside a run
    list.push_back(Entry(KindRotate, 1, 2));
    list.push_back(Entry(KindRgb, -150, 0, 0));
    list.push_back(Entry(KindContrast, 150));
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
    list.push_back(Entry(KindText, 1));
    list.push_back(Entry(KindBrightness, 2));
    list.push_back(Entry(KindText, 3));
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

    doc.AppendEntry(Entry(KindContrast, 80));
    doc.AppendEntry(Entry(KindBrightness, 70));
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
    doc.AppendEntry(Entry(KindRotate, 0, 1));
    doc.Redisplay();
    EXPECT_EQ(doc.FrameBitmap, source);
    EXPECT_EQ(doc.DisplayBitmap.width(), 48);
    EXPECT_EQ(doc.DisplayBitmap.height(), 64);
}

TEST(ClampToFrameRanges, EntriesFromOutsideStayWithinWhatTheFramesCanSet)
{
    struct Case {
        const char* name;
        int kind, v1, v2, v3;
        float real;
        int e1, e2, e3;
        float expectedReal;
    };
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const Case cases[] = {
        {"contrast", KindContrast, 500, 0, 0, 0.0f, 150, 0, 0, 0.0f},
        {"rgb", KindRgb, -999, 151, 3, 0.0f, -150, 150, 3, 0.0f},
        {"hue/sat", KindHueSat, 720, -101, 50, 0.0f, 180, -100, 0, 0.0f},
        {"brightness", KindBrightness, -100000, 0, 0, 0.0f, -254, 0, 0, 0.0f},
        {"gamma huge", KindGamma, 40, 0, 0, 25.0f, 19, 0, 0, 1.9f},
        {"gamma tiny", KindGamma, -3, 0, 0, 0.001f, 1, 0, 0, 0.1f},
        {"gamma negative", KindGamma, 10, 0, 0, -2.0f, 10, 0, 0, 0.1f},
        {"gamma infinite", KindGamma, 10, 0, 0, inf, 10, 0, 0, 1.0f},
        {"gamma nan", KindGamma, 10, 0, 0, nan, 10, 0, 0, 1.0f},
        {"gamma neutral", KindGamma, 10, 0, 0, 0.0f, 10, 0, 0, 0.0f},
        {"gamma in range", KindGamma, 7, 0, 0, 1.3f, 7, 0, 0, 1.3f},
        {"rotate unknown codes", KindRotate, 7, -1, 0, 0.0f, 0, 0, 0, 0.0f},
        {"rotate known codes", KindRotate, 3, 2, 0, 0.0f, 3, 2, 0, 0.0f},
        {"text angle", KindText, 5, 6, 4000, 0.0f, 5, 6, 180, 0.0f},
        {"grid untouched", KindGrid, 99999, 99999, 99999, 1e9f, 99999, 99999, 99999, 1e9f},
    };
    for (const Case& c : cases) {
        auto e = Entry(c.kind, c.v1, c.v2, c.v3, c.real);
        ClampToFrameRanges(*e);
        EXPECT_EQ(e->Value1, c.e1) << c.name;
        EXPECT_EQ(e->Value2, c.e2) << c.name;
        EXPECT_EQ(e->Value3, c.e3) << c.name;
        EXPECT_EQ(e->RealValue, c.expectedReal) << c.name;
    }

    AdjustmentEntry text;
    text.Kind = KindTimeStamp;
    text.AnnFontSize = -100000;
    text.AnnBackground = 9;
    text.AnnInfoKind = -4;
    text.AnnDecimals = 400;
    ClampToFrameRanges(text);
    EXPECT_EQ(text.AnnFontSize, 4096);
    EXPECT_EQ(text.AnnBackground, 0);
    EXPECT_EQ(text.AnnInfoKind, 0);
    EXPECT_EQ(text.AnnDecimals, 15);

    AdjustmentEntry logo;
    logo.Kind = KindLogo;
    logo.LogoSize = -5;
    logo.Value2 = 9; // an unknown corner draws nothing, so it stays
    logo.Value3 = 77;
    ClampToFrameRanges(logo);
    EXPECT_EQ(logo.LogoSize, 1);
    EXPECT_EQ(logo.Value2, 9);
    EXPECT_EQ(logo.Value3, 0);
}

TEST(ClampToFrameRanges, AppendingALoadedGammaEntryNeverBlackensThePicture)
{
    VideoDocument doc;
    doc.AttachSource(MakeStillSource(), QStringLiteral("still.bvf"));
    const Frame source = doc.FrameBitmap;
    doc.AppendEntry(Entry(KindGamma, 10, 0, 0, 30.0f));
    doc.Redisplay();
    Frame expected = source;
    ApplyGamma(expected, 1.9f);
    EXPECT_EQ(doc.DisplayBitmap, expected);
}
