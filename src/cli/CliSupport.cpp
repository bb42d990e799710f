#include "cli/CliSupport.h"

#include "cli/AdjustmentOptions.h"
#include "cli/CalibrateOption.h"
#include "cli/CliOptions.h"
#include "document/AnalysisFile.h"
#include "document/VideoDocument.h"
#include "sources/SourceFactory.h"

#include <cstdio>

void CliError(const QString& message)
{
    std::fprintf(stderr, "qorplayer-cli: %s\n", message.toLocal8Bit().constData());
}

void CliPrint(const QString& line)
{
    std::fprintf(stdout, "%s\n", line.toLocal8Bit().constData());
    std::fflush(stdout);
}

std::optional<int> CliInt(const QString& text, const QString& what)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok) {
        CliError(QStringLiteral("%1: \"%2\" is not a whole number").arg(what, text));
        return std::nullopt;
    }
    return value;
}

std::optional<double> CliReal(const QString& text, const QString& what)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok) {
        CliError(QStringLiteral("%1: \"%2\" is not a number").arg(what, text));
        return std::nullopt;
    }
    return value;
}

CliOption RateOption()
{
    return {"--rate", "R", "frames per second of an AVI without a time base (default 1000)"};
}

int ApplyRateOption(const CliArgs& args, VideoDocument& doc)
{
    const std::optional<QString> text = args.value("--rate");
    if (!text)
        return 0;
    if (!doc.CanSetRecordingRate()) {
        CliError(QStringLiteral("--rate: %1 carries its own time base").arg(doc.Info.FileName));
        return 2;
    }
    const std::optional<int> rate = CliInt(*text, QStringLiteral("--rate"));
    if (!rate)
        return 2;
    if (*rate <= 0) {
        CliError(QStringLiteral("--rate: %1 is not a positive number of frames per second").arg(*rate));
        return 2;
    }
    doc.SetRecordingRate(*rate, doc.Info.TimeZeroFrame);
    doc.LoadFrame(doc.Info.CurrentFrame); // the current time follows the new rate
    return 0;
}

void CliWarnAboutOpen(const VideoDocument& doc)
{
    if (const QString warning = doc.Source() ? doc.Source()->openWarning() : QString(); !warning.isEmpty())
        std::fprintf(stderr, "qorplayer-cli: warning: %s\n", warning.toLocal8Bit().constData());
}

CliOption AnalysisOption()
{
    return {"--analysis", "FILE", "apply a saved analysis (adjustments, annotations, logos, calibration) first"};
}

int CliOpenDocument(VideoDocument& doc, const QString& fileName, const CliArgs& args, Analysis* analysis)
{
    QString error;
    if (!OpenRecordingFile(doc, fileName, &error)) {
        CliError(error);
        return 1;
    }
    CliWarnAboutOpen(doc);
    if (const int failed = ApplyRateOption(args, doc))
        return failed;
    if (const std::optional<QString> path = args.value("--analysis")) {
        Analysis loaded;
        if (LoadAnalysisFor(doc, *path, &loaded, &error) != AnalysisProblem::None) {
            CliError(error);
            return 1;
        }
        ApplyAnalysis(loaded, doc);
        doc.Redisplay();
        if (analysis)
            *analysis = std::move(loaded);
    }
    if (!ParseAdjustmentOptions(args.words(), doc, &error)) {
        CliError(error);
        return 2;
    }
    return ApplyCalibrateOption(args, doc.Info);
}
