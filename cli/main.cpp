// quorix: the program's entry point and its subcommand table.
#include <cstdio>
#include <span>
#include <string_view>

#include "cli/CheckCommand.h"
#include "cli/ConfigCommand.h"
#include "cli/CorrectCommand.h"
#include "cli/DaemonCommand.h"
#include "cli/DesktopCommand.h"
#include "cli/ForgetCommand.h"
#include "cli/Subcommand.h"

namespace quorix::cli {
namespace {

constexpr Subcommand kSubcommands[] = {
    {"config", "print the configuration as loaded from the user's files (writes nothing)",
     runConfigCommand},
    {"correct", "send a message through the correction flow on a simulated desktop",
     runCorrectCommand},
    {"check", "on-device analysis of a message (sends and writes nothing)", runCheckCommand},
    {"daemon", "correct messages in the applications of the current X display", runDaemonCommand},
    {"forget", "never change WORD again: drop its learned pair, add it to the personal dictionary",
     runForgetCommand},
};

void printUsage(std::FILE* out) {
    std::fprintf(
        out,
        "usage: quorix                 start the tray application (or show the running one)\n"
        "       quorix quorix://LINK   hand a link to the tray application\n"
        "       quorix <subcommand> [arguments]\n\nsubcommands:\n");
    for (const auto& command : kSubcommands) {
        std::fprintf(out, "  %-10.*s %.*s\n", static_cast<int>(command.name.size()),
                     command.name.data(), static_cast<int>(command.summary.size()),
                     command.summary.data());
    }
    std::fprintf(out, "\n  -h, --help  show this help\n");
}

int run(std::span<char* const> args) {
    const std::string_view name = args.front();
    if (name == "-h" || name == "--help" || name == "help") {
        printUsage(stdout);
        return 0;
    }
    for (const auto& command : kSubcommands) {
        if (command.name == name) {
            return command.run(args.subspan(1));
        }
    }
    std::fprintf(stderr, "quorix: unknown subcommand '%.*s'\n\n", static_cast<int>(name.size()),
                 name.data());
    printUsage(stderr);
    return kUsageExit;
}

}  // namespace
}  // namespace quorix::cli

int main(int argc, char** argv) {
    const std::span<char* const> args(argv + 1, static_cast<std::size_t>(argc > 0 ? argc - 1 : 0));
    if (quorix::cli::isDesktopLaunch(args)) {
        return quorix::cli::runDesktopCommand(argc, argv);
    }
    return quorix::cli::run(args);
}
