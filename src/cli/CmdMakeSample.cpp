// make-sample: writes a synthetic Brava recording with moving targets over a
// textured background (see sources/bvf/SampleScene.h for the true paths).

#include "cli/CliCommand.h"
#include "cli/CliSupport.h"
#include "sources/bvf/SampleScene.h"

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

int runMakeSample(const QStringList& args)
{
    const QStringList valueOptions{"--frames", "--size", "--fps", "--first", "--truth"};
    const QStringList positional = CliPositional(args, valueOptions);
    if (positional.size() != 1) {
        CliError(QStringLiteral("make-sample needs exactly one output file"));
        return 2;
    }
    for (const QString& a : args)
        if (a.startsWith(QLatin1String("--")) && !valueOptions.contains(a) && a != QLatin1String("--colour")) {
            CliError(QStringLiteral("make-sample: unknown option %1").arg(a));
            return 2;
        }
    for (const QString& name : valueOptions)
        if (args.contains(name) && !CliOption(args, name)) {
            CliError(QStringLiteral("make-sample: %1 needs a value").arg(name));
            return 2;
        }

    bvf::SampleOptions options;
    options.colour = CliFlag(args, QStringLiteral("--colour"));
    if (auto v = CliOption(args, QStringLiteral("--frames"))) {
        auto n = CliInt(*v, QStringLiteral("--frames"));
        if (!n)
            return 2;
        if (*n < 1 || *n > 1000000) {
            CliError(QStringLiteral("--frames must lie between 1 and 1000000"));
            return 2;
        }
        options.frames = *n;
    }
    if (auto v = CliOption(args, QStringLiteral("--fps"))) {
        auto n = CliInt(*v, QStringLiteral("--fps"));
        if (!n)
            return 2;
        if (*n < 1 || *n > 65535) {
            CliError(QStringLiteral("--fps must lie between 1 and 65535"));
            return 2;
        }
        options.fps = *n;
    }
    if (auto v = CliOption(args, QStringLiteral("--first"))) {
        auto n = CliInt(*v, QStringLiteral("--first"));
        if (!n)
            return 2;
        if (int64_t(*n) + options.frames - 1 > INT32_MAX) {
            CliError(QStringLiteral("--first is too large for %1 frames").arg(options.frames));
            return 2;
        }
        options.firstFrame = *n;
    }
    if (auto v = CliOption(args, QStringLiteral("--size"))) {
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
    if (!bvf::WriteSampleRecording(positional.first(), options, &error, TerminalProgress())) {
        CliError(error);
        return 1;
    }
    if (auto truth = CliOption(args, QStringLiteral("--truth"))) {
        if (!bvf::WriteSampleTruth(*truth, options, &error)) {
            CliError(error);
            return 1;
        }
    }
    return 0;
}

const CliCommand reg{"make-sample",
                     "make-sample OUT.bvf [--colour] [--frames N] [--size WxH] [--fps F] [--first F0] [--truth OUT.csv]",
                     &runMakeSample};

} // namespace
