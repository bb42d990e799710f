#include "adjust/ui/FrameContrast.h"

TConFrame::TConFrame(QWidget* parent)
    : AdjustmentFrame(KindContrast, QStringLiteral("CONTRAST"), QSize(300, 254), parent)
{
    JvxSlider1 = AddSliderRow(QString(), QStringLiteral("JvxSlider1"), QStringLiteral("ConEdit"),
                              QStringLiteral("BitBtn1"), -150, 150, 0, 0, 0,
                              WriteField(&ContrastEntry::Amount));
    AddHistogramGraph({Qt::white, Qt::red, Qt::green, Qt::blue}, 0);
}

AdjustmentEntry::Parameters TConFrame::NewEntry() const
{
    return ContrastEntry{.Amount = 0};
}

void TConFrame::LoadControls(const AdjustmentEntry& entry)
{
    if (const auto* contrast = entry.As<ContrastEntry>())
        SetRowValue(JvxSlider1, contrast->Amount);
}
