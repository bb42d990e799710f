#pragma once
// The result table of one tracking point and its CSV file.
//
// The table holds the unsmoothed series, one row per record of the point
// (tracked or not): time, stored pixel position, position, displacement,
// velocity, acceleration (calibration units) and rotation speed. The CSV
// file is single-byte text with CR LF line ends; numbers are written with 7
// significant digits and always with "." as decimal separator, whatever the
// locale — a comma would split the fields of a comma-separated file. Times
// get enough decimals to tell every frame apart, lengths (and their rates)
// enough for a hundredth of a pixel in the calibration unit.

#include "tracking/engine/Kinematics.h"

#include <QByteArray>
#include <QString>

class TTrackingPoint;

// What the export needs of the document and the tracking frame.
struct TrackingExportInfo {
    int FirstFrame = 0;
    int TimeZeroFrame = 0;           // the document's time base; it replaces
    int FrameRate = 0;               // Kinematics.Clock
    int CalUnitIndex = 6;
    KinematicsSettings Kinematics;   // calibration, origin, Y direction, frame size
};

struct TrackingResultTable {
    std::vector<double> Times, PixelX, PixelY;
    std::vector<double> PositionX, PositionY;
    std::vector<double> DisplacementX, DisplacementY;
    std::vector<double> VelocityX, VelocityY;
    std::vector<double> AccelerationX, AccelerationY;
    std::vector<double> Rpm;         // all missing without an origin
    size_t size() const { return Times.size(); }
};

// Brings the point's record times up to date (FixTimes) and computes every
// series of the table.
TrackingResultTable ComputeTrackingResults(TTrackingPoint& point, const TrackingExportInfo& info);

// Decimals of the time column: at least 3, and enough that one frame
// interval (1 / frameRate seconds) is at least one unit of the last decimal.
int TimeDecimals(const Rational& frameRate);
// Decimals of lengths in calibration units and of their rates of change: a
// hundredth of a pixel stays visible (2 for pixels, 5 at 1000 pixels per
// unit), at most 9.
int LengthDecimals(double pixelsPerUnit);

// The bytes of the CSV file.
QByteArray TrackingCsv(const QString& pointName, const TrackingExportInfo& info, const TrackingResultTable& table);
QByteArray TrackingCsv(TTrackingPoint& point, const TrackingExportInfo& info);

// Writes (replaces) the CSV file; false with a one-line message on failure.
bool WriteTrackingCsv(const QString& path, TTrackingPoint& point, const TrackingExportInfo& info, QString* error);
