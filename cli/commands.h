// The commands of corvane-cli, in one table: the dispatch, the help text and the message
// for an unknown command all come from it. A new command is its own unit, which provides
// its help paragraph and its run function, plus one line in this table.
#pragma once

#include <cstdio>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace corvane::cli {

/// Parses the command's arguments (the command name left out) and runs it; returns the
/// exit status. A command line it cannot take throws UsageError.
using CommandRun = int (*)(const std::vector<std::string_view>& args, std::FILE* out,
                           std::FILE* err);

struct Command {
    const char* name;
    /// What follows the name on its usage line, e.g. "[opções] NETLIST".
    const char* synopsis;
    /// Its paragraph of the help text after "name: ", options included.
    const char* usage;
    CommandRun run;
};

/// Every command, in the order of the help text.
std::span<const Command> commands();

/// The command called `name`; null when there is none.
const Command* findCommand(std::string_view name);

/// The whole help text: the usage line of each command, each command's paragraph, then
/// the options of every command and the exit statuses.
std::string usageText();

}  // namespace corvane::cli
