#pragma once
// Hue and saturation frame: hue −180..180 degrees and saturation −100..100
// for the hue/saturation entry (kind 41). The value channel is never changed
// (it stays 0).

#include "adjust/ui/AdjustmentFrame.h"

class THueSatFrame : public AdjustmentFrame {
    Q_OBJECT
public:
    explicit THueSatFrame(QWidget* parent = nullptr);
    SliderRow HueSlider; // with HueEdit and BitBtn1
    SliderRow SatSlider; // with SatEdit and BitBtn2

protected:
    AdjustmentEntry::Parameters NewEntry() const override;
    void LoadControls(const AdjustmentEntry& entry) override;
};
