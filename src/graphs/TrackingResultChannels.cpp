#include "graphs/TrackingResultChannels.h"

namespace {

std::vector<float> Singles(const std::vector<double>& values)
{
    std::vector<float> out(values.size());
    for (size_t i = 0; i < values.size(); ++i)
        out[i] = IsMissing(values[i]) ? kTrackingMissingSample : float(values[i]);
    return out;
}

TABChannel ChannelOf(const KinematicsSeries& s, KinematicsQuantity quantity, TrackingComponent component,
                     const TrackingResultSource& source)
{
    TrackingSeries series;
    series.component = component;
    series.quantity = TrackingQuantity(int(quantity));
    switch (component) {
    case TrackingComponent::X:
        series.xValues = Singles(s.Times);
        series.yValues = Singles(s.X);
        break;
    case TrackingComponent::XY:
        series.xValues = Singles(s.X);
        series.yValues = Singles(s.Y);
        break;
    case TrackingComponent::Y:
    case TrackingComponent::Rpm:
    case TrackingComponent::Angle:
        series.xValues = Singles(s.Times);
        series.yValues = Singles(s.Y);
        break;
    }
    series.smoothingPasses = s.SmoothingPasses;
    series.unitName = source.unitName;
    series.recordingFileName = source.recordingFileName;
    series.pointName = source.pointName;
    series.frameRate = source.frameRate;
    series.firstFrame = source.firstFrame;
    series.timeZeroFrame = source.timeZeroFrame;
    return MakeTrackingChannel(series);
}

} // namespace

std::vector<TABChannel> MakeTrackingResultChannels(const std::vector<TrackRecord>& records,
                                                   const KinematicsSettings& settings, KinematicsQuantity quantity,
                                                   TrackingComponent component, const TrackingResultSource& source)
{
    if (quantity == KinematicsQuantity::Rpm) {
        if (!CanComputeRpm(settings))
            return {};
        component = TrackingComponent::Rpm;
    } else if (component == TrackingComponent::Rpm || component == TrackingComponent::Angle) {
        component = TrackingComponent::X;
    }
    std::vector<TABChannel> channels;
    if (GraphSmoothingPasses(quantity) > 0)
        channels.push_back(ChannelOf(ComputeSeries(records, settings, quantity, true), quantity, component, source));
    channels.push_back(ChannelOf(ComputeSeries(records, settings, quantity, false), quantity, component, source));
    return channels;
}
