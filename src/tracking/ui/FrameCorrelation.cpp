#include "tracking/ui/FrameCorrelation.h"

TCorrelationFrame::TCorrelationFrame(QWidget* parent)
    : TMethodFrame(parent)
{
    setObjectName(QStringLiteral("CorrelationFrame"));
    setAccessibleName(QStringLiteral("Correlation method: no further settings"));
    setMinimumHeight(236);
}
