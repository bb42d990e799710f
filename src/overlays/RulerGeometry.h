#pragma once
// The measuring ruler: a yellow line between two image points and its length
// as text ("12.35 mm") 20 view pixels right of and below its end.

#include "overlays/ViewMapping.h"

#include <QLineF>
#include <QPoint>
#include <QPointF>
#include <QString>

// Unit names by CalUnitIndex: "µm", "mm", "cm", "m", "inches", "feet",
// "pixels"; an index outside the table gives an empty name.
QString CalUnitName(int calUnitIndex);

// Distance between two image points in calibration units. A pixels-per-unit
// that is not a positive finite number gives the length in pixels.
double RulerDistance(QPointF start, QPointF end, double pixelsPerUnit);

// "12.35 mm": 5 significant digits, 2 decimals, a space, the unit name.
QString RulerText(double distance, int calUnitIndex);

QLineF RulerViewLine(QPointF start, QPointF end, const ViewMapping& view);

// Top-left corner of the text: the end's view position + 20, rounded.
QPoint RulerTextTopLeft(QPointF end, const ViewMapping& view);
