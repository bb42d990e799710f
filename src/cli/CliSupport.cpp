#include "cli/CliSupport.h"

#include "cli/AdjustmentOptions.h"
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

std::optional<QString> CliOption(const QStringList& args, const QString& name)
{
    const int i = args.indexOf(name);
    if (i < 0 || i + 1 >= args.size())
        return std::nullopt;
    return args[i + 1];
}

bool CliFlag(const QStringList& args, const QString& name)
{
    return args.contains(name);
}

QStringList CliPositional(const QStringList& args, const QStringList& valueOptions)
{
    QStringList result;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a.startsWith(QLatin1String("--"))) {
            if (valueOptions.contains(a))
                ++i;
            continue;
        }
        result << a;
    }
    return result;
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

int CliOpenDocument(VideoDocument& doc, const QString& fileName, const QStringList& args)
{
    QString error;
    if (!OpenRecordingFile(doc, fileName, &error)) {
        CliError(error);
        return 1;
    }
    if (!ParseAdjustmentOptions(args, doc, &error)) {
        CliError(error);
        return 2;
    }
    return 0;
}
