#pragma once
// `quorix` and `quorix quorix://…`: the desktop application. A running instance
// gets the request (reopen, or the link) and this process exits 0; otherwise
// the application starts on the current X display with the tray icon as its
// presence and runs until Quit, SIGINT or SIGTERM, releasing every key grab.
// Exit codes: 0 after a hand-over or a normal quit; 1 when the display cannot
// be used or a running instance does not answer within 2 s; 2 misuse.

#include <span>

namespace quorix::cli {

// Whether the arguments (after the program name) ask for the application.
bool isDesktopLaunch(std::span<char* const> args);
int runDesktopCommand(int argc, char** argv);

}  // namespace quorix::cli
