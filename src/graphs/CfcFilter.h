#pragma once
// The channel filter of the crash-test standard SAE J211 / ISO 6487: a
// second-order Butterworth low-pass run forward and then backward, so that it
// adds no phase shift. Channel frequency classes 60, 180, 600 and 1000.

#include "graphs/Channel.h"

#include <QString>
#include <QStringList>
#include <vector>

// The classes the graph window offers.
inline constexpr int kCfcClasses[] = {60, 180, 600, 1000};

// The J211 second-order section:
//   y[s] = a0 x[s] + a1 x[s-1] + a2 x[s-2] + b1 y[s-1] + b2 y[s-2]
// Kept in double: at high sample rates the poles sit so close to 1 that
// single-precision coefficients change the gain by several percent.
struct CfcCoefficients {
    double a0 = 0, a1 = 0, a2 = 0, b1 = 0, b2 = 0;
};

CfcCoefficients CfcFilterCoefficients(double cfc, float sampleRate);

// Filters `input` with class `cfc` at `sampleRate` samples per second and
// returns an array of the same length.
//
// Missing samples (kChannelMissingSample, kTrackingMissingSample) are not
// data: they stay where they are, and every run of valid samples between them
// is filtered on its own. A run of n samples is extended at each end by n - 1
// samples reflected through its end sample (2 x[0] - x[i]), so a straight
// trend continues straight; each pass starts in the steady state of its first
// sample, so a constant comes through unchanged. Both passes run in double.
//
// A sample whose sum overflows or is not a number is an arithmetic fault: its
// output is 0, the pass goes on with the next sample, and a message
// "<fault> at <s>" (s counts the run's extended array) is appended to
// `faults` when given. After 20 such messages the rest are summed up in one
// last line.
std::vector<float> CfcFilter(const std::vector<float>& input, double cfc, float sampleRate,
                             QStringList* faults = nullptr);

// Why `cfc` cannot be applied at `sampleRate` (no positive finite rate, or a
// rate at or below 4.155 x cfc, where the section stops being a low-pass), or
// an empty string when it can.
QString CfcRateProblem(double cfc, double sampleRate);

// Filters a channel in place with the sample rate 1 / SampleInterval (as a
// single). A cross-plotted channel (PlotKind 0) and an X/Y track (PlotKind 1)
// have X filtered as well: both of their axes are measured data. The
// unfiltered data are not kept, so applying a class again filters the
// filtered data. The title is left alone (see CfcTitle).
// When CfcRateProblem objects, the channel is left unchanged, the reason is
// appended to `faults` and the result is false.
bool ApplyCfc(TABChannel& channel, int cfc, QStringList* faults = nullptr);

// The title a filtered channel gets in the graph window: "<title>: CFC<cfc>".
QString CfcTitle(const QString& title, int cfc);
