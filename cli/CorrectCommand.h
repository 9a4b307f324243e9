#pragma once
// `quorix correct [--json] [--offline] [--app NAME] [--bundle-id ID] [--no-ax] [TEXT]`:
// types TEXT (or standard input) into the focused field of an application on a
// simulated desktop, presses Return through the real interceptor with the
// user's configuration and services, and prints the text that left.
// Exit codes: 0 a message left (or the field was empty), 3 the flow held the
// message back (unfinished mention, hashtag, emoji code or command), 2 misuse.

#include <optional>
#include <span>
#include <string>
#include <vector>

namespace quorix::cli {

class ServiceRoot;

inline constexpr int kHeldBackExit = 3;
// Exit code when no message left and none was held back: blank input, or an
// empty field. The JSON output then holds "sent": null.
inline constexpr int kNothingSentExit = 4;

struct CorrectOptions {
    std::string text;
    std::string appName = "Telegram";
    std::string bundleId = "org.telegram.desktop";
    // The field hides its value from accessibility: capture by select-all and copy.
    bool noAccessibility = false;
};

struct CorrectRun {
    std::optional<std::string> sent;  // what left the field; none when nothing did
    // "E1".."E11", "cache", "local", "offline", "ai"; "pass" when the
    // interceptor let Return through untouched (switched off, app not covered).
    std::string path;
    std::optional<std::string> changedWord;
    bool heldBack = false;
    long long elapsedMs = 0;       // from the Return to the end of the flow
    std::vector<std::string> log;  // the log lines written meanwhile
};

// Runs one message through the interceptor over the root's services.
CorrectRun correctOnSimulatedDesktop(ServiceRoot& root, const CorrectOptions& options);

// One JSON object: sent, path, changedWord, elapsedMs, log.
std::string correctRunJSON(const CorrectRun& run);

int runCorrectCommand(std::span<char* const> args);

}  // namespace quorix::cli
