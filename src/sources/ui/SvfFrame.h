#pragma once
// TSVFFrame: the Stravo camera settings frame. Its controls send the
// converter of the active Stravo document its processing settings and make
// the document render the common time again; the method buttons reopen the
// recording with another conversion method (kept program-wide). The custom
// white point is picked in the view while SetCustomWBBut is down.

#include <QGroupBox>
#include <QPointer>
#include <QWidget>

class QButtonGroup;
class QLabel;
class QPushButton;
class QRadioButton;
class QSlider;
class QSpinBox;
class QTimer;
class QToolButton;
class PickTool;
class QPointF;
class TFxSvffFc;
class TQORVideo;

// A titled group of radio buttons read and set by item index.
class TRadioGroup : public QGroupBox {
public:
    TRadioGroup(const QString& title, const QStringList& items, int columns, QWidget* parent);
    // -1 when no item is checked.
    int ItemIndex() const;
    // -1 unchecks every item.
    void SetItemIndex(int index);
    int count() const;
    QRadioButton* item(int index) const;
    QButtonGroup* group() const { return m_group; }

private:
    QButtonGroup* m_group;
};

class TSVFFrame : public QWidget {
    Q_OBJECT
public:
    explicit TSVFFrame(QWidget* parent = nullptr);

    // Follows the active document: its converter's settings go into the controls.
    void LoadFromVideo(TQORVideo* video);
    // The controls take the converter's values (busy while loading).
    void LoadFromComponent(const TFxSvffFc& component);

    QSpinBox* colorSpin = nullptr;
    QSlider* SVFHueTrack = nullptr;
    QLabel* SVFHueST = nullptr;
    QPushButton* BitBtn24 = nullptr;
    QToolButton* SetCustomWBBut = nullptr;
    TRadioGroup* WBRadio = nullptr;
    QPushButton* AutoWBBut = nullptr;
    TRadioGroup* ConMethodRadio = nullptr;
    TRadioGroup* LowPAssRadio = nullptr;
    TRadioGroup* KneeRadio = nullptr;
    TRadioGroup* GainRadio = nullptr;
    TRadioGroup* EnhanceRadio = nullptr;
    TRadioGroup* LUTRadio = nullptr;
    QPushButton* CustLutBut = nullptr;
    TRadioGroup* RGBMCRadio = nullptr;
    TRadioGroup* GammaRadio = nullptr;
    QToolButton* CMASpeedBut = nullptr;
    QToolButton* CMB1SpeedBut = nullptr;
    QToolButton* CMCSpeedBut = nullptr;
    QToolButton* CMD1SpeedBut = nullptr;
    QToolButton* CMB2SpeedBut = nullptr;
    QToolButton* CMB3SpeedBut = nullptr;
    QToolButton* CMD2SpeedBut = nullptr;
    QToolButton* CMD3SpeedBut = nullptr;
    QLabel* CAMethodtxt = nullptr;
    QTimer* Timer1 = nullptr;
    PickTool* whitePick() const { return m_whitePick; }

    // Handlers (public for the tests).
    void GainRadioClick();
    void GammaRadioClick();
    void EnhanceRadioClick();
    void KneeRadioClick();
    void LowPAssRadioClick();
    void RGBMCRadioClick();
    void WBRadioClick();
    void colorSpinChange();
    void SVFHueTrackChange();
    void LUTRadioClick();
    void CustLutButClick();
    void Timer1Timer();
    void SetCustomWBButClick();
    void AutoWBButClick();
    void ConMethodRadioClick() {}
    void CMASpeedButClick(QToolButton* button);

    // The text shown for a conversion method (1..8).
    static QString MethodText(int method);

private:
    TFxSvffFc* component() const;
    void render();
    void takeWhitePoint(QPointF displayedPoint);
    QToolButton* methodButton(int method) const;

    QPointer<TQORVideo> m_video;
    PickTool* m_whitePick = nullptr;
    QButtonGroup* m_methodButtons = nullptr;
    bool m_busy = false;
    bool m_timerBusy = false;
};
