#pragma once
// The result table of one tracking point and its CSV file.
//
// The table holds the unsmoothed series, one row per record of the point
// (tracked or not): time, stored pixel position, position, displacement,
// velocity, acceleration (calibration units) and rotation speed. The CSV
// file is single-byte text with CR LF line ends; numbers are written with 7
// significant digits and always with "." as decimal separator, whatever the
// locale — a comma would split the fields of a comma-separated file.

#include "tracking/engine/Kinematics.h"

#include <QByteArray>
#include <QString>

class TTrackingPoint;

// What the export needs of the document and the tracking frame.
struct TrackingExportInfo {
    int FirstFrame = 0;
    int TimeZeroFrame = 0;
    int FrameRate = 0;
    int CalUnitIndex = 6;
    KinematicsSettings Kinematics;   // calibration, origin, Y direction, frame size
};

struct TrackingResultTable {
    std::vector<float> Times, PixelX, PixelY;
    std::vector<float> PositionX, PositionY;
    std::vector<float> DisplacementX, DisplacementY;
    std::vector<float> VelocityX, VelocityY;
    std::vector<float> AccelerationX, AccelerationY;
    std::vector<float> Rpm;
    size_t size() const { return Times.size(); }
};

// Brings the point's record times up to date (FixTimes) and computes every
// series of the table.
TrackingResultTable ComputeTrackingResults(TTrackingPoint& point, const TrackingExportInfo& info);

// The bytes of the CSV file.
QByteArray TrackingCsv(const QString& pointName, const TrackingExportInfo& info, const TrackingResultTable& table);
QByteArray TrackingCsv(TTrackingPoint& point, const TrackingExportInfo& info);

// Writes (replaces) the CSV file; false with a one-line message on failure.
bool WriteTrackingCsv(const QString& path, TTrackingPoint& point, const TrackingExportInfo& info, QString* error);
