// qorplayer-cli plot IN... --out OUT.png|OUT.pdf|OUT.svg [--size WxH]
//     [--rate R] [--cfc C] [--title T]
// Renders a graph window offscreen, through the window's own plot code, and
// writes its picture. Each input is one channel: a T/HIS file (.dat) with
// its own time base, or a text file of one sample or one "x y" pair per line
// (then --rate gives the samples per second). Channels are grouped by unit
// as in the window. With --cfc every channel is filtered first and its title
// gets ": CFC<C>", as the window's filter buttons do.

#include "cli/CliCommand.h"
#include "cli/CliSupport.h"
#include "graphs/CfcFilter.h"
#include "graphs/SampleText.h"
#include "graphs/ThisFile.h"
#include "graphs/ui/GraphWindow.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>

namespace {

const char* const kUsage = "usage: qorplayer-cli plot IN... --out OUT.png|OUT.pdf|OUT.svg [--size WxH] [--rate R] "
                           "[--cfc C] [--title T]";

// A text file of samples as a channel, `rate` samples per second.
bool readTextChannel(const QString& path, double rate, TABChannel* channel, QString* error)
{
    SampleText samples;
    if (!ReadSampleFile(path, true, &samples, error))
        return false;
    if (samples.y.empty()) {
        *error = QStringLiteral("\"%1\": no samples").arg(path);
        return false;
    }
    if (!samples.hasPairs) {
        samples.x.resize(samples.y.size());
        for (size_t i = 0; i < samples.x.size(); ++i)
            samples.x[i] = float(double(i) / rate);
    }
    TABChannel c(samples.x, samples.y);
    c.Title = ChannelText(QFileInfo(path).completeBaseName());
    c.XUnits = samples.hasPairs ? QString() : QStringLiteral("s");
    c.SampleInterval = 1.0L / (long double)rate;
    c.PlotKind = samples.hasPairs ? kPlotXYTrack : kPlotAgainstTime;
    c.XShowsUnits = 1;
    *channel = std::move(c);
    return true;
}

int runPlot(const CliArgs& args)
{
    const QStringList& inputs = args.positional();
    const std::optional<QString> out = args.value("--out");
    if (inputs.isEmpty() || !out) {
        CliError(QString::fromLatin1(kUsage));
        return 2;
    }
    const QString suffix = QFileInfo(*out).suffix().toLower();
    if (suffix != QLatin1String("png") && suffix != QLatin1String("pdf") && suffix != QLatin1String("svg")) {
        CliError(QStringLiteral("--out must name a .png, .pdf or .svg file"));
        return 2;
    }
    int width = 800, height = 600;
    if (const auto size = args.value("--size")) {
        const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("^(\\d{1,5})x(\\d{1,5})$")).match(*size);
        width = m.hasMatch() ? m.captured(1).toInt() : 0;
        height = m.hasMatch() ? m.captured(2).toInt() : 0;
        if (width < 50 || height < 50 || width > 10000 || height > 10000) {
            CliError(QStringLiteral("--size must be WxH, each from 50 to 10000 pixels"));
            return 2;
        }
    }
    std::optional<double> rate;
    if (const auto rateText = args.value("--rate")) {
        rate = CliReal(*rateText, QStringLiteral("--rate"));
        if (!rate)
            return 2;
        if (!(*rate > 0) || !std::isfinite(*rate)) {
            CliError(QStringLiteral("--rate must be a positive number of samples per second"));
            return 2;
        }
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
    }

    std::vector<TABChannel> channels;
    for (const QString& path : inputs) {
        TABChannel c;
        QString error;
        const bool isThis = QFileInfo(path).suffix().compare(QLatin1String("dat"), Qt::CaseInsensitive) == 0;
        if (!isThis && !rate) {
            CliError(QStringLiteral("\"%1\": a text input needs --rate R (samples per second)").arg(path));
            return 2;
        }
        if (!(isThis ? ReadThisFile(path, &c, &error) : readTextChannel(path, *rate, &c, &error))) {
            CliError(error);
            return 1;
        }
        if (cfc) {
            QStringList faults;
            if (!ApplyCfc(c, *cfc, &faults)) {
                CliError(QStringLiteral("\"%1\": %2").arg(path, faults.join(QStringLiteral("; "))));
                return 1;
            }
            for (const QString& fault : faults)
                CliError(QStringLiteral("warning: ") + fault);
            c.Title = ChannelText(CfcTitle(c.Title, *cfc));
        }
        channels.push_back(std::move(c));
    }

    TABgraph graph;
    graph.AddChannels(std::move(channels));
    if (const auto title = args.value("--title"))
        graph.SetMainTitle(*title);
    QString error;
    if (!graph.Plot()->SaveImage(*out, width, height, &error)) {
        CliError(error);
        return 1;
    }
    return 0;
}

const CliCommand reg{"plot", "IN... --out OUT.png|OUT.pdf|OUT.svg",
                     "renders a graph of T/HIS (.dat) or sample text files as an image, as the graph window draws it",
                     {
                         {"--out", "OUT", "the image: .png, .pdf or .svg"},
                         {"--size", "WxH", "image size in pixels (default 800x600)"},
                         {"--rate", "R", "samples per second of text inputs"},
                         {"--cfc", "C", "filter every channel with class 60, 180, 600 or 1000 first"},
                         {"--title", "T", "graph title (default: the channel's title, or \"Lumetra Graph\")"},
                     },
                     &runPlot};

} // namespace
