#include "adjust/ui/FrameContrast.h"

TConFrame::TConFrame(QWidget* parent)
    : AdjustmentFrame(KindContrast, QStringLiteral("CONTRAST"), QSize(300, 254), parent)
{
    JvxSlider1 = AddSliderRow(QString(), QStringLiteral("JvxSlider1"), QStringLiteral("ConEdit"),
                              QStringLiteral("BitBtn1"), -150, 150, 0, 0, 0,
                              [](AdjustmentEntry& e, int value) { e.Value1 = value; });
    AddHistogramGraph({Qt::white, Qt::red, Qt::green, Qt::blue}, 0);
}

void TConFrame::InitNewEntry(AdjustmentEntry& entry)
{
    entry.Value1 = 0;
}

void TConFrame::LoadControls(const AdjustmentEntry& entry)
{
    SetRowValue(JvxSlider1, entry.Value1);
}
