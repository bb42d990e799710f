#pragma once
// Brightness frame: one slider −254..254 for the brightness entry (kind 1000).

#include "adjust/ui/AdjustmentFrame.h"

class TBFFrame : public AdjustmentFrame {
    Q_OBJECT
public:
    explicit TBFFrame(QWidget* parent = nullptr);
    SliderRow JvxSlider1; // with BrightEdit and BitBtn1

protected:
    AdjustmentEntry::Parameters NewEntry() const override;
    void LoadControls(const AdjustmentEntry& entry) override;
};
