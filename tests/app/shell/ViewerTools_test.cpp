// The viewer's mouse tools driven through the main window: which drags nudge
// the docked brightness frame, and what "Zoom Out" does to a click.

#include "adjust/AdjustmentEntry.h"
#include "app/shell/MainWindow.h"
#include "document/ui/ImageView.h"
#include "document/ui/ZoomFrame.h"
#include "document/window/ErrorBox.h"
#include "document/window/VideoWindow.h"
#include "overlays/ui/FrameAnno.h"
#include "overlays/ui/FrameCalib.h"
#include "overlays/ui/FrameLogo.h"
#include "sources/bvf/SampleScene.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include <QApplication>
#include <QMouseEvent>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

class ViewerToolsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetErrorBoxSink([](const QString&) {});
        ASSERT_TRUE(dir.isValid());
        bvf::SampleOptions options;
        options.size = QSize(320, 240);
        options.frames = 3;
        const QString path = dir.filePath(QStringLiteral("a.bvf"));
        QString error;
        ASSERT_TRUE(bvf::WriteSampleRecording(path, options, &error)) << error.toStdString();
        main.OpenFiles({path});
        ASSERT_EQ(main.VideoWindows.size(), 1);
        view = main.VideoWindows[0]->view();
    }
    void TearDown() override { SetErrorBoxSink({}); }

    void mouse(QEvent::Type type, QPointF at, Qt::MouseButton button, Qt::MouseButtons buttons)
    {
        QMouseEvent event(type, at, view->viewport()->mapToGlobal(at), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(view->viewport(), &event);
    }
    // Press, move down by 20 pixels in four steps, release.
    void dragDown(Qt::MouseButton button = Qt::LeftButton)
    {
        const QPointF from(60, 60);
        mouse(QEvent::MouseButtonPress, from, button, button);
        for (int i = 1; i <= 4; ++i)
            mouse(QEvent::MouseMove, from + QPointF(0, 5 * i), Qt::NoButton, button);
        mouse(QEvent::MouseButtonRelease, from + QPointF(0, 20), button, Qt::NoButton);
    }
    int brightness() const
    {
        const AdjustmentEntry* entry = FindEntry(main.VideoWindows[0]->document()->Adjustments, KindBrightness);
        return entry ? entry->As<BrightnessEntry>()->Offset : 0;
    }

    QTemporaryDir dir;
    TQorMain main;
    ImageView* view = nullptr;
};

} // namespace

TEST_F(ViewerToolsTest, PanDragLeavesTheBrightnessAndAFreeDragChangesIt)
{
    main.PressToolButton(TQorMain::BrightnessTool, true);
    ASSERT_NE(main.DockedFrame(), nullptr);
    const int before = brightness();

    auto* pan = main.findChild<QToolButton*>(QStringLiteral("Scrollbut"));
    ASSERT_NE(pan, nullptr);
    pan->setChecked(true);
    dragDown();
    EXPECT_EQ(brightness(), before);

    pan->setChecked(false);
    dragDown();
    EXPECT_EQ(brightness(), before - 4); // one step per move, down darkens
    EXPECT_TRUE(main.statusBar()->currentMessage().startsWith(QStringLiteral("Brightness ")))
        << main.statusBar()->currentMessage().toStdString();
}

TEST_F(ViewerToolsTest, ZoomOutButtonClicksZoomInWithLeftAndOutWithOtherButtons)
{
    main.PressToolButton(TQorMain::ZoomTool, true);
    auto* frame = qobject_cast<TZoomFrame*>(main.DockedFrame());
    ASSERT_NE(frame, nullptr);
    frame->ToolButton2->setChecked(true);
    EXPECT_FALSE(view->fitMode());
    const double scale = view->scale();
    EXPECT_NE(view->viewport()->cursor().shape(), Qt::ArrowCursor); // the zoom-in cursor

    mouse(QEvent::MouseButtonPress, {50, 50}, Qt::LeftButton, Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, {50, 50}, Qt::LeftButton, Qt::NoButton);
    EXPECT_NEAR(view->scale(), scale + 0.1, 1e-9);
    mouse(QEvent::MouseButtonPress, {50, 50}, Qt::RightButton, Qt::RightButton);
    mouse(QEvent::MouseButtonRelease, {50, 50}, Qt::RightButton, Qt::NoButton);
    EXPECT_NEAR(view->scale(), scale, 1e-9);

    frame->ToolButton2->setChecked(false);
    mouse(QEvent::MouseButtonPress, {50, 50}, Qt::LeftButton, Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, {50, 50}, Qt::LeftButton, Qt::NoButton);
    EXPECT_NEAR(view->scale(), scale, 1e-9);
}

TEST_F(ViewerToolsTest, ZoomOutStaysWithItsDocument)
{
    bvf::SampleOptions options;
    options.size = QSize(64, 48);
    options.frames = 2;
    const QString path = dir.filePath(QStringLiteral("b.bvf"));
    QString error;
    ASSERT_TRUE(bvf::WriteSampleRecording(path, options, &error)) << error.toStdString();
    main.OpenFiles({path});
    ASSERT_EQ(main.VideoWindows.size(), 2);
    TQORVideo* first = main.VideoWindows[0];
    TQORVideo* second = main.VideoWindows[1];

    main.ActivateVideo(second);
    main.PressToolButton(TQorMain::ZoomTool, true);
    auto* frame = qobject_cast<TZoomFrame*>(main.DockedFrame());
    ASSERT_NE(frame, nullptr);
    frame->ToolButton2->setChecked(true);
    EXPECT_TRUE(second->view()->clickZoomMode());

    main.ActivateVideo(first);
    EXPECT_FALSE(frame->zoomOutDown());
    EXPECT_FALSE(first->view()->clickZoomMode());
    main.ActivateVideo(second);
    EXPECT_TRUE(frame->zoomOutDown());
}

TEST_F(ViewerToolsTest, CalibrationPicksGoThroughTheView)
{
    main.PressToolButton(TQorMain::CalibrateTool, true);
    auto* frame = qobject_cast<TCalibFrame*>(main.DockedFrame());
    ASSERT_NE(frame, nullptr);
    frame->selPoints->click();
    EXPECT_EQ(view->viewport()->cursor().shape(), Qt::CrossCursor);
    for (QPointF image : {QPointF(10, 20), QPointF(40, 60)}) {
        const QPointF at = view->mapToView(image);
        mouse(QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
        mouse(QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
    }
    EXPECT_FALSE(frame->selPoints->isChecked());
    frame->realDist->setText(QStringLiteral("25"));
    frame->calunitSelect->setCurrentIndex(1);
    frame->workoutcal->click();
    const RecordingInfo& info = main.VideoWindows[0]->document()->Info;
    EXPECT_NEAR(info.PixelsPerUnit, 2.0f, 0.02f); // the clicks land within a view pixel
    EXPECT_EQ(info.CalUnitIndex, 1);
    frame->GRidSpeed->click();
    EXPECT_TRUE(view->overlay().GridVisible);
    EXPECT_FLOAT_EQ(float(view->overlay().Grid.PixelsPerUnit), info.PixelsPerUnit);
    EXPECT_EQ(view->overlay().Grid.GridSize, 25.0);
}

TEST_F(ViewerToolsTest, AnnotationAndLogoFramesDockFromTheirButtons)
{
    main.DefaultFont.Name = QStringLiteral("DejaVu Sans");
    main.DefaultFont.Size = 12; // points: a 16-pixel character cell
    main.DefaultFont.Colour = 0x000000FF;
    main.PressToolButton(TQorMain::AnnotateTool, true);
    auto* anno = qobject_cast<TAnnoFrame*>(main.DockedFrame());
    ASSERT_NE(anno, nullptr);
    EXPECT_EQ(anno->AnnFont().AnnFontName, QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(anno->AnnFont().AnnFontSize, 16);
    EXPECT_EQ(anno->AnnFont().AnnFontColour, 0x000000FFu);
    main.PressToolButton(TQorMain::LogoTool, true);
    EXPECT_NE(qobject_cast<TLogoFrame*>(main.DockedFrame()), nullptr);
}
