#pragma once
// Subcommands of qorplayer-cli register themselves with a static CliCommand:
//   const CliCommand reg{"info", "FILE", "prints the recording information",
//                        CliOptions({}), &runInfo};
// Each Cmd*.cpp file in this folder is linked into the executable, so the
// registrations always run. main.cpp parses the words with the command's
// option table, answers --help and reports option errors as
// "qorplayer-cli: COMMAND: ..." (exit code 2) before the command runs.

#include "cli/CliOptions.h"

#include <vector>

using CliRunFunction = int (*)(const CliArgs& args);

struct CliCommand {
    const char* name;
    const char* arguments; // after the command name: "FILE N OUT"
    const char* summary;   // one line for --help
    CliOptionTable options;
    CliRunFunction run;

    CliCommand(const char* name, const char* arguments, const char* summary, CliOptionTable options,
               CliRunFunction run);

    // "qorplayer-cli info FILE [options]"
    QString usage() const;

    static const std::vector<const CliCommand*>& all();
};
