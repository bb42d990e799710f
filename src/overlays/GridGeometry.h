#pragma once
// Where the calibration grid is drawn in the view: whole lines (two
// perpendicular families) or rings around the start point. Everything is in
// view pixels, so the cost depends on the view size and the spacing only.

#include "overlays/ViewMapping.h"

#include <QLine>
#include <QLineF>
#include <QPoint>
#include <QSize>
#include <vector>

struct GridParams {
    int AngleDegrees = 0;        // grid angle, whole degrees
    double StartX = 0.0;         // start position, image pixels
    double StartY = 0.0;
    double GridSize = 1.0;       // spacing in calibration units
    double PixelsPerUnit = 1.0;  // the entry's copy of PixelsPerUnit
    bool Polar = false;          // rings instead of lines
};

// Most lines drawn towards one side of one family. Normal grids need a few
// hundred at most; the cap keeps a microscopic spacing from stalling a paint.
inline constexpr int MaxGridLinesPerSide = 4096;

// Spacing of adjacent lines along the view's axes:
// size × pixels-per-unit × scale / cos(angle).
double GridLineSpacing(const GridParams& grid, double scale);

// Both line families, first family (slope tan a, from x = 0 to x = W) first.
// The first line of each family passes through the start point; lines one
// step beyond each edge are included. A spacing that is not a positive finite
// number gives the two lines through the start point only.
std::vector<QLineF> LineGridLines(const GridParams& grid, const ViewMapping& view, QSize viewSize);

struct RingGridShape {
    QPoint Centre;                 // view pixels, rounded
    QLine CrossLines[2];           // the small centre cross, end points inclusive
    std::vector<int> Radii;        // ring radii in view pixels, ascending
};

// Rings every Round(size × pixels-per-unit × scale) view pixels while the
// radius stays below the buffer's width and height; none when that spacing
// rounds below 1.
RingGridShape RingGrid(const GridParams& grid, const ViewMapping& view, QSize bufferSize);
