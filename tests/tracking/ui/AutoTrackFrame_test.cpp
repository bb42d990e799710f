// The tracking frame driven through the main window as a user drives it:
// points placed by clicks in the view, selection through the list and the
// markers, the enable toggle, the zoom view, a run over a sample recording
// through the transport (the same track as qorplayer-cli track), a lost
// point's question, and a drop during a run.

#include "app/shell/MainWindow.h"
#include "document/ui/ImageView.h"
#include "document/ui/TrackingMarkers.h"
#include "document/window/ErrorBox.h"
#include "document/window/VideoWindow.h"
#include "sources/bvf/SampleScene.h"
#include "tracking/engine/TrackingExport.h"
#include "tracking/ui/AutoTrackFrame.h"
#include "tracking/ui/TrackingZoomView.h"

#include "CliRunner.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTreeWidget>
#include <gtest/gtest.h>
#include <functional>

namespace {

class TrackingFrameTest : public ::testing::Test {
protected:
    void open(int frames)
    {
        SetErrorBoxSink([this](const QString& m) { messages << m; });
        ASSERT_TRUE(dir.isValid());
        bvf::SampleOptions options;
        options.frames = frames;
        sample = dir.filePath(QStringLiteral("s.bvf"));
        QString error;
        ASSERT_TRUE(bvf::WriteSampleRecording(sample, options, &error)) << error.toStdString();
        // Tests that close a window with points in it do not keep them.
        main.Analyses().AskSave = [](const QString&) { return AnalysisKeeper::Answer::Discard; };
        main.OpenFiles({sample});
        ASSERT_EQ(main.VideoWindows.size(), 1);
        video = main.VideoWindows[0];
        view = video->view();
        view->setFitMode(false);
        view->setScale(1.0);
        main.PressToolButton(TQorMain::TrackTool, true);
        frame = qobject_cast<TAutoTRackFrame*>(main.DockedFrame());
        ASSERT_NE(frame, nullptr);
        frame->MessageBox = [this](const QString& text, bool question) {
            messages << text;
            return question ? answer : true;
        };
    }
    void TearDown() override { SetErrorBoxSink({}); }

    void mouse(QEvent::Type type, QPointF imagePoint, Qt::MouseButton button, Qt::MouseButtons buttons,
               Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        const QPointF at = view->mapToView(imagePoint);
        QMouseEvent event(type, at, view->viewport()->mapToGlobal(at), button, buttons, modifiers);
        QApplication::sendEvent(view->viewport(), &event);
    }
    void click(QPointF imagePoint, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        mouse(QEvent::MouseButtonPress, imagePoint, Qt::LeftButton, Qt::LeftButton, modifiers);
        mouse(QEvent::MouseButtonRelease, imagePoint, Qt::LeftButton, Qt::NoButton, modifiers);
    }
    void drag(QPointF from, QPointF to)
    {
        mouse(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        for (int i = 1; i <= 4; ++i)
            mouse(QEvent::MouseMove, from + (to - from) * (i / 4.0), Qt::NoButton, Qt::LeftButton);
        mouse(QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
    }
    // Places a point with the placement button of `method` and one click.
    TTrackingPoint* place(int method, QPointF at)
    {
        QToolButton* buttons[4] = {frame->ToolButton1, frame->ToolButton2, frame->ToolButton3, frame->ToolButton4};
        if (!buttons[method]->isChecked())
            buttons[method]->click();
        const int before = points().size();
        click(at);
        return points().size() == before + 1 ? points().at(before) : nullptr;
    }
    TrackingPointList& points() { return video->document()->TrackingPoints(); }
    // Lets the event loop run (timers, repaints) until `done`; gives up
    // after a generous while so that a broken run fails instead of hanging.
    bool runUntil(const std::function<bool()>& done)
    {
        QElapsedTimer t;
        t.start();
        while (!done() && t.elapsed() < 60000)
            QApplication::processEvents(QEventLoop::AllEvents, 20);
        return done();
    }
    void goToFrame(int n) { main.SetTime(video->document()->TimeOfFrame(n)); }

    QTemporaryDir dir;
    QString sample;
    TQorMain main;
    TQORVideo* video = nullptr;
    ImageView* view = nullptr;
    TAutoTRackFrame* frame = nullptr;
    QStringList messages;
    bool answer = true;
};

QPointF Target(const std::function<QPointF(int, QSize)>& path, int frame)
{
    return path(frame, bvf::kDefaultSampleSize) + QPointF(0.5, 0.5);
}

} // namespace

TEST_F(TrackingFrameTest, ClicksPlacePointsAndSelectionFollowsListAndMarkers)
{
    open(3);
    const Frame shown = video->document()->DisplayBitmap;
    TTrackingPoint* quad = place(0, Target(bvf::quadrantCentreAt, 0) + QPointF(1, -1));
    TTrackingPoint* light = place(1, Target(bvf::lightSpotCentreAt, 0));
    ASSERT_NE(quad, nullptr);
    ASSERT_NE(light, nullptr);
    EXPECT_EQ(quad->Name, QStringLiteral("Point 0"));
    EXPECT_EQ(light->Method(), 1);
    // The wide search centred the click on the target.
    EXPECT_NEAR(quad->DisplayX, Target(bvf::quadrantCentreAt, 0).x(), 0.5);
    ASSERT_EQ(frame->ListView1->topLevelItemCount(), 2);
    EXPECT_EQ(frame->ListView1->topLevelItem(1)->text(0), QStringLiteral("Point 1"));
    EXPECT_EQ(frame->ListView1->topLevelItem(1)->text(5), QStringLiteral("Ready"));
    // The new point alone is selected and shown in the zoom view.
    EXPECT_EQ(frame->CurrentPoint(), light);
    EXPECT_FALSE(quad->Selected);
    EXPECT_TRUE(frame->ZoomView()->isVisibleTo(frame));
    // Markers are a layer of the view: the picture itself is untouched.
    EXPECT_TRUE(video->document()->DisplayBitmap == shown);
    const TrackingMarker m = TrackingMarkerFor(*quad, view->mapping());
    EXPECT_TRUE(m.visible);
    EXPECT_EQ(m.box.size(), QSize(16, 16)); // 9 x 9 template at scale 1

    // Two rows selected: no current point, no zoom view.
    frame->ToolButton1->click(); // placement off: clicks select
    frame->ListView1->topLevelItem(0)->setSelected(true);
    EXPECT_TRUE(quad->Selected && light->Selected);
    EXPECT_EQ(frame->CurrentPoint(), nullptr);
    EXPECT_FALSE(frame->ZoomView()->isVisibleTo(frame));

    // Ctrl-click on a marker toggles that point and keeps the others.
    click(QPointF(quad->DisplayX, quad->DisplayY), Qt::ControlModifier);
    EXPECT_FALSE(quad->Selected);
    EXPECT_TRUE(light->Selected);
    EXPECT_EQ(frame->CurrentPoint(), light);
    EXPECT_FALSE(frame->ListView1->topLevelItem(0)->isSelected());
    // A plain click selects it alone.
    click(QPointF(quad->DisplayX, quad->DisplayY));
    EXPECT_TRUE(quad->Selected);
    EXPECT_FALSE(light->Selected);
    EXPECT_EQ(frame->CurrentPoint(), quad);
    EXPECT_TRUE(frame->ZoomView()->isVisibleTo(frame));

    // The zoom factor stays within 2 ... 32.
    for (int i = 0; i < 8; ++i)
        frame->ZoomIn();
    EXPECT_EQ(quad->ZoomFactor, 32);
    for (int i = 0; i < 8; ++i)
        frame->ZoomOut();
    EXPECT_EQ(quad->ZoomFactor, 2);
    EXPECT_EQ(frame->ZoomView()->content().zoom, 2);
}

TEST_F(TrackingFrameTest, EnableToggleOnAMixedSelectionEnablesAllThenDisablesAll)
{
    open(3);
    TTrackingPoint* a = place(0, Target(bvf::quadrantCentreAt, 0));
    TTrackingPoint* b = place(1, Target(bvf::lightSpotCentreAt, 0));
    ASSERT_TRUE(a && b);
    b->Enabled = false;
    a->Selected = b->Selected = true;
    frame->SyncSelection();
    frame->TRackTargetBut->click();
    EXPECT_TRUE(a->Enabled && b->Enabled);
    frame->TRackTargetBut->click();
    EXPECT_FALSE(a->Enabled || b->Enabled);
    EXPECT_EQ(frame->ListView1->topLevelItem(1)->text(5), QStringLiteral("Disabled.."));
}

TEST_F(TrackingFrameTest, FineFocusInTheZoomViewWaitsForConfirm)
{
    open(3);
    TTrackingPoint* p = place(2, Target(bvf::darkSpotCentreAt, 0));
    ASSERT_NE(p, nullptr);
    TrackingZoomView* zoom = frame->ZoomView();
    const QPointF target = QPointF(p->PosX + 0.75, p->PosY - 1.25);
    const QPointF at = zoom->toView(target);
    QMouseEvent press(QEvent::MouseButtonPress, at, zoom->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(zoom, &press);
    EXPECT_TRUE(zoom->crossHairVisible());
    QMouseEvent release(QEvent::MouseButtonRelease, at, zoom->mapToGlobal(at), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(zoom, &release);
    EXPECT_NEAR(p->PosX, target.x(), 1e-9);
    EXPECT_NEAR(p->PosY, target.y(), 1e-9);
    EXPECT_FALSE(p->Confirmed);
    EXPECT_EQ(frame->ListView1->topLevelItem(0)->text(5), QStringLiteral("Need to Confirm"));
    // An unconfirmed point refuses the run until it is confirmed.
    frame->btnTrackPoints->click();
    EXPECT_FALSE(frame->IsRunning());
    EXPECT_EQ(messages.last(), QStringLiteral("Please confirm all the points before start tracking."));
    frame->ToolButton49->click();
    EXPECT_TRUE(p->Confirmed);
    EXPECT_NEAR(p->RecordAt(0)->X, target.x(), 1e-9);
}

TEST_F(TrackingFrameTest, AnotherFrameDropsAnUnconfirmedMoveAndTheRunMayStart)
{
    open(6);
    TTrackingPoint* p = place(2, Target(bvf::darkSpotCentreAt, 0));
    ASSERT_NE(p, nullptr);
    const QPointF stored(p->PosX, p->PosY);
    frame->ListView1->setFocus();
    drag(stored, stored + QPointF(6, 4));
    EXPECT_FALSE(p->Confirmed);
    EXPECT_EQ(frame->ListView1->topLevelItem(0)->text(5), QStringLiteral("Need to Confirm"));

    goToFrame(1);
    EXPECT_TRUE(p->Confirmed);
    EXPECT_EQ(p->Mark, MarkConfirmed);
    EXPECT_EQ(p->RecordAt(0)->X, stored.x()); // the move was never stored
    EXPECT_NE(frame->ListView1->topLevelItem(0)->text(5), QStringLiteral("Need to Confirm"));
    frame->btnTrackPoints->click();
    EXPECT_FALSE(messages.contains(QStringLiteral("Please confirm all the points before start tracking.")));
    EXPECT_TRUE(runUntil([&] { return !frame->IsRunning() || frame->WaitingForUser(); }));
}

TEST_F(TrackingFrameTest, RunThroughTheTransportGivesTheCommandLineTrack)
{
    if (!CliBuilt())
        GTEST_SKIP() << "qorplayer-cli not built";
    const int frames = 40;
    open(frames);
    const QPointF clicks[2] = {Target(bvf::quadrantCentreAt, 0) + QPointF(1.2, -1.5),
                               Target(bvf::lightSpotCentreAt, 0) + QPointF(-0.8, 1.0)};
    ASSERT_NE(place(0, clicks[0]), nullptr);
    ASSERT_NE(place(1, clicks[1]), nullptr);
    frame->btnTrackPoints->click();
    ASSERT_TRUE(frame->IsRunning());
    EXPECT_EQ(frame->btnTrackPoints->text(), QStringLiteral("Stop Tracking"));
    ASSERT_TRUE(runUntil([&] { return !frame->IsRunning() || frame->WaitingForUser(); }));
    ASSERT_FALSE(frame->WaitingForUser()) << frame->LabelMessage->text().toStdString();
    EXPECT_EQ(frame->btnTrackPoints->text(), QStringLiteral("Auto Track"));
    EXPECT_FALSE(frame->btnTrackPoints->isChecked());
    // The run moved the common time: the document shows the range's last
    // frame, in its view too (the run hands frames to the view only when it
    // paints).
    EXPECT_EQ(video->document()->Info.CurrentFrame, frames - 1);
    EXPECT_TRUE(view->frame() == video->document()->DisplayBitmap);
    EXPECT_EQ(main.Playback().CommonTime(), video->document()->TimeOfFrame(frames - 1));

    const QString out = dir.filePath(QStringLiteral("cli.csv"));
    const CliRun r = RunCli({"track", sample, "--csv", out,
                             "--point", QStringLiteral("%1,%2,quadrant").arg(clicks[0].x()).arg(clicks[0].y()),
                             "--point", QStringLiteral("%1,%2,light").arg(clicks[1].x()).arg(clicks[1].y())});
    ASSERT_EQ(r.exitCode, 0) << r.errorText.toStdString();
    TrackingExportInfo info;
    info.FirstFrame = 0;
    info.FrameRate = video->document()->Info.FrameRate;
    info.Kinematics.FrameWidth = bvf::kDefaultSampleSize.width();
    info.Kinematics.FrameHeight = bvf::kDefaultSampleSize.height();
    for (int i = 0; i < 2; ++i) {
        QFile cli(dir.filePath(QStringLiteral("cli-Point %1.csv").arg(i)));
        ASSERT_TRUE(cli.open(QIODevice::ReadOnly)) << i;
        const QByteArray ours = TrackingCsv(*points().at(i), info);
        EXPECT_EQ(ours, cli.readAll()) << "Point " << i;
        for (int f = 0; f < frames; ++f)
            EXPECT_TRUE(points().at(i)->HasPositionAt(f)) << i << " " << f;
    }
}

TEST_F(TrackingFrameTest, LostPointAsksAndConfirmGoesOnFromThatFrame)
{
    open(20);
    goToFrame(5);
    // A quadrant point on plain background: its centre is never found.
    TTrackingPoint* p = place(0, QPointF(400, 250));
    ASSERT_NE(p, nullptr);
    frame->btnTrackPoints->click();
    ASSERT_TRUE(runUntil([&] { return frame->WaitingForUser() || !frame->IsRunning(); }));
    ASSERT_TRUE(frame->WaitingForUser());
    EXPECT_TRUE(frame->LabelMessage->text().startsWith(QStringLiteral("Point 0 is LOST ("))) << frame->LabelMessage->text().toStdString();
    EXPECT_TRUE(frame->PanelMessage->isVisibleTo(frame));
    EXPECT_EQ(video->document()->Info.CurrentFrame, 6);
    EXPECT_EQ(frame->CurrentPoint(), p);

    // The user accepts where it is; the run goes on and asks on the next frame.
    frame->ToolButton49->click();
    EXPECT_TRUE(p->HasPositionAt(6));
    EXPECT_FALSE(frame->WaitingForUser());
    ASSERT_TRUE(runUntil([&] { return frame->WaitingForUser() || !frame->IsRunning(); }));
    EXPECT_EQ(video->document()->Info.CurrentFrame, 7);

    // Stopping discards what was searched on the frame it stopped in.
    frame->btnTrackPoints->click();
    EXPECT_FALSE(frame->IsRunning());
    EXPECT_FALSE(frame->PanelMessage->isVisibleTo(frame));
    EXPECT_TRUE(p->HasPositionAt(6));
    EXPECT_FALSE(p->HasPositionAt(7));
}

TEST_F(TrackingFrameTest, DropDuringARunThatDoesNotWaitIsNotSearched)
{
    open(20);
    TTrackingPoint* p = place(0, Target(bvf::quadrantCentreAt, 0));
    ASSERT_NE(p, nullptr);
    frame->ToolButton1->click();
    frame->btnTrackPoints->click();
    ASSERT_TRUE(frame->IsRunning());
    ASSERT_FALSE(frame->WaitingForUser());
    // The first frame waits for the timer: drag the marker 4 pixels away.
    const QPointF from(p->DisplayX, p->DisplayY);
    const QPointF to = from + QPointF(4, 3);
    drag(from, to);
    EXPECT_NEAR(p->PosX, to.x(), 1e-6);  // no search pulled it back onto the target
    EXPECT_NEAR(p->PosY, to.y(), 1e-6);
    EXPECT_EQ(p->Mark, MarkUnconfirmed);
    frame->btnTrackPoints->click();
    EXPECT_FALSE(frame->IsRunning());

    // Without a run the same drop is centred by the search.
    drag(QPointF(p->DisplayX, p->DisplayY), QPointF(p->DisplayX, p->DisplayY) + QPointF(4, 3));
    EXPECT_NEAR(p->PosX, Target(bvf::quadrantCentreAt, 0).x(), 0.5);
    EXPECT_NEAR(p->PosY, Target(bvf::quadrantCentreAt, 0).y(), 0.5);
}

TEST_F(TrackingFrameTest, SpreadsheetIsOpenedOrItsPathIsReported)
{
    open(20);
    ASSERT_NE(place(1, Target(bvf::lightSpotCentreAt, 0)), nullptr);
    const QString path = dir.filePath(QStringLiteral("p.xlsx"));
    frame->SaveFileName = [&](const QString&, const QString&, const QString&) { return path; };
    QStringList opened;
    bool desktopOpens = true;
    frame->OpenDocument = [&](const QString& p) {
        opened << p;
        return desktopOpens;
    };
    messages.clear();
    frame->ToExcelBut->click();
    EXPECT_TRUE(QFile::exists(path));
    EXPECT_EQ(opened, QStringList{path});
    EXPECT_TRUE(messages.isEmpty()) << messages.join('|').toStdString();

    desktopOpens = false; // no application for .xlsx on this desktop
    frame->ToExcelBut->click();
    EXPECT_EQ(messages, QStringList{path + QStringLiteral(" Saved")});
}

TEST_F(TrackingFrameTest, RenameAndDeleteThroughTheList)
{
    open(3);
    ASSERT_NE(place(0, Target(bvf::quadrantCentreAt, 0)), nullptr);
    ASSERT_NE(place(1, Target(bvf::lightSpotCentreAt, 0)), nullptr);
    ASSERT_NE(place(2, Target(bvf::darkSpotCentreAt, 0)), nullptr);

    // Renaming a row renames the point, its combo item and its label.
    frame->ListView1->topLevelItem(1)->setText(0, QStringLiteral("Left wheel"));
    EXPECT_EQ(points().at(1)->Name, QStringLiteral("Left wheel"));
    EXPECT_EQ(frame->ZoomComboEx->itemText(2), QStringLiteral("Left wheel"));

    // Nothing selected: a message and nothing deleted.
    for (const auto& p : points())
        p->Selected = false;
    frame->SyncSelection();
    frame->DeletePointBut->click();
    EXPECT_EQ(messages.last(), QStringLiteral("No Points to delete selected"));
    EXPECT_EQ(points().size(), 3);

    // Cancel keeps the points; OK deletes the selected one, whose id is
    // then the first free one again.
    frame->SelectOnly(0);
    answer = false;
    frame->DeletePointBut->click();
    EXPECT_EQ(points().size(), 3);
    answer = true;
    frame->DeletePointBut->click();
    EXPECT_EQ(messages.last(), QStringLiteral("Are you sure you want to delete ALL the selected Points?"));
    ASSERT_EQ(points().size(), 2);
    EXPECT_EQ(frame->ListView1->topLevelItemCount(), 2);
    EXPECT_EQ(frame->ZoomComboEx->count(), 3);
    TTrackingPoint* again = place(0, Target(bvf::quadrantCentreAt, 0));
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->Name, QStringLiteral("Point 0"));

    // Closing the document leaves the frame with nothing to work on.
    video->close();
    QApplication::processEvents();
    EXPECT_EQ(main.DockedFrame() ? qobject_cast<TAutoTRackFrame*>(main.DockedFrame())->Engine() : nullptr, nullptr);
}

TEST_F(TrackingFrameTest, ThePlacedOriginIsDrawnOnTheViewOnly)
{
    open(5);
    const auto magentaAround = [](const QImage& image, QPoint at) {
        int n = 0;
        for (int y = at.y() - 10; y <= at.y() + 10; ++y)
            for (int x = at.x() - 10; x <= at.x() + 10; ++x)
                if (image.valid(x, y) && image.pixel(x, y) == OriginMarkerColour)
                    ++n;
        return n;
    };
    QApplication::processEvents(); // the window laid out: the view's mapping holds
    const QPoint centre = view->viewport()->rect().center();
    const QPointF origin = view->mapToImage(centre).toPoint();
    const QPoint shown = view->mapToView(origin).toPoint();
    EXPECT_EQ(magentaAround(view->viewport()->grab().toImage(), shown), 0);

    frame->SpeedButton1->click();
    click(origin);
    ASSERT_TRUE(frame->HasOrigin());
    EXPECT_EQ(frame->Origin(), origin);
    EXPECT_FALSE(frame->SpeedButton1->isChecked());
    // The cross through the origin: 21 pixels each way at least.
    EXPECT_GE(magentaAround(view->viewport()->grab().toImage(), shown), 40);

    // Never in the picture that is exported or copied.
    video->CopyToClipboard();
    const QImage picture = video->document()->DisplayBitmap.toImage();
    EXPECT_EQ(magentaAround(picture, origin.toPoint()), 0);
    EXPECT_EQ(magentaAround(QApplication::clipboard()->image(), origin.toPoint()), 0);

    // Another frame: the origin stays where it was placed.
    goToFrame(3);
    EXPECT_GE(magentaAround(view->viewport()->grab().toImage(), view->mapToView(origin).toPoint()), 40);
}
