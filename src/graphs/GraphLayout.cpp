#include "graphs/GraphLayout.h"

#include "common/NumberFormat.h"
#include "common/Rounding.h"

#include <algorithm>
#include <cmath>

int ChannelColourIndex(int countAfterAdding, const std::vector<uint32_t>& otherColours)
{
    int i = std::max(0, countAfterAdding - 1);
    while (i < 16 && std::find(otherColours.begin(), otherColours.end(), kGraphColours[i]) != otherColours.end())
        ++i;
    return i % 16;
}

bool ChannelSortsBefore(const TABChannel& a, const TABChannel& b)
{
    const int units = QString::compare(a.YUnits.toUpper(), b.YUnits.toUpper(), Qt::CaseSensitive);
    if (units != 0)
        return units < 0;
    return QString::compare(a.Title, b.Title, Qt::CaseSensitive) < 0;
}

AxisGrouping GroupAxesByUnit(const std::vector<QString>& yUnits)
{
    AxisGrouping g;
    if (yUnits.empty())
        return g;
    QString unit = yUnits[0];
    bool onRight = false;
    g.places.push_back({0, false});
    g.leftUnits.push_back(unit);
    g.rightUnits.push_back(QString());
    for (size_t c = 1; c < yUnits.size(); ++c) {
        if (yUnits[c] != unit) {
            unit = yUnits[c];
            if (onRight) {
                onRight = false;
                g.leftUnits.push_back(unit);
                g.rightUnits.push_back(QString());
            } else {
                onRight = true;
                g.rightUnits.back() = unit;
            }
        }
        g.places.push_back({int(g.leftUnits.size()) - 1, onRight});
    }
    g.axisCount = int(g.leftUnits.size());
    return g;
}

std::optional<int> SampleAtTime(double t, long double startTime, long double sampleInterval, int sampleCount)
{
    if (!(sampleInterval > 0))
        return std::nullopt;
    const long double q = ((long double)t - startTime) / sampleInterval;
    if (!(q > -1.0L && q < (long double)sampleCount + 1.0L))
        return std::nullopt;
    const int64_t k = Round(double(q));
    if (k < 0 || k >= sampleCount)
        return std::nullopt;
    return int(k);
}

double TimeOfSample(const TABChannel& channel, int index)
{
    return double(float((long double)index * channel.SampleInterval + channel.StartTime));
}

int ChannelListRowCount(const TABChannel& channel)
{
    const int step = std::max(1, int(channel.PointStep));
    return (channel.sampleCount() + step - 1) / step;
}

int ChannelListSample(const TABChannel& channel, int row)
{
    return row * std::max(1, int(channel.PointStep));
}

namespace {

QString listNumber(double v)
{
    if (std::fabs(v) < 1e-7)
        v = 0;
    return FormatFixed(v, 7, 7);
}

QString listSample(float v)
{
    return v == kGraphNullValue ? QStringLiteral("NULL") : listNumber(v);
}

} // namespace

QString ChannelListCell(const TABChannel& channel, int row, int column)
{
    const int k = ChannelListSample(channel, row);
    if (row < 0 || k >= channel.sampleCount())
        return QString();
    switch (column) {
    case 0:
        return listNumber(double((long double)row * channel.SampleInterval * std::max(1, int(channel.PointStep))
                                 + channel.StartTime));
    case 1:
        return listSample(channel.XData[size_t(k)]);
    case 2:
        return listSample(ShownY(channel, channel.YData[size_t(k)]));
    default:
        return QString();
    }
}

Readout ChannelReadout(const TABChannel& channel, double t, int dataDecimals)
{
    Readout r;
    const std::optional<int> k = SampleAtTime(t, (long double)float(channel.StartTime),
                                              (long double)float(channel.SampleInterval), channel.sampleCount());
    const float y = k ? ShownY(channel, channel.YData[size_t(*k)]) : kGraphNullValue;
    const float x = k ? channel.XData[size_t(*k)] : kGraphNullValue;
    if (IsGraphNull(y))
        r.y = QStringLiteral("Y:NULL");
    else
        r.y = QStringLiteral("Y:") + FormatFixed(std::fabs(y) < 1e-7f ? 0.0 : double(y), 7, dataDecimals)
              + QLatin1Char(' ') + channel.YUnits;
    if (IsGraphNull(x))
        r.x = QStringLiteral("X:NULL");
    else {
        r.x = QStringLiteral("X:") + FormatFixed(double(x), 7, dataDecimals + 1);
        if (channel.XShowsUnits)
            r.x += QLatin1Char(' ') + channel.XUnits;
    }
    return r;
}

QString CrossPlotRefusal(int receivingCount, int sendingCount, const TABChannel* receiving, const TABChannel* sending)
{
    if (receivingCount >= 2)
        return QStringLiteral("Cross plotting requires only one channel on the recieving graph");
    if (sendingCount >= 2)
        return QStringLiteral("Cross plotting requires only one channel on the Sending graph");
    if (!receiving || !sending)
        return QStringLiteral("Cross plotting requires one channel on each graph");
    if (float(receiving->SampleInterval) != float(sending->SampleInterval))
        return QStringLiteral("Cross plotting requires both channels to have the same Sampling Interval (TBC)");
    if (sending->sampleCount() == 0 || !(sending->SampleInterval > 0))
        return QStringLiteral("Cross plotting requires samples on the Sending graph");
    return QString();
}

void CrossPlotChannel(TABChannel& a, const TABChannel& b)
{
    a.XUnits = b.YUnits;
    const int last = b.sampleCount() - 1;
    const int n = a.sampleCount();
    for (int i = 0; i < n && last >= 0; ++i) {
        const float t = float((long double)i * a.SampleInterval + a.StartTime);
        const double q = double(((long double)t - b.StartTime) / b.SampleInterval);
        const int j = q <= 0 ? 0 : q >= last ? last : int(Round(q));
        a.XData[size_t(i)] = b.YData[size_t(j)];
    }
    a.PlotKind = kPlotCrossPlot;
}

double RescaleFactor(const QString& text)
{
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    return ok && std::isfinite(v) ? v : 1.0;
}

void RescaleChannel(TABChannel& channel, const QString& xUnits, double xFactor, const QString& yUnits, double yFactor)
{
    channel.XUnits = ChannelText(xUnits);
    channel.YUnits = ChannelText(yUnits);
    for (float& x : channel.XData)
        if (!IsGraphNull(x))
            x = float(x * xFactor);
    for (float& y : channel.YData)
        if (!IsGraphNull(y))
            y = float(y * yFactor);
}
