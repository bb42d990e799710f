#include "tracking/ui/MethodFrame.h"

#include <QSpinBox>

QSpinBox* MakeParamSpin(QWidget* parent, const QString& name, const QString& accessibleName, int minimum,
                        int maximum, int step)
{
    auto* spin = new QSpinBox(parent);
    spin->setObjectName(name);
    spin->setAccessibleName(accessibleName);
    spin->setRange(minimum, maximum);
    spin->setSingleStep(step);
    spin->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    spin->setKeyboardTracking(false);
    return spin;
}
