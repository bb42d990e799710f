// make-sample: writes a synthetic Brava (.bvf) or Stravo (.svf, by the output's
// extension) recording with moving targets over a textured background (see
// sources/bvf/SampleScene.h for the true paths).

#include "cli/CliCommand.h"
#include "cli/CliSupport.h"
#include "sources/bvf/SampleScene.h"
#include "sources/svf/SvfWriter.h"

#include <QFileInfo>

#include <QRegularExpression>

#include <cstdio>
#include <functional>
#include <unistd.h>

namespace {

// A one-line frame counter on a terminal, redrawn in place; nothing when
// the error stream goes to a file or a pipe.
std::function<void(int, int)> TerminalProgress()
{
    if (!isatty(fileno(stderr)))
        return {};
    return [](int done, int total) {
        std::fprintf(stderr, "\rWriting frame %d of %d", done, total);
        if (done == total)
            std::fprintf(stderr, "\n");
        std::fflush(stderr);
    };
}

int runMakeSample(const CliArgs& args)
{
    const QStringList& positional = args.positional();
    if (positional.size() != 1) {
        CliError(QStringLiteral("make-sample needs exactly one output file"));
        return 2;
    }

    bvf::SampleOptions options;
    options.colour = args.has("--colour");
    if (auto v = args.value("--frames")) {
        auto n = CliInt(*v, QStringLiteral("--frames"));
        if (!n)
            return 2;
        if (*n < 1 || *n > 1000000) {
            CliError(QStringLiteral("--frames must lie between 1 and 1000000"));
            return 2;
        }
        options.frames = *n;
    }
    if (auto v = args.value("--fps")) {
        auto n = CliInt(*v, QStringLiteral("--fps"));
        if (!n)
            return 2;
        if (*n < 1 || *n > 65535) {
            CliError(QStringLiteral("--fps must lie between 1 and 65535"));
            return 2;
        }
        options.fps = *n;
    }
    if (auto v = args.value("--first")) {
        auto n = CliInt(*v, QStringLiteral("--first"));
        if (!n)
            return 2;
        if (int64_t(*n) + options.frames - 1 > INT32_MAX) {
            CliError(QStringLiteral("--first is too large for %1 frames").arg(options.frames));
            return 2;
        }
        options.firstFrame = *n;
    }
    if (auto v = args.value("--size")) {
        static const QRegularExpression form(QStringLiteral("^(\\d{1,5})[xX](\\d{1,5})$"));
        const auto m = form.match(v->trimmed());
        const int w = m.hasMatch() ? m.captured(1).toInt() : 0;
        const int h = m.hasMatch() ? m.captured(2).toInt() : 0;
        if (w < 16 || h < 16 || w > 8192 || h > 8192) {
            CliError(QStringLiteral("--size: \"%1\" is not WIDTHxHEIGHT between 16x16 and 8192x8192").arg(*v));
            return 2;
        }
        options.size = QSize(w, h);
    }

    QString error;
    const bool stravo = QFileInfo(positional.first()).suffix().compare(QLatin1String("svf"), Qt::CaseInsensitive) == 0;
    const bool written = stravo ? svf::WriteSampleRecording(positional.first(), options, &error, TerminalProgress())
                                : bvf::WriteSampleRecording(positional.first(), options, &error, TerminalProgress());
    if (!written) {
        CliError(error);
        return 1;
    }
    if (auto truth = args.value("--truth")) {
        if (!bvf::WriteSampleTruth(*truth, options, &error)) {
            CliError(error);
            return 1;
        }
    }
    return 0;
}

const CliCommand reg{"make-sample", "OUT.bvf|OUT.svf", "writes a synthetic Brava (.bvf) or Stravo (.svf) recording with moving targets",
                     {
                         {"--colour", nullptr, "a colour (Bayer) recording instead of monochrome (an .svf one is a grey scene on the colour sensor)"},
                         {"--frames", "N", "number of frames, 1..1000000"},
                         {"--size", "WxH", "frame size between 16x16 and 8192x8192 (even sides for .svf)"},
                         {"--fps", "F", "frames per second, 1..65535"},
                         {"--first", "F0", "number of the first frame"},
                         {"--truth", "OUT.csv", "also write the true target paths"},
                     },
                     &runMakeSample};

} // namespace
