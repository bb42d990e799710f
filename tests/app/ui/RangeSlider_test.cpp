#include "app/ui/RangeSlider.h"

#include <QApplication>
#include <QMouseEvent>
#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {

void mouse(RangeSlider& s, QEvent::Type type, QPointF pos, Qt::MouseButtons buttons)
{
    QMouseEvent e(type, pos, s.mapToGlobal(pos), Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(&s, &e);
}

struct Fixture : ::testing::Test {
    Fixture()
    {
        slider.resize(311, 30);
        slider.setBegFrame(-500);
        slider.setEndFrame(498);
        slider.setSubBegFrame(-500);
        slider.setSubEndFrame(498);
        slider.setCurrentFrame(0);
    }
    RangeSlider slider;
};

} // namespace

TEST_F(Fixture, ProgrammaticChangesNeverEmit)
{
    QSignalSpy frame(&slider, &RangeSlider::changeFrame);
    QSignalSpy beg(&slider, &RangeSlider::changeSubBegFrame);
    QSignalSpy end(&slider, &RangeSlider::changeSubEndFrame);
    slider.setCurrentFrame(100);
    slider.setSubBegFrame(100);
    slider.setSubEndFrame(200);
    slider.setSamplingTime(1000);
    EXPECT_EQ(frame.count() + beg.count() + end.count(), 0);
    EXPECT_EQ(slider.CurrentFrame(), 100);
    EXPECT_EQ(slider.property("SubEndFrame").toInt(), 200);
    EXPECT_EQ(slider.SamplingTime(), 1000);
}

TEST_F(Fixture, FramesAndPositionsMapBothWays)
{
    EXPECT_EQ(slider.frameAtX(slider.xOfFrame(-500)), -500);
    EXPECT_EQ(slider.frameAtX(slider.xOfFrame(498)), 498);
    EXPECT_EQ(slider.frameAtX(-100), -500); // clamped
    EXPECT_EQ(slider.frameAtX(1000), 498);
    RangeSlider empty; // no range yet: everything is the start
    EXPECT_EQ(empty.frameAtX(50), 0);
}

TEST_F(Fixture, DraggingThePositionEmitsEachNewFrame)
{
    QSignalSpy frame(&slider, &RangeSlider::changeFrame);
    const double y = 8; // on the groove
    mouse(slider, QEvent::MouseButtonPress, {slider.xOfFrame(-500), y}, Qt::LeftButton);
    mouse(slider, QEvent::MouseMove, {slider.xOfFrame(250), y}, Qt::LeftButton);
    mouse(slider, QEvent::MouseButtonRelease, {slider.xOfFrame(250), y}, Qt::NoButton);
    ASSERT_EQ(frame.count(), 2);
    EXPECT_EQ(frame.at(0).at(0).toInt(), -500);
    EXPECT_NEAR(frame.at(1).at(0).toInt(), 250, 3);
    EXPECT_EQ(slider.CurrentFrame(), frame.at(1).at(0).toInt());
}

TEST_F(Fixture, DraggingTheMarkersKeepsThemInOrder)
{
    QSignalSpy beg(&slider, &RangeSlider::changeSubBegFrame);
    QSignalSpy end(&slider, &RangeSlider::changeSubEndFrame);
    QSignalSpy frame(&slider, &RangeSlider::changeFrame);
    const double y = 22; // marker row under the groove
    mouse(slider, QEvent::MouseButtonPress, {slider.xOfFrame(-500) + 2, y}, Qt::LeftButton);
    mouse(slider, QEvent::MouseMove, {slider.xOfFrame(0), y}, Qt::LeftButton);
    mouse(slider, QEvent::MouseButtonRelease, {slider.xOfFrame(0), y}, Qt::NoButton);
    ASSERT_GE(beg.count(), 1);
    EXPECT_NEAR(slider.SubBegFrame(), 0, 3);
    EXPECT_EQ(beg.last().at(0).toInt(), slider.SubBegFrame());

    // The out marker cannot be dragged before the in marker.
    mouse(slider, QEvent::MouseButtonPress, {slider.xOfFrame(498) - 2, y}, Qt::LeftButton);
    mouse(slider, QEvent::MouseMove, {0, y}, Qt::LeftButton);
    mouse(slider, QEvent::MouseButtonRelease, {0, y}, Qt::NoButton);
    EXPECT_EQ(slider.SubEndFrame(), slider.SubBegFrame());
    EXPECT_GE(end.count(), 1);
    EXPECT_EQ(frame.count(), 0); // the position did not move
}

TEST_F(Fixture, PaintsWithoutARange)
{
    RangeSlider s;
    s.resize(311, 30);
    s.setBegFrame(10);
    s.setEndFrame(5); // inverted while the caller is still setting values
    const QImage shot = s.grab().toImage();
    EXPECT_FALSE(shot.isNull());
}
