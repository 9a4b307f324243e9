#pragma once
// `quorix daemon [--offline] [--no-accessibility]`: runs the correction flow on
// the current X display until SIGINT or SIGTERM, with the user's configuration
// and services, the floating notice written to the log. Every key grab is
// released on exit (the X server also drops them if the process dies).
// Exit codes: 0 after a signal, 1 when the display cannot be used, 2 misuse.

#include <span>

namespace quorix::cli {

int runDaemonCommand(std::span<char* const> args);

}  // namespace quorix::cli
