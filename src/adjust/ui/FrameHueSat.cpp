#include "adjust/ui/FrameHueSat.h"

#include <QSlider>
#include <QVBoxLayout>

THueSatFrame::THueSatFrame(QWidget* parent)
    : AdjustmentFrame(KindHueSat, QStringLiteral("HUE / SATURATION"), QSize(300, 254), parent)
{
    HueSlider = AddSliderRow(QStringLiteral("HUE"), QStringLiteral("HueSlider"), QStringLiteral("HueEdit"),
                             QStringLiteral("BitBtn1"), -180, 180, 0, 0, 0,
                             [](AdjustmentEntry& e, int value) { e.Value1 = value; });
    SatSlider = AddSliderRow(QStringLiteral("SATURATION"), QStringLiteral("SatSlider"), QStringLiteral("SatEdit"),
                             QStringLiteral("BitBtn2"), -100, 100, 0, 0, 0,
                             [](AdjustmentEntry& e, int value) { e.Value2 = value; });
    m_layout->addStretch(1);
}

void THueSatFrame::InitNewEntry(AdjustmentEntry& entry)
{
    // A new entry starts neutral: the sliders may still show the values of
    // another document, which must not leak into this one.
    entry.Value1 = 0;
    entry.Value2 = 0;
    entry.Value3 = 0;
}

void THueSatFrame::LoadControls(const AdjustmentEntry& entry)
{
    SetRowValue(HueSlider, entry.Value1);
    SetRowValue(SatSlider, entry.Value2);
}
