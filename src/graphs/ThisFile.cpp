#include "graphs/ThisFile.h"

#include "common/NumberFormat.h"
#include "common/Rounding.h"

#include <QSaveFile>
#include <cmath>

namespace {

void appendLine(QByteArray& out, const QString& text)
{
    out += text.toLatin1();
    out += "\r\n";
}

// Number texts are plain ASCII: copy them without an intermediate array.
void appendAscii(QByteArray& out, const QString& text)
{
    for (QChar c : text)
        out += char(c.unicode());
}

QString samplesPerSecondText(long double sampleInterval)
{
    const long double rate = 1.0L / sampleInterval;
    // A channel without a usable interval has no rate to state.
    if (!(sampleInterval > 0) || !std::isfinite(rate) || rate > 9.0e18L)
        return QStringLiteral("0");
    return QString::number(Round(double(rate)));
}

} // namespace

QByteArray ThisFileBytes(const TABChannel& channel)
{
    const int step = std::max(1, int(channel.PointStep));
    const int count = channel.sampleCount() / step;

    QByteArray out;
    out.reserve(512 + qsizetype(count) * 34);
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
    appendLine(out, QStringLiteral("$TOF_") + FormatGeneral(double(channel.StartTime), 4));
    appendLine(out, QStringLiteral("$ISO_"));
    appendLine(out, QStringLiteral("$T/HIS_DATA"));

    for (int k = 0; k < count; ++k) {
        const size_t i = size_t(k) * size_t(step);
        appendAscii(out, FormatFixed(channel.XData[i], 7, 5));
        out += ' ';
        // Missing is a property of the stored value, so an inverted channel
        // keeps its missing samples missing and its real samples real.
        const float y = channel.YData[i];
        if (y == kChannelMissingSample)
            out += '0';
        else
            appendAscii(out, FormatFixed(channel.Inverted ? -y : y, 7, 5));
        out += "\r\n";
    }
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
