#pragma once
// The small pictures of the tracking frame: the target method (quadrant,
// light spot, dark spot, correlation), the tracking mode (Auto, Semi-auto,
// Manual) and the enabled state of a point's list row.

#include <QIcon>
#include <cstdint>

QIcon TrackingMethodIcon(uint8_t method);
QIcon TrackingModeIcon(uint8_t mode);
QIcon TrackingEnabledIcon(bool enabled);
