#pragma once
// Method panel of the correlation method: it has no settings of its own.

#include "tracking/ui/MethodFrame.h"

class TCorrelationFrame : public TMethodFrame {
    Q_OBJECT
public:
    explicit TCorrelationFrame(QWidget* parent = nullptr);

    void LoadValues(const tracking::SearchParameters&) override {}
    void StoreValues(tracking::SearchParameters&) const override {}
};
