#include "graphs/GraphSpreadsheet.h"

#include "common/NumberFormat.h"
#include "common/Rounding.h"
#include "graphs/XlsxSheetFile.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kFirstSampleRow = 10;

// Samples keep every digit their single carries (at least five decimals);
// tracking's missing value is written as the channel's missing marker.
QString sampleText(float value)
{
    return FormatSingleFixed(value == kTrackingMissingSample ? kChannelMissingSample : value, 5, 7);
}

struct ChannelColumns {
    const TABChannel* channel;
    int step;
    int rows; // written samples
};

} // namespace

int GraphSheetStep(const TABChannel& channel)
{
    const long double rate = 1.0L / channel.SampleInterval;
    if (!(channel.SampleInterval > 0) || !std::isfinite(rate))
        return 1;
    const int64_t step = Round(double(std::min(rate / 1000.0L, 1.0e9L)));
    return step < 1 ? 1 : int(step);
}

bool WriteGraphSpreadsheet(const QString& path, const QString& mainTitle,
                           const std::vector<const TABChannel*>& channels, QString* error)
{
    std::vector<ChannelColumns> columns;
    long long lastRow = 9;
    for (const TABChannel* channel : channels) {
        if (!channel)
            continue;
        const int step = GraphSheetStep(*channel);
        const int count = channel->sampleCount();
        const int rows = count == 0 ? 0 : (count - 1) / step + 1;
        columns.push_back({channel, step, rows});
        lastRow = std::max(lastRow, (long long)kFirstSampleRow - 1 + rows);
    }
    if (lastRow > XlsxSheetFile::kMaxRows) {
        if (error)
            *error = QStringLiteral("Cannot write \"%1\": a channel has more samples than a sheet has rows").arg(path);
        return false;
    }

    XlsxSheetFile sheet(path, QStringLiteral("Qor Player Data"));
    sheet.text(1, 1, QStringLiteral("Qor Player Export"));
    sheet.text(2, 1, QStringLiteral("Title"));
    sheet.text(2, 2, mainTitle);
    for (size_t c = 0; c < columns.size(); ++c)
        sheet.text(8, int(2 * c + 1), columns[c].channel->Title);
    for (size_t c = 0; c < columns.size(); ++c) {
        sheet.text(9, int(2 * c + 1), columns[c].channel->XUnits);
        sheet.text(9, int(2 * c + 2), columns[c].channel->YUnits);
    }
    // The sheet is streamed row by row, so the channels are interleaved.
    for (int r = 0; kFirstSampleRow + r <= lastRow; ++r) {
        for (size_t c = 0; c < columns.size(); ++c) {
            if (r >= columns[c].rows)
                continue;
            const TABChannel& channel = *columns[c].channel;
            const size_t i = size_t(r) * size_t(columns[c].step);
            sheet.text(kFirstSampleRow + r, int(2 * c + 1), sampleText(channel.XData[i]));
            sheet.text(kFirstSampleRow + r, int(2 * c + 2), sampleText(channel.YData[i]));
        }
    }
    return sheet.commit(error);
}
