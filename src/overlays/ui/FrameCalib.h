#pragma once
// TCalibFrame: the calibration frame. Two picked points and the real distance
// between them give the document's PixelsPerUnit; the grid controls edit the
// document's calibration grid entry (square or polar, start position, size in
// units, angle); the ruler measures a drag across the picture in units. The
// picks are view tools installed on the active document's view; the modes
// they set (grid shown, ruler on) stay with the window when the frame goes.

#include <QPointer>
#include <QPointF>
#include <QWidget>

class PickTool;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class QToolButton;
class TQORVideo;
struct AdjustmentEntry;
struct CalibrationGridEntry;

class TCalibFrame : public QWidget {
    Q_OBJECT
public:
    explicit TCalibFrame(QWidget* parent = nullptr);
    ~TCalibFrame() override;

    // Shows the active document's calibration and finds its grid entry,
    // appending one with the start values the first time.
    void LoadFromVideo(TQORVideo* video);
    // The picked points and the ruler length; ends picking once both points are in.
    void UpdateReadouts();

    // 0 idle, 1 waiting for the first point, 2 for the second, 3 both picked.
    int PointSelectState() const { return m_pointSelectState; }
    AdjustmentEntry* gridEntry() const;
    // The grid entry's parameters (nullptr without a grid entry).
    CalibrationGridEntry* grid() const;
    // One step of a held rotation button: +1 (clockwise) or −1, kept in 0..89.
    void RotateStep(int direction);
    // The tools the frame installs on the view (for the picks).
    PickTool* pointTool() const { return m_pointTool; }
    PickTool* gridPositionTool() const { return m_gridPositionTool; }
    PickTool* rulerTool() const { return m_rulerTool; }

    // Calibration group
    QToolButton* selPoints = nullptr;
    QLineEdit* pos1Box = nullptr;
    QLineEdit* pos2Box = nullptr;
    QLabel* pointStatus = nullptr;
    QPushButton* workoutcal = nullptr;
    QComboBox* calunitSelect = nullptr;
    QLineEdit* realDist = nullptr;
    QLabel* distperunitlabel = nullptr;
    QLabel* unitsperpixelstatic = nullptr;
    // Grid group
    QToolButton* GridPosSpeed = nullptr;
    QLabel* gridSizeLabel = nullptr;
    QDoubleSpinBox* spinsize = nullptr;
    QToolButton* rotClockBtn = nullptr;
    QToolButton* rotAntiClockBtn = nullptr;
    QLineEdit* RotateDisplay = nullptr;
    QToolButton* GRidSpeed = nullptr;
    QToolButton* PolarSpeed = nullptr;
    // Ruler group
    QToolButton* measureRuler = nullptr;
    QLabel* Label45 = nullptr;
    QLineEdit* measureDist = nullptr;

private:
    void selPointsClick(bool down);
    void workoutcalClick();
    void GRidSpeedClick(bool down);
    void PolarSpeedClick(bool down);
    void GridPosSpeedClick(bool down);
    void spinsizeChange(double value);
    void measureRulerClick(bool down);
    void pointPicked(QPointF imagePoint);
    void gridStartPicked(QPointF imagePoint);
    void rulerPressed(QPointF imagePoint);
    void rulerDragged(QPointF imagePoint);
    void startRotating(int direction);
    void stopRotating();
    void showUnit(int calUnitIndex, float pixelsPerUnit);
    void showGrid();
    // Takes the frame's tools off the view without ending the modes they set.
    void dropTools();
    // Puts a tool on the active view (or takes it off).
    void setTool(PickTool* tool, bool on);
    // Raises a button without running its click procedure.
    void raise(QToolButton* button);

    QPointer<TQORVideo> m_video;
    int m_pointSelectState = 0;
    int m_rotateDirection = 0;
    bool m_loading = false;
    PickTool* m_pointTool = nullptr;
    PickTool* m_gridPositionTool = nullptr;
    PickTool* m_rulerTool = nullptr;
    QTimer* m_rotateTimer = nullptr;
};
