#pragma once
// Small helpers shared by the subcommands of qorplayer-cli.

#include "cli/CliOptions.h"

#include <QString>
#include <QStringList>
#include <optional>

class CliArgs;
class VideoDocument;
struct Analysis;

// Prints "qorplayer-cli: <message>" on one line to stderr.
void CliError(const QString& message);
// Prints a line to stdout.
void CliPrint(const QString& line);

// Parses an integer or real; on failure prints an error naming the option
// and returns nullopt.
std::optional<int> CliInt(const QString& text, const QString& what);
std::optional<double> CliReal(const QString& text, const QString& what);

// --rate R: the capture rate of an AVI that carries no time base of its own.
CliOption RateOption();
// Applies --rate when given. Returns 0, or 2 after printing the error (a rate
// that is no positive whole number, or a file with a time base of its own).
int ApplyRateOption(const CliArgs& args, VideoDocument& doc);

// Prints the source's notice from opening (e.g. a recording cut short) to stderr.
void CliWarnAboutOpen(const VideoDocument& doc);

// --analysis FILE: a saved analysis applied before the command's own options.
CliOption AnalysisOption();

// Opens FILE into the document, applies --analysis (its adjustments,
// calibration and tracking points; the whole analysis is kept in
// `analysis` when given), then appends the adjustment options of args
// (--brightness, --contrast, ...) and --calibrate. Returns 0, or the exit
// code after printing the error: 1 when the file or the analysis cannot be
// used, 2 for bad options.
int CliOpenDocument(VideoDocument& doc, const QString& fileName, const CliArgs& args, Analysis* analysis = nullptr);
