#pragma once
// The "ZOOM TOOLS" frame docked in the main window. Passive: its buttons and
// menus only emit signals, which the main window forwards to the active
// document's view; loadFrom() shows a document's state without emitting.

#include <QWidget>

class QActionGroup;
class QComboBox;
class QLabel;
class QSlider;
class QToolButton;

class TZoomFrame : public QWidget {
    Q_OBJECT
public:
    explicit TZoomFrame(QWidget* parent = nullptr);

    // Shows the document's state: "Zoom Watch" down when it has a magnifier
    // (with its magnification level), the zoom mode list at its kernel. The
    // caller applies the kernel to the view itself, as for a list change.
    void loadFrom(bool hasMagnifier, int magnifierLevel, int zoomKernel);
    // Raises or presses a button without emitting (e.g. "Zoom Area" after use).
    void setZoomAreaDown(bool down);
    void setZoomOutDown(bool down);
    void setZoomWatchDown(bool down);

    bool zoomOutDown() const;
    bool zoomAreaDown() const;
    bool zoomWatchDown() const;
    int zoomKernel() const;
    int magnification() const;

    QSize sizeHint() const override { return {300, 167}; }

    // The controls, named as the frame names them (tests and wiring).
    QToolButton* ToolButton2 = nullptr;   // "Zoom Out" (check)
    QToolButton* ToolButton5 = nullptr;   // "Fit"
    QToolButton* ZoomRBToolBut = nullptr; // "Zoom Area" (check, grouped)
    QToolButton* ZoomwatchBut = nullptr;  // "Zoom Watch" (check, grouped)
    QToolButton* ToolButton6 = nullptr;   // "Zoom Percent" (drop-down)
    QToolButton* SpeedButton1 = nullptr;  // "Reset Zoom"
    QComboBox* ZoomModeCombo = nullptr;   // "Basic", "Linear", "Quadratic", "Advanced"
    QSlider* MagnMagnification = nullptr; // 0..50, shown while "Zoom Watch" is down
    QLabel* MagnLabel = nullptr;

signals:
    void zoomOutToggled(bool down);     // click-zoom mode follows the button
    void fitClicked();                  // fit the whole image (FitMode off)
    void zoomAreaToggled(bool down);    // area zoom; Pan is raised
    void zoomWatchToggled(bool down);   // magnifier on/off; Pan is raised
    void zoomPercentChosen(int percent); // 50, 100, 150, 200, 400, 800
    void resetZoomClicked();            // scale 1, FitMode off
    void zoomKernelChanged(int index);  // 0 box .. 3 Mitchell
    void magnificationChanged(int level);

private:
    void showGauge(bool visible);
    QActionGroup* m_percentGroup = nullptr;
};
