#include "adjust/ui/FrameGamma.h"

TGammaFrame::TGammaFrame(QWidget* parent)
    : AdjustmentFrame(KindGamma, QStringLiteral("GAMMA"), QSize(300, 237), parent)
{
    JvxSlider1 = AddSliderRow(QString(), QStringLiteral("JvxSlider1"), QStringLiteral("ConEdit"),
                              QStringLiteral("BitBtn1"), 1, 19, 10, 10, 10, [](AdjustmentEntry& e, int value) {
                                  if (auto* gamma = e.As<GammaEntry>()) {
                                      gamma->Slider = value;
                                      gamma->Exponent = ExponentForSlider(value);
                                  }
                              });
    AddHistogramGraph({Qt::white, Qt::red, Qt::green, Qt::blue}, 0);
}

AdjustmentEntry::Parameters TGammaFrame::NewEntry() const
{
    return GammaEntry{.Slider = 10, .Exponent = 1.0f};
}

void TGammaFrame::LoadControls(const AdjustmentEntry& entry)
{
    if (const auto* gamma = entry.As<GammaEntry>())
        SetRowValue(JvxSlider1, gamma->Slider);
}
