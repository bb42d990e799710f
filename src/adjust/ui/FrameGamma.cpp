#include "adjust/ui/FrameGamma.h"

TGammaFrame::TGammaFrame(QWidget* parent)
    : AdjustmentFrame(KindGamma, QStringLiteral("GAMMA"), QSize(300, 237), parent)
{
    JvxSlider1 = AddSliderRow(QString(), QStringLiteral("JvxSlider1"), QStringLiteral("ConEdit"),
                              QStringLiteral("BitBtn1"), 1, 19, 10, 10, 10, [](AdjustmentEntry& e, int value) {
                                  e.Value1 = value;
                                  e.RealValue = ExponentForSlider(value);
                              });
    AddHistogramGraph({Qt::white, Qt::red, Qt::green, Qt::blue}, 0);
}

void TGammaFrame::InitNewEntry(AdjustmentEntry& entry)
{
    entry.Value1 = 10;
    entry.RealValue = 1.0f;
}

void TGammaFrame::LoadControls(const AdjustmentEntry& entry)
{
    SetRowValue(JvxSlider1, entry.Value1);
}
