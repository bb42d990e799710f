#pragma once
// Channels made from tracking results: the tracking frame hands over one
// calibrated series and gets back a channel ready for a new graph window.

#include "graphs/Channel.h"

#include <QString>
#include <vector>

// Which values a series plots (the "component" of the tracking results).
enum class TrackingComponent : int {
    Angle = 0, // angle against time
    X = 1,     // X against time
    Y = 2,     // Y against time
    XY = 3,    // Y against X: an X/Y track
    Rpm = 5,   // rotation speed against time
};

// What the values measure (the "quantity" of the tracking results).
enum class TrackingQuantity : int {
    Position = 1,
    Displacement = 2,
    Velocity = 3,
    Acceleration = 4,
    Rpm = 5,
};

// One tracking result series as the tracking frame produces it.
struct TrackingSeries {
    // X values: the record times in seconds, or the X values for XY.
    std::vector<float> xValues;
    // Y values in calibration units (per second, per second squared);
    // missing samples hold kTrackingMissingSample.
    std::vector<float> yValues;
    TrackingComponent component = TrackingComponent::X;
    TrackingQuantity quantity = TrackingQuantity::Position;
    // Label of the calibration unit ("µm", "mm", "cm", "m", "inches", "feet",
    // "pixels").
    QString unitName;
    // Passes of (1 2 1) smoothing applied to yValues (and to xValues of an
    // X/Y track); 0 for the raw series. A smoothed series cuts peaks, so its
    // channel says so in its title and the raw one is offered beside it.
    int smoothingPasses = 0;

    // Where the series comes from, for the title and the time base.
    QString recordingFileName; // without folder
    QString pointName;
    int frameRate = 0;         // frames per second of the recording
    int firstFrame = 0;
    int timeZeroFrame = 0;
};

// "Position", "Displacement", "Velocity", "Acceleration", "RPM".
QString TrackingQuantityWord(TrackingQuantity quantity);
// "RPM", "X", "Y", "X/Y", "RPM".
QString TrackingComponentWord(TrackingComponent component);

// " (smoothed, 3 passes)" for a smoothed series, empty for a raw one.
QString TrackingSmoothingLabel(int passes);

// Builds the channel: copies of both arrays, units by component and quantity,
// title "<file> : <point> <component> <quantity>" followed by the smoothing
// label, the sample interval and
// start time of the recording, PlotKind 1 for an X/Y track and -1 otherwise.
// A frame rate of 0 or less leaves SampleInterval and StartTime at 0.
TABChannel MakeTrackingChannel(const TrackingSeries& series);
