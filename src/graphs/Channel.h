#pragma once
// TABChannel: one plotted series of a graph window - a run of samples taken at
// a fixed interval, with a title and unit labels.
//
// Text fields are kept as QString but they are single-byte (Latin-1) wherever
// they reach a file: "²" is the byte 0xB2, "µ" the byte 0xB5.

#include <QString>
#include <cstdint>
#include <vector>

// A sample equal to this is missing for the graph and the exports: never sign
// changed, drawn as a gap, written as 0 in a T/HIS file.
inline constexpr float kChannelMissingSample = -1.0f;
// Tracking results mark their missing samples with the graph's null value
// (the single whose bits are 0xCB189680), so they show as gaps as well.
inline constexpr float kTrackingMissingSample = -10000000.0f;

// Values of PlotKind.
enum : int32_t {
    kPlotAgainstTime = -1, // Y against time
    kPlotCrossPlot = 0,    // made by a user cross-plot; the filter treats X as data too
    kPlotXYTrack = 1,      // Y against another measured quantity
};

class TABChannel {
public:
    QString Title;              // at most 255 characters; graph title while alone in a graph
    QString YUnits;
    long double SampleInterval = 0; // seconds between samples
    int32_t PointCount = 0;
    long double StartTime = 0;  // time of the first sample, seconds
    QString XUnits;
    int32_t PointStep = 1;      // only every PointStep-th sample is listed and exported
    int32_t PlotKind = 0;
    int32_t XShowsUnits = 0;    // non-zero: the X read-out is followed by " " + XUnits
    std::vector<float> XData;
    std::vector<float> YData;
    uint32_t Colour = 0;        // 0x00BBGGRR, given by the graph window
    int32_t Inverted = 0;       // 1: Y shown and exported with its sign changed

    TABChannel() = default;
    // Copies both arrays. Their common length becomes the length of the channel
    // and PointCount; a longer array is cut so that XData and YData always
    // match. Every other number is 0 (PointStep 1), every string empty.
    TABChannel(const std::vector<float>& x, const std::vector<float>& y);

    // The copy made when a channel is dragged to another graph: every field
    // and both arrays, except Inverted, which starts at 0. (The ordinary copy
    // constructor copies Inverted too, so containers stay faithful.)
    static TABChannel CopyOf(const TABChannel& source);

    // Samples that both arrays really hold, whatever PointCount claims; every
    // reader of the arrays stays within this.
    int sampleCount() const;
};

// Channel texts are limited to 255 characters, as in the program's files.
QString ChannelText(const QString& text);
