#pragma once
// Gamma frame: slider 1..19 (10 = no change) for the gamma entry (kind 56).
// The exponent is (20 − slider) / 10, from 1.9 down to 0.1; the edit shows
// slider − 10.

#include "adjust/ui/AdjustmentFrame.h"

class TGammaFrame : public AdjustmentFrame {
    Q_OBJECT
public:
    explicit TGammaFrame(QWidget* parent = nullptr);
    SliderRow JvxSlider1; // with ConEdit and BitBtn1

    static float ExponentForSlider(int slider) { return float(20 - slider) / 10.0f; }

protected:
    AdjustmentEntry::Parameters NewEntry() const override;
    void LoadControls(const AdjustmentEntry& entry) override;
};
