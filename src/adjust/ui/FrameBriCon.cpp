#include "adjust/ui/FrameBriCon.h"

TBFFrame::TBFFrame(QWidget* parent)
    : AdjustmentFrame(KindBrightness, QStringLiteral("BRIGHTNESS"), QSize(300, 254), parent)
{
    JvxSlider1 = AddSliderRow(QString(), QStringLiteral("JvxSlider1"), QStringLiteral("BrightEdit"),
                              QStringLiteral("BitBtn1"), -254, 254, 0, 0, 0,
                              [](AdjustmentEntry& e, int value) { e.Value1 = value; });
    AddHistogramGraph({Qt::white, Qt::red, Qt::green, Qt::blue}, 0);
}

void TBFFrame::InitNewEntry(AdjustmentEntry& entry)
{
    entry.Value1 = 0;
}

void TBFFrame::LoadControls(const AdjustmentEntry& entry)
{
    SetRowValue(JvxSlider1, entry.Value1);
}
