#pragma once
// Method panel of the quadrant method: the centring circle's diameter and
// the largest movement of the centre.

#include "tracking/ui/MethodFrame.h"

class TQuadFrame : public TMethodFrame {
    Q_OBJECT
public:
    explicit TQuadFrame(QWidget* parent = nullptr);

    void LoadValues(const tracking::SearchParameters& params) override;
    void StoreValues(tracking::SearchParameters& params) const override;

    QSpinBox* QcentreSpin = nullptr;     // CentreDiameter, % of the template width
    QSpinBox* CentreMoveSpin = nullptr;  // MaxCentreMove, pixels
};
