// qorplayer-cli this IN OUT.dat --rate R [--start T0] [--title T]
//     [--xunits U] [--yunits U] [--cfc C] [--invert]
// Builds a channel from IN and writes its T/HIS file. IN holds one Y sample
// per line (X is then the time T0 + i / R, plotted against time) or "x y"
// pairs (plotted as an X/Y track, so a filter touches Y only). With --cfc the
// channel is filtered first and its title gets ": CFC<C>", as the graph
// window's filter buttons do.

#include "cli/CliCommand.h"
#include "cli/CliSupport.h"
#include "graphs/CfcFilter.h"
#include "graphs/SampleText.h"
#include "graphs/ThisFile.h"

#include <QFileInfo>
#include <algorithm>
#include <cmath>

namespace {

int runThis(const CliArgs& args)
{
    const QStringList& positional = args.positional();
    if (positional.size() != 2) {
        CliError(QStringLiteral("usage: qorplayer-cli this IN OUT.dat --rate R [--start T0] [--title T] "
                                "[--xunits U] [--yunits U] [--cfc C] [--invert]"));
        return 2;
    }

    const auto rateText = args.value("--rate");
    if (!rateText) {
        CliError(QStringLiteral("--rate R is required"));
        return 2;
    }
    const auto rate = CliReal(*rateText, QStringLiteral("--rate"));
    if (!rate)
        return 2;
    if (!(*rate > 0) || !std::isfinite(*rate)) {
        CliError(QStringLiteral("--rate must be a positive number of samples per second"));
        return 2;
    }
    double start = 0;
    if (const auto startText = args.value("--start")) {
        const auto t0 = CliReal(*startText, QStringLiteral("--start"));
        if (!t0)
            return 2;
        start = *t0;
    }
    std::optional<int> cfc;
    if (const auto cfcText = args.value("--cfc")) {
        cfc = CliInt(*cfcText, QStringLiteral("--cfc"));
        if (!cfc)
            return 2;
        if (std::find(std::begin(kCfcClasses), std::end(kCfcClasses), *cfc) == std::end(kCfcClasses)) {
            CliError(QStringLiteral("--cfc must be 60, 180, 600 or 1000"));
            return 2;
        }
        const QString problem = CfcRateProblem(*cfc, float(*rate));
        if (!problem.isEmpty()) {
            CliError(problem);
            return 2;
        }
    }

    SampleText samples;
    QString error;
    if (!ReadSampleFile(positional[0], true, &samples, &error)) {
        CliError(error);
        return 1;
    }
    if (!samples.hasPairs) {
        samples.x.resize(samples.y.size());
        for (size_t i = 0; i < samples.x.size(); ++i)
            samples.x[i] = float(start + double(i) / *rate);
    }

    TABChannel channel(samples.x, samples.y);
    channel.Title = ChannelText(args.value("--title").value_or(QFileInfo(positional[0]).baseName()));
    channel.XUnits = ChannelText(args.value("--xunits").value_or(QStringLiteral("s")));
    channel.YUnits = ChannelText(args.value("--yunits").value_or(QString()));
    channel.SampleInterval = 1.0L / (long double)*rate;
    channel.StartTime = start;
    channel.PointStep = 1;
    channel.XShowsUnits = 1;
    channel.PlotKind = samples.hasPairs ? kPlotXYTrack : kPlotAgainstTime;
    channel.Inverted = args.has("--invert") ? 1 : 0;

    if (cfc) {
        QStringList faults;
        ApplyCfc(channel, *cfc, &faults);
        for (const QString& fault : faults)
            CliError(QStringLiteral("warning: ") + fault);
        channel.Title = CfcTitle(channel.Title, *cfc);
    }

    if (!WriteThisFile(channel, positional[1], &error)) {
        CliError(error);
        return 1;
    }
    return 0;
}

const CliCommand reg{"this", "IN OUT.dat --rate R", "writes the T/HIS file of a channel built from IN (Y per line or \"x y\" pairs)",
                     {
                         {"--rate", "R", "samples per second (required)"},
                         {"--start", "T0", "time of the first sample, seconds (default 0)"},
                         {"--title", "T", "channel title (default: IN's base name)"},
                         {"--xunits", "U", "X units (default s)"},
                         {"--yunits", "U", "Y units"},
                         {"--cfc", "C", "filter with channel frequency class 60, 180, 600 or 1000 first"},
                         {"--invert", nullptr, "mark the channel inverted"},
                     },
                     &runThis};

} // namespace
