// The dispatcher and the document's rendering through the adjustment list.

#include "adjust/AdjustmentEntry.h"
#include "adjust/FilterLibrary.h"
#include "adjust/PixelOps.h"
#include "document/VideoDocument.h"

#include "FakeSource.h"
#include "TestFrames.h"

#include <gtest/gtest.h>

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
