#pragma once
// Time series derived from one tracking point's stored positions: position,
// displacement, velocity, acceleration (in calibration units) and rotation
// speed about a centre. Samples are single precision; a missing sample holds
// MissingValue (the graphs' null value) and "is missing" when it equals it
// exactly.

#include "tracking/engine/TrackRecord.h"

#include <vector>

constexpr float MissingValue = -10000000.0f;
inline bool IsMissing(float v) { return v == MissingValue; }

// What the results depend on besides the records.
struct KinematicsSettings {
    double PixelsPerUnit = 1.0;   // calibration: pixels per unit
    float OriginX = 0.0f;         // measurement origin, image pixels
    float OriginY = 0.0f;
    bool YFromBottom = true;      // the default Y direction: counted up from the bottom row
    int FrameWidth = 0;           // FrameBitmap size
    int FrameHeight = 0;
};

// The result arrays, one entry per record.
struct KinematicsArrays {
    std::vector<float> Times;
    std::vector<float> ValuesX;   // position, then displacement / velocity / acceleration
    std::vector<float> ValuesY;
    std::vector<float> PixelX;    // stored image position
    std::vector<float> PixelY;
    std::vector<float> AngleRpm;  // angle in degrees, then revolutions per minute
};

// Brings the record times up to date when the document's time base changed
// since the records were made (compared in single precision at record 0).
void FixTimes(std::vector<TrackRecord>& records, int firstFrame, int timeZeroFrame, int frameRate);

void ComputePosition(const std::vector<TrackRecord>& records, const KinematicsSettings& s, KinematicsArrays& a);
// Position relative to the first present sample.
void ComputeDisplacement(const std::vector<TrackRecord>& records, const KinematicsSettings& s, KinematicsArrays& a);
// Central difference of ValuesX / ValuesY against Times, in place. The first
// and last samples, and samples without both neighbours, become missing.
void Differentiate(KinematicsArrays& a);
// Three-point (1 2 1) smoothing, `passes` times, with the channel filter's
// end extension. Missing samples stay missing and are never averaged in.
void Smooth(std::vector<float>& values, int passes);
// Unsigned angle in degrees (0 ... 180) at the centre between the ray toward
// the right edge and the ray toward the point. The centre is the rounded
// origin, or the frame centre when the origin is (0, 0). A point exactly on
// the centre has no angle: its sample is missing.
void ComputeAngle(const std::vector<TrackRecord>& records, const KinematicsSettings& s, KinematicsArrays& a);
// Rotation speed in revolutions per minute from the angles, in place.
void ComputeRpm(KinematicsArrays& a);

// Unit label of a calibration unit index: "µm" (as the single byte 0xB5
// followed by "m" in Latin-1), "mm", "cm", "m", "inches", "feet", "pixels".
const char* CalibrationUnitLabel(int calUnitIndex);
