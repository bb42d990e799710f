#pragma once
// The spreadsheet export of one tracking point: its header and one row per
// record on the sheet "Qor Player Data" of a new .xlsx workbook.
//
// TrackingSheetFor fills a TrackingSheet from a tracked point (unsmoothed
// series, one row per record of the point, tracked or not);
// WriteTrackingSpreadsheet writes it.
//
// Layout (rows and columns from 1):
//   1  "Qor Player Tracking Data"
//   2  "Point Name"  | name
//   3  "FPS"         | frame rate
//   4  "Width"       | frame width
//   5  "Height"      | frame height
//   6  "Calibration" | pixels per unit
//   7  "Calibration Units" | unit label
//   8  "Origin" | "X" | "Y"
//   9           | origin x | origin y
//  10  "Point Data"
//  11  "Frame No" | "Time [s]" | "Coordinate" | | "Position" | | "Displacement"
//      | | "Velocity" | | "Acceleration" | | "RPM"
//  12  "X" and "Y" under each pair, columns 3 ... 12
//  13+i record i: index, time, pixel X/Y, position X/Y, displacement X/Y,
//      velocity X/Y, acceleration X/Y, RPM. Columns 3 ... 13 hold the value
//      rounded as its fixed 7-digit text: 2 decimals for pixels and RPM,
//      `lengthDecimals` for calibrated lengths and their rates; a missing
//      value (and a missing time) is the text "Vanish".

#include "graphs/Channel.h"

#include <QString>
#include <vector>

// One record of the point. Every value starts missing
// (kTrackingMissingSample), so an untracked record needs only its time.
struct TrackingSheetRow {
    double time = kTrackingMissingSample;          // seconds
    double pixelX = kTrackingMissingSample;        // stored image position, pixels
    double pixelY = kTrackingMissingSample;
    double positionX = kTrackingMissingSample;     // calibration units
    double positionY = kTrackingMissingSample;
    double displacementX = kTrackingMissingSample; // calibration units
    double displacementY = kTrackingMissingSample;
    double velocityX = kTrackingMissingSample;     // units per second
    double velocityY = kTrackingMissingSample;
    double accelerationX = kTrackingMissingSample; // units per second squared
    double accelerationY = kTrackingMissingSample;
    double rpm = kTrackingMissingSample;           // revolutions per minute
};

struct TrackingSheet {
    QString pointName;
    int frameRate = 0;        // frames per second
    int frameWidth = 0;       // pixels
    int frameHeight = 0;
    float pixelsPerUnit = 0;  // calibration
    QString unitLabel;        // "µm", "mm", "cm", "m", "inches", "feet", "pixels"
    float originX = 0;
    float originY = 0;
    int lengthDecimals = 2;   // decimals of calibrated lengths and their rates
    std::vector<TrackingSheetRow> rows; // row i belongs to record i (from 0)
};

// Writes the workbook to `path` (replacing it only on success). Returns false
// with a message in `error` when the file cannot be written or there are more
// records than a sheet has rows.
bool WriteTrackingSpreadsheet(const QString& path, const TrackingSheet& sheet, QString* error);

class TTrackingPoint;
struct TrackingExportInfo;

// The sheet of one point's results, as the tracking export computes them.
TrackingSheet TrackingSheetFor(TTrackingPoint& point, const TrackingExportInfo& info);
