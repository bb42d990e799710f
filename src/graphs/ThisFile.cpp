#include "graphs/ThisFile.h"

#include "common/NumberFormat.h"

#include <QFile>
#include <QSaveFile>
#include <QStringList>
#include <algorithm>
#include <cmath>

namespace {

void appendLine(QByteArray& out, const QString& text)
{
    out += text.toLatin1();
    out += "\r\n";
}

// Rates need not be whole numbers (29.97 frames per second).
QString samplesPerSecondText(long double sampleInterval)
{
    const long double rate = 1.0L / sampleInterval;
    // A channel without a usable interval has no rate to state.
    if (!(sampleInterval > 0) || !std::isfinite(rate) || rate > 3.0e38L)
        return QStringLiteral("0");
    return FormatSingleGeneral(float(rate));
}

// Samples keep every digit their single carries, with at least five
// decimals; an integer part of more than seven digits goes to exponent form.
char* writeSample(char* out, float value)
{
    return out + WriteSingleFixed(out, value, 5, 7);
}

} // namespace

QByteArray ThisFileBytes(const TABChannel& channel)
{
    const int step = std::max(1, int(channel.PointStep));
    const int count = channel.sampleCount() / step;

    QByteArray out;
    appendLine(out, QStringLiteral("Qor Player Export"));
    appendLine(out, channel.XUnits);
    appendLine(out, channel.YUnits);
    appendLine(out, channel.Title);
    appendLine(out, QStringLiteral("$MULTIMEDIA_DATA"));
    appendLine(out, QStringLiteral("$GRP_QP Data"));
    appendLine(out, QStringLiteral("$LOC_") + channel.Title);
    appendLine(out, QStringLiteral("$DIR_"));
    appendLine(out, QStringLiteral("$TYP_"));
    appendLine(out, QStringLiteral("$QAN_"));
    appendLine(out, QStringLiteral("$CAC_"));
    appendLine(out, QStringLiteral("$CFC_"));
    appendLine(out, QStringLiteral("$MUN_") + channel.YUnits);
    appendLine(out, QStringLiteral("$DHS_"));
    appendLine(out, QStringLiteral("$NOS_") + FormatShortest(count));
    appendLine(out, QStringLiteral("$SPS_") + samplesPerSecondText(channel.SampleInterval));
    appendLine(out, QStringLiteral("$TOF_") + FormatSingleGeneral(float(channel.StartTime)));
    appendLine(out, QStringLiteral("$ISO_"));
    appendLine(out, QStringLiteral("$T/HIS_DATA"));

    // Lines are written straight into the array, which grows ahead of them
    // (a typical line is about 21 bytes).
    constexpr qsizetype kLongestLine = 2 * kSingleTextCapacity + 3;
    qsizetype used = out.size();
    out.resize(used + qsizetype(count) * 24 + kLongestLine);
    for (int k = 0; k < count; ++k) {
        if (out.size() - used < kLongestLine)
            out.resize(out.size() + out.size() / 2 + kLongestLine);
        char* end = out.data() + used;
        const size_t i = size_t(k) * size_t(step);
        // Tracking's missing samples are written like the channel's own.
        const float x = channel.XData[i] == kTrackingMissingSample ? kChannelMissingSample : channel.XData[i];
        end = writeSample(end, x);
        *end++ = ' ';
        // Missing is a property of the stored value, so an inverted channel
        // keeps its missing samples missing and its real samples real.
        const float y = channel.YData[i];
        if (y == kChannelMissingSample || y == kTrackingMissingSample)
            *end++ = '0';
        else
            end = writeSample(end, channel.Inverted ? -y : y);
        *end++ = '\r';
        *end++ = '\n';
        used = end - out.data();
    }
    out.resize(used);
    return out;
}

bool WriteThisFile(const TABChannel& channel, const QString& path, QString* error)
{
    const QByteArray bytes = ThisFileBytes(channel);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        if (error)
            *error = QStringLiteral("Cannot write \"%1\": %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

bool ParseThisFile(const QByteArray& bytes, TABChannel* channel, QString* error)
{
    const QList<QByteArray> lines = bytes.split('\n');
    auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    TABChannel c;
    c.XShowsUnits = 1;
    double rate = 0;
    int dataStart = -1;
    QStringList heading; // lines before the first "$" line
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = QString::fromLatin1(lines[i]).trimmed();
        if (line == QLatin1String("$T/HIS_DATA")) {
            dataStart = i + 1;
            break;
        }
        if (line.startsWith(QLatin1Char('$'))) {
            if (line.startsWith(QLatin1String("$SPS_")))
                rate = line.mid(5).toDouble();
            else if (line.startsWith(QLatin1String("$TOF_")))
                c.StartTime = line.mid(5).toDouble();
        } else if (dataStart < 0 && i < 4) {
            heading << line;
        }
    }
    if (dataStart < 0)
        return fail(QStringLiteral("no \"$T/HIS_DATA\" line: not a T/HIS file"));
    if (heading.size() >= 4) {
        c.XUnits = ChannelText(heading[1]);
        c.YUnits = ChannelText(heading[2]);
        c.Title = ChannelText(heading[3]);
    }
    for (int i = dataStart; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        if (line.isEmpty())
            continue;
        const QList<QByteArray> words = line.simplified().split(' ');
        bool okX = false, okY = false;
        const float x = words.size() == 2 ? words[0].toFloat(&okX) : 0.0f;
        const float y = words.size() == 2 ? words[1].toFloat(&okY) : 0.0f;
        if (!okX || !okY)
            return fail(QStringLiteral("line %1: expected \"x y\"").arg(i + 1));
        c.XData.push_back(x);
        c.YData.push_back(y);
    }
    if (c.XData.empty())
        return fail(QStringLiteral("no samples after \"$T/HIS_DATA\""));
    if (c.XData.size() > size_t(INT32_MAX))
        return fail(QStringLiteral("too many samples"));
    c.PointCount = int32_t(c.XData.size());
    if (rate > 0 && std::isfinite(rate))
        c.SampleInterval = 1.0L / (long double)rate;
    else if (c.XData.size() > 1)
        c.SampleInterval = (long double)c.XData[1] - c.XData[0];
    c.PlotKind = std::is_sorted(c.XData.begin(), c.XData.end()) ? kPlotAgainstTime : kPlotXYTrack;
    *channel = std::move(c);
    return true;
}

bool ReadThisFile(const QString& path, TABChannel* channel, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("cannot read \"%1\": %2").arg(path, file.errorString());
        return false;
    }
    QString why;
    if (!ParseThisFile(file.readAll(), channel, &why)) {
        if (error)
            *error = QStringLiteral("\"%1\": %2").arg(path, why);
        return false;
    }
    return true;
}
