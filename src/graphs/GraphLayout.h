#pragma once
// What a graph window decides about its channels, without any widget: the
// colour of a new channel, the order of the channels, which Y axis each
// channel goes on, which sample the time cursor marks, the rows of the list
// page, cross plotting and rescaling.

#include "graphs/Channel.h"

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

// The graph's null value: samples equal to it (and to kChannelMissingSample)
// are gaps.
inline constexpr float kGraphNullValue = kTrackingMissingSample;
inline bool IsGraphNull(float v) { return v == kChannelMissingSample || v == kGraphNullValue; }

// Line and legend colours, 0x00BBGGRR (entries 7 and 12 are the same silver).
inline constexpr uint32_t kGraphColours[16] = {
    0x0000FF, 0xFF0000, 0x008000, 0x00FF00, 0xFFFF00, 0x808080, 0xFF00FF, 0xC0C0C0,
    0x000080, 0x008080, 0x800000, 0x800080, 0xC0C0C0, 0x808000, 0x00FFFF, 0xFFFFFF,
};

// The colour-table index of a channel added to a graph that then holds
// `countAfterAdding` channels, the others having `otherColours`: the first
// index from countAfterAdding - 1 upward whose colour no other channel has;
// past the table it folds back (the seventeenth channel gets entry 0).
int ChannelColourIndex(int countAfterAdding, const std::vector<uint32_t>& otherColours);

// Graph order: by YUnits ignoring case, then by Title (case-sensitive).
bool ChannelSortsBefore(const TABChannel& a, const TABChannel& b);

// Axis grouping by unit. Channels come sorted by unit, so each new unit
// starts a group; groups alternate between the right-hand scale of the
// current axis and a new axis below it: units A, A, B, C, C give axis 0
// (A on the left, B on the right) and axis 1 (C on the left).
struct AxisPlace {
    int axis = 0;
    bool right = false;
};
struct AxisGrouping {
    std::vector<AxisPlace> places; // one per channel
    int axisCount = 0;
    std::vector<QString> leftUnits;  // per axis
    std::vector<QString> rightUnits; // per axis; empty when it has no right scale
};
AxisGrouping GroupAxesByUnit(const std::vector<QString>& yUnits);

// The sample of a channel shown at time t: Round((t - start) / interval)
// (half to even), none when that is not a sample of the channel.
std::optional<int> SampleAtTime(double t, long double startTime, long double sampleInterval, int sampleCount);

// The time of sample `index` of a channel, as the common time takes it.
double TimeOfSample(const TABChannel& channel, int index);

// The Y value as the graph shows it: sign changed when the channel is
// inverted, except for missing samples.
inline float ShownY(const TABChannel& c, float y) { return c.Inverted && !IsGraphNull(y) ? -y : y; }

// The list page: one row per listed sample (every PointStep-th), columns
// "Time", X and Y in fixed notation with 7 significant digits and 7
// decimals; the null value reads "NULL".
int ChannelListRowCount(const TABChannel& channel);
int ChannelListSample(const TABChannel& channel, int row);
QString ChannelListCell(const TABChannel& channel, int row, int column);

// The legend read-outs at time t ("Y:1.23 mm/sec", "X:0.010 s"); the null
// text "Y:NULL" / "X:NULL" where the channel has no sample at t.
struct Readout {
    QString y;
    QString x;
};
Readout ChannelReadout(const TABChannel& channel, double t, int dataDecimals);

// Cross plot: the receiving graph's only channel gets the sending graph's
// only channel as X. The refusal texts, or an empty string when it can go on.
QString CrossPlotRefusal(int receivingCount, int sendingCount, const TABChannel* receiving,
                         const TABChannel* sending);
// Pairs each receiving sample with the sending sample nearest in time
// (before its start: the first sample; after its end: the last), sets
// XUnits from the sender's YUnits and PlotKind to a cross plot.
void CrossPlotChannel(TABChannel& receiving, const TABChannel& sending);

// A factor as typed into the rescale dialog: anything that is not a number
// counts as 1.
double RescaleFactor(const QString& text);
// Multiplies every sample by the factors and sets the units (cut to 255
// characters). Missing samples stay missing.
void RescaleChannel(TABChannel& channel, const QString& xUnits, double xFactor, const QString& yUnits,
                    double yFactor);
