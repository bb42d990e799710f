// qorplayer-cli: batch work over the player's core (no windows).

#include "cli/CliCommand.h"
#include "cli/CliSupport.h"

#include "common/RuntimeFolder.h"

#include <QGuiApplication>
#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {
std::vector<const CliCommand*>& registry()
{
    static std::vector<const CliCommand*> commands;
    return commands;
}

void printUsage()
{
    std::fprintf(stderr, "usage: qorplayer-cli COMMAND ...\n\ncommands:\n");
    auto commands = registry();
    std::sort(commands.begin(), commands.end(),
              [](const CliCommand* a, const CliCommand* b) { return std::strcmp(a->name, b->name) < 0; });
    for (const CliCommand* c : commands)
        std::fprintf(stderr, "  qorplayer-cli %s\n", c->usage);
}
} // namespace

CliCommand::CliCommand(const char* name, const char* usage, CliRunFunction run)
    : name(name), usage(usage), run(run)
{
    registry().push_back(this);
}

const std::vector<const CliCommand*>& CliCommand::all()
{
    return registry();
}

int main(int argc, char** argv)
{
    // Text drawing and image codecs need a QGuiApplication; no window opens.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    EnsureRuntimeFolder();
    QGuiApplication app(argc, argv);
    QStringList args = app.arguments();
    args.removeFirst();
    if (args.isEmpty() || args.first() == QLatin1String("--help") || args.first() == QLatin1String("help")) {
        printUsage();
        return args.isEmpty() ? 2 : 0;
    }
    const QString name = args.takeFirst();
    for (const CliCommand* c : registry())
        if (name == QLatin1String(c->name))
            return c->run(args);
    CliError(QStringLiteral("unknown command \"%1\"").arg(name));
    printUsage();
    return 2;
}
