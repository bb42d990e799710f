#include "document/VideoDocument.h"

#include "common/LumaTables.h"
#include "common/Rounding.h"

#include "FakeSource.h"

#include <gtest/gtest.h>

namespace {

// A 5 x 3 recording whose frame n is filled with grey level (n mod 256).
std::unique_ptr<FakeSource> GreySource(int first, int last, int rate, int kind = 7)
{
    auto source = std::make_unique<FakeSource>(first, last, 5, 3, rate);
    source->kind = kind;
    source->readerFileName = QStringLiteral("relative/name.bvf"); // readers may know only what they were given
    source->painter = [](int n, Frame& frame) {
        const uint8_t v = uint8_t(n & 0xff);
        frame.fill(v, v, v);
    };
    return source;
}

} // namespace

TEST(VideoDocument, TimeAndFrameNumbersRoundHalfToEven)
{
    VideoDocument doc;
    doc.AttachSource(GreySource(0, 100, 4), QStringLiteral("x.bvf"));
    EXPECT_EQ(doc.FrameAtTime(Rational(1, 8)), 0);
    EXPECT_EQ(doc.FrameAtTime(Rational(3, 8)), 2);
    EXPECT_EQ(doc.TimeOfFrame(3), Rational(3, 4));
}

TEST(VideoDocument, NegativeBravaFramesMapToNegativeTimes)
{
    VideoDocument doc;
    auto source = GreySource(-500, 499, 1000);
    FakeSource* raw = source.get();
    doc.AttachSource(std::move(source), QStringLiteral("x.bvf"));
    EXPECT_EQ(doc.Info.FileName, QStringLiteral("x.bvf"));
    EXPECT_EQ(doc.Info.CurrentFrame, 0);
    EXPECT_EQ(doc.Info.FrameCount, 1000);
    EXPECT_EQ(doc.Info.RangeFirst, -500);
    EXPECT_EQ(doc.Info.RangeLast, 499);

    doc.GotoTime(Rational(-1, 2));
    EXPECT_EQ(doc.Info.CurrentFrame, -500);
    EXPECT_EQ(raw->lastRequested, -500);
    doc.GotoTime(Rational(0));
    EXPECT_EQ(doc.Info.CurrentFrame, 0);
}

// Every kind of source shows the same state outside its recording: a black
// picture, "—" for the frame, and the nearest frame kept for the tools.
TEST(VideoDocument, OutsideTheRecordingIsOneClearStateForEverySource)
{
    struct Case { int kind; const char* name; int first, last; };
    for (const Case c : {Case{0, "x.avi", 0, 99}, Case{7, "x.bvf", -20, 99}}) {
        VideoDocument doc;
        auto source = GreySource(c.first, c.last, 1000, c.kind);
        FakeSource* raw = source.get();
        doc.AttachSource(std::move(source), QString::fromLatin1(c.name));
        const int count = c.last - c.first + 1;
        const int lastFrame = doc.Info.LastFrame;

        doc.GotoTime(doc.TimeOfFrame(lastFrame));
        EXPECT_FALSE(doc.IsOutsideRecording());
        EXPECT_EQ(doc.FrameReadout(), QStringLiteral("%1/%2").arg(lastFrame).arg(count));

        for (int outside : {lastFrame + 1, lastFrame + 200, doc.Info.FirstFrame - 1}) {
            doc.GotoTime(doc.TimeOfFrame(outside));
            EXPECT_TRUE(doc.IsOutsideRecording()) << c.name << " " << outside;
            EXPECT_EQ(doc.FrameReadout(), QStringLiteral("\u2014 / %1").arg(count)) << c.name;
            EXPECT_EQ(doc.CurrentTime, doc.TimeOfFrame(outside));
            const int nearest = outside > lastFrame ? lastFrame : doc.Info.FirstFrame;
            EXPECT_EQ(doc.Info.CurrentFrame, nearest) << c.name;
            Frame black(doc.DisplayBitmap.width(), doc.DisplayBitmap.height());
            black.clear();
            EXPECT_EQ(doc.DisplayBitmap, black) << c.name;
            EXPECT_GE(raw->lastRequested, c.kind == 0 ? 0 : c.first);
            EXPECT_LE(raw->lastRequested, c.last);
        }
        // Redisplay keeps the state; coming back inside ends it.
        doc.Redisplay();
        EXPECT_TRUE(doc.IsOutsideRecording());
        doc.GotoTime(doc.TimeOfFrame(doc.Info.FirstFrame));
        EXPECT_FALSE(doc.IsOutsideRecording());
        EXPECT_EQ(doc.DisplayBitmap, doc.FrameBitmap);
    }
}

TEST(VideoDocument, GotoTimeOfAFramesOwnTimeLoadsThatFrame)
{
    VideoDocument doc;
    doc.AttachSource(GreySource(-500, 99999, 10000), QStringLiteral("x.bvf"));
    for (int frame = -500; frame <= 99999; frame += 997) {
        doc.GotoTime(doc.TimeOfFrame(frame));
        ASSERT_EQ(doc.Info.CurrentFrame, frame);
        ASSERT_EQ(doc.CurrentTime, doc.TimeOfFrame(frame));
    }
}

TEST(VideoDocument, EmptyListCopiesTheFrameAndWhiteFillsTopBins)
{
    VideoDocument doc;
    doc.AttachSource(GreySource(0, 300, 100), QStringLiteral("x.bvf"));
    doc.LoadFrame(255);
    EXPECT_EQ(doc.DisplayBitmap, doc.FrameBitmap);
    EXPECT_EQ(doc.RedHistogram[255], 15);
    EXPECT_EQ(doc.GreenHistogram[255], 15);
    EXPECT_EQ(doc.BlueHistogram[255], 15);
    const LumaTables& t = BuildLumaTables();
    const int lumaBin = int(Round(double(t.wR[255]) + double(t.wG[255]) + double(t.wB[255])));
    EXPECT_EQ(doc.LumaHistogram[lumaBin], 15);
}

TEST(VideoDocument, TimeStampTextFollowsTheCurrentFrame)
{
    VideoDocument doc;
    doc.AttachSource(GreySource(-10, 10, 1000), QStringLiteral("x.bvf"));
    doc.LoadFrame(-3);
    AdjustmentEntry e(AnnotationEntry{.TimeStamp = true});
    AnnotationEntry& stamp = *e.As<AnnotationEntry>();
    struct Case { int kind; int decimals; const char* text; };
    for (const Case& c : {Case{0, 4, "-0.0030 s"}, Case{1, 1, "-3.0 ms"}, Case{2, 0, "-3"}}) {
        stamp.AnnInfoKind = c.kind;
        stamp.AnnDecimals = c.decimals;
        doc.UpdateTimeStampText(e);
        EXPECT_EQ(stamp.AnnDrawText, QString::fromLatin1(c.text)) << c.kind;
    }
}

TEST(VideoDocument, TrackingPointsFollowEveryFrameLoad)
{
    VideoDocument doc;
    doc.AttachSource(GreySource(10, 19, 100), QStringLiteral("x.bvf"));
    auto point = std::make_unique<TTrackingPoint>();
    point->InitRecords(10, 10, 0, 100);
    point->RecordAt(12)->SetPosition(3.5, 1.25);
    TTrackingPoint* p = doc.TrackingPoints().Append(std::move(point));

    doc.GotoTime(doc.TimeOfFrame(12));
    EXPECT_EQ(p->FrameNo, 12);
    EXPECT_EQ(p->BaseFrame, 10);
    EXPECT_EQ(p->DisplayX, 3.5);
    EXPECT_EQ(p->PosY, 1.25);

    doc.LoadFrame(13); // no record with a position: the marker goes
    EXPECT_EQ(p->FrameNo, 13);
    EXPECT_EQ(p->DisplayX, -1.0);
    EXPECT_FALSE(p->UpdateMarker(false));

    // A frame outside the recording shows the nearest frame; the point follows it.
    doc.LoadFrame(500);
    EXPECT_EQ(p->FrameNo, 19);
}
