// qorplayer-cli: batch work over the player's core (no windows).

#include "cli/CliCommand.h"
#include "cli/CliSupport.h"

#include "common/RuntimeFolder.h"

#include <QApplication>
#include <QGuiApplication>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {
std::vector<const CliCommand*>& registry()
{
    static std::vector<const CliCommand*> commands;
    return commands;
}

void printUsage(FILE* to)
{
    std::fprintf(to, "usage: qorplayer-cli COMMAND ...\n       qorplayer-cli COMMAND --help\n"
                     "       qorplayer-cli --version\n\ncommands:\n");
    auto commands = registry();
    std::sort(commands.begin(), commands.end(),
              [](const CliCommand* a, const CliCommand* b) { return std::strcmp(a->name, b->name) < 0; });
    for (const CliCommand* c : commands)
        std::fprintf(to, "  %-12s %s\n", c->name, c->summary);
}

void printCommandHelp(const CliCommand& c)
{
    std::printf("usage: %s\n\n%s\n", qPrintable(c.usage()), c.summary);
    if (!c.options.empty())
        std::printf("\noptions:\n%s", qPrintable(CliOptionHelp(c.options)));
}
} // namespace

CliCommand::CliCommand(const char* name, const char* arguments, const char* summary, CliOptionTable options,
                       CliRunFunction run)
    : name(name), arguments(arguments), summary(summary), options(std::move(options)), run(run)
{
    registry().push_back(this);
}

QString CliCommand::usage() const
{
    QString text = QStringLiteral("qorplayer-cli %1 %2").arg(QLatin1String(name), QLatin1String(arguments));
    if (!options.empty())
        text += QStringLiteral(" [options]");
    return text;
}

const std::vector<const CliCommand*>& CliCommand::all()
{
    return registry();
}

int main(int argc, char** argv)
{
    // Text drawing and image codecs need a QGuiApplication; no window opens.
    // "plot" renders a graph window, which needs the widgets too, always
    // offscreen so that it runs without a display.
    const bool widgets = argc > 1 && std::strcmp(argv[1], "plot") == 0;
    if (widgets)
        qputenv("QT_QPA_PLATFORM", "offscreen");
    else if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    EnsureRuntimeFolder();
    std::unique_ptr<QGuiApplication> app =
        widgets ? std::make_unique<QApplication>(argc, argv) : std::make_unique<QGuiApplication>(argc, argv);
    QStringList words = app->arguments();
    words.removeFirst();
    if (words.isEmpty()) {
        printUsage(stderr);
        return 2;
    }
    if (words.first() == QLatin1String("--help") || words.first() == QLatin1String("help")) {
        printUsage(stdout);
        return 0;
    }
    if (words.first() == QLatin1String("--version")) {
        std::printf("qorplayer-cli %s\n", QOR_VERSION);
        return 0;
    }
    const QString name = words.takeFirst();
    const auto command = std::find_if(registry().begin(), registry().end(),
                                      [&](const CliCommand* c) { return name == QLatin1String(c->name); });
    if (command == registry().end()) {
        CliError(QStringLiteral("unknown command \"%1\"").arg(name));
        printUsage(stderr);
        return 2;
    }
    const CliCommand& c = **command;
    if (words.contains(QLatin1String("--help"))) {
        printCommandHelp(c);
        return 0;
    }
    QString error;
    const std::optional<CliArgs> args = CliArgs::Parse(words, c.options, &error);
    if (!args) {
        CliError(QStringLiteral("%1: %2 (qorplayer-cli %1 --help lists the options)").arg(name, error));
        return 2;
    }
    return c.run(*args);
}
