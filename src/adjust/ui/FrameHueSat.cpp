#include "adjust/ui/FrameHueSat.h"

#include <QSlider>
#include <QVBoxLayout>

THueSatFrame::THueSatFrame(QWidget* parent)
    : AdjustmentFrame(KindHueSat, QStringLiteral("HUE / SATURATION"), QSize(300, 254), parent)
{
    HueSlider = AddSliderRow(QStringLiteral("HUE"), QStringLiteral("HueSlider"), QStringLiteral("HueEdit"),
                             QStringLiteral("BitBtn1"), -180, 180, 0, 0, 0,
                             WriteField(&HueSatEntry::Hue));
    SatSlider = AddSliderRow(QStringLiteral("SATURATION"), QStringLiteral("SatSlider"), QStringLiteral("SatEdit"),
                             QStringLiteral("BitBtn2"), -100, 100, 0, 0, 0,
                             WriteField(&HueSatEntry::Saturation));
    m_layout->addStretch(1);
}

AdjustmentEntry::Parameters THueSatFrame::NewEntry() const
{
    // A new entry starts neutral: the sliders may still show the values of
    // another document, which must not leak into this one.
    return HueSatEntry{.Hue = 0, .Saturation = 0, .Value = 0};
}

void THueSatFrame::LoadControls(const AdjustmentEntry& entry)
{
    if (const auto* hueSat = entry.As<HueSatEntry>()) {
        SetRowValue(HueSlider, hueSat->Hue);
        SetRowValue(SatSlider, hueSat->Saturation);
    }
}
