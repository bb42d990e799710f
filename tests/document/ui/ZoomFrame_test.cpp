#include "document/ui/ZoomFrame.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QMenu>
#include <QSignalSpy>
#include <QSlider>
#include <QToolButton>
#include <gtest/gtest.h>

TEST(ZoomFrame, ControlsAndTexts)
{
    TZoomFrame frame;
    EXPECT_EQ(frame.size(), QSize(300, 167));
    EXPECT_EQ(frame.ToolButton2->toolTip(), QStringLiteral("Zoom Out"));
    EXPECT_EQ(frame.ZoomwatchBut->toolTip(), QStringLiteral("Zoom Watch"));
    QStringList items;
    for (int i = 0; i < frame.ZoomModeCombo->count(); ++i)
        items << frame.ZoomModeCombo->itemText(i);
    EXPECT_EQ(items, (QStringList{"Basic", "Linear", "Quadratic", "Advanced"}));
    QStringList percents;
    QString ticked;
    for (QAction* a : frame.ToolButton6->menu()->actions()) {
        percents << a->text();
        if (a->isChecked())
            ticked = a->text();
    }
    EXPECT_EQ(percents, (QStringList{"50%", "100%", "150%", "200%", "400%", "800%"}));
    EXPECT_EQ(ticked, QStringLiteral("100%"));
    EXPECT_TRUE(frame.MagnMagnification->isHidden());
    EXPECT_EQ(frame.MagnMagnification->value(), 10);
}

TEST(ZoomFrame, ButtonsEmitAndAreaAndWatchAreGrouped)
{
    TZoomFrame frame;
    QSignalSpy area(&frame, &TZoomFrame::zoomAreaToggled);
    QSignalSpy watch(&frame, &TZoomFrame::zoomWatchToggled);
    QSignalSpy percent(&frame, &TZoomFrame::zoomPercentChosen);
    QSignalSpy level(&frame, &TZoomFrame::magnificationChanged);

    frame.ZoomwatchBut->click();
    ASSERT_EQ(watch.count(), 1);
    EXPECT_TRUE(watch.at(0).at(0).toBool());
    EXPECT_FALSE(frame.MagnMagnification->isHidden());
    frame.MagnMagnification->setValue(50);
    ASSERT_EQ(level.count(), 1);
    EXPECT_EQ(level.at(0).at(0).toInt(), 50);

    // Pressing "Zoom Area" raises "Zoom Watch" and says so.
    frame.ZoomRBToolBut->click();
    EXPECT_FALSE(frame.zoomWatchDown());
    ASSERT_EQ(watch.count(), 2);
    EXPECT_FALSE(watch.at(1).at(0).toBool());
    ASSERT_EQ(area.count(), 1);
    EXPECT_TRUE(area.at(0).at(0).toBool());
    EXPECT_TRUE(frame.MagnMagnification->isHidden());

    frame.ToolButton6->menu()->actions().at(4)->trigger();
    ASSERT_EQ(percent.count(), 1);
    EXPECT_EQ(percent.at(0).at(0).toInt(), 400);
}

TEST(ZoomFrame, LoadingShowsTheDocumentWithoutEmitting)
{
    TZoomFrame frame;
    QSignalSpy watch(&frame, &TZoomFrame::zoomWatchToggled);
    QSignalSpy kernel(&frame, &TZoomFrame::zoomKernelChanged);
    QSignalSpy level(&frame, &TZoomFrame::magnificationChanged);
    frame.loadFrom(true, 25, 3);
    EXPECT_TRUE(frame.zoomWatchDown());
    EXPECT_EQ(frame.zoomKernel(), 3);
    EXPECT_EQ(frame.magnification(), 25);
    EXPECT_FALSE(frame.MagnMagnification->isHidden());
    EXPECT_EQ(watch.count() + kernel.count() + level.count(), 0);
}
