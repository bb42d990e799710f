#include "document/ui/ImageView.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QKeyEvent>
#include <QSignalSpy>
#include <QWheelEvent>
#include <gtest/gtest.h>

#include <cmath>
#include <thread>

#include "TestApplication.h"

namespace {

QApplication& app()
{
    return TestApplication();
}

Frame solidFrame(int w, int h, uint8_t b, uint8_t g, uint8_t r)
{
    Frame f(w, h);
    f.fill(b, g, r);
    return f;
}

void sendMouse(ImageView& view, QEvent::Type type, QPointF pos, Qt::MouseButton button, Qt::MouseButtons buttons,
               Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWidget* vp = view.viewport();
    QMouseEvent event(type, pos, vp->mapToGlobal(pos), button, buttons, modifiers);
    QApplication::sendEvent(vp, &event);
}

struct AppHolder {
    AppHolder() { app(); }
};

class ImageViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        view.resize(400, 300);
        view.show(); // offscreen platform: gives the viewport its real size
        QApplication::processEvents();
    }
    AppHolder holder; // the application must exist before the view
    ImageView view;
};

} // namespace

TEST_F(ImageViewTest, MappingRoundTripWithScaleAndScroll)
{
    view.setFrame(solidFrame(1000, 800, 1, 2, 3));
    view.setScale(2.0);
    view.scrollToCentre({0, 0});  // top-left
    view.scrollBy(100, 50);
    EXPECT_EQ(view.imageOffset(), QPointF(-100, -50));
    for (QPointF p : {QPointF(0, 0), QPointF(12.25, 7.5), QPointF(999.5, 799.75)}) {
        const QPointF v = view.mapToView(p);
        EXPECT_EQ(v, QPointF(p.x() * 2 - 100, p.y() * 2 - 50));
        const QPointF back = view.mapToImage(v);
        EXPECT_DOUBLE_EQ(back.x(), p.x());
        EXPECT_DOUBLE_EQ(back.y(), p.y());
    }
    // A small image is aligned to the top-left corner, not centred.
    view.setScale(0.1);
    EXPECT_EQ(view.imageOffset(), QPointF(0, 0));
}

TEST_F(ImageViewTest, FitModeFollowsTheViewWidth)
{
    view.resize(757, 500);
    QApplication::processEvents();
    QSignalSpy zoom(&view, &ImageView::zoomChanged);
    view.setFrame(solidFrame(1024, 600, 0, 0, 0));
    view.setFitMode(true);
    EXPECT_DOUBLE_EQ(view.scale(), 0.7392578125);
    EXPECT_EQ(view.zoomText(), QStringLiteral("73.93%"));
    EXPECT_GE(zoom.count(), 1);

    view.resize(512, 500);
    QApplication::processEvents();
    EXPECT_DOUBLE_EQ(view.scale(), 0.5);

    // "200%": fit mode off, the scale survives resizes.
    view.setFitMode(false);
    view.setScale(2.0);
    view.resize(700, 400);
    QApplication::processEvents();
    EXPECT_DOUBLE_EQ(view.scale(), 2.0);
    EXPECT_EQ(view.zoomText(), QStringLiteral("200.00%"));
}

TEST_F(ImageViewTest, FitWholeImageKeepsTheAspectRatio)
{
    view.setFrame(solidFrame(800, 1200, 0, 0, 0));
    view.fitWholeImage();
    EXPECT_EQ(view.scaleMode(), ImageView::ScaleMode::OptimalScaled);
    EXPECT_DOUBLE_EQ(view.scale(), 0.25); // 300 / 1200
    EXPECT_EQ(view.zoomText(), QStringLiteral("AUTOFIT %"));
}

// The band's image area is shown whole, fills the view in one direction and
// sits at the centre.
static void expectBandFillsTheView(const ImageView& view, const QRectF& bandInImage)
{
    const QRectF shown = view.mapping().toView(bandInImage);
    const QRectF vp(QPointF(0, 0), QSizeF(view.viewport()->size()));
    EXPECT_GE(shown.left(), vp.left() - 1.0);
    EXPECT_GE(shown.top(), vp.top() - 1.0);
    EXPECT_LE(shown.right(), vp.right() + 1.0);
    EXPECT_LE(shown.bottom(), vp.bottom() + 1.0);
    EXPECT_TRUE(std::abs(shown.width() - vp.width()) <= 1.5 || std::abs(shown.height() - vp.height()) <= 1.5)
        << "band shown " << shown.width() << " x " << shown.height() << " in " << vp.width() << " x " << vp.height();
    EXPECT_NEAR(shown.center().x(), vp.center().x(), 1.0);
    EXPECT_NEAR(shown.center().y(), vp.center().y(), 1.0);
}

TEST_F(ImageViewTest, AreaZoomFillsTheViewWithTheBandAtAnyScale)
{
    view.setFrame(solidFrame(1000, 1000, 0, 0, 0));
    for (double scale : {1.0, 2.0, 0.5, 3.7}) {
        SCOPED_TRACE(scale);
        view.setScale(scale);
        view.scrollToCentre({300, 300});
        const QRectF band(100, 100, 100, 50); // view pixels
        const QRectF bandInImage = view.mapping().toImage(band);
        view.zoomToRubberBand(band);
        QApplication::processEvents(); // scroll bars come and go
        expectBandFillsTheView(view, bandInImage);
    }
    // A click without a drag selects nothing and changes nothing.
    const double before = view.scale();
    view.zoomToRubberBand(QRectF(30, 30, 0, 0));
    EXPECT_DOUBLE_EQ(view.scale(), before);
}

TEST_F(ImageViewTest, AreaZoomByMouseEndsTheMode)
{
    view.setFrame(solidFrame(1000, 1000, 0, 0, 0));
    view.setScale(2.0);
    view.scrollToCentre({0, 0});
    view.setAreaZoomMode(true);
    QSignalSpy finished(&view, &ImageView::areaZoomFinished);
    const QRectF bandInImage = view.mapping().toImage(QRectF(100, 100, 100, 50));
    sendMouse(view, QEvent::MouseButtonPress, {200, 150}, Qt::LeftButton, Qt::LeftButton);
    sendMouse(view, QEvent::MouseMove, {100, 100}, Qt::NoButton, Qt::LeftButton);
    sendMouse(view, QEvent::MouseButtonRelease, {100, 100}, Qt::LeftButton, Qt::NoButton);
    QApplication::processEvents();
    expectBandFillsTheView(view, bandInImage);
    EXPECT_FALSE(view.areaZoomMode());
    EXPECT_EQ(finished.count(), 1);
}

TEST_F(ImageViewTest, ClickZoomBringsTheClickedPointToTheCentre)
{
    view.setFrame(solidFrame(2000, 2000, 0, 0, 0));
    view.setScale(1.0);
    view.scrollToCentre({1000, 1000});
    view.setClickZoomMode(true);
    QSignalSpy pressed(&view, &ImageView::mousePressedAt);
    const QPointF clicked = view.mapToImage(QPointF(300, 100));
    sendMouse(view, QEvent::MouseButtonPress, {300, 100}, Qt::LeftButton, Qt::LeftButton);
    sendMouse(view, QEvent::MouseButtonRelease, {300, 100}, Qt::LeftButton, Qt::NoButton);
    EXPECT_NEAR(view.scale(), 1.1, 1e-12);
    const QPointF centre = view.mapToView(clicked);
    EXPECT_NEAR(centre.x(), view.viewport()->width() / 2.0, 1.0);
    EXPECT_NEAR(centre.y(), view.viewport()->height() / 2.0, 1.0);
    ASSERT_EQ(pressed.count(), 1);
    EXPECT_EQ(pressed.at(0).at(0).toPointF(), clicked); // the point under the mouse before zooming

    // Any other button zooms out; the scale never reaches zero.
    sendMouse(view, QEvent::MouseButtonPress, {10, 10}, Qt::RightButton, Qt::RightButton);
    EXPECT_NEAR(view.scale(), 1.0, 1e-12);
    for (int i = 0; i < 15; ++i)
        sendMouse(view, QEvent::MouseButtonPress, {10, 10}, Qt::RightButton, Qt::RightButton);
    EXPECT_DOUBLE_EQ(view.scale(), ImageView::MinScale);
}

TEST_F(ImageViewTest, WheelStepsTheScaleAndKeepsFitMode)
{
    view.setFrame(solidFrame(400, 300, 0, 0, 0));
    view.setFitMode(true);
    const double before = view.scale();
    QWheelEvent down({10, 10}, view.mapToGlobal(QPointF(10, 10)), QPoint(), QPoint(0, -120), Qt::NoButton,
                     Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view.viewport(), &down);
    EXPECT_NEAR(view.scale(), before + 0.1, 1e-12);
    EXPECT_TRUE(down.isAccepted());
    EXPECT_TRUE(view.fitMode());
    QWheelEvent up({10, 10}, view.mapToGlobal(QPointF(10, 10)), QPoint(), QPoint(0, 240), Qt::NoButton,
                   Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view.viewport(), &up);
    EXPECT_NEAR(view.scale(), before - 0.1, 1e-12);
}

TEST_F(ImageViewTest, MouseSignalsCursorTextNudgeAndCopyKey)
{
    view.setFrame(solidFrame(400, 300, 0, 0, 0));
    view.setScale(2.0);
    view.scrollToCentre({0, 0});
    QSignalSpy moved(&view, &ImageView::mouseMovedAt);
    QSignalSpy nudged(&view, &ImageView::brightnessNudge);
    QSignalSpy copy(&view, &ImageView::copyRequested);
    sendMouse(view, QEvent::MouseMove, {21, 9}, Qt::NoButton, Qt::NoButton);
    ASSERT_EQ(moved.count(), 1);
    EXPECT_EQ(moved.at(0).at(0).toPointF(), QPointF(10.5, 4.5));
    EXPECT_EQ(ImageView::cursorText(QPointF(10.5, 4.5)), QStringLiteral("X : 10.50 ~ Y : 4.50"));
    EXPECT_EQ(nudged.count(), 0); // no button down

    sendMouse(view, QEvent::MouseButtonPress, {20, 20}, Qt::LeftButton, Qt::LeftButton);
    sendMouse(view, QEvent::MouseMove, {20, 25}, Qt::NoButton, Qt::LeftButton);
    sendMouse(view, QEvent::MouseMove, {30, 25}, Qt::NoButton, Qt::LeftButton); // sideways: no nudge
    sendMouse(view, QEvent::MouseMove, {30, 21}, Qt::NoButton, Qt::LeftButton);
    sendMouse(view, QEvent::MouseButtonRelease, {30, 21}, Qt::LeftButton, Qt::NoButton);
    ASSERT_EQ(nudged.count(), 2);
    EXPECT_FALSE(nudged.at(0).at(0).toBool()); // down
    EXPECT_TRUE(nudged.at(1).at(0).toBool());  // up

    QKeyEvent lower(QEvent::KeyPress, Qt::Key_C, Qt::NoModifier, QStringLiteral("c"));
    QApplication::sendEvent(&view, &lower);
    QKeyEvent capital(QEvent::KeyPress, Qt::Key_C, Qt::ShiftModifier, QStringLiteral("C"));
    QApplication::sendEvent(&view, &capital);
    EXPECT_EQ(copy.count(), 1);
}

TEST_F(ImageViewTest, OnlyADragNoOtherUseTakesNudgesTheBrightness)
{
    enum Use { Free, Pan, Pick, Magnifier, AreaZoom, ClickZoom };
    const struct {
        Use use;
        int nudges;
    } cases[] = {{Free, 2}, {Pan, 0}, {Pick, 0}, {Magnifier, 0}, {AreaZoom, 0}, {ClickZoom, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.use));
        ImageView v;
        v.resize(400, 300);
        v.show();
        QApplication::processEvents();
        v.setFrame(solidFrame(2000, 2000, 0, 0, 0));
        v.setScale(1.0);
        v.scrollToCentre({1000, 1000});
        PickTool pick;
        QPointF from(200, 150);
        switch (c.use) {
        case Free: break;
        case Pan: v.setPanMode(true); break;
        case Pick: v.setTool(&pick); break;
        case Magnifier: v.showMagnifier(); from = v.mapToView(v.magnifierRect().center()); break;
        case AreaZoom: v.setAreaZoomMode(true); break;
        case ClickZoom: v.setClickZoomMode(true); break;
        }
        QSignalSpy nudged(&v, &ImageView::brightnessNudge);
        sendMouse(v, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        sendMouse(v, QEvent::MouseMove, from + QPointF(0, 10), Qt::NoButton, Qt::LeftButton);
        sendMouse(v, QEvent::MouseMove, from + QPointF(5, 3), Qt::NoButton, Qt::LeftButton);
        sendMouse(v, QEvent::MouseButtonRelease, from + QPointF(5, 3), Qt::LeftButton, Qt::NoButton);
        EXPECT_EQ(nudged.count(), c.nudges);
        v.setTool(nullptr);
    }
}

TEST_F(ImageViewTest, PickToolGetsImagePointsAndOneToolIsActive)
{
    view.setFrame(solidFrame(400, 300, 0, 0, 0));
    view.setScale(2.0);
    view.scrollToCentre({0, 0});
    view.setPanMode(true);
    PickTool pick;
    QSignalSpy picked(&pick, &PickTool::picked);
    QSignalSpy dragged(&pick, &PickTool::dragged);
    QSignalSpy dropped(&pick, &PickTool::dropped);
    QSignalSpy removed(&pick, &ViewTool::removed);
    view.setTool(&pick);
    EXPECT_EQ(view.viewport()->cursor().shape(), Qt::CrossCursor);

    const QPointF offset = view.imageOffset();
    sendMouse(view, QEvent::MouseButtonPress, {21, 9}, Qt::LeftButton, Qt::LeftButton);
    sendMouse(view, QEvent::MouseMove, {41, 29}, Qt::NoButton, Qt::LeftButton);
    sendMouse(view, QEvent::MouseButtonRelease, {41, 29}, Qt::LeftButton, Qt::NoButton);
    ASSERT_EQ(picked.count(), 1);
    EXPECT_EQ(picked.at(0).at(0).toPointF(), QPointF(10.5, 4.5));
    ASSERT_EQ(dragged.count(), 1);
    EXPECT_EQ(dragged.at(0).at(0).toPointF(), QPointF(20.5, 14.5));
    ASSERT_EQ(dropped.count(), 1);
    EXPECT_EQ(view.imageOffset(), offset); // the pick's drag does not pan

    // Installing another tool removes the first; a destroyed tool leaves none.
    {
        PickTool other;
        view.setTool(&other);
        EXPECT_EQ(removed.count(), 1);
        EXPECT_EQ(view.tool(), &other);
        view.removeTool(&pick); // not the active one: nothing happens
        EXPECT_EQ(view.tool(), &other);
    }
    EXPECT_EQ(view.tool(), nullptr);
    EXPECT_EQ(view.viewport()->cursor().shape(), Qt::OpenHandCursor);
}

// A tool that marks an image rectangle in green, as a calibration or
// tracking tool marks what it picked.
class MarkTool : public ViewTool {
public:
    QRectF Mark{40, 40, 10, 10};
    void paint(QPainter& painter, const ViewMapping& map) const override
    {
        painter.fillRect(map.toView(Mark), QColor(0, 255, 0));
    }
};

TEST_F(ImageViewTest, ToolFeedbackFollowsTheZoomAndTheMagnifierEnlargesIt)
{
    view.setFrame(solidFrame(300, 200, 40, 80, 120));
    view.setScale(2.0);
    view.scrollToCentre({0, 0});
    MarkTool mark;
    view.setTool(&mark);
    QImage shot = view.viewport()->grab().toImage();
    EXPECT_EQ(shot.pixel(85, 85), qRgb(0, 255, 0));     // image (42.5, 42.5)
    EXPECT_EQ(shot.pixel(101, 85), qRgb(120, 80, 40)); // image (50.5, 42.5): beside the mark
    // A 10x magnifier centred on the mark's centre fills itself with green.
    view.showMagnifier();
    view.setMagnifierRect(QRectF(35, 35, 20, 20));
    view.setMagnifierSelected(false);
    view.setMagnifierLevel(50);
    shot = view.viewport()->grab().toImage();
    EXPECT_EQ(shot.pixel(80, 80), qRgb(0, 255, 0));  // image (40, 40): magnified mark
    EXPECT_EQ(shot.pixel(101, 85), qRgb(0, 255, 0)); // was beside the mark, now inside it
    view.setTool(nullptr);
    view.removeMagnifier();
    shot = view.viewport()->grab().toImage();
    EXPECT_EQ(shot.pixel(85, 85), qRgb(120, 80, 40));
}

TEST_F(ImageViewTest, FitModeShowsATurnedPictureWhole)
{
    view.resize(757, 500);
    QApplication::processEvents();
    view.setFrame(solidFrame(1024, 600, 0, 0, 0));
    view.setFitMode(true);
    EXPECT_DOUBLE_EQ(view.scale(), 757.0 / 1024.0);
    view.setFrame(solidFrame(600, 1024, 0, 0, 0)); // a quarter turn
    QApplication::processEvents();
    EXPECT_TRUE(view.fitMode());
    EXPECT_DOUBLE_EQ(view.scale(), 500.0 / 1024.0);
    const QRectF shown = view.mapping().toView(QRectF(0, 0, 600, 1024));
    EXPECT_GE(shown.left(), 0.0);
    EXPECT_GE(shown.top(), 0.0);
    EXPECT_LE(shown.right(), view.viewport()->width());
    EXPECT_LE(shown.bottom(), view.viewport()->height());
    // Turned back: the width fits again.
    view.setFrame(solidFrame(1024, 600, 0, 0, 0));
    EXPECT_DOUBLE_EQ(view.scale(), 757.0 / 1024.0);
}

TEST_F(ImageViewTest, PanDragMovesTheImageWithTheMouse)
{
    view.setFrame(solidFrame(2000, 2000, 0, 0, 0));
    view.setScale(1.0);
    view.scrollToCentre({1000, 1000});
    view.setPanMode(true);
    const QPointF before = view.imageOffset();
    sendMouse(view, QEvent::MouseButtonPress, {100, 100}, Qt::LeftButton, Qt::LeftButton);
    sendMouse(view, QEvent::MouseMove, {130, 80}, Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(view.imageOffset(), before + QPointF(30, -20));
}

TEST_F(ImageViewTest, MagnifierStartsUnderTheCentreAndCtrlResizeKeepsItsCentre)
{
    view.setFrame(solidFrame(1000, 1000, 0, 0, 0));
    view.setScale(1.0);
    view.scrollToCentre({0, 0});
    view.showMagnifier();
    ASSERT_TRUE(view.hasMagnifier());
    EXPECT_TRUE(view.magnifierSelected());
    EXPECT_EQ(view.magnifierLevel(), 10);
    const QPoint c(view.viewport()->width() / 2, view.viewport()->height() / 2);
    EXPECT_EQ(view.magnifierRect(), QRectF(c.x() - 32, c.y() - 32, 64, 64));

    // Ctrl-drag the right handle to 1 pixel right of the centre.
    const QRectF r = view.magnifierRect();
    const QPointF right(r.right(), r.center().y());
    sendMouse(view, QEvent::MouseButtonPress, right, Qt::LeftButton, Qt::LeftButton, Qt::ControlModifier);
    sendMouse(view, QEvent::MouseMove, {r.center().x() + 1, right.y()}, Qt::NoButton, Qt::LeftButton,
              Qt::ControlModifier);
    sendMouse(view, QEvent::MouseButtonRelease, {r.center().x() + 1, right.y()}, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(view.magnifierRect(), QRectF(r.center().x() - 2, r.top(), 4, 64));

    // A click elsewhere deselects it; a click on it selects and drags it.
    sendMouse(view, QEvent::MouseButtonPress, {5, 5}, Qt::LeftButton, Qt::LeftButton);
    sendMouse(view, QEvent::MouseButtonRelease, {5, 5}, Qt::LeftButton, Qt::NoButton);
    EXPECT_FALSE(view.magnifierSelected());
    const QPointF inside = view.mapToView(view.magnifierRect().center());
    sendMouse(view, QEvent::MouseButtonPress, inside, Qt::LeftButton, Qt::LeftButton);
    sendMouse(view, QEvent::MouseMove, inside + QPointF(10, 20), Qt::NoButton, Qt::LeftButton);
    EXPECT_TRUE(view.magnifierSelected());
    EXPECT_EQ(view.magnifierRect().topLeft(), QPointF(r.center().x() - 2 + 10, r.top() + 20));
    view.removeMagnifier();
    EXPECT_FALSE(view.hasMagnifier());
}

TEST_F(ImageViewTest, PaintsFrameGridRulerAndMagnifier)
{
    Frame frame(300, 200);
    frame.fill(40, 80, 120); // blue, green, red
    view.setFrame(frame);
    view.setScale(1.0);
    view.scrollToCentre({0, 0});

    QImage shot = view.viewport()->grab().toImage();
    EXPECT_EQ(shot.pixel(150, 100), qRgb(120, 80, 40));
    EXPECT_NE(shot.pixel(350, 250), qRgb(120, 80, 40)) << "background right of and below the image";

    ImageView::OverlayState overlay;
    overlay.GridVisible = true;
    overlay.HasGridEntry = true;
    overlay.Grid.StartX = 100;
    overlay.Grid.StartY = 50;
    overlay.Grid.GridSize = 10;
    overlay.Grid.PixelsPerUnit = 2;
    overlay.RulerOn = true;
    overlay.RulerStart = {10, 150};
    overlay.RulerEnd = {60, 150};
    overlay.RulerDistance = 12.3456;
    view.setOverlay(overlay);
    shot = view.viewport()->grab().toImage();
    EXPECT_EQ(shot.pixel(55, 50), qRgb(255, 0, 0));  // horizontal line y = 50
    EXPECT_EQ(shot.pixel(80, 65), qRgb(255, 0, 0));  // vertical line x = 80
    EXPECT_EQ(shot.pixel(85, 65), qRgb(120, 80, 40));
    EXPECT_EQ(shot.pixel(25, 150), qRgb(255, 255, 0)); // ruler (between grid lines)

    // Grid shown without an entry: nothing at all, not even the ruler.
    overlay.HasGridEntry = false;
    view.setOverlay(overlay);
    shot = view.viewport()->grab().toImage();
    EXPECT_EQ(shot.pixel(55, 50), qRgb(120, 80, 40));
    EXPECT_EQ(shot.pixel(25, 150), qRgb(120, 80, 40));

    // Magnifier at level 0 over a vertical grid line: the line stays where it is, framed.
    overlay.HasGridEntry = true;
    overlay.RulerOn = false;
    view.setOverlay(overlay);
    view.showMagnifier();
    view.setMagnifierRect(QRectF(60, 60, 40, 40)); // contains x = 80
    view.setMagnifierSelected(false);
    view.setMagnifierLevel(0);
    shot = view.viewport()->grab().toImage();
    EXPECT_EQ(shot.pixel(80, 75), qRgb(255, 0, 0));
    EXPECT_GT(qGreen(shot.pixel(65, 60)), 80);  // light top edge
    EXPECT_LT(qGreen(shot.pixel(65, 99)), 80);  // dark bottom edge
    // Level 50 (10×) spreads the one-pixel line over about ten pixels.
    view.setMagnifierLevel(50);
    shot = view.viewport()->grab().toImage();
    int red = 0;
    for (int x = 65; x < 95; ++x)
        red += shot.pixel(x, 80) == qRgb(255, 0, 0) || qRed(shot.pixel(x, 80)) > 200 ? 1 : 0;
    EXPECT_GE(red, 7);
}

TEST_F(ImageViewTest, AFramePreparedOnAnotherThreadIsWhatSetFrameShows)
{
    view.setFrame(solidFrame(300, 200, 40, 80, 120));
    view.setScale(0.7);
    const QImage first = view.viewport()->grab().toImage();
    Frame next = solidFrame(300, 200, 200, 10, 30);
    std::thread worker([&] { view.prepareFrame(next); });
    worker.join();
    view.setFrame(next);
    EXPECT_EQ(view.frame(), next);
    QImage shot = view.viewport()->grab().toImage();
    EXPECT_EQ(shot.pixel(50, 50), qRgb(30, 10, 200));
    EXPECT_EQ(shot.pixel(399, 299), first.pixel(399, 299)) << "the background around the picture";

    // Prepared but then replaced by another frame: the other one shows, and
    // the prepared frame object, changed since, is copied again when set.
    view.prepareFrame(next);
    view.setFrame(solidFrame(300, 200, 1, 2, 3));
    next.fill(9, 8, 7);
    view.setFrame(next);
    shot = view.viewport()->grab().toImage();
    EXPECT_EQ(shot.pixel(50, 50), qRgb(7, 8, 9));

    // A frame of another size is only taken by setFrame(), which fits it anew.
    const Frame wide = solidFrame(600, 100, 0, 0, 255);
    view.prepareFrame(wide);
    EXPECT_EQ(view.imageWidth(), 300);
    view.setFrame(wide);
    EXPECT_EQ(view.imageWidth(), 600);
}
