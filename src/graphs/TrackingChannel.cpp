#include "graphs/TrackingChannel.h"

QString TrackingQuantityWord(TrackingQuantity quantity)
{
    switch (quantity) {
    case TrackingQuantity::Position: return QStringLiteral("Position");
    case TrackingQuantity::Displacement: return QStringLiteral("Displacement");
    case TrackingQuantity::Velocity: return QStringLiteral("Velocity");
    case TrackingQuantity::Acceleration: return QStringLiteral("Acceleration");
    case TrackingQuantity::Rpm: return QStringLiteral("RPM");
    }
    return QString();
}

QString TrackingComponentWord(TrackingComponent component)
{
    switch (component) {
    case TrackingComponent::Angle: return QStringLiteral("RPM");
    case TrackingComponent::X: return QStringLiteral("X");
    case TrackingComponent::Y: return QStringLiteral("Y");
    case TrackingComponent::XY: return QStringLiteral("X/Y");
    case TrackingComponent::Rpm: return QStringLiteral("RPM");
    }
    return QString();
}

QString TrackingSmoothingLabel(int passes)
{
    if (passes <= 0)
        return QString();
    return passes == 1 ? QStringLiteral(" (smoothed, 1 pass)") : QStringLiteral(" (smoothed, %1 passes)").arg(passes);
}

TABChannel MakeTrackingChannel(const TrackingSeries& series)
{
    TABChannel channel(series.xValues, series.yValues);
    if (series.frameRate > 0) {
        channel.SampleInterval = 1.0L / series.frameRate;
        channel.StartTime = ((long double)series.firstFrame - series.timeZeroFrame) / series.frameRate;
    }
    channel.PointStep = 1;
    channel.XShowsUnits = 1;
    channel.PlotKind = series.component == TrackingComponent::XY ? kPlotXYTrack : kPlotAgainstTime;
    // A long file name is cut before the smoothing label, never the label.
    const QString smoothing = TrackingSmoothingLabel(series.smoothingPasses);
    const QString title = series.recordingFileName + QStringLiteral(" : ") + series.pointName + QLatin1Char(' ')
        + TrackingComponentWord(series.component) + QLatin1Char(' ') + TrackingQuantityWord(series.quantity);
    channel.Title = ChannelText(title.left(ChannelText(title + smoothing).size() - smoothing.size()) + smoothing);

    const QString& unit = series.unitName;
    switch (series.component) {
    case TrackingComponent::Angle:
        channel.YUnits = QStringLiteral("DEG");
        channel.XUnits = QStringLiteral("s");
        break;
    case TrackingComponent::X:
    case TrackingComponent::Y:
        channel.YUnits = unit;
        channel.XUnits = QStringLiteral("s");
        break;
    case TrackingComponent::XY:
        channel.YUnits = unit;
        channel.XUnits = unit;
        break;
    case TrackingComponent::Rpm:
        channel.YUnits = QStringLiteral("RPM");
        channel.XUnits = QStringLiteral("s");
        break;
    }

    const bool perSecond = series.quantity == TrackingQuantity::Velocity
        || series.quantity == TrackingQuantity::Acceleration;
    const bool lengthUnits = series.component == TrackingComponent::X || series.component == TrackingComponent::Y
        || series.component == TrackingComponent::XY;
    if (perSecond && lengthUnits) {
        // "²" is the single byte 0xB2 once written as Latin-1.
        const QString suffix = series.quantity == TrackingQuantity::Acceleration ? QStringLiteral("/sec\u00B2")
                                                                                 : QStringLiteral("/sec");
        channel.YUnits += suffix;
        if (series.component == TrackingComponent::XY)
            channel.XUnits += suffix;
    }
    channel.YUnits = ChannelText(channel.YUnits);
    channel.XUnits = ChannelText(channel.XUnits);
    return channel;
}
