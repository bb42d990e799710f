#pragma once
// Contrast frame: one slider −150..150 for the contrast entry (kind 1).

#include "adjust/ui/AdjustmentFrame.h"

class TConFrame : public AdjustmentFrame {
    Q_OBJECT
public:
    explicit TConFrame(QWidget* parent = nullptr);
    SliderRow JvxSlider1; // with ConEdit and BitBtn1

protected:
    AdjustmentEntry::Parameters NewEntry() const override;
    void LoadControls(const AdjustmentEntry& entry) override;
};
