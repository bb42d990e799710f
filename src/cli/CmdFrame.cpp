// qorplayer-cli frame FILE N OUT [adjustments]: writes frame N as the
// document renders it (.bmp, .png or .tif by OUT's extension).

#include "cli/CliCommand.h"
#include "cli/CliSupport.h"
#include "document/VideoDocument.h"
#include "export/ImageFileWriters.h"
#include "sources/SourceFactory.h"

#include "cli/AdjustmentOptions.h"
#include "cli/CalibrateOption.h"

#include <QFileInfo>
#include <QImageWriter>

namespace {

int runFrame(const CliArgs& args)
{
    const QStringList& positional = args.positional();
    if (positional.size() != 3) {
        CliError(QStringLiteral("usage: qorplayer-cli frame FILE N OUT [adjustment options]"));
        return 2;
    }
    const auto frameNumber = CliInt(positional[1], QStringLiteral("frame number"));
    if (!frameNumber)
        return 2;
    const QString out = positional[2];
    const QString suffix = QFileInfo(out).suffix().toLower();
    const QByteArray format = suffix == QLatin1String("bmp") ? "bmp"
                            : suffix == QLatin1String("png") ? "png"
                            : (suffix == QLatin1String("tif") || suffix == QLatin1String("tiff")) ? "tiff"
                            : QByteArray();
    if (format.isEmpty()) {
        CliError(QStringLiteral("%1: the output must end in .bmp, .png or .tif").arg(out));
        return 2;
    }

    VideoDocument doc;
    if (const int failed = CliOpenDocument(doc, positional[0], args))
        return failed;
    const RecordingInfo& info = doc.Info;
    if (*frameNumber < info.FirstFrame || *frameNumber > info.LastFrame) {
        CliError(QStringLiteral("frame %1 is outside the recording (%2 .. %3)")
                     .arg(*frameNumber).arg(info.FirstFrame).arg(info.LastFrame));
        return 1;
    }
    doc.LoadFrame(*frameNumber);
    if (!doc.FrameReadError.isEmpty()) {
        CliError(doc.FrameReadError);
        return 1;
    }
    if (format == "tiff") {
        // The exporter's own TIFF writer (libtiff): Qt may have no TIFF plug-in.
        QString error;
        if (!WriteTiff(out, doc.DisplayBitmap, &error)) {
            CliError(error);
            return 1;
        }
        return 0;
    }
    QImageWriter writer(out, format);
    if (!writer.write(doc.DisplayBitmap.toImage())) {
        CliError(QStringLiteral("cannot write %1: %2").arg(out, writer.errorString()));
        return 1;
    }
    return 0;
}

const CliCommand reg{"frame", "FILE N OUT.bmp|.png|.tif", "writes frame N as the player shows it with the adjustments",
                     CliOptions({AnalysisOption(), CalibrateOption(), RateOption()}, AdjustmentOptionTable()), &runFrame};

} // namespace
