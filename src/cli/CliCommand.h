#pragma once
// Subcommands of qorplayer-cli register themselves with a static CliCommand:
//   static const CliCommand reg{"info", "info FILE", &runInfo};
// Each Cmd*.cpp file in this folder is linked into the executable, so the
// registrations always run.

#include <QStringList>
#include <vector>

using CliRunFunction = int (*)(const QStringList& args);

struct CliCommand {
    const char* name;
    const char* usage;
    CliRunFunction run;

    CliCommand(const char* name, const char* usage, CliRunFunction run);

    static const std::vector<const CliCommand*>& all();
};
