// qorplayer-cli info FILE: the recording information as "Name: value" lines,
// and the analysis file beside the recording when there is one.

#include "cli/CliCommand.h"
#include "cli/CliSupport.h"
#include "common/NumberFormat.h"
#include "document/AnalysisFile.h"
#include "document/VideoDocument.h"
#include "overlays/Calibration.h"
#include "sources/SourceFactory.h"

namespace {

int runInfo(const CliArgs& args)
{
    const QStringList& files = args.positional();
    if (files.size() != 1) {
        CliError(QStringLiteral("usage: qorplayer-cli info FILE"));
        return 2;
    }
    VideoDocument doc;
    QString error;
    if (!OpenRecordingFile(doc, files.first(), &error)) {
        CliError(error);
        return 1;
    }
    CliWarnAboutOpen(doc);
    if (const int failed = ApplyRateOption(args, doc))
        return failed;
    const RecordingInfo& i = doc.Info;
    CliPrint(QStringLiteral("FileName: %1").arg(i.FileName));
    CliPrint(QStringLiteral("SourceKind: %1").arg(i.SourceKind));
    CliPrint(QStringLiteral("FrameCount: %1").arg(i.FrameCount));
    CliPrint(QStringLiteral("FirstFrame: %1").arg(i.FirstFrame));
    CliPrint(QStringLiteral("LastFrame: %1").arg(i.LastFrame));
    CliPrint(QStringLiteral("FrameRate: %1").arg(i.FrameRate));
    CliPrint(QStringLiteral("TimeZeroFrame: %1").arg(i.TimeZeroFrame));
    CliPrint(QStringLiteral("FrameInterval: %1").arg(FormatGeneral(i.FrameInterval, 7)));
    CliPrint(QStringLiteral("ImageWidth: %1").arg(i.ImageWidth));
    CliPrint(QStringLiteral("ImageHeight: %1").arg(i.ImageHeight));
    for (int n = 0; n < 17; ++n)
        if (!i.InfoText[n].isEmpty() || n < 2)
            CliPrint(QStringLiteral("InfoText[%1]: %2").arg(n).arg(i.InfoText[n]));
    CliPrint(QStringLiteral("StartTime: %1").arg(FormatFixed(doc.TimeOfFrame(i.FirstFrame).toDouble(), 7, 4)));
    CliPrint(QStringLiteral("EndTime: %1").arg(FormatFixed(doc.TimeOfFrame(i.LastFrame).toDouble(), 7, 4)));
    CliPrint(QStringLiteral("PixelsPerUnit: %1").arg(FormatPixelsPerUnit(i.PixelsPerUnit)));
    CliPrint(QStringLiteral("CalUnitIndex: %1").arg(i.CalUnitIndex));

    const QString analysisPath = AnalysisPathFor(files.first());
    Analysis analysis;
    QString problem;
    switch (LoadAnalysisFor(doc, analysisPath, &analysis, &problem)) {
    case AnalysisProblem::None:
        CliPrint(QStringLiteral("Analysis: %1").arg(analysisPath));
        CliPrint(QStringLiteral("AnalysisEntries: %1").arg(analysis.Adjustments.size()));
        CliPrint(QStringLiteral("AnalysisPoints: %1").arg(analysis.Points.size()));
        break;
    case AnalysisProblem::Missing:
        break;
    default:
        CliPrint(QStringLiteral("Analysis: %1 (not usable)").arg(analysisPath));
        CliError(QStringLiteral("warning: %1").arg(problem));
        break;
    }
    return 0;
}

const CliCommand reg{"info", "FILE", "prints the recording information as \"Name: value\" lines",
                     CliOptions({RateOption()}), &runInfo};

} // namespace
