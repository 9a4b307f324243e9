#pragma once
// `quorix config`: prints the configuration as config.json would hold it after
// loading the user's files; writes nothing.

#include <span>

namespace quorix::cli {

int runConfigCommand(std::span<char* const> args);

}  // namespace quorix::cli
