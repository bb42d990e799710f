// The automatic run on synthetic frames from a fake driver: a moving spot
// tracked frame by frame, the refusals and questions before a run, a lost
// target, stopping in the middle of a frame, and resuming at the right frame.

#include "FakeTrackingDriver.h"
#include "tracking/engine/TrackingEngine.h"
#include "tracking/engine/TrackingTexts.h"

#include <gtest/gtest.h>

namespace {

struct RunFixture {
    FakeTrackingDriver driver;
    TrackingPointList points;
    TrackingEngine engine{points, driver};

    void Setup(int rangeFirst, int rangeLast)
    {
        engine.SetRecording(driver.Recording());
        engine.SetRange(rangeFirst, rangeLast, rangeFirst, rangeLast);
    }
    // Runs ticks as the idle timer would, one frame each, until the run
    // ends or waits for the user.
    TickOutcome Run()
    {
        TickOutcome t;
        while ((t = engine.OnTimerTick()) == TickOutcome::NextFrame) {
        }
        return t;
    }
    // A light-spot point with a fixed intensity range, placed near (x, y) on
    // the current frame.
    TTrackingPoint* AddSpot(double x, double y)
    {
        tracking::SearchParameters params = TrackingEngine::DefaultParameters(tracking::MethodLightSpot);
        params.FixedRange = 1;
        params.RangeMin = 120;
        params.RangeMax = 255;
        return engine.AddPoint(x, y, params);
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

    ASSERT_EQ(f.engine.StartRun(), StartOutcome::Started);
    EXPECT_EQ(f.driver.ticksScheduled, 1);
    EXPECT_EQ(f.engine.ResumeFrame(), 0);
    EXPECT_EQ(f.Run(), TickOutcome::Finished);

    EXPECT_FALSE(f.engine.Running());
    EXPECT_EQ(f.engine.LastStopReason(), StopReason::Finished);
    EXPECT_EQ(f.driver.lastStop, StopReason::Finished);
    EXPECT_EQ(f.engine.CurrentFrame(), 29);
    EXPECT_EQ(f.driver.ticksScheduled, 30);  // one tick per frame
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
    EXPECT_EQ(f.driver.reports.back().kind, PanelKind::Tracking);
    EXPECT_EQ(f.driver.reports.back().percent, 100);
    // Every frame was loaded once, in order, after the placement frame.
    std::vector<int> expected{0, 0};
    for (int frame = 1; frame <= 29; ++frame)
        expected.push_back(frame);
    EXPECT_EQ(f.driver.loaded, expected);

    // Everything is tracked now: a second run has nothing to do.
    EXPECT_EQ(f.engine.StartRun(), StartOutcome::NothingToDo);
    EXPECT_EQ(StartRefusalText(StartOutcome::NothingToDo),
              "Nothing to do! All points are tracked within the current range.");
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
    ASSERT_EQ(f.engine.StartRun(), StartOutcome::Started);
    EXPECT_EQ(f.Run(), TickOutcome::Finished);
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

    ASSERT_EQ(f.engine.StartRun(), StartOutcome::Started);
    EXPECT_EQ(f.Run(), TickOutcome::WaitingForUser);

    // The run waits at the frame where the spot is gone.
    EXPECT_TRUE(f.engine.Running());
    EXPECT_TRUE(f.engine.WaitingForUser());
    EXPECT_EQ(f.engine.CurrentFrame(), 12);
    EXPECT_EQ(f.engine.Question().kind, QuestionKind::LostBelowThreshold);
    EXPECT_EQ(f.engine.Question().point, p);
    EXPECT_EQ(f.engine.Question().frame, 12);
    ASSERT_FALSE(f.driver.reports.empty());
    const RunPanel& m = f.driver.reports.back();
    EXPECT_EQ(m.kind, PanelKind::LostBelowThreshold);
    EXPECT_EQ(PanelMessageText(m.kind, p->Name), "Point 0 is LOST (Below Threshold)");
    EXPECT_EQ(PanelColour(m.kind), 0x008080u);
    EXPECT_EQ(PanelFrameText(m), "Auto Tracking Frame # 12");
    EXPECT_EQ(PanelPercentText(m), "41% (12 / 29)");
    EXPECT_EQ(f.driver.status[0], PointStatus::BelowThreshold);
    EXPECT_EQ(f.engine.CurrentPoint(), p);
    EXPECT_EQ(p->Mark, MarkUnconfirmed);
    for (int frame = 1; frame < 12; ++frame)
        EXPECT_NEAR(p->RecordAt(frame)->X, f.driver.scene.X(frame), 0.3) << frame;

    // The user gives up: what was searched on frame 12 is discarded.
    EXPECT_EQ(p->RecordAt(12)->Status, 1);
    f.engine.StopRun();
    EXPECT_FALSE(f.engine.Running());
    EXPECT_EQ(f.driver.lastStop, StopReason::Stopped);
    EXPECT_EQ(p->RecordAt(12)->Status, 0);
    EXPECT_EQ(p->RecordAt(12)->X, -1.0);
    EXPECT_EQ(p->RecordAt(11)->Status, 1);
    EXPECT_EQ(p->Score, -1.0);
}

TEST(TrackingRun, StopInTheMiddleOfAFrameDiscardsThatFrame)
{
    RunFixture f;
    f.driver.scene.texture = 10.0;
    f.Setup(0, 29);
    f.engine.GoToFrame(0);
    TTrackingPoint* a = f.AddSpot(f.driver.scene.X(0), f.driver.scene.Y(0));
    TTrackingPoint* b = f.engine.AddPoint(tracking::MethodCorrelation, 70.5, 50.5);  // on still texture
    ASSERT_TRUE(a && b);
    // The stop button is pressed while frame 10 is being shown after its search.
    f.driver.onRefresh = [&] {
        if (f.engine.CurrentFrame() == 10 && a->Searched && f.engine.Running())
            f.engine.StopRun();
    };
    ASSERT_EQ(f.engine.StartRun(), StartOutcome::Started);
    EXPECT_EQ(f.Run(), TickOutcome::Stopped);

    EXPECT_FALSE(f.engine.Running());
    EXPECT_EQ(f.engine.LastStopReason(), StopReason::Stopped);
    EXPECT_EQ(f.engine.CurrentFrame(), 10);
    EXPECT_EQ(f.driver.loaded.back(), 10);  // nothing loaded after the stop
    for (TTrackingPoint* p : {a, b}) {
        EXPECT_TRUE(p->HasPositionAt(9));
        EXPECT_FALSE(p->HasPositionAt(10));
        EXPECT_FALSE(p->Searched);
        EXPECT_FALSE(p->Started);
        EXPECT_TRUE(p->Confirmed);
    }
    EXPECT_EQ(f.driver.status[0], PointStatus::Ready);

    // Started again, the run picks up at frame 9 (the last frame kept) and
    // finishes the range.
    f.driver.onRefresh = nullptr;
    ASSERT_EQ(f.engine.StartRun(), StartOutcome::Started);
    EXPECT_EQ(f.engine.ResumeFrame(), 9);
    EXPECT_EQ(f.Run(), TickOutcome::Finished);
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
    f.driver.loaded.clear();
    ASSERT_EQ(f.engine.StartRun(), StartOutcome::Started);
    EXPECT_EQ(p->DefinedFrame, 100);
    EXPECT_EQ(f.engine.ResumeFrame(), 100);
    EXPECT_EQ(f.Run(), TickOutcome::Finished);

    EXPECT_EQ(f.driver.loaded[0], 0);    // the range's first frame, at the start
    EXPECT_EQ(f.driver.loaded[1], 100);
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
    f.driver.loaded.clear();
    ASSERT_EQ(f.engine.StartRun(), StartOutcome::Started);
    EXPECT_EQ(f.Run(), TickOutcome::Finished);
    EXPECT_FALSE(p->HasGap(100, 200));
    std::vector<int> expected{0};
    for (int frame = 149; frame <= 161; ++frame)
        expected.push_back(frame);
    expected.push_back(200);
    EXPECT_EQ(f.driver.loaded, expected);
}

TEST(TrackingRun, RefusalsAndTheQuestionAboutPointsWithoutData)
{
    RunFixture f;
    f.driver.scene.texture = 10.0;
    f.Setup(0, 29);
    f.engine.GoToFrame(0);
    EXPECT_EQ(f.engine.StartRun(), StartOutcome::NoPoints);

    TTrackingPoint* p = f.engine.AddPoint(tracking::MethodCorrelation, 70.5, 50.5);  // still texture
    p->Enabled = false;
    EXPECT_EQ(f.engine.StartRun(), StartOutcome::NoPoints);
    p->Enabled = true;

    f.engine.MarkUnconfirmed(p);
    EXPECT_EQ(f.engine.StartRun(), StartOutcome::Unconfirmed);
    f.engine.ConfirmCurrent();
    EXPECT_FALSE(f.engine.UnconfirmedExist());

    // The point has data only on frame 0; a run over 40 ... 60 asks.
    f.engine.SetRange(40, 60, 40, 60);
    EXPECT_EQ(f.engine.StartRun(), StartOutcome::Question);
    ASSERT_EQ(f.engine.PointsWithoutData().size(), 1u);
    EXPECT_EQ(DefineOnCurrentFrameQuestion(f.engine.PointsWithoutData()),
              "The Following points have no data within the current range:\n\rPoint 0\n\r\n\r"
              "Do you Want To define the points on the Current Frame?");
    // While the question is open nothing else starts.
    EXPECT_EQ(f.engine.StartRun(), StartOutcome::AlreadyRunning);
    EXPECT_EQ(f.engine.AnswerDefineOnCurrentFrame(false), StartOutcome::Cancelled);
    EXPECT_FALSE(f.engine.Running());
    EXPECT_FALSE(p->HasPositionAt(40));

    // Yes: the point is put on frame 40 at its nearest stored position and
    // the run asks for it to be placed.
    ASSERT_EQ(f.engine.StartRun(), StartOutcome::Question);
    ASSERT_EQ(f.engine.AnswerDefineOnCurrentFrame(true), StartOutcome::Started);
    EXPECT_EQ(f.engine.CurrentFrame(), 40);
    EXPECT_TRUE(p->NeedsPlacing);
    EXPECT_EQ(p->RecordAt(40)->X, 70.5);
    EXPECT_EQ(p->DefinedFrame, 40);
    EXPECT_EQ(f.engine.CurrentPoint(), p);
    EXPECT_EQ(f.Run(), TickOutcome::WaitingForUser);
    EXPECT_EQ(f.engine.Question().kind, QuestionKind::Place);
    EXPECT_EQ(f.engine.Question().point, p);
    EXPECT_EQ(PanelMessageText(f.driver.reports.back().kind, p->Name), "Point 0 need to place");

    // Confirmed where it is: the run goes on from frame 40 to the end.
    const int ticks = f.driver.ticksScheduled;
    f.engine.ConfirmCurrent();
    EXPECT_EQ(f.engine.ResumeFrame(), 40);
    EXPECT_EQ(f.driver.ticksScheduled, ticks + 1);
    EXPECT_EQ(f.Run(), TickOutcome::Finished);
    EXPECT_FALSE(p->HasGap(40, 60));
}

TEST(TrackingRun, SemiAutoStopsOnEveryFrameUntilConfirmed)
{
    RunFixture f;
    f.Setup(0, 5);
    f.engine.GoToFrame(0);
    TTrackingPoint* p = f.engine.AddPoint(tracking::MethodCorrelation, f.driver.scene.X(0), f.driver.scene.Y(0));
    p->Mode = ModeSemiAuto;
    ASSERT_EQ(f.engine.StartRun(), StartOutcome::Started);
    for (int frame = 1; frame <= 5; ++frame) {
        ASSERT_EQ(f.Run(), TickOutcome::WaitingForUser) << frame;
        EXPECT_EQ(f.engine.CurrentFrame(), frame);
        EXPECT_EQ(f.engine.Question().kind, QuestionKind::Confirm);
        EXPECT_EQ(f.driver.reports.back().kind, PanelKind::NeedToConfirm);
        EXPECT_EQ(PanelColour(PanelKind::NeedToConfirm), 0xFF0000u);
        // No tick is due while the run waits.
        EXPECT_EQ(f.engine.OnTimerTick(), TickOutcome::Ignored);
        f.engine.ConfirmCurrent();
    }
    EXPECT_EQ(f.Run(), TickOutcome::Finished);
    EXPECT_FALSE(p->HasGap(0, 5));
}

// The engine driven one tick at a time, as the window's timer does: one
// frame per tick, a question answered between ticks, commands refused while
// a tick runs, and no frame loaded by a tick that was scheduled before Stop.
TEST(TrackingRun, TickByTickWithAQuestionInBetween)
{
    RunFixture f;
    f.driver.scene.vanishFrom = 6;
    f.driver.scene.stepY = 0.0;
    f.Setup(0, 12);
    f.engine.GoToFrame(0);
    TTrackingPoint* p = f.AddSpot(f.driver.scene.X(0), f.driver.scene.Y(0));
    ASSERT_NE(p, nullptr);
    ASSERT_EQ(f.engine.StartRun(), StartOutcome::Started);

    // Everything that would change the frame or the points under a tick is
    // refused while the tick runs.
    int refusals = 0;
    f.driver.onRefresh = [&] {
        if (!f.engine.InTick())
            return;
        refusals += f.engine.StartRun() == StartOutcome::AlreadyRunning;
        refusals += f.engine.AddPoint(tracking::MethodCorrelation, 50, 50) == nullptr;
        refusals += f.engine.DeleteSelectedPoints() == DeleteOutcome::Refused;
        refusals += !f.engine.GoToFrame(3);
        refusals += f.engine.OnTimerTick() == TickOutcome::Ignored;
    };
    for (int frame = 0; frame <= 5; ++frame) {
        f.driver.loaded.clear();
        ASSERT_EQ(f.engine.OnTimerTick(), TickOutcome::NextFrame) << frame;
        EXPECT_EQ(f.engine.CurrentFrame(), frame);
        EXPECT_EQ(f.engine.ResumeFrame(), frame + 1);
        EXPECT_LE(f.driver.loaded.size(), 1u);  // at most one frame per tick
        EXPECT_TRUE(p->HasPositionAt(frame));
        EXPECT_FALSE(p->HasPositionAt(frame + 1));
    }
    EXPECT_GT(refusals, 0);
    EXPECT_EQ(refusals % 5, 0);
    EXPECT_EQ(f.engine.Points().size(), 1);
    f.driver.onRefresh = nullptr;

    // Frame 6: the spot is gone and the run asks.
    ASSERT_EQ(f.engine.OnTimerTick(), TickOutcome::WaitingForUser);
    EXPECT_EQ(f.engine.CurrentFrame(), 6);
    EXPECT_EQ(f.engine.Question().kind, QuestionKind::LostBelowThreshold);
    EXPECT_EQ(f.engine.Question().point, p);

    // The user puts the point where they see it and confirms: the run goes
    // on from this frame, with this position kept.
    f.engine.MoveCurrentTo(40.25, 31.0);
    EXPECT_TRUE(f.engine.UnconfirmedExist());
    f.engine.ConfirmCurrent();
    EXPECT_FALSE(f.engine.WaitingForUser());
    EXPECT_EQ(f.engine.Question().kind, QuestionKind::None);
    EXPECT_EQ(f.engine.ResumeFrame(), 6);
    ASSERT_EQ(f.engine.OnTimerTick(), TickOutcome::NextFrame);
    EXPECT_EQ(p->RecordAt(6)->X, 40.25);
    EXPECT_EQ(p->RecordAt(6)->Y, 31.0);

    // Stop between ticks: the tick already scheduled does nothing.
    f.driver.loaded.clear();
    f.engine.StopRun();
    EXPECT_EQ(f.engine.LastStopReason(), StopReason::Stopped);
    EXPECT_EQ(f.engine.OnTimerTick(), TickOutcome::Ignored);
    EXPECT_TRUE(f.driver.loaded.empty());
    EXPECT_TRUE(p->HasPositionAt(6));
    EXPECT_FALSE(p->HasPositionAt(7));
}

// A textured target that leaves the picture through the right edge must be
// reported lost, not parked at its last position for the rest of the range.
TEST(TrackingRun, TargetLeavingThePictureIsLost)
{
    RunFixture f;
    f.driver.scene.stepX = 3.0;
    f.driver.scene.stepY = 0.0;
    f.driver.scene.texture = 10.0;
    f.Setup(0, 40);
    f.engine.GoToFrame(0);
    // A search area wide enough for 3 pixels a frame.
    tracking::SearchParameters params = TrackingEngine::DefaultParameters(tracking::MethodCorrelation);
    params.setSize(9, 9, 300);
    TTrackingPoint* p = f.engine.AddPoint(f.driver.scene.X(0), f.driver.scene.Y(0), params);
    ASSERT_EQ(f.engine.StartRun(), StartOutcome::Started);
    ASSERT_EQ(f.Run(), TickOutcome::WaitingForUser);
    EXPECT_EQ(f.engine.Question().point, p);
    const int lostAt = f.engine.CurrentFrame();
    // Lost while the spot's centre is still no farther than its own size
    // beyond the edge.
    EXPECT_LE(f.driver.scene.X(lostAt), f.driver.scene.width + 9.0);
    for (int frame = 0; frame < lostAt; ++frame)
        if (f.driver.scene.X(frame) + 9.0 <= f.driver.scene.width)  // clear of the border
            EXPECT_NEAR(p->RecordAt(frame)->X, f.driver.scene.X(frame), 0.5) << frame;
    f.engine.StopRun();
    EXPECT_FALSE(p->HasPositionAt(lostAt));
    EXPECT_TRUE(p->HasGap(lostAt, 40));
}

// A light-spot point with nothing but the defaults finds the spot's centre to
// a fraction of a pixel and follows it.
TEST(TrackingRun, SpotDefaultsFindTheCentre)
{
    for (const uint8_t method : {tracking::MethodLightSpot, tracking::MethodDarkSpot}) {
        RunFixture f;
        if (method == tracking::MethodDarkSpot)
            f.driver.scene.dark = true;
        f.Setup(0, 15);
        f.engine.GoToFrame(0);
        TTrackingPoint* p = f.engine.AddPoint(method, f.driver.scene.X(0) + 1.2, f.driver.scene.Y(0) - 0.9);
        ASSERT_NE(p, nullptr);
        EXPECT_GT(p->Params.ThresholdPercent, 0);
        EXPECT_NEAR(p->RecordAt(0)->X, f.driver.scene.X(0), 0.4) << int(method);
        EXPECT_NEAR(p->RecordAt(0)->Y, f.driver.scene.Y(0), 0.4) << int(method);
        ASSERT_EQ(f.engine.StartRun(), StartOutcome::Started);
        ASSERT_EQ(f.Run(), TickOutcome::Finished) << int(method);
        for (int frame = 1; frame <= 15; ++frame) {
            EXPECT_NEAR(p->RecordAt(frame)->X, f.driver.scene.X(frame), 0.4) << int(method) << " " << frame;
            EXPECT_NEAR(p->RecordAt(frame)->Y, f.driver.scene.Y(frame), 0.4) << int(method) << " " << frame;
        }
    }
}

// "Define on current frame" after an earlier run: the new run starts where
// the points are defined, not at the resume frame the earlier run left.
TEST(TrackingRun, DefiningOnTheCurrentFrameResumesThere)
{
    RunFixture f;
    f.driver.scene.stepX = 0.3;
    f.driver.scene.stepY = 0.2;
    f.Setup(0, 20);
    f.engine.GoToFrame(0);
    TTrackingPoint* p = f.AddSpot(f.driver.scene.X(0), f.driver.scene.Y(0));
    ASSERT_EQ(f.engine.StartRun(), StartOutcome::Started);
    ASSERT_EQ(f.Run(), TickOutcome::Finished);
    EXPECT_EQ(f.engine.ResumeFrame(), 20);

    f.engine.SetRange(50, 70, 50, 70);
    ASSERT_EQ(f.engine.StartRun(), StartOutcome::Question);
    ASSERT_EQ(f.engine.AnswerDefineOnCurrentFrame(true), StartOutcome::Started);
    EXPECT_EQ(f.engine.ResumeFrame(), 50);
    f.driver.loaded.clear();
    ASSERT_EQ(f.Run(), TickOutcome::WaitingForUser);
    EXPECT_TRUE(f.driver.loaded.empty());  // nothing loaded: it waits right here
    EXPECT_EQ(f.engine.CurrentFrame(), 50);
    EXPECT_EQ(f.engine.Question().kind, QuestionKind::Place);
    EXPECT_GE(f.driver.reports.back().percent, 0);
    EXPECT_EQ(f.driver.reports.back().done, 0);

    // The user drops the marker on the spot and confirms; the run follows it.
    f.engine.BeginDrag(p);
    f.engine.EndDrag(p, f.driver.scene.X(50) + 0.7, f.driver.scene.Y(50) + 0.5);
    f.engine.ConfirmCurrent();
    ASSERT_EQ(f.Run(), TickOutcome::Finished);
    for (int frame = 50; frame <= 70; ++frame)
        EXPECT_NEAR(p->RecordAt(frame)->X, f.driver.scene.X(frame), 0.25) << frame;

    // Stopped before placing, the stand-in position is not left behind.
    f.engine.SetRange(80, 90, 80, 90);
    ASSERT_EQ(f.engine.StartRun(), StartOutcome::Question);
    ASSERT_EQ(f.engine.AnswerDefineOnCurrentFrame(true), StartOutcome::Started);
    EXPECT_TRUE(p->HasPositionAt(80));
    ASSERT_EQ(f.Run(), TickOutcome::WaitingForUser);
    f.engine.StopRun();
    EXPECT_FALSE(p->HasPositionAt(80));
}

// Undo after a drag leaves nothing unconfirmed: the next run starts.
TEST(TrackingRun, UndoAfterADragAllowsTheNextRun)
{
    RunFixture f;
    f.Setup(0, 10);
    f.engine.GoToFrame(0);
    TTrackingPoint* p = f.AddSpot(f.driver.scene.X(0), f.driver.scene.Y(0));
    const double storedX = p->RecordAt(0)->X;

    f.engine.BeginDrag(p);
    EXPECT_EQ(f.driver.status[0], PointStatus::NeedToConfirm);
    f.engine.EndDrag(p, storedX + 15.0, p->RecordAt(0)->Y + 10.0);
    EXPECT_TRUE(f.engine.UnconfirmedExist());
    EXPECT_EQ(p->RecordAt(0)->X, storedX);  // not stored before it is confirmed
    EXPECT_EQ(f.engine.StartRun(), StartOutcome::Unconfirmed);

    f.engine.UndoCurrent();
    EXPECT_FALSE(f.engine.UnconfirmedExist());
    EXPECT_EQ(p->PosX, storedX);
    EXPECT_EQ(f.driver.status[0], PointStatus::Ready);
    EXPECT_EQ(f.engine.StartRun(), StartOutcome::Started);
    EXPECT_EQ(f.Run(), TickOutcome::Finished);
}

// A run that reaches its tick limit says so instead of passing for finished.
TEST(TrackingRun, TheTickLimitIsReportedAsSuch)
{
    RunFixture f;
    f.Setup(0, 29);
    f.engine.GoToFrame(0);
    f.AddSpot(f.driver.scene.X(0), f.driver.scene.Y(0));
    f.engine.SetTickLimit(5);
    ASSERT_EQ(f.engine.StartRun(), StartOutcome::Started);
    EXPECT_EQ(f.Run(), TickOutcome::StepLimit);
    EXPECT_EQ(f.engine.LastStopReason(), StopReason::StepLimit);
    EXPECT_EQ(f.driver.lastStop, StopReason::StepLimit);
    EXPECT_FALSE(f.engine.Running());
    EXPECT_FALSE(RunEndText(TickOutcome::StepLimit, -1).isEmpty());
}

// Enabling, disabling, modes and methods of the selected points.
TEST(TrackingRun, PointCommandsOfTheWindow)
{
    RunFixture f;
    f.Setup(0, 10);
    f.engine.GoToFrame(0);
    TTrackingPoint* a = f.engine.AddPoint(tracking::MethodCorrelation, 30, 30);
    TTrackingPoint* b = f.engine.AddPoint(tracking::MethodCorrelation, 60, 40);
    a->Selected = b->Selected = true;
    b->Enabled = false;
    f.engine.SyncSelection();
    EXPECT_EQ(f.engine.CurrentPoint(), nullptr);  // two selected: none is current
    f.engine.ToggleSelectedEnabled();             // one disabled: both enabled
    EXPECT_TRUE(a->Enabled && b->Enabled);
    f.engine.ToggleSelectedEnabled();
    EXPECT_FALSE(a->Enabled || b->Enabled);
    EXPECT_EQ(f.driver.status[1], PointStatus::Disabled);
    f.engine.SetSelectedMode(ModeManual);
    f.engine.SetSelectedMethod(tracking::MethodDarkSpot);
    EXPECT_EQ(a->Mode, ModeManual);
    EXPECT_EQ(b->Method(), tracking::MethodDarkSpot);
    f.engine.SelectOnly(b);
    EXPECT_EQ(f.engine.CurrentPoint(), b);
    EXPECT_FALSE(a->Selected);
}

TEST(TrackingRun, PanelTextsAndProgress)
{
    EXPECT_EQ(PanelMessageText(PanelKind::Searching, "P"), "Searching");
    EXPECT_EQ(PanelMessageText(PanelKind::LostCentre, "Point 3"), "Point 3 is LOST (Can't Find Centre)");
    EXPECT_EQ(PointStatusText(PointStatus::BelowThreshold), "Threshhold");
    EXPECT_EQ(PointStatusText(PointStatus::None), "");
    EXPECT_EQ(PointStatusText(PointStatus(11)), "");
    struct Case { int done, total, percent; };
    for (const Case& c : {Case{12, 29, 41}, Case{-5, 20, 0}, Case{30, 20, 100}, Case{0, 0, 100},
                          Case{-1, 0, 0}, Case{2000000000, 2100000000, 95}})
        EXPECT_EQ(ProgressPercent(c.done, c.total), c.percent) << c.done << "/" << c.total;
    struct Zoom { int view, search, zoom; };
    for (const Zoom& c : {Zoom{154, 16, 8}, Zoom{154, 2, 32}, Zoom{10, 16, 1}, Zoom{48, 16, 2},
                          Zoom{96, 16, 4}, Zoom{64, 2, 32}, Zoom{1000, 10, 32}})
        EXPECT_EQ(ZoomFactorFor(c.view, c.search), c.zoom) << c.view << "/" << c.search;
}

// The result buttons' series come from the current point, with exact frame
// times: one pixel a frame at 10,000 fps is 10,000 px/s and no acceleration.
TEST(TrackingRun, ResultSeriesOfTheCurrentPoint)
{
    RunFixture f;
    f.driver.frameRate = 10000;
    f.driver.scene.stepX = 1.0;
    f.driver.scene.stepY = 0.0;
    f.driver.scene.texture = 10.0;
    f.Setup(0, 40);
    f.engine.GoToFrame(0);
    TTrackingPoint* p = f.engine.AddPoint(tracking::MethodCorrelation, f.driver.scene.X(0), f.driver.scene.Y(0));
    for (int frame = 0; frame <= 40; ++frame)
        p->RecordAt(frame)->SetPosition(f.driver.scene.X(frame), 20.0);

    KinematicsSettings s;
    s.FrameWidth = f.driver.scene.width;
    s.FrameHeight = f.driver.scene.height;
    s.Clock = FrameClock(Rational(10000), 0);
    f.engine.SetCurrentPoint(nullptr);
    EXPECT_FALSE(f.engine.CurrentPointSeries(s, KinematicsQuantity::Velocity, false).has_value());
    f.engine.SetCurrentPoint(p);
    const auto v = f.engine.CurrentPointSeries(s, KinematicsQuantity::Velocity, false);
    ASSERT_TRUE(v.has_value());
    const auto a = f.engine.CurrentPointSeries(s, KinematicsQuantity::Acceleration, false);
    for (int i = 2; i <= 38; ++i) {
        EXPECT_DOUBLE_EQ(v->X[size_t(i)], 10000.0) << i;
        EXPECT_NEAR(a->X[size_t(i)], 0.0, 1e-6) << i;
    }
}

// Two points lost on the same frame are asked about one after the other;
// confirming the first does not pass the second off as tracked.
TEST(TrackingRun, EveryLostPointIsAskedAbout)
{
    RunFixture f;
    f.driver.scene.vanishFrom = 4;
    f.Setup(0, 10);
    f.engine.GoToFrame(0);
    TTrackingPoint* a = f.AddSpot(f.driver.scene.X(0), f.driver.scene.Y(0));
    TTrackingPoint* b = f.AddSpot(f.driver.scene.X(0) + 0.5, f.driver.scene.Y(0));
    ASSERT_TRUE(a && b);
    ASSERT_EQ(f.engine.StartRun(), StartOutcome::Started);
    ASSERT_EQ(f.Run(), TickOutcome::WaitingForUser);
    EXPECT_EQ(f.engine.CurrentFrame(), 4);
    EXPECT_EQ(f.engine.Question().point, a);
    EXPECT_FALSE(b->HasPositionAt(4));  // not kept while it waits its turn

    f.engine.MoveCurrentTo(33.5, 32.0);
    f.engine.ConfirmCurrent();
    ASSERT_EQ(f.Run(), TickOutcome::WaitingForUser);
    EXPECT_EQ(f.engine.CurrentFrame(), 4);
    EXPECT_EQ(f.engine.Question().point, b);
    EXPECT_EQ(a->RecordAt(4)->X, 33.5);
}

// Recordings with pre-trigger frames count from below zero; frame -1 is a
// frame like any other, for the run and for where it resumes.
TEST(TrackingRun, TracksThroughNegativeFramesIncludingMinusOne)
{
    for (const int first : {-2, -4, -1}) {
        SCOPED_TRACE(first);
        RunFixture f;
        f.driver.firstFrame = first;
        f.driver.frameCount = 8;
        f.Setup(first, first + 7);
        f.engine.GoToFrame(first);
        TTrackingPoint* p = f.AddSpot(f.driver.scene.X(0) + 0.5, f.driver.scene.Y(0) - 0.5);
        ASSERT_NE(p, nullptr);
        ASSERT_EQ(f.engine.StartRun(), StartOutcome::Started);
        EXPECT_EQ(f.engine.ResumeFrame(), first);
        EXPECT_EQ(f.Run(), TickOutcome::Finished);
        EXPECT_EQ(f.engine.LastStopReason(), StopReason::Finished);
        for (int frame = first; frame <= first + 7; ++frame) {
            const TrackRecord* r = p->RecordAt(frame);
            ASSERT_EQ(r->Status, 1) << frame;
            EXPECT_NEAR(r->X, f.driver.scene.X(frame - first), 0.25) << frame;
        }
    }
}
