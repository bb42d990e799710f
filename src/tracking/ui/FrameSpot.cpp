#include "tracking/ui/FrameSpot.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {
QRadioButton* MakeRadio(QWidget* parent, const QString& name, const QString& caption)
{
    auto* radio = new QRadioButton(caption, parent);
    radio->setObjectName(name);
    radio->setAccessibleName(caption.simplified());
    return radio;
}
} // namespace

TSpotFrame::TSpotFrame(QWidget* parent)
    : TMethodFrame(parent)
{
    setObjectName(QStringLiteral("SpotFrame"));
    auto* outer = new QGroupBox(QStringLiteral("Light/Dark Spot Parameter"), this);
    outer->setObjectName(QStringLiteral("SpotGroup"));

    auto* threshold = new QGroupBox(QStringLiteral("Threshold"), outer);
    threshold->setObjectName(QStringLiteral("ThresholdGroup"));
    ThrDynamicRadio = MakeRadio(threshold, QStringLiteral("ThrDynamicRadio"), QStringLiteral("Adaptive (Relative )"));
    ThrPercentSpin = MakeParamSpin(threshold, QStringLiteral("ThrPercentSpin"),
                                   QStringLiteral("Adaptive threshold, % of Max/Min intensity of current template"),
                                   0, 100, 2);
    ThrStaticRadio = MakeRadio(threshold, QStringLiteral("ThrStaticRadio"),
                               QStringLiteral("Fixed  (Absolute intensity range)"));
    ThrMinSpin = MakeParamSpin(threshold, QStringLiteral("ThrMinSpin"), QStringLiteral("Min"), 0, 255, 5);
    ThrMaxSpin = MakeParamSpin(threshold, QStringLiteral("ThrMaxSpin"), QStringLiteral("Max"), 0, 255, 5);
    auto* thresholdGroup = new QButtonGroup(this);
    thresholdGroup->addButton(ThrDynamicRadio);
    thresholdGroup->addButton(ThrStaticRadio);

    auto* grid = new QGridLayout(threshold);
    grid->addWidget(ThrDynamicRadio, 0, 0, 1, 4);
    grid->addWidget(ThrPercentSpin, 1, 1);
    auto* percentLabel = new QLabel(QStringLiteral("% of Max/Min intensity of current template"), threshold);
    percentLabel->setWordWrap(true);
    grid->addWidget(percentLabel, 1, 2, 1, 3);
    grid->addWidget(ThrStaticRadio, 2, 0, 1, 4);
    auto* minLabel = new QLabel(QStringLiteral("Min"), threshold);
    minLabel->setBuddy(ThrMinSpin);
    auto* maxLabel = new QLabel(QStringLiteral("Max"), threshold);
    maxLabel->setBuddy(ThrMaxSpin);
    grid->addWidget(minLabel, 3, 0, Qt::AlignRight);
    grid->addWidget(ThrMinSpin, 3, 1);
    grid->addWidget(maxLabel, 3, 2, Qt::AlignRight);
    grid->addWidget(ThrMaxSpin, 3, 3);
    grid->setColumnMinimumWidth(0, 24);
    grid->setColumnStretch(4, 1);

    auto* cog = new QGroupBox(QStringLiteral("Center of Gravity Calculation Method"), outer);
    cog->setObjectName(QStringLiteral("CogGroup"));
    COGNormalRadio = MakeRadio(cog, QStringLiteral("COGNormalRadio"), QStringLiteral("normal"));
    COGWeightedRadio = MakeRadio(cog, QStringLiteral("COGWeightedRadio"), QStringLiteral("weighted with intensity"));
    auto* cogGroup = new QButtonGroup(this);
    cogGroup->addButton(COGNormalRadio);
    cogGroup->addButton(COGWeightedRadio);
    auto* cogLayout = new QVBoxLayout(cog);
    cogLayout->addWidget(COGNormalRadio);
    cogLayout->addWidget(COGWeightedRadio);

    auto* outerLayout = new QVBoxLayout(outer);
    outerLayout->addWidget(threshold);
    outerLayout->addWidget(cog);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(outer);
    layout->addStretch();

    for (QSpinBox* spin : {ThrPercentSpin, ThrMinSpin, ThrMaxSpin})
        connect(spin, &QSpinBox::valueChanged, this, [this] { Changed(); });
    // One call per click: only the radio that becomes checked reports.
    for (QRadioButton* radio : {ThrDynamicRadio, ThrStaticRadio, COGNormalRadio, COGWeightedRadio})
        connect(radio, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                Changed();
        });
}

void TSpotFrame::LoadValues(const tracking::SearchParameters& params)
{
    (params.FixedRange != 0 ? ThrStaticRadio : ThrDynamicRadio)->setChecked(true);
    (params.WeightedCog != 0 ? COGWeightedRadio : COGNormalRadio)->setChecked(true);
    ThrPercentSpin->setValue(params.ThresholdPercent);
    ThrMinSpin->setValue(params.RangeMin);
    ThrMaxSpin->setValue(params.RangeMax);
}

void TSpotFrame::StoreValues(tracking::SearchParameters& params) const
{
    params.FixedRange = ThrDynamicRadio->isChecked() ? 0 : 1;
    params.WeightedCog = COGNormalRadio->isChecked() ? 0 : 1;
    params.ThresholdPercent = ThrPercentSpin->value();
    params.RangeMin = ThrMinSpin->value();
    params.RangeMax = ThrMaxSpin->value();
}
