#pragma once
// One `quorix <name>` subcommand. run() gets the arguments after the name and
// returns the process exit code.

#include <span>
#include <string_view>

namespace quorix::cli {

struct Subcommand {
    std::string_view name;
    std::string_view summary;
    int (*run)(std::span<char* const> args);
};

// Exit code of a misused command line.
inline constexpr int kUsageExit = 2;

}  // namespace quorix::cli
