#pragma once
// Method panel of the light and dark spot methods: the spot's intensity
// range (adaptive, relative to the template's brightest or darkest pixel,
// or a fixed range) and how its centre of gravity is computed.

#include "tracking/ui/MethodFrame.h"

class QRadioButton;

class TSpotFrame : public TMethodFrame {
    Q_OBJECT
public:
    explicit TSpotFrame(QWidget* parent = nullptr);

    void LoadValues(const tracking::SearchParameters& params) override;
    void StoreValues(tracking::SearchParameters& params) const override;

    QRadioButton* ThrDynamicRadio = nullptr;   // FixedRange 0
    QSpinBox* ThrPercentSpin = nullptr;        // ThresholdPercent
    QRadioButton* ThrStaticRadio = nullptr;    // FixedRange 1
    QSpinBox* ThrMinSpin = nullptr;            // RangeMin
    QSpinBox* ThrMaxSpin = nullptr;            // RangeMax
    QRadioButton* COGNormalRadio = nullptr;    // WeightedCog 0
    QRadioButton* COGWeightedRadio = nullptr;  // WeightedCog 1
};
