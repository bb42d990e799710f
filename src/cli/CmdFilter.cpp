// qorplayer-cli filter --cfc C --rate R IN OUT: runs the J211 channel filter
// over the samples of IN (one per line) and writes the filtered samples to
// OUT, one per line with 9 significant digits (enough to read back the same
// single-precision value).

#include "cli/CliCommand.h"
#include "cli/CliSupport.h"
#include "common/NumberFormat.h"
#include "graphs/CfcFilter.h"
#include "graphs/SampleText.h"

#include <QSaveFile>
#include <algorithm>
#include <cmath>
#include <optional>

namespace {

// Reads --cfc (one of the J211 classes) and --rate (positive) and checks that
// the class fits the rate; prints the reason and returns false otherwise.
bool readCfcAndRate(const CliArgs& args, bool cfcRequired, std::optional<int>* cfc, double* rate)
{
    const auto rateText = args.value("--rate");
    if (!rateText) {
        CliError(QStringLiteral("--rate R is required"));
        return false;
    }
    const auto r = CliReal(*rateText, QStringLiteral("--rate"));
    if (!r)
        return false;
    if (!(*r > 0) || !std::isfinite(*r)) {
        CliError(QStringLiteral("--rate must be a positive number of samples per second"));
        return false;
    }
    *rate = *r;
    const auto cfcText = args.value("--cfc");
    if (!cfcText) {
        if (cfcRequired) {
            CliError(QStringLiteral("--cfc C is required"));
            return false;
        }
        return true;
    }
    const auto c = CliInt(*cfcText, QStringLiteral("--cfc"));
    if (!c)
        return false;
    if (std::find(std::begin(kCfcClasses), std::end(kCfcClasses), *c) == std::end(kCfcClasses)) {
        CliError(QStringLiteral("--cfc must be 60, 180, 600 or 1000"));
        return false;
    }
    const QString problem = CfcRateProblem(*c, float(*rate));
    if (!problem.isEmpty()) {
        CliError(problem);
        return false;
    }
    *cfc = *c;
    return true;
}

int runFilter(const CliArgs& args)
{
    const QStringList& positional = args.positional();
    if (positional.size() != 2) {
        CliError(QStringLiteral("usage: qorplayer-cli filter --cfc C --rate R IN OUT"));
        return 2;
    }
    std::optional<int> cfc;
    double rate = 0;
    if (!readCfcAndRate(args, true, &cfc, &rate))
        return 2;

    SampleText samples;
    QString error;
    if (!ReadSampleFile(positional[0], false, &samples, &error)) {
        CliError(error);
        return 1;
    }
    QStringList faults;
    const std::vector<float> filtered = CfcFilter(samples.y, *cfc, float(rate), &faults);
    for (const QString& fault : faults)
        CliError(QStringLiteral("warning: ") + fault);

    QByteArray out;
    out.reserve(qsizetype(filtered.size()) * 16);
    for (float v : filtered) {
        out += FormatGeneral(v, 9).toLatin1();
        out += '\n';
    }
    QSaveFile file(positional[1]);
    if (!file.open(QIODevice::WriteOnly) || file.write(out) != out.size() || !file.commit()) {
        CliError(QStringLiteral("cannot write \"%1\": %2").arg(positional[1], file.errorString()));
        return 1;
    }
    return 0;
}

const CliCommand reg{"filter", "--cfc C --rate R IN OUT", "filters the samples of IN (one per line) with the channel filter into OUT",
                     {
                         {"--cfc", "C", "channel frequency class: 60, 180, 600 or 1000"},
                         {"--rate", "R", "samples per second"},
                     },
                     &runFilter};

} // namespace
