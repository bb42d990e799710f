#pragma once
// Colour balance frame: red, green and blue sliders −150..150 for the RGB
// entry (kind 16); the histogram shows the three channels.

#include "adjust/ui/AdjustmentFrame.h"

class TRGBFrame : public AdjustmentFrame {
    Q_OBJECT
public:
    explicit TRGBFrame(QWidget* parent = nullptr);
    SliderRow JvxSlider1; // red, with REdit and BitBtn1
    SliderRow JvxSlider2; // green, with GEdit and BitBtn2
    SliderRow JvxSlider3; // blue, with BEdit and BitBtn3

protected:
    AdjustmentEntry::Parameters NewEntry() const override;
    void LoadControls(const AdjustmentEntry& entry) override;
};
