#include "overlays/ui/FrameCalib.h"

#include "adjust/AdjustmentEntry.h"
#include "common/NumberFormat.h"
#include "common/Rounding.h"
#include "document/VideoDocument.h"
#include "document/ui/ImageView.h"
#include "document/ui/ViewTool.h"
#include "document/window/VideoWindow.h"
#include "overlays/Calibration.h"
#include "overlays/RulerGeometry.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace {

constexpr int kMaxGridAngle = 89;
constexpr int kRotateIntervalMs = 100;
const char* const kLimeOnBlack = "color: lime; background-color: black;";

// The point pick shows the points picked so far as small crosses.
class CalibPointTool : public PickTool {
public:
    using PickTool::PickTool;
    QList<QPointF> marks;

    void paint(QPainter& painter, const ViewMapping& map) const override
    {
        painter.setPen(QPen(QColor(0, 255, 0), 0));
        for (const QPointF& mark : marks) {
            const QPointF c = map.toView(mark);
            painter.drawLine(c - QPointF(6, 0), c + QPointF(6, 0));
            painter.drawLine(c - QPointF(0, 6), c + QPointF(0, 6));
        }
    }
};

QToolButton* speedButton(const QString& name, const QString& text, const QString& hint, QWidget* parent)
{
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    b->setText(text);
    b->setToolTip(hint);
    b->setAccessibleName(hint);
    b->setCheckable(true);
    b->setMinimumSize(32, 26);
    return b;
}

QLineEdit* limeEdit(const QString& name, const QString& text, const QString& accessible, QWidget* parent)
{
    auto* e = new QLineEdit(text, parent);
    e->setObjectName(name);
    e->setAccessibleName(accessible);
    e->setStyleSheet(QString::fromLatin1(kLimeOnBlack));
    return e;
}

QString pointText(const std::array<float, 2>& p)
{
    return QStringLiteral("X:%1 - Y:%2").arg(FormatFixed(p[0], 5, 2), FormatFixed(p[1], 5, 2));
}

} // namespace

TCalibFrame::TCalibFrame(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("CalibFrame"));
    setWindowTitle(QStringLiteral("CALIBRATE"));
    setMinimumSize(300, 315);

    // --- Calibration
    auto* depthBox = new QGroupBox(QStringLiteral("Calibration"), this);
    depthBox->setObjectName(QStringLiteral("depthBox"));
    selPoints = speedButton(QStringLiteral("selPoints"), QStringLiteral("Select points"),
                            QStringLiteral("Select points"), depthBox);
    pos1Box = limeEdit(QStringLiteral("pos1Box"), QStringLiteral("x pos y pos"), QStringLiteral("1st point"), depthBox);
    pos1Box->setReadOnly(true);
    pos2Box = limeEdit(QStringLiteral("pos2Box"), QStringLiteral("x pos y pos"), QStringLiteral("2nd point"), depthBox);
    pos2Box->setReadOnly(true);
    pointStatus = new QLabel(QStringLiteral("Please select 1st point"), depthBox);
    pointStatus->setObjectName(QStringLiteral("pointStatus"));
    pointStatus->setStyleSheet(QStringLiteral("color: red; font-weight: bold;"));
    pointStatus->hide();
    workoutcal = new QPushButton(QStringLiteral("Calculate"), depthBox);
    workoutcal->setObjectName(QStringLiteral("workoutcal"));
    workoutcal->setAccessibleName(QStringLiteral("Calculate"));
    calunitSelect = new QComboBox(depthBox);
    calunitSelect->setObjectName(QStringLiteral("calunitSelect"));
    calunitSelect->setAccessibleName(QStringLiteral("Measurment Units"));
    calunitSelect->setStyleSheet(QString::fromLatin1(kLimeOnBlack));
    for (int i = 0; i < kCalUnitCount; ++i)
        calunitSelect->addItem(CalUnitComboItem(i));
    calunitSelect->setCurrentIndex(kCalUnitPixels);
    realDist = limeEdit(QStringLiteral("realDist"), QStringLiteral("10"), QStringLiteral("Real distance between points"),
                        depthBox);
    distperunitlabel = new QLabel(QStringLiteral("Pixels per Pixel"), depthBox);
    distperunitlabel->setObjectName(QStringLiteral("distperunitlabel"));
    unitsperpixelstatic = new QLabel(QStringLiteral("1"), depthBox);
    unitsperpixelstatic->setObjectName(QStringLiteral("unitsperpixelstatic"));
    unitsperpixelstatic->setAccessibleName(QStringLiteral("Pixels per unit"));
    unitsperpixelstatic->setFrameShape(QFrame::StyledPanel);

    auto* cal = new QGridLayout(depthBox);
    cal->addWidget(selPoints, 0, 0);
    cal->addWidget(pointStatus, 0, 1, 1, 2);
    cal->addWidget(new QLabel(QStringLiteral("1st point"), depthBox), 1, 0);
    cal->addWidget(pos1Box, 1, 1, 1, 2);
    cal->addWidget(new QLabel(QStringLiteral("2nd point"), depthBox), 2, 0);
    cal->addWidget(pos2Box, 2, 1, 1, 2);
    cal->addWidget(new QLabel(QStringLiteral("Measurment Units"), depthBox), 3, 0);
    cal->addWidget(calunitSelect, 3, 1, 1, 2);
    cal->addWidget(new QLabel(QStringLiteral("Real distance between points"), depthBox), 4, 0, 1, 2);
    cal->addWidget(realDist, 4, 2);
    cal->addWidget(distperunitlabel, 5, 0);
    cal->addWidget(unitsperpixelstatic, 5, 1);
    cal->addWidget(workoutcal, 5, 2);

    // --- Grid
    auto* gridBox = new QGroupBox(QStringLiteral("Grid Controls"), this);
    gridBox->setObjectName(QStringLiteral("gridBox"));
    GridPosSpeed = speedButton(QStringLiteral("GridPosSpeed"), QStringLiteral("+"), QStringLiteral("Set Start Position"),
                               gridBox);
    spinsize = new QDoubleSpinBox(gridBox);
    spinsize->setObjectName(QStringLiteral("spinsize"));
    spinsize->setAccessibleName(QStringLiteral("Grid Size"));
    spinsize->setRange(0.0, kGridSizeMaximum);
    spinsize->setDecimals(2);
    spinsize->setSingleStep(1.0);
    spinsize->setValue(10.0);
    spinsize->setKeyboardTracking(false); // a half-typed "0.5" is not a size of 0
    spinsize->setStyleSheet(QString::fromLatin1(kLimeOnBlack));
    rotClockBtn = speedButton(QStringLiteral("rotClockBtn"), QStringLiteral("↻"), QStringLiteral("Rotate clockwise"),
                              gridBox);
    rotClockBtn->setCheckable(false);
    rotAntiClockBtn = speedButton(QStringLiteral("rotAntiClockBtn"), QStringLiteral("↺"),
                                  QStringLiteral("Rotate anticlockwise"), gridBox);
    rotAntiClockBtn->setCheckable(false);
    RotateDisplay = limeEdit(QStringLiteral("RotateDisplay"), QStringLiteral("0"), QStringLiteral("Grid Rotation"), gridBox);
    RotateDisplay->setReadOnly(true);
    RotateDisplay->setMaximumWidth(48);
    GRidSpeed = speedButton(QStringLiteral("GRidSpeed"), QStringLiteral("#"), QStringLiteral("Square Grid"), this);
    PolarSpeed = speedButton(QStringLiteral("PolarSpeed"), QStringLiteral("◎"), QStringLiteral("Polar Grid"), this);

    auto* grid = new QGridLayout(gridBox);
    grid->addWidget(GridPosSpeed, 0, 0);
    gridSizeLabel = new QLabel(QStringLiteral("Grid Size in pixels"), gridBox);
    gridSizeLabel->setWordWrap(true);
    grid->addWidget(gridSizeLabel, 0, 1);
    grid->addWidget(spinsize, 0, 2, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Grid Rotation"), gridBox), 1, 0, 1, 2);
    grid->addWidget(rotAntiClockBtn, 1, 2);
    grid->addWidget(RotateDisplay, 1, 3);
    grid->addWidget(rotClockBtn, 1, 4);
    auto* gridRow = new QHBoxLayout;
    gridRow->addWidget(gridBox, 1);
    auto* kinds = new QVBoxLayout;
    kinds->addWidget(GRidSpeed);
    kinds->addWidget(PolarSpeed);
    kinds->addStretch(1);
    gridRow->addLayout(kinds);

    // --- Ruler
    auto* measurebox = new QGroupBox(QStringLiteral("Ruler"), this);
    measurebox->setObjectName(QStringLiteral("measurebox"));
    measureRuler = speedButton(QStringLiteral("measureRuler"), QStringLiteral("Ruler"), QStringLiteral("Measure"),
                               measurebox);
    Label45 = new QLabel(QStringLiteral("Distance in pixels"), measurebox);
    Label45->setObjectName(QStringLiteral("Label45"));
    measureDist = limeEdit(QStringLiteral("measureDist"), QStringLiteral("0"), QStringLiteral("Measured distance"),
                           measurebox);
    measureDist->setReadOnly(true);
    auto* ruler = new QHBoxLayout(measurebox);
    ruler->addWidget(measureRuler);
    ruler->addWidget(Label45);
    ruler->addWidget(measureDist, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(depthBox);
    layout->addLayout(gridRow);
    layout->addWidget(measurebox);
    layout->addStretch(1);

    auto* pointTool = new CalibPointTool(this);
    m_pointTool = pointTool;
    m_gridPositionTool = new PickTool(this);
    m_rulerTool = new PickTool(this);
    m_rotateTimer = new QTimer(this);
    m_rotateTimer->setInterval(kRotateIntervalMs);

    connect(selPoints, &QToolButton::toggled, this, &TCalibFrame::selPointsClick);
    connect(workoutcal, &QPushButton::clicked, this, &TCalibFrame::workoutcalClick);
    connect(GRidSpeed, &QToolButton::toggled, this, &TCalibFrame::GRidSpeedClick);
    connect(PolarSpeed, &QToolButton::toggled, this, &TCalibFrame::PolarSpeedClick);
    connect(GridPosSpeed, &QToolButton::toggled, this, &TCalibFrame::GridPosSpeedClick);
    connect(spinsize, &QDoubleSpinBox::valueChanged, this, &TCalibFrame::spinsizeChange);
    connect(measureRuler, &QToolButton::toggled, this, &TCalibFrame::measureRulerClick);
    connect(rotClockBtn, &QToolButton::pressed, this, [this] { startRotating(+1); });
    connect(rotAntiClockBtn, &QToolButton::pressed, this, [this] { startRotating(-1); });
    connect(rotClockBtn, &QToolButton::released, this, &TCalibFrame::stopRotating);
    connect(rotAntiClockBtn, &QToolButton::released, this, &TCalibFrame::stopRotating);
    connect(m_rotateTimer, &QTimer::timeout, this, [this] { RotateStep(m_rotateDirection); });

    connect(m_pointTool, &PickTool::picked, this, &TCalibFrame::pointPicked);
    connect(m_gridPositionTool, &PickTool::picked, this, &TCalibFrame::gridStartPicked);
    connect(m_rulerTool, &PickTool::picked, this, &TCalibFrame::rulerPressed);
    connect(m_rulerTool, &PickTool::dragged, this, &TCalibFrame::rulerDragged);
    connect(m_rulerTool, &PickTool::dropped, this, &TCalibFrame::rulerDragged);
    // Another tool took the view over: its button goes up.
    connect(m_pointTool, &ViewTool::removed, this, [this] { raise(selPoints); m_pointSelectState = 0; });
    connect(m_gridPositionTool, &ViewTool::removed, this, [this] { raise(GridPosSpeed); });
    connect(m_rulerTool, &ViewTool::removed, this, [this] {
        raise(measureRuler);
        if (m_video) {
            m_video->RulerOn = false;
            m_video->UpdateOverlay();
        }
    });
}

TCalibFrame::~TCalibFrame()
{
    // The picks end with the frame; the modes they showed stay with the window.
    dropTools();
}

void TCalibFrame::dropTools()
{
    if (!m_video)
        return;
    for (PickTool* tool : {m_pointTool, m_gridPositionTool, m_rulerTool}) {
        const QSignalBlocker block(tool);
        m_video->view()->removeTool(tool);
    }
}

AdjustmentEntry* TCalibFrame::gridEntry() const
{
    return m_video ? FindEntry(m_video->document()->Adjustments, KindGrid) : nullptr;
}

CalibrationGridEntry* TCalibFrame::grid() const
{
    AdjustmentEntry* entry = gridEntry();
    return entry ? entry->As<CalibrationGridEntry>() : nullptr;
}

void TCalibFrame::LoadFromVideo(TQORVideo* video)
{
    if (m_video != video)
        dropTools();
    m_video = video;
    setEnabled(video != nullptr);
    if (!video)
        return;
    m_loading = true;
    m_pointSelectState = 0;
    VideoDocument* doc = video->document();
    ImageView* view = video->view();
    static_cast<CalibPointTool*>(m_pointTool)->marks.clear();
    selPoints->setChecked(view->tool() == m_pointTool);
    GridPosSpeed->setChecked(view->tool() == m_gridPositionTool);
    // A ruler left on by an earlier frame can be dragged again at once.
    measureRuler->setChecked(video->RulerOn);
    if (video->RulerOn)
        view->setTool(m_rulerTool);
    UpdateReadouts();
    {
        const QSignalBlocker block(calunitSelect);
        calunitSelect->setCurrentIndex(std::clamp(doc->Info.CalUnitIndex, 0, kCalUnitCount - 1));
    }
    showUnit(doc->Info.CalUnitIndex, doc->Info.PixelsPerUnit);

    AdjustmentEntry* entry = gridEntry();
    if (!entry)
        entry = doc->AppendEntry(std::make_unique<AdjustmentEntry>(StartGridEntry()));
    CalibrationGridEntry& grid = *entry->As<CalibrationGridEntry>();
    grid.PixelsPerUnit = doc->Info.PixelsPerUnit;
    doc->GridEntry = entry;
    {
        const QSignalBlocker blockGrid(GRidSpeed);
        const QSignalBlocker blockPolar(PolarSpeed);
        const QSignalBlocker blockSize(spinsize);
        GRidSpeed->setChecked(video->GridVisible && !grid.Polar);
        PolarSpeed->setChecked(video->GridVisible && grid.Polar);
        spinsize->setValue(grid.GridSize);
    }
    RotateDisplay->setText(QString::number(grid.AngleDegrees));
    m_loading = false;
    video->UpdateOverlay();
}

void TCalibFrame::UpdateReadouts()
{
    if (!m_video)
        return;
    const RecordingInfo& info = m_video->document()->Info;
    pos1Box->setText(pointText(info.CalPoint1));
    pos2Box->setText(pointText(info.CalPoint2));
    if (m_pointSelectState == 3) {
        m_pointSelectState = 0;
        selPoints->setChecked(false);
    }
    if (m_video->RulerOn)
        measureDist->setText(FormatFixed(m_video->RulerDistance, 7, 2));
}

void TCalibFrame::selPointsClick(bool down)
{
    if (m_loading)
        return;
    m_pointSelectState = down ? 1 : 0;
    static_cast<CalibPointTool*>(m_pointTool)->marks.clear();
    setTool(m_pointTool, down);
}

void TCalibFrame::pointPicked(QPointF p)
{
    if (!m_video || m_pointSelectState == 0)
        return;
    RecordingInfo& info = m_video->document()->Info;
    if (m_pointSelectState == 1) {
        info.CalPoint1 = {float(p.x()), float(p.y())};
        m_pointSelectState = 2;
    } else {
        info.CalPoint2 = {float(p.x()), float(p.y())};
        m_pointSelectState = 3;
    }
    auto* tool = static_cast<CalibPointTool*>(m_pointTool);
    tool->marks.append(p);
    emit tool->changed();
    UpdateReadouts();
}

void TCalibFrame::workoutcalClick()
{
    if (!m_video)
        return;
    RecordingInfo& info = m_video->document()->Info;
    const QPointF p1(info.CalPoint1[0], info.CalPoint1[1]);
    const QPointF p2(info.CalPoint2[0], info.CalPoint2[1]);
    const CalibrationResult result = CalculateCalibration(p1, p2, realDist->text());
    if (result.status != CalibrationResult::Calibrated) {
        if (result.status == CalibrationResult::InvalidDistance)
            QMessageBox::critical(this, QString(), QStringLiteral("Invalid Distance"));
        else
            QMessageBox::warning(this, QString(), result.message);
        realDist->setFocus();
        realDist->selectAll();
        return;
    }
    // One grid square spans the calibration distance; a distance that
    // clamps to a size of 0 (a negative one) leaves the grid as it is.
    if (result.gridSize > 0.0)
        spinsize->setValue(result.gridSize);
    StoreCalibration(info, p1, p2, result.pixelsPerUnit, calunitSelect->currentIndex());
    showUnit(info.CalUnitIndex, info.PixelsPerUnit);
    pointStatus->hide();
    if (CalibrationGridEntry* grid = this->grid())
        grid->PixelsPerUnit = result.pixelsPerUnit;
    if (m_video->RulerOn)
        m_video->SetRuler(m_video->RulerStart, m_video->RulerEnd);
    UpdateReadouts();
    m_video->UpdateOverlay();
}

void TCalibFrame::showUnit(int calUnitIndex, float pixelsPerUnit)
{
    distperunitlabel->setText(PixelsPerUnitCaption(calUnitIndex));
    unitsperpixelstatic->setText(FormatPixelsPerUnit(pixelsPerUnit));
    Label45->setText(QStringLiteral("Distance in ") + CalUnitName(calUnitIndex));
    // The grid's spacing is given in calibration units.
    gridSizeLabel->setText(QStringLiteral("Grid Size in ") + CalUnitName(calUnitIndex));
}

void TCalibFrame::GRidSpeedClick(bool down)
{
    if (m_loading || !m_video)
        return;
    if (down) {
        raise(PolarSpeed);
        if (CalibrationGridEntry* grid = this->grid())
            grid->Polar = false;
    }
    m_video->GridVisible = down;
    showGrid();
}

void TCalibFrame::PolarSpeedClick(bool down)
{
    if (m_loading || !m_video)
        return;
    if (down) {
        raise(GRidSpeed);
        if (CalibrationGridEntry* grid = this->grid())
            grid->Polar = true;
    }
    m_video->GridVisible = down;
    showGrid();
}

void TCalibFrame::GridPosSpeedClick(bool down)
{
    if (m_loading || !m_video)
        return;
    m_video->document()->GridEntry = gridEntry();
    setTool(m_gridPositionTool, down);
}

void TCalibFrame::gridStartPicked(QPointF p)
{
    if (CalibrationGridEntry* grid = this->grid()) {
        grid->StartX = Round(p.x());
        grid->StartY = Round(p.y());
        showGrid();
    }
}

void TCalibFrame::spinsizeChange(double value)
{
    if (m_loading)
        return;
    CalibrationGridEntry* grid = this->grid();
    if (!grid)
        return;
    if (!(value > 0.0)) {
        // The grid's lines are a size apart: 0 draws no grid at all.
        const QSignalBlocker block(spinsize);
        spinsize->setValue(grid->GridSize);
        QMessageBox::warning(this, QString(), QStringLiteral("The grid size must be greater than 0."));
        return;
    }
    grid->GridSize = float(value);
    showGrid();
}

void TCalibFrame::RotateStep(int direction)
{
    CalibrationGridEntry* grid = this->grid();
    if (!grid || direction == 0)
        return;
    const int angle = std::clamp(grid->AngleDegrees + direction, 0, kMaxGridAngle);
    grid->AngleDegrees = angle;
    RotateDisplay->setText(QString::number(angle));
    showGrid();
}

void TCalibFrame::startRotating(int direction)
{
    m_rotateDirection = direction;
    RotateStep(direction);
    m_rotateTimer->start();
}

void TCalibFrame::stopRotating()
{
    m_rotateTimer->stop();
    m_rotateDirection = 0;
}

void TCalibFrame::measureRulerClick(bool down)
{
    if (m_loading || !m_video)
        return;
    m_video->RulerOn = down;
    setTool(m_rulerTool, down);
    m_video->UpdateOverlay();
    UpdateReadouts();
}

void TCalibFrame::rulerPressed(QPointF p)
{
    if (!m_video)
        return;
    m_video->SetRuler(p, p);
    UpdateReadouts();
}

void TCalibFrame::rulerDragged(QPointF p)
{
    if (!m_video)
        return;
    m_video->SetRuler(m_video->RulerStart, p);
    UpdateReadouts();
}

void TCalibFrame::showGrid()
{
    if (m_video)
        m_video->UpdateOverlay();
}

void TCalibFrame::setTool(PickTool* tool, bool on)
{
    if (!m_video)
        return;
    if (on)
        m_video->view()->setTool(tool);
    else
        m_video->view()->removeTool(tool);
}

void TCalibFrame::raise(QToolButton* button)
{
    const bool loading = m_loading;
    m_loading = true;
    button->setChecked(false);
    m_loading = loading;
}
