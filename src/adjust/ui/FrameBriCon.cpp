#include "adjust/ui/FrameBriCon.h"

TBFFrame::TBFFrame(QWidget* parent)
    : AdjustmentFrame(KindBrightness, QStringLiteral("BRIGHTNESS"), QSize(300, 254), parent)
{
    JvxSlider1 = AddSliderRow(QString(), QStringLiteral("JvxSlider1"), QStringLiteral("BrightEdit"),
                              QStringLiteral("BitBtn1"), -254, 254, 0, 0, 0,
                              WriteField(&BrightnessEntry::Offset));
    AddHistogramGraph({Qt::white, Qt::red, Qt::green, Qt::blue}, 0);
}

AdjustmentEntry::Parameters TBFFrame::NewEntry() const
{
    return BrightnessEntry{.Offset = 0};
}

void TBFFrame::LoadControls(const AdjustmentEntry& entry)
{
    if (const auto* brightness = entry.As<BrightnessEntry>())
        SetRowValue(JvxSlider1, brightness->Offset);
}
