#include "adjust/ui/FrameRGB.h"

TRGBFrame::TRGBFrame(QWidget* parent)
    : AdjustmentFrame(KindRgb, QStringLiteral("RGB"), QSize(300, 315), parent)
{
    JvxSlider1 = AddSliderRow(QString(), QStringLiteral("JvxSlider1"), QStringLiteral("REdit"),
                              QStringLiteral("BitBtn1"), -150, 150, 0, 0, 0,
                              WriteField(&RgbEntry::Red));
    JvxSlider2 = AddSliderRow(QString(), QStringLiteral("JvxSlider2"), QStringLiteral("GEdit"),
                              QStringLiteral("BitBtn2"), -150, 150, 0, 0, 0,
                              WriteField(&RgbEntry::Green));
    JvxSlider3 = AddSliderRow(QString(), QStringLiteral("JvxSlider3"), QStringLiteral("BEdit"),
                              QStringLiteral("BitBtn3"), -150, 150, 0, 0, 0,
                              WriteField(&RgbEntry::Blue));
    NameSliderRow(JvxSlider1, tr("Red"));
    NameSliderRow(JvxSlider2, tr("Green"));
    NameSliderRow(JvxSlider3, tr("Blue"));
    AddHistogramGraph({Qt::red, Qt::green, Qt::blue}, 4);
}

AdjustmentEntry::Parameters TRGBFrame::NewEntry() const
{
    return RgbEntry{.Red = 0, .Green = 0, .Blue = 0};
}

void TRGBFrame::LoadControls(const AdjustmentEntry& entry)
{
    if (const auto* colours = entry.As<RgbEntry>()) {
        SetRowValue(JvxSlider1, colours->Red);
        SetRowValue(JvxSlider2, colours->Green);
        SetRowValue(JvxSlider3, colours->Blue);
    }
}
