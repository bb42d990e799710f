// qorplayer-cli export FILE --first A --last B --format KIND --out NAME ...:
// renders a frame range through the document's adjustments and writes it the
// way Save As does (AVI, 8-bit grey AVI, TIFF/JPEG/BMP/DPX sequences or one
// multi-page TIFF). Ctrl+C stops after the current frame and leaves what was
// written readable.

#include "cli/CliCommand.h"
#include "cli/CliSupport.h"
#include "document/VideoDocument.h"
#include "export/ExportRange.h"
#include "sources/SourceFactory.h"

#include "cli/AdjustmentOptions.h"
#include "cli/CalibrateOption.h"

#include <QFileInfo>
#include <csignal>
#include <cstdint>

namespace {

volatile std::sig_atomic_t g_interrupted = 0;

extern "C" void OnInterrupt(int)
{
    g_interrupted = 1;
}

// Prints about twenty progress lines per run and stops on Ctrl+C.
class ConsoleProgress : public ExportProgress {
public:
    bool step(int done, int total) override
    {
        // A line each time another twentieth of the range is done.
        if (done > 0 && int64_t(done) * 20 / total != int64_t(done - 1) * 20 / total)
            CliPrint(QStringLiteral("saved %1/%2 frames").arg(done).arg(total));
        return g_interrupted == 0;
    }
};

struct FormatOption {
    const char* name;
    int filterIndex;
};

constexpr FormatOption formats[] = {
    {"avi", 1}, {"tif", 2}, {"jpg", 3}, {"bmp", 4}, {"dpx", 5}, {"avi8", 6}, {"mtiff", 7},
};

int runExport(const CliArgs& args);

const CliCommand reg{"export", "FILE --format avi|avi8|tif|jpg|bmp|dpx|mtiff --out NAME",
                     "renders a frame range with the adjustments and writes it as Save As does",
                     CliOptions(
                         {
                             {"--first", "A", "first frame (default: the recording's first)"},
                             {"--last", "B", "last frame (default: the recording's last)"},
                             {"--format", "KIND", "avi, avi8 (8-bit grey AVI), tif, jpg, bmp, dpx or mtiff (multi-page TIFF)"},
                             {"--out", "NAME", "the file (AVI, multi-page TIFF) or the name the numbered files follow"},
                             {"--fps", "N", "AVI frames per second, 1..1000 (default 15)"},
                             RateOption(),
                             {"--codec", "dib|mjpeg", "AVI frames uncompressed or Motion JPEG (default dib)"},
                             {"--quality", "Q", "JPEG quality 1..100 (default 75)"},
                             {"--numbering", "frame|index", "number sequence files by frame number or by place in the range"},
                             {"--overwrite", nullptr, "replace files that exist"},
                             AnalysisOption(),
                             CalibrateOption(),
                         },
                         AdjustmentOptionTable()),
                     &runExport};

// Reads an optional integer option into `value`; false after an error.
bool IntOption(const CliArgs& args, const char* name, int& value)
{
    const auto text = args.value(name);
    if (!text)
        return true;
    const auto parsed = CliInt(*text, QString::fromLatin1(name));
    if (!parsed)
        return false;
    value = *parsed;
    return true;
}

int runExport(const CliArgs& args)
{
    const QStringList& positional = args.positional();
    const auto format = args.value("--format");
    const auto out = args.value("--out");
    if (positional.size() != 1 || !format || !out) {
        CliError(QStringLiteral("usage: %1").arg(reg.usage()));
        return 2;
    }

    ExportRequest request;
    request.filterIndex = 0;
    for (const FormatOption& f : formats)
        if (*format == QLatin1String(f.name))
            request.filterIndex = f.filterIndex;
    if (request.filterIndex == 0) {
        CliError(QStringLiteral("--format: \"%1\" is not one of avi, avi8, tif, jpg, bmp, dpx, mtiff").arg(*format));
        return 2;
    }
    if (const auto codec = args.value("--codec")) {
        if (*codec == QLatin1String("dib"))
            request.aviCodec = AviCodec::Dib24;
        else if (*codec == QLatin1String("mjpeg"))
            request.aviCodec = AviCodec::Mjpeg;
        else {
            CliError(QStringLiteral("--codec: \"%1\" is not dib or mjpeg").arg(*codec));
            return 2;
        }
    }
    if (!IntOption(args, "--fps", request.playSpeed) || !IntOption(args, "--quality", request.quality))
        return 2;
    if (const auto numbering = args.value("--numbering")) {
        if (*numbering == QLatin1String("frame"))
            request.numbering = FileNumbering::FrameNumber;
        else if (*numbering == QLatin1String("index"))
            request.numbering = FileNumbering::RangeIndex;
        else {
            CliError(QStringLiteral("--numbering: \"%1\" is not frame or index").arg(*numbering));
            return 2;
        }
    }
    request.replaceExisting = args.has("--overwrite");
    const bool avi = request.filterIndex == 1 || request.filterIndex == 6;
    if (avi && (request.playSpeed < 1 || request.playSpeed > 1000)) {
        CliError(QStringLiteral("--fps: an AVI file plays at 1 to 1000 frames per second, not %1").arg(request.playSpeed));
        return 2;
    }
    if (request.quality < 1 || request.quality > 100) {
        CliError(QStringLiteral("--quality must be 1 to 100, not %1").arg(request.quality));
        return 2;
    }
    // The dialog only offers names in existing folders; a relative name
    // here means the current folder.
    request.fileName = QFileInfo(*out).absoluteFilePath();
    const QString folder = QFileInfo(request.fileName).absolutePath();
    if (!QFileInfo(folder).isDir()) {
        CliError(QStringLiteral("--out: the folder %1 does not exist").arg(folder));
        return 1;
    }

    VideoDocument doc;
    if (const int failed = CliOpenDocument(doc, positional[0], args))
        return failed;
    const RecordingInfo& info = doc.Info;
    request.rangeFirst = info.FirstFrame;
    request.rangeLast = info.LastFrame;
    if (!IntOption(args, "--first", request.rangeFirst) || !IntOption(args, "--last", request.rangeLast))
        return 2;
    for (int n : {request.rangeFirst, request.rangeLast}) {
        if (n < info.FirstFrame || n > info.LastFrame) {
            CliError(QStringLiteral("frame %1 is outside the recording (%2 .. %3)").arg(n).arg(info.FirstFrame).arg(info.LastFrame));
            return 1;
        }
    }

    if (!request.replaceExisting) {
        const QStringList existing = ExistingExportFiles(request, info.FirstFrame, info.LastFrame);
        if (!existing.isEmpty()) {
            CliError(QStringLiteral("%1 already exists (--overwrite replaces it)").arg(existing.first()));
            return 1;
        }
    }

    ConsoleProgress progress;
    g_interrupted = 0;
    const auto previousHandler = std::signal(SIGINT, OnInterrupt);
    const ExportResult result = ExportRange(doc, request, &progress);
    std::signal(SIGINT, previousHandler);

    switch (result.status) {
    case ExportResult::Completed:
        CliPrint(QStringLiteral("Save Complete."));
        break;
    case ExportResult::Aborted:
        CliError(QStringLiteral("export stopped after %1 frames").arg(result.framesWritten));
        break;
    case ExportResult::Failed:
        CliError(result.error);
        break;
    }
    if (!result.files.isEmpty()) {
        CliPrint(result.files.size() == 1 ? QStringLiteral("wrote %1 frames to %2").arg(result.framesWritten).arg(result.files.first())
                                          : QStringLiteral("wrote %1 files: %2 .. %3").arg(result.files.size()).arg(result.files.first(), result.files.last()));
    }
    return result.status == ExportResult::Completed ? 0 : 1;
}

} // namespace
