#pragma once
// Time series derived from one tracking point's stored positions: position,
// displacement, velocity, acceleration (in calibration units) and rotation
// speed about a centre.
//
// Everything is computed in double from the records' sub-pixel positions;
// times come from the integer frame numbers through the exact frame clock,
// so time differences are exact at any frame rate. Callers round to single at
// the edges (graph channels, files). A missing sample holds MissingValue
// (the graphs' null value) and "is missing" when it equals it exactly.

#include "common/FrameClock.h"
#include "tracking/engine/TrackRecord.h"

#include <vector>

constexpr double MissingValue = -10000000.0;
inline bool IsMissing(double v) { return v == MissingValue; }

// Which way Y grows. Up (the default): Y grows toward the top of the picture;
// Down: Y grows toward the bottom, like image rows.
enum class YDirection { Up, Down };

// Where a recording's measurements start (image pixels, sub-pixel) and
// which way Y grows; the user sets both on the tracking results page.
struct MeasurementOrigin {
    bool HasOrigin = false;
    double X = 0.0;
    double Y = 0.0;
    YDirection YDir = YDirection::Up;
    bool operator==(const MeasurementOrigin&) const = default;
};

// What the results depend on besides the records.
struct KinematicsSettings {
    double PixelsPerUnit = 1.0;   // calibration: pixels per unit
    // The measurement origin in image pixels (sub-pixel). Positions are
    // measured from it and rotation speed is taken about it. Without one,
    // positions count from the picture's bottom-left corner (Y up) or
    // top-left corner (Y down), and there is no rotation speed.
    bool HasOrigin = false;
    double OriginX = 0.0;
    double OriginY = 0.0;
    YDirection YDir = YDirection::Up;
    int FrameWidth = 0;           // FrameBitmap size
    int FrameHeight = 0;
    // The time base of the records' frame numbers. Without a rate all times
    // are 0 and there are no rates of change.
    FrameClock Clock;
    // Rotation speed keeps its sign (positive from +X toward +Y in the chosen
    // Y direction) instead of being a magnitude.
    bool SignedRpm = false;

    // The point positions are measured from, in image pixels.
    double PositionOriginX() const { return HasOrigin ? OriginX : 0.0; }
    double PositionOriginY() const;
};

// The result arrays, one entry per record.
struct KinematicsArrays {
    std::vector<double> Times;     // seconds
    std::vector<int> Frames;       // frame numbers, for exact time differences
    FrameClock Clock;
    std::vector<double> ValuesX;   // position, then displacement / velocity / acceleration
    std::vector<double> ValuesY;
    std::vector<double> PixelX;    // stored image position
    std::vector<double> PixelY;
    std::vector<double> AngleRpm;  // angle in degrees, then revolutions per minute
};

// Brings the record times up to date with the document's time base (the rate
// or time zero may have changed since the records were made).
void FixTimes(std::vector<TrackRecord>& records, int firstFrame, int timeZeroFrame, int frameRate);

void ComputePosition(const std::vector<TrackRecord>& records, const KinematicsSettings& s, KinematicsArrays& a);
// Position relative to the first present sample.
void ComputeDisplacement(const std::vector<TrackRecord>& records, const KinematicsSettings& s, KinematicsArrays& a);
// Central difference of ValuesX / ValuesY against the frame times, in place.
// The first and last samples, and samples without both neighbours, become
// missing.
void Differentiate(KinematicsArrays& a);
// Three-point (1 2 1) smoothing, `passes` times, with the channel filter's
// end extension. Missing samples stay missing and are never averaged in.
void Smooth(std::vector<double>& values, int passes);
// Signed angle in degrees (-180 ... 180] about the origin, from +X toward +Y
// in the chosen Y direction, from the sub-pixel positions. Without an origin,
// or for a point exactly on it, the sample is missing.
void ComputeAngle(const std::vector<TrackRecord>& records, const KinematicsSettings& s, KinematicsArrays& a);
// Rotation speed in revolutions per minute from the angles, in place. The
// angle is unwrapped across +-180 degrees (the shorter way round between the
// two neighbours); the result is a magnitude unless `signedRpm`.
void ComputeRpm(KinematicsArrays& a, bool signedRpm = false);

// Rotation speed needs a centre: the origin.
inline bool CanComputeRpm(const KinematicsSettings& s) { return s.HasOrigin; }

// The series behind the result buttons.
enum class KinematicsQuantity { Position = 1, Displacement = 2, Velocity = 3, Acceleration = 4, Rpm = 5 };

// Passes of (1 2 1) smoothing the graphs apply to a quantity: none for
// position and displacement, 3 for velocity, 5 for acceleration and RPM.
int GraphSmoothingPasses(KinematicsQuantity q);

struct KinematicsSeries {
    std::vector<double> Times;
    std::vector<double> X;     // X component (empty for RPM)
    std::vector<double> Y;     // Y component, or the rotation speed for RPM
    int SmoothingPasses = 0;   // 0: the raw series
};

// One series for a graph: raw (smoothed = false) or with the graph's
// smoothing. For RPM without an origin every sample is missing (check
// CanComputeRpm first).
KinematicsSeries ComputeSeries(const std::vector<TrackRecord>& records, const KinematicsSettings& s,
                               KinematicsQuantity q, bool smoothed);

// Unit label of a calibration unit index: "µm" (as the single byte 0xB5
// followed by "m" in Latin-1), "mm", "cm", "m", "inches", "feet", "pixels".
const char* CalibrationUnitLabel(int calUnitIndex);
