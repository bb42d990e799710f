#pragma once
// The method panel of the parameter dialog: the controls of one target
// method (quadrant, light/dark spot, correlation). It loads them from a
// point's search parameters, stores them back, and calls OnChange whenever
// the user changes one of them so the dialog can redraw its preview.

#include "tracking/search/TargetSearch.h"

#include <QFrame>
#include <functional>

class QSpinBox;

class TMethodFrame : public QFrame {
    Q_OBJECT
public:
    explicit TMethodFrame(QWidget* parent = nullptr) : QFrame(parent) {}

    virtual void LoadValues(const tracking::SearchParameters& params) = 0;
    // Writes this panel's fields into params; others stay as they are.
    virtual void StoreValues(tracking::SearchParameters& params) const = 0;

    std::function<void()> OnChange;

protected:
    void Changed()
    {
        if (OnChange)
            OnChange();
    }
};

// A spin edit of the dialogs: range, step, object and accessible name;
// typed values outside the range are clamped into it.
QSpinBox* MakeParamSpin(QWidget* parent, const QString& name, const QString& accessibleName, int minimum,
                        int maximum, int step);
