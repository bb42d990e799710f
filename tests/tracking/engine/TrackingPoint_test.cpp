// The tracking point model: defaults, ids and names, record lookups, gaps,
// the nearest stored position, the state codes and the delete commands.

#include "FakeTrackingDriver.h"
#include "tracking/engine/TrackingPoint.h"
#include "tracking/engine/TrackingPointList.h"
#include "tracking/engine/TrackingExport.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TTrackingPoint PointWithRecords(int firstFrame, int count)
{
    TTrackingPoint p;
    p.InitRecords(firstFrame, count, 0, 100);
    p.FrameNo = firstFrame;
    return p;
}

} // namespace

TEST(TrackingPoint, DefaultsAndRecords)
{
    TTrackingPoint p;
    p.Params.Method = tracking::MethodDarkSpot;
    p.SetDefaults();
    EXPECT_EQ(p.Params.Method, tracking::MethodDarkSpot);  // kept by the defaults
    EXPECT_EQ(p.Params.TemplateWidth, 9);
    EXPECT_EQ(p.Params.SearchWidth, 16);
    EXPECT_EQ(p.Params.MarginX, 7);
    EXPECT_DOUBLE_EQ(p.Params.Threshold, 0.8);
    EXPECT_EQ(p.UpdateTemplate, 1);
    EXPECT_EQ(p.UpdateEvery, 0);
    EXPECT_TRUE(p.Enabled && p.Selected && p.ShowMarker);
    EXPECT_EQ(p.DisplayX, -1.0);

    p.InitRecords(50, 20, 40, 200);
    ASSERT_EQ(p.Records.size(), 20u);
    EXPECT_EQ(p.Records[0].FrameNo, 50);
    EXPECT_DOUBLE_EQ(p.Records[0].Time, 10.0 / 200.0);
    EXPECT_EQ(p.Records[19].FrameNo, 69);
    EXPECT_EQ(p.Records[3].RecMethod, tracking::MethodDarkSpot);
    EXPECT_EQ(p.Records[3].Status, 0);
    EXPECT_EQ(p.RecordAt(49), nullptr);
    EXPECT_EQ(p.RecordAt(70), nullptr);
    EXPECT_EQ(p.RecordAt(69), &p.Records[19]);
    // No frame rate: times stay 0 instead of dividing by zero.
    p.InitRecords(0, 3, 0, 0);
    EXPECT_EQ(p.Records[2].Time, 0.0);
}

TEST(TrackingPoint, MarkerSizes)
{
    struct Case { double s; int tw, th, w, h; };
    for (const Case& c : {Case{1, 9, 9, 16, 16}, Case{1, 40, 10, 64, 16}, Case{4, 9, 9, 36, 36},
                          Case{0.01, 9, 9, 16, 16}, Case{1, 10, 40, 16, 64}, Case{2, 10, 40, 20, 80}}) {
        const MarkerSize m = SizeForMarker(c.s, c.tw, c.th);
        EXPECT_EQ(m.width, c.w) << c.s << " " << c.tw << "x" << c.th;
        EXPECT_EQ(m.height, c.h) << c.s << " " << c.tw << "x" << c.th;
    }
}

TEST(TrackingPoint, GapsAndStoredFrames)
{
    TTrackingPoint p = PointWithRecords(100, 20);  // frames 100 ... 119
    for (int f = 105; f <= 110; ++f)
        p.RecordAt(f)->SetPosition(f, 2.0 * f);

    EXPECT_FALSE(p.HasGap(105, 110));
    EXPECT_TRUE(p.HasGap(104, 110));
    EXPECT_TRUE(p.HasGap(105, 111));
    EXPECT_FALSE(p.HasGap(110, 105));      // empty span
    EXPECT_TRUE(p.HasGap(118, 125));       // frames outside the recording have no position

    int index = -1;
    ASSERT_TRUE(p.FindStoredFrame(0, 19, &index));
    EXPECT_EQ(index, 5);
    ASSERT_TRUE(p.FindStoredFrame(19, 0, &index));
    EXPECT_EQ(index, 10);
    EXPECT_FALSE(p.FindStoredFrame(11, 19, &index));
    ASSERT_TRUE(p.FindStoredFrame(-5, 5, &index));   // indices outside are skipped
    EXPECT_EQ(index, 5);
}

TEST(TrackingPoint, LoadNearestStored)
{
    TTrackingPoint p = PointWithRecords(0, 30);
    EXPECT_EQ(p.LoadNearestStored(), -1);
    EXPECT_EQ(p.PosX, -1.0);

    p.Records[10].SetPosition(10, 1);
    p.Records[20].SetPosition(20, 2);
    struct Case { int frame, distance; double x; };
    for (const Case& c : {Case{15, 5, 10}, Case{16, 4, 20}, Case{0, 10, 10}, Case{29, 9, 20},
                          Case{10, 0, 10}, Case{-4, 14, 10}, Case{40, 20, 20}}) {
        p.FrameNo = c.frame;
        EXPECT_EQ(p.LoadNearestStored(), c.distance) << "frame " << c.frame;
        EXPECT_EQ(p.PosX, c.x) << "frame " << c.frame;
    }
}

TEST(TrackingPoint, TrackStateTable)
{
    struct Case { bool started; int mode; double score; bool found; TrackState state; };
    const Case cases[] = {
        {true, ModeAuto, 0.9, true, TrackState::Found},
        {true, ModeAuto, 0.5, false, TrackState::BelowThreshold},
        {true, ModeAuto, 0.9, false, TrackState::CentreNotFound},
        {true, ModeAuto, 0.5, true, TrackState::FoundBelowThreshold},
        {true, ModeAuto, 0.8, true, TrackState::Found},  // at the threshold is good enough
        {true, ModeAuto, -999.0, true, TrackState::FoundBelowThreshold},  // no score map at all
        {true, ModeAuto, std::nan(""), true, TrackState::FoundBelowThreshold},
        {false, ModeAuto, 0.9, true, TrackState::NotStarted},
        {false, ModeSemiAuto, 0.9, true, TrackState::SemiAuto},
        {true, ModeManual, 0.1, false, TrackState::Manual},
    };
    for (const Case& c : cases) {
        TTrackingPoint p;
        p.Started = c.started;
        p.Mode = uint8_t(c.mode);
        p.Score = c.score;
        p.Found = c.found;
        EXPECT_EQ(p.State(), c.state) << c.score;
    }
}

TEST(TrackingPoint, ConfirmRevertCheckReadyAndMarker)
{
    TTrackingPoint p = PointWithRecords(0, 10);
    p.FrameNo = 4;
    p.Records[4].SetPosition(12.5, 7.25);

    // No marker for a frame without position, whatever ShowMarker says.
    p.FrameNo = 3;
    EXPECT_FALSE(p.UpdateMarker(true));
    EXPECT_EQ(p.PosX, -1.0);
    p.FrameNo = 4;
    EXPECT_TRUE(p.UpdateMarker(true));
    EXPECT_EQ(p.PosX, 12.5);
    EXPECT_EQ(p.DisplayY, 7.25);
    p.FrameNo = 99;  // clamped to the last record
    EXPECT_FALSE(p.UpdateMarker(false));
    EXPECT_EQ(p.PosX, 12.5);

    p.FrameNo = 4;
    p.Mode = ModeManual;
    p.UpdateMarker(true);
    EXPECT_EQ(p.Shape(), ShapeLost);
    p.Mode = ModeAuto;

    p.PosX = 13.0;
    p.PosY = 8.0;
    p.Mark = MarkUnconfirmed;
    p.Confirm();
    EXPECT_EQ(p.SearchX, 13.0);
    EXPECT_EQ(p.DisplayY, 8.0);
    EXPECT_TRUE(p.Confirmed && p.Found);
    EXPECT_EQ(p.Shape(), ShapeConfirm);

    p.RevertToStored();
    EXPECT_EQ(p.PosX, 12.5);
    EXPECT_EQ(p.SearchY, 7.25);

    // CheckReady: a point shown at a stored position but without a search
    // centre confirms itself and counts as started, but is not ready yet.
    TTrackingPoint q = PointWithRecords(0, 10);
    q.DisplayX = 5;
    q.PosX = 5;
    q.PosY = 6;
    q.SearchX = -1;
    q.Confirmed = false;
    EXPECT_FALSE(q.CheckReady());
    EXPECT_TRUE(q.Started);
    EXPECT_EQ(q.SearchX, 5.0);
    EXPECT_TRUE(q.CheckReady());   // confirmed now
    q.Confirmed = false;
    q.DisplayX = -1;               // next frame: searched from SearchX
    EXPECT_TRUE(q.CheckReady());
}

TEST(TrackingPointList, IdsNamesAndDeletion)
{
    FakeTrackingDriver driver;
    TrackingPointList points;
    TrackingEngine engine(points, driver);
    engine.SetRecording(driver.Recording());
    engine.GoToFrame(5);

    TTrackingPoint* p0 = engine.AddPoint(tracking::MethodCorrelation, 20, 20);
    TTrackingPoint* p1 = engine.AddPoint(tracking::MethodCorrelation, 40, 20);
    TTrackingPoint* p2 = engine.AddPoint(tracking::MethodCorrelation, 60, 20);
    ASSERT_TRUE(p0 && p1 && p2);
    EXPECT_EQ(p0->Name, "Point 0");
    EXPECT_EQ(p2->Name, "Point 2");
    EXPECT_EQ(p2->PointId, 2);
    EXPECT_EQ(p1->Records.size(), 100u);
    EXPECT_EQ(p1->RecordAt(5)->Status, 1);
    EXPECT_EQ(p1->RecordAt(5)->X, 40.0);
    EXPECT_EQ(p1->ZoomFactor, 8);  // 154 / 16 = 9.6: nearest power of two
    EXPECT_EQ(engine.CurrentPoint(), p2);
    EXPECT_TRUE(p2->Confirmed);
    EXPECT_FALSE(p2->Template.isEmpty());

    // Nothing selected: refused.
    for (const auto& p : points)
        p->Selected = false;
    int deleted = -1;
    EXPECT_EQ(engine.DeleteSelectedPoints(&deleted), DeleteOutcome::NoneSelected);
    EXPECT_EQ(deleted, 0);
    EXPECT_EQ(points.size(), 3);

    p0->Selected = true;
    engine.SyncSelection();
    EXPECT_EQ(engine.CurrentPoint(), p0);
    EXPECT_EQ(engine.DeleteSelectedPoints(&deleted), DeleteOutcome::Deleted);
    EXPECT_EQ(deleted, 1);
    ASSERT_EQ(points.size(), 2);
    EXPECT_EQ(points[0]->Name, "Point 1");
    EXPECT_FALSE(points.AnySelected());
    EXPECT_EQ(engine.CurrentPoint(), nullptr);  // the current point went with it

    // The freed id is used again.
    TTrackingPoint* again = engine.AddPoint(tracking::MethodCorrelation, 30, 30);
    EXPECT_EQ(again->PointId, 0);
    EXPECT_EQ(again->Name, "Point 0");

    // Ids run out at 128 points.
    TrackingPointList many;
    TrackingEngine manyEngine(many, driver);
    TrackingRecording small = driver.Recording();
    small.FrameCount = 2;
    manyEngine.SetRecording(small);
    for (int i = 0; i < 128; ++i)
        ASSERT_NE(manyEngine.AddPoint(tracking::MethodCorrelation, 10, 10), nullptr);
    EXPECT_EQ(manyEngine.AddPoint(tracking::MethodCorrelation, 10, 10), nullptr);
}

TEST(TrackingPointList, DeleteTrackedDataKeepsTheEndFrame)
{
    FakeTrackingDriver driver;
    driver.frameCount = 200;
    TrackingPointList points;
    TrackingEngine engine(points, driver);
    engine.SetRecording(driver.Recording());
    engine.GoToFrame(0);
    TTrackingPoint* a = engine.AddPoint(tracking::MethodCorrelation, 20, 20);
    TTrackingPoint* b = engine.AddPoint(tracking::MethodCorrelation, 40, 20);
    for (TTrackingPoint* p : {a, b})
        for (auto& r : p->Records)
            r.SetPosition(1, 1);
    a->Selected = true;
    b->Selected = false;

    engine.DeleteTrackedData(100, 100);  // empty range: nothing
    EXPECT_FALSE(a->HasGap(0, 199));

    engine.DeleteTrackedData(100, 110);
    EXPECT_TRUE(a->HasPositionAt(99));
    for (int f = 100; f < 110; ++f)
        EXPECT_FALSE(a->HasPositionAt(f)) << f;
    EXPECT_TRUE(a->HasPositionAt(110));
    EXPECT_EQ(a->RecordAt(105)->Status, 0);
    EXPECT_EQ(a->RecordAt(105)->Y, -1.0);
    EXPECT_FALSE(b->HasGap(0, 199));     // not selected
    EXPECT_EQ(engine.ResumeFrame(), std::nullopt);

    engine.DeleteTrackedData(190, 1000000000);  // beyond the recording: clipped
    EXPECT_FALSE(a->HasPositionAt(199));
    EXPECT_TRUE(a->HasPositionAt(189));
}

// A recording whose first frame is its time-zero frame (an AVI without a time
// base) reads 0 s at record 0 at any rate: a new rate must still reach every
// record's time.
TEST(TrackingPoint, AChangedFrameRateReachesTheTimes)
{
    TTrackingPoint p;
    p.InitRecords(0, 50, 0, 25);
    p.FrameNo = 0;
    for (int f = 10; f < 20; ++f)
        p.RecordAt(f)->SetPosition(10.0 + f, 20.0);
    TrackingExportInfo info;
    info.FirstFrame = 0;
    info.TimeZeroFrame = 0;
    info.FrameRate = 1000;
    info.Kinematics.FrameWidth = 100;
    info.Kinematics.FrameHeight = 100;
    const TrackingResultTable t = ComputeTrackingResults(p, info);
    ASSERT_EQ(t.size(), 50u);
    EXPECT_FLOAT_EQ(t.Times[4], 0.004f);
    EXPECT_FLOAT_EQ(t.Times[49], 0.049f);
    EXPECT_NEAR(t.VelocityX[15], 1000.0f, 0.5f);  // one pixel a frame at 1000 fps
}
