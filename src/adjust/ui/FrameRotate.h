#pragma once
// Rotate / mirror frame for the rotate entry (kind 101): four exclusive turn
// buttons (0, 90, 180, 270 degrees) and two mirror toggles. Turn codes:
// R0Speed 0, R90Speed 1, R270Speed 2, R180Speed 3. Mirror code: 1 when
// FlipVSpeed is down, plus 2 when FlipHSpeed is down.

#include "adjust/ui/AdjustmentFrame.h"

class QButtonGroup;
class QToolButton;

class TRotateFrame : public AdjustmentFrame {
    Q_OBJECT
public:
    explicit TRotateFrame(QWidget* parent = nullptr);

    QToolButton* R0Speed = nullptr;
    QToolButton* R90Speed = nullptr;
    QToolButton* R180Speed = nullptr;
    QToolButton* R270Speed = nullptr;
    QToolButton* FlipHSpeed = nullptr;
    QToolButton* FlipVSpeed = nullptr;

    int MirrorCode() const;
    int TurnCode() const;

protected:
    AdjustmentEntry::Parameters NewEntry() const override;
    void LoadControls(const AdjustmentEntry& entry) override;

private:
    void TurnClicked();
    void FlipHSpeedClick();

    QButtonGroup* m_turns = nullptr;
};
