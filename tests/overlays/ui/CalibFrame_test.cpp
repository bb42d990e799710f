// The calibration frame: points picked in the view, "Calculate", the grid
// controls and the ruler, on a document window without a display.

#include "FakeSource.h"
#include "MessageCatcher.h"
#include "adjust/AdjustmentEntry.h"
#include "document/ui/ImageView.h"
#include "document/window/VideoWindow.h"
#include "overlays/ui/FrameCalib.h"


#include <QApplication>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

ViewMouse LeftAt(QPointF image, bool press = true)
{
    ViewMouse m;
    m.ImagePos = image;
    m.Button = Qt::LeftButton;
    m.Buttons = press ? Qt::LeftButton : Qt::NoButton;
    return m;
}

struct CalibFrameTest : ::testing::Test {
    void SetUp() override
    {
        video.document()->AttachSource(std::make_unique<FakeSource>(0, 4, 200, 100), QStringLiteral("cal.bvf"));
        frame.LoadFromVideo(&video);
    }
    VideoDocument& doc() { return *video.document(); }

    // Two clicks with "Select points" down, then a distance and a unit.
    void Calibrate(QPointF a, QPointF b, const QString& distance, int unit)
    {
        frame.selPoints->click();
        ViewTool* tool = video.view()->tool();
        ASSERT_EQ(tool, frame.pointTool());
        tool->press(LeftAt(a));
        tool->release(LeftAt(a, false));
        tool->press(LeftAt(b));
        tool->release(LeftAt(b, false));
        frame.realDist->setText(distance);
        frame.calunitSelect->setCurrentIndex(unit);
        frame.workoutcal->click();
    }

    TQORVideo video{nullptr};
    std::unique_ptr<TCalibFrame> docked = std::make_unique<TCalibFrame>();
    TCalibFrame& frame = *docked;
};

} // namespace

TEST_F(CalibFrameTest, TwoClicksAndADistanceCalibrate)
{
    ASSERT_NE(frame.gridEntry(), nullptr); // appended on docking
    EXPECT_EQ(frame.grid()->GridSize, 10.0f);
    frame.selPoints->click();
    EXPECT_EQ(frame.PointSelectState(), 1);
    EXPECT_EQ(video.view()->tool(), frame.pointTool());
    EXPECT_EQ(video.view()->tool()->cursor().shape(), Qt::CrossCursor);
    video.view()->tool()->press(LeftAt({10, 20}));
    EXPECT_EQ(frame.PointSelectState(), 2);
    EXPECT_EQ(frame.pos1Box->text(), QStringLiteral("X:10.00 - Y:20.00"));
    frame.pointTool()->press(LeftAt({40.5, 60}));
    // Both points in: picking ends and the button goes up.
    EXPECT_EQ(frame.PointSelectState(), 0);
    EXPECT_FALSE(frame.selPoints->isChecked());
    EXPECT_EQ(video.view()->tool(), nullptr);
    EXPECT_EQ(frame.pos2Box->text(), QStringLiteral("X:40.50 - Y:60.00"));

    Calibrate({10, 20}, {40, 60}, QStringLiteral("25"), 1);
    EXPECT_EQ(doc().Info.PixelsPerUnit, 2.0f);
    EXPECT_EQ(doc().Info.CalUnitIndex, 1);
    EXPECT_EQ(frame.unitsperpixelstatic->text(), QStringLiteral("2"));
    EXPECT_EQ(frame.distperunitlabel->text(), QStringLiteral("Pixels per mm"));
    EXPECT_EQ(frame.Label45->text(), QStringLiteral("Distance in mm"));
    EXPECT_EQ(frame.gridSizeLabel->text(), QStringLiteral("Grid Size in mm"));
    EXPECT_EQ(frame.spinsize->value(), 25.0); // one square spans the distance
    EXPECT_EQ(frame.grid()->GridSize, 25.0f);
    EXPECT_EQ(frame.grid()->PixelsPerUnit, 2.0f);
}

TEST_F(CalibFrameTest, DistancesAndPointsGiveTheFactor)
{
    struct Case {
        QPointF a, b;
        const char* distance;
        float factor;
        double gridSize;
    };
    const Case cases[] = {
        {{5, 5}, {5, 5}, "10", 1.0f, 10.0},      // equal points: 1, the unit still switches
        {{10, 7}, {70, 7}, "20", 3.0f, 20.0},    // one horizontal line
        {{0, 0}, {30, 40}, "-5", 1.0f, 20.0},    // negative: factor 1, the grid keeps its size
        {{0, 0}, {300, 400}, "250", 2.0f, 100.0}, // above 100: full value, the grid stops at 100
        {{0, 0}, {3, 4}, " 2.5e0", 2.0f, 2.5},
    };
    for (const Case& c : cases) {
        frame.spinsize->setValue(20.0);
        Calibrate(c.a, c.b, QString::fromLatin1(c.distance), 3);
        EXPECT_EQ(doc().Info.PixelsPerUnit, c.factor) << c.distance;
        EXPECT_EQ(doc().Info.CalUnitIndex, 3) << c.distance;
        EXPECT_EQ(frame.distperunitlabel->text(), QStringLiteral("Pixels per m")) << c.distance;
        EXPECT_EQ(frame.spinsize->value(), c.gridSize) << c.distance;
    }
}

TEST_F(CalibFrameTest, BadDistancesAreRefusedAndChangeNothing)
{
    Calibrate({0, 0}, {30, 40}, QStringLiteral("10"), 1); // 5 pixels per mm
    struct Case {
        const char* distance;
        const char* message;
    };
    const Case cases[] = {
        {"abc", "Invalid Distance"},
        {"1,5", "Invalid Distance"},
        {"", "Invalid Distance"},
        {"1e39", "Invalid Distance"},
        {"0", "The real distance between the points must not be 0."},
    };
    for (const Case& c : cases) {
        MessageCatcher box;
        Calibrate({0, 0}, {60, 80}, QString::fromLatin1(c.distance), 4);
        EXPECT_EQ(box.text, QString::fromLatin1(c.message)) << c.distance;
        EXPECT_EQ(doc().Info.PixelsPerUnit, 5.0f) << c.distance;
        EXPECT_EQ(doc().Info.CalUnitIndex, 1) << c.distance;
        EXPECT_EQ(frame.unitsperpixelstatic->text(), QStringLiteral("5")) << c.distance;
        EXPECT_EQ(frame.realDist->selectedText(), QString::fromLatin1(c.distance)) << c.distance;
    }
}

TEST_F(CalibFrameTest, GridControlsEditTheEntryAndTheOverlay)
{
    frame.GRidSpeed->click();
    EXPECT_TRUE(video.GridVisible);
    EXPECT_TRUE(video.view()->overlay().GridVisible);
    EXPECT_TRUE(video.view()->overlay().HasGridEntry);
    EXPECT_FALSE(video.view()->overlay().Grid.Polar);
    frame.PolarSpeed->click();
    EXPECT_FALSE(frame.GRidSpeed->isChecked()); // one of the two at most
    EXPECT_TRUE(video.GridVisible);
    EXPECT_TRUE(video.view()->overlay().Grid.Polar);
    frame.PolarSpeed->click(); // both up: no grid
    EXPECT_FALSE(video.GridVisible);

    frame.GridPosSpeed->click();
    ASSERT_EQ(video.view()->tool(), frame.gridPositionTool());
    video.view()->tool()->press(LeftAt({12.5, 7.6}));
    EXPECT_EQ(frame.grid()->StartX, 12); // rounded half to even
    EXPECT_EQ(frame.grid()->StartY, 8);
    EXPECT_EQ(video.view()->overlay().Grid.StartX, 12.0);

    frame.spinsize->setValue(4.5);
    EXPECT_EQ(frame.grid()->GridSize, 4.5f);
    EXPECT_EQ(video.view()->overlay().Grid.GridSize, 4.5);
    {
        MessageCatcher box;
        frame.spinsize->setValue(0.0);
        EXPECT_EQ(box.text, QStringLiteral("The grid size must be greater than 0."));
    }
    EXPECT_EQ(frame.grid()->GridSize, 4.5f);
    EXPECT_EQ(frame.spinsize->value(), 4.5);
}

TEST_F(CalibFrameTest, RotationStepsStayWithin0To89)
{
    frame.RotateStep(-1);
    EXPECT_EQ(frame.RotateDisplay->text(), QStringLiteral("0"));
    frame.rotClockBtn->click(); // press and release: one step
    EXPECT_EQ(frame.grid()->AngleDegrees, 1);
    for (int i = 0; i < 100; ++i)
        frame.RotateStep(+1);
    EXPECT_EQ(frame.grid()->AngleDegrees, 89);
    EXPECT_EQ(frame.RotateDisplay->text(), QStringLiteral("89"));
    EXPECT_EQ(video.view()->overlay().Grid.AngleDegrees, 89);
    frame.rotAntiClockBtn->click();
    EXPECT_EQ(frame.grid()->AngleDegrees, 88);
}

TEST_F(CalibFrameTest, RulerMeasuresADragInUnits)
{
    Calibrate({0, 0}, {0, 20}, QStringLiteral("10"), 2); // 2 pixels per cm
    frame.measureRuler->click();
    EXPECT_TRUE(video.RulerOn);
    ImageView* view = video.view();
    ASSERT_EQ(view->tool(), frame.rulerTool());
    view->tool()->press(LeftAt({10, 10}));
    ViewMouse drag = LeftAt({40, 50});
    drag.Button = Qt::NoButton;
    view->tool()->move(drag);
    EXPECT_FLOAT_EQ(video.RulerDistance, 25.0f);
    EXPECT_EQ(frame.measureDist->text(), QStringLiteral("25.00"));
    EXPECT_TRUE(view->overlay().RulerOn);
    EXPECT_EQ(view->overlay().RulerEnd, QPointF(40, 50));
    EXPECT_EQ(view->overlay().CalUnitIndex, 2);
    // Picking points takes the view: the ruler button goes up.
    frame.selPoints->click();
    EXPECT_FALSE(frame.measureRuler->isChecked());
    EXPECT_FALSE(video.RulerOn);
}

TEST_F(CalibFrameTest, ModesStayWithTheWindowWhenTheFrameGoes)
{
    frame.GRidSpeed->click();
    frame.measureRuler->click();
    const AdjustmentEntry* grid = frame.gridEntry();
    docked.reset();
    EXPECT_TRUE(video.GridVisible);
    EXPECT_TRUE(video.RulerOn);
    EXPECT_EQ(video.view()->tool(), nullptr);
    TCalibFrame second;
    second.LoadFromVideo(&video);
    EXPECT_EQ(second.gridEntry(), grid); // one grid entry per list
    EXPECT_TRUE(second.GRidSpeed->isChecked());
    EXPECT_TRUE(second.measureRuler->isChecked());
    EXPECT_EQ(video.view()->tool(), second.rulerTool());
    int grids = 0;
    for (const auto& entry : doc().Adjustments)
        grids += entry->Kind() == KindGrid;
    EXPECT_EQ(grids, 1);
}
