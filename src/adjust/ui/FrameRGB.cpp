#include "adjust/ui/FrameRGB.h"

TRGBFrame::TRGBFrame(QWidget* parent)
    : AdjustmentFrame(KindRgb, QStringLiteral("RGB"), QSize(300, 315), parent)
{
    JvxSlider1 = AddSliderRow(QString(), QStringLiteral("JvxSlider1"), QStringLiteral("REdit"),
                              QStringLiteral("BitBtn1"), -150, 150, 0, 0, 0,
                              [](AdjustmentEntry& e, int value) { e.Value1 = value; });
    JvxSlider2 = AddSliderRow(QString(), QStringLiteral("JvxSlider2"), QStringLiteral("GEdit"),
                              QStringLiteral("BitBtn2"), -150, 150, 0, 0, 0,
                              [](AdjustmentEntry& e, int value) { e.Value2 = value; });
    JvxSlider3 = AddSliderRow(QString(), QStringLiteral("JvxSlider3"), QStringLiteral("BEdit"),
                              QStringLiteral("BitBtn3"), -150, 150, 0, 0, 0,
                              [](AdjustmentEntry& e, int value) { e.Value3 = value; });
    AddHistogramGraph({Qt::red, Qt::green, Qt::blue}, 4);
}

void TRGBFrame::InitNewEntry(AdjustmentEntry& entry)
{
    entry.Value1 = entry.Value2 = entry.Value3 = 0;
}

void TRGBFrame::LoadControls(const AdjustmentEntry& entry)
{
    SetRowValue(JvxSlider1, entry.Value1);
    SetRowValue(JvxSlider2, entry.Value2);
    SetRowValue(JvxSlider3, entry.Value3);
}
