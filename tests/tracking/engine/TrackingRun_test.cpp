// The automatic run on synthetic frames from a fake driver: a moving spot
// tracked frame by frame, the refusals and questions before a run, a lost
// target, stopping in the middle of a frame, and resuming at the right frame.

#include "FakeTrackingDriver.h"
#include "tracking/engine/TrackingEngine.h"

#include <gtest/gtest.h>

namespace {

struct RunFixture {
    FakeTrackingDriver driver;
    TrackingPointList points;
    TrackingEngine engine{points, driver};

    void Setup(int rangeFirst, int rangeLast)
    {
        engine.Recording = driver.Recording();
        engine.RangeFirst = engine.MarkFirst = rangeFirst;
        engine.RangeLast = engine.MarkLast = rangeLast;
    }
    // Runs ticks as the idle timer would, until the run ends or waits.
    void Run()
    {
        engine.OnTimerTick();
    }
    // A light-spot point with a fixed intensity range, placed near (x, y) on
    // the current frame (the range is set as the settings dialog would, then
    // the point is placed again and confirmed).
    TTrackingPoint* AddSpot(double x, double y)
    {
        TTrackingPoint* p = engine.AddPoint(tracking::MethodLightSpot, x, y);
        if (!p)
            return nullptr;
        p->Params.FixedRange = 1;
        p->Params.RangeMin = 120;
        p->Params.RangeMax = 255;
        p->Params.WeightedCog = 1;
        p->PosX = x;
        p->PosY = y;
        p->CentreSearch(*engine.Working(), true);
        engine.CurrentPoint = p;
        engine.ConfirmCurrent();
        return p;
    }
};

} // namespace

TEST(TrackingRun, FollowsAMovingSpot)
{
    RunFixture f;
    f.Setup(0, 29);
    f.engine.GoToFrame(0);
    TTrackingPoint* p = f.AddSpot(f.driver.scene.X(0) + 0.8, f.driver.scene.Y(0) - 0.6);
    ASSERT_NE(p, nullptr);
    EXPECT_NEAR(p->RecordAt(0)->X, f.driver.scene.X(0), 0.25);

    ASSERT_TRUE(f.engine.StartRun());
    EXPECT_EQ(f.driver.ticksScheduled, 1);
    EXPECT_EQ(f.engine.ResumeFrame, 0);
    f.Run();

    EXPECT_FALSE(f.engine.Running);
    EXPECT_EQ(f.engine.StopReason, 4);
    EXPECT_EQ(f.engine.CurrentFrame, 29);
    EXPECT_EQ(f.driver.runsStopped, 1);
    for (int frame = 0; frame <= 29; ++frame) {
        const TrackRecord* r = p->RecordAt(frame);
        ASSERT_EQ(r->Status, 1) << frame;
        EXPECT_NEAR(r->X, f.driver.scene.X(frame), 0.25) << frame;
        EXPECT_NEAR(r->Y, f.driver.scene.Y(frame), 0.25) << frame;
        EXPECT_EQ(r->RecMethod, tracking::MethodLightSpot);
    }
    EXPECT_FALSE(p->HasPositionAt(30));
    ASSERT_FALSE(f.driver.reports.empty());
    EXPECT_EQ(f.driver.reports.back().kind, MessageTracking);
    EXPECT_EQ(f.driver.reports.back().text, "Tracking");
    // Every frame was loaded once, in order, after the placement frame.
    std::vector<int> expected{0, 0};
    for (int frame = 1; frame <= 29; ++frame)
        expected.push_back(frame);
    EXPECT_EQ(f.driver.loaded, expected);

    // Everything is tracked now: a second run has nothing to do.
    EXPECT_FALSE(f.engine.StartRun());
    EXPECT_EQ(f.driver.told.last(), "Nothing to do! All points are tracked within the current range.");
}

TEST(TrackingRun, CorrelationFollowsWholePixelSteps)
{
    RunFixture f;
    f.driver.scene.stepX = 1.0;
    f.driver.scene.stepY = -1.0;
    f.driver.scene.texture = 10.0;
    f.Setup(0, 20);
    f.engine.GoToFrame(0);
    TTrackingPoint* p = f.engine.AddPoint(tracking::MethodCorrelation, f.driver.scene.X(0), f.driver.scene.Y(0));
    ASSERT_TRUE(f.engine.StartRun());
    f.Run();
    EXPECT_EQ(f.engine.StopReason, 4);
    for (int frame = 0; frame <= 20; ++frame) {
        EXPECT_NEAR(p->RecordAt(frame)->X, f.driver.scene.X(frame), 0.25) << frame;
        EXPECT_NEAR(p->RecordAt(frame)->Y, f.driver.scene.Y(frame), 0.25) << frame;
    }
}

TEST(TrackingRun, LightSpotIsLostWhenItVanishes)
{
    RunFixture f;
    f.driver.scene.vanishFrom = 12;
    f.Setup(0, 29);
    f.engine.GoToFrame(0);
    TTrackingPoint* p = f.AddSpot(f.driver.scene.X(0) + 0.6, f.driver.scene.Y(0) - 0.4);
    ASSERT_NE(p, nullptr);
    ASSERT_TRUE(p->Found);

    ASSERT_TRUE(f.engine.StartRun());
    f.Run();

    // The run waits at the frame where the spot is gone.
    EXPECT_TRUE(f.engine.Running);
    EXPECT_TRUE(f.engine.WaitingForUser);
    EXPECT_EQ(f.engine.CurrentFrame, 12);
    ASSERT_FALSE(f.driver.reports.empty());
    const RunMessage& m = f.driver.reports.back();
    EXPECT_EQ(m.kind, MessageLostThreshold);
    EXPECT_EQ(m.text, "Point 0 is LOST (Below Threshold)");
    EXPECT_EQ(m.colour, 0x008080u);
    EXPECT_EQ(m.frameText, "Auto Tracking Frame # 12");
    EXPECT_EQ(m.percentText, "41% (12 / 29)");
    EXPECT_EQ(f.driver.status[0], StatusThreshold);
    EXPECT_EQ(f.engine.CurrentPoint, p);
    EXPECT_EQ(p->Mark, MarkUnconfirmed);
    for (int frame = 1; frame < 12; ++frame)
        EXPECT_NEAR(p->RecordAt(frame)->X, f.driver.scene.X(frame), 0.3) << frame;

    // The user gives up: what was searched on frame 12 is discarded.
    EXPECT_EQ(p->RecordAt(12)->Status, 1);
    f.engine.StopRun();
    EXPECT_FALSE(f.engine.Running);
    EXPECT_EQ(p->RecordAt(12)->Status, 0);
    EXPECT_EQ(p->RecordAt(12)->X, -1.0);
    EXPECT_EQ(p->RecordAt(11)->Status, 1);
    EXPECT_EQ(p->Score, -1.0);
}

TEST(TrackingRun, StopInTheMiddleOfAFrameDiscardsThatFrame)
{
    RunFixture f;
    f.Setup(0, 29);
    f.engine.GoToFrame(0);
    TTrackingPoint* a = f.AddSpot(f.driver.scene.X(0), f.driver.scene.Y(0));
    TTrackingPoint* b = f.engine.AddPoint(tracking::MethodCorrelation, 70.5, 50.5);
    ASSERT_TRUE(a && b);
    // The stop button is pressed while frame 10 is being shown after its search.
    f.driver.onRefresh = [&] {
        if (f.engine.CurrentFrame == 10 && a->Searched && f.engine.Running)
            f.engine.StopRun();
    };
    ASSERT_TRUE(f.engine.StartRun());
    f.Run();

    EXPECT_FALSE(f.engine.Running);
    EXPECT_EQ(f.engine.StopReason, 2);
    EXPECT_EQ(f.engine.CurrentFrame, 10);
    EXPECT_EQ(f.driver.loaded.back(), 10);  // nothing loaded after the stop
    for (TTrackingPoint* p : {a, b}) {
        EXPECT_TRUE(p->HasPositionAt(9));
        EXPECT_FALSE(p->HasPositionAt(10));
        EXPECT_FALSE(p->Searched);
        EXPECT_FALSE(p->Started);
        EXPECT_TRUE(p->Confirmed);
    }
    EXPECT_EQ(f.driver.status[0], StatusReady);

    // Started again, the run picks up at frame 9 (the last frame kept) and
    // finishes the range.
    f.driver.onRefresh = nullptr;
    ASSERT_TRUE(f.engine.StartRun());
    EXPECT_EQ(f.engine.ResumeFrame, 9);
    f.Run();
    EXPECT_EQ(f.engine.StopReason, 4);
    EXPECT_FALSE(a->HasGap(0, 29));
    EXPECT_NEAR(a->RecordAt(29)->X, f.driver.scene.X(29), 0.25);
}

TEST(TrackingRun, ResumesAtTheFrameThePointWasDefinedOn)
{
    RunFixture f;
    f.driver.frameCount = 201;
    f.driver.scene.stepX = 0.2;
    f.driver.scene.stepY = 0.1;
    f.Setup(0, 200);
    f.engine.GoToFrame(100);
    TTrackingPoint* p = f.AddSpot(f.driver.scene.X(100), f.driver.scene.Y(100));
    const double placedX = p->RecordAt(100)->X;

    EXPECT_EQ(f.engine.FindResumeFrame(), 100);
    ASSERT_EQ(f.engine.PrepareRun(), 0);
    EXPECT_EQ(p->DefinedFrame, 100);
    EXPECT_EQ(f.engine.ResumeFrame, 100);
    f.engine.Running = true;
    f.driver.loaded.clear();
    f.Run();

    EXPECT_EQ(f.engine.StopReason, 4);
    EXPECT_EQ(f.driver.loaded.front(), 100);
    EXPECT_EQ(p->RecordAt(100)->X, placedX);  // kept, not searched
    EXPECT_TRUE(p->HasGap(0, 99));
    EXPECT_FALSE(p->HasPositionAt(99));
    EXPECT_FALSE(p->HasGap(100, 200));
    EXPECT_NEAR(p->RecordAt(200)->X, f.driver.scene.X(200), 0.25);

    // Frames already tracked are skipped: with 150 ... 160 cleared, the run
    // resumes at 149 and loads 149 ... 161; frames 0 ... 99 still lack data
    // but lie before the point's first position, so the run then goes to
    // the end of the range and finishes.
    p->Selected = true;
    f.engine.DeleteTrackedData(150, 161);
    EXPECT_EQ(f.engine.FindResumeFrame(), 149);
    ASSERT_EQ(f.engine.PrepareRun(), 0);
    f.engine.Running = true;
    f.driver.loaded.clear();
    f.Run();
    EXPECT_EQ(f.engine.StopReason, 4);
    EXPECT_FALSE(p->HasGap(100, 200));
    std::vector<int> expected;
    for (int frame = 149; frame <= 161; ++frame)
        expected.push_back(frame);
    expected.push_back(200);
    EXPECT_EQ(f.driver.loaded, expected);
}

TEST(TrackingRun, RefusalsAndTheQuestionAboutPointsWithoutData)
{
    RunFixture f;
    f.Setup(0, 29);
    f.engine.GoToFrame(0);
    EXPECT_EQ(f.engine.PrepareRun(), 2);
    EXPECT_EQ(f.driver.told.last(), "There are no Points to be tracked");

    TTrackingPoint* p = f.engine.AddPoint(tracking::MethodCorrelation, 30.5, 30.5);
    p->Enabled = false;
    EXPECT_EQ(f.engine.PrepareRun(), 2);
    EXPECT_EQ(f.driver.told.last(), "There are no Points to be tracked");
    p->Enabled = true;

    f.engine.UnconfirmedExist = true;
    EXPECT_EQ(f.engine.PrepareRun(), 2);
    EXPECT_EQ(f.driver.told.last(), "Please confirm all the points before start tracking.");
    f.engine.UnconfirmedExist = false;

    // The point has data only on frame 0; a run over 40 ... 60 asks.
    f.engine.RangeFirst = f.engine.MarkFirst = 40;
    f.engine.RangeLast = f.engine.MarkLast = 60;
    f.driver.answer = false;
    EXPECT_EQ(f.engine.PrepareRun(), 2);
    EXPECT_EQ(f.driver.questions.last(),
              "The Following points have no data within the current range:\n\rPoint 0\n\r\n\r"
              "Do you Want To define the points on the Current Frame?");
    EXPECT_FALSE(f.engine.Running);
    EXPECT_FALSE(p->HasPositionAt(40));

    // Yes: the point is put on frame 40 at its nearest stored position and
    // the run asks for it to be placed.
    f.driver.answer = true;
    ASSERT_TRUE(f.engine.StartRun());
    EXPECT_EQ(f.engine.CurrentFrame, 40);
    EXPECT_TRUE(p->NeedsPlacing);
    EXPECT_EQ(p->RecordAt(40)->X, 30.5);
    EXPECT_EQ(p->DefinedFrame, 40);
    f.Run();
    EXPECT_TRUE(f.engine.WaitingForUser);
    EXPECT_EQ(f.driver.reports.back().kind, MessageNeedPlace);
    EXPECT_EQ(f.driver.reports.back().text, "Point 0 need to place");

    // Confirmed where it is: the run goes on from frame 40 to the end.
    f.engine.CurrentPoint = p;
    f.engine.ConfirmCurrent();
    EXPECT_EQ(f.engine.ResumeFrame, 40);
    EXPECT_EQ(f.driver.ticksScheduled, 2);
    f.Run();
    EXPECT_EQ(f.engine.StopReason, 4);
    EXPECT_FALSE(p->HasGap(40, 60));
}

TEST(TrackingRun, SemiAutoStopsOnEveryFrameUntilConfirmed)
{
    RunFixture f;
    f.Setup(0, 5);
    f.engine.GoToFrame(0);
    TTrackingPoint* p = f.engine.AddPoint(tracking::MethodCorrelation, f.driver.scene.X(0), f.driver.scene.Y(0));
    p->Mode = ModeSemiAuto;
    ASSERT_TRUE(f.engine.StartRun());
    for (int frame = 1; frame <= 5; ++frame) {
        f.Run();
        ASSERT_TRUE(f.engine.WaitingForUser) << frame;
        EXPECT_EQ(f.engine.CurrentFrame, frame);
        EXPECT_EQ(f.driver.reports.back().kind, MessageNeedConfirm);
        EXPECT_EQ(f.driver.reports.back().text, "Point 0 needs to be Confirmed");
        EXPECT_EQ(f.driver.reports.back().colour, 0xFF0000u);
        f.engine.ConfirmCurrent();
    }
    f.Run();
    EXPECT_EQ(f.engine.StopReason, 4);
    EXPECT_FALSE(p->HasGap(0, 5));
}

TEST(TrackingRun, MessagePanelTexts)
{
    EXPECT_EQ(RunMessageText(MessageSearching, "P"), "Searching");
    EXPECT_EQ(RunMessageText(MessageLostCentre, "Point 3"), "Point 3 is LOST (Can't Find Centre)");
    EXPECT_EQ(PointStatusText(9), "Threshhold");
    EXPECT_EQ(PointStatusText(0), "");
    EXPECT_EQ(PointStatusText(11), "");
    struct Case { int view, search, zoom; };
    for (const Case& c : {Case{154, 16, 8}, Case{154, 2, 32}, Case{10, 16, 1}, Case{48, 16, 2},
                          Case{96, 16, 4}, Case{64, 2, 32}, Case{1000, 10, 32}})
        EXPECT_EQ(ZoomFactorFor(c.view, c.search), c.zoom) << c.view << "/" << c.search;
}
