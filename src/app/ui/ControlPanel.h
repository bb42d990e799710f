#pragma once
// The transport controls of the main window: play buttons, the range slider,
// the START / CURRENT / END boxes, the mark buttons, T=0, the play speed and
// the lamp. Passive: the shell sets what it shows, and the panel reports
// what the user did through its signals. Setting values never emits.

#include <QWidget>

#include <cstdint>

class QLabel;
class QLineEdit;
class QSpinBox;
class QToolButton;
class RangeSlider;

class ControlPanel : public QWidget {
    Q_OBJECT
public:
    explicit ControlPanel(QWidget* parent = nullptr);

    void ShowSlider(int64_t begFrame, int64_t endFrame, int64_t subBegFrame, int64_t subEndFrame,
                    int64_t currentFrame);
    void ShowTimes(const QString& in, const QString& current, const QString& out);
    void ShowLamp(bool lit);
    void ShowLoop(bool loop);

    int PlaySpeed() const;
    RangeSlider* Slider() const { return m_slider; }

signals:
    void goToStartClicked();
    void stepBackClicked();
    void playBackwardClicked();
    void stopClicked();
    void playForwardClicked();
    void stepForwardClicked();
    void goToEndClicked();
    void goToZeroClicked();
    void sliderMoved(int tick);
    void inMoved(int tick);
    void outMoved(int tick);
    void markInClicked();
    void markOutClicked();
    void playSpeedChanged(int framesPerSecond);

private:
    QWidget* buildPlayBar();
    QWidget* buildSliderPanel();
    QWidget* buildSpeedBar();

    RangeSlider* m_slider = nullptr;
    QLineEdit* m_inEdit = nullptr;
    QLineEdit* m_curTimeEdit = nullptr;
    QLineEdit* m_outEdit = nullptr;
    QSpinBox* m_playSpeed = nullptr;
    QLabel* m_lamp = nullptr;
    QToolButton* m_playBackward = nullptr;
    QToolButton* m_playForward = nullptr;
};
