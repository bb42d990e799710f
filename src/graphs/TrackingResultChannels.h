#pragma once
// The channels behind the result buttons of the tracking frame: one call per
// button computes the series of the current point and builds its channels.
//
// Smoothing cuts peaks (the (1 2 1) passes take about 9 % off a 50 Hz
// velocity peak at 1000 fps), so a smoothed series always comes with the raw
// one beside it: the smoothed channel first, labelled with its passes, then
// the raw channel. Position and displacement are not smoothed and give one
// channel.

#include "graphs/TrackingChannel.h"
#include "tracking/engine/Kinematics.h"

#include <vector>

// Where the series comes from and how it is labelled.
struct TrackingResultSource {
    QString unitName;            // label of the calibration unit
    QString recordingFileName;   // without folder
    QString pointName;
    int frameRate = 0;
    int firstFrame = 0;
    int timeZeroFrame = 0;
};

// `component` picks the axes (X, Y against time, or the X/Y track); RPM is
// always plotted against time. For RPM without an origin there is nothing to
// plot: the result is empty (CanComputeRpm tells why).
std::vector<TABChannel> MakeTrackingResultChannels(const std::vector<TrackRecord>& records,
                                                   const KinematicsSettings& settings, KinematicsQuantity quantity,
                                                   TrackingComponent component, const TrackingResultSource& source);
