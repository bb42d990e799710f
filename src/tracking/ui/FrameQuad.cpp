#include "tracking/ui/FrameQuad.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

TQuadFrame::TQuadFrame(QWidget* parent)
    : TMethodFrame(parent)
{
    setObjectName(QStringLiteral("QuadFrame"));
    auto* group = new QGroupBox(QStringLiteral("Quadrant Centering"), this);
    group->setObjectName(QStringLiteral("QuadGroup"));
    QcentreSpin = MakeParamSpin(group, QStringLiteral("QcentreSpin"), QStringLiteral("Centering Circle diameter"),
                                10, 100, 5);
    CentreMoveSpin = MakeParamSpin(group, QStringLiteral("CentreMoveSpin"), QStringLiteral("Max Center Movement"),
                                   0, 999, 5);

    auto* grid = new QGridLayout(group);
    auto* circleLabel = new QLabel(QStringLiteral("Centering Circle diameter"), group);
    circleLabel->setBuddy(QcentreSpin);
    grid->addWidget(circleLabel, 0, 0);
    grid->addWidget(QcentreSpin, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("% of Template Size"), group), 0, 2);
    auto* moveLabel = new QLabel(QStringLiteral("Max Center Movement"), group);
    moveLabel->setBuddy(CentreMoveSpin);
    grid->addWidget(moveLabel, 1, 0);
    grid->addWidget(CentreMoveSpin, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("pixel"), group), 1, 2);
    grid->setColumnStretch(3, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(group);
    layout->addStretch();

    connect(QcentreSpin, &QSpinBox::valueChanged, this, [this] { Changed(); });
    connect(CentreMoveSpin, &QSpinBox::valueChanged, this, [this] { Changed(); });
}

void TQuadFrame::LoadValues(const tracking::SearchParameters& params)
{
    QcentreSpin->setValue(params.CentreDiameter);
    CentreMoveSpin->setValue(params.MaxCentreMove);
}

void TQuadFrame::StoreValues(tracking::SearchParameters& params) const
{
    params.CentreDiameter = QcentreSpin->value();
    params.MaxCentreMove = CentreMoveSpin->value();
}
