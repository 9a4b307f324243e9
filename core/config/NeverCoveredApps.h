#pragma once
// Terminals, code editors and IDEs of the Linux desktop: never covered,
// whatever the user's lists say. A held-back Return there would stall a
// command, and the select-all-and-copy capture becomes Ctrl+A, Ctrl+C, which
// interrupts the running program or discards the typed command line.
//
// An entry matches an identifier (window class, desktop id or application id,
// compared lowercased) that equals it or holds it as a whole part, delimited by
// the identifier's ends or by one of ". - _ /" ("org.kde.konsole",
// "jetbrains-idea", "st-256color"), and a name that equals it. Names are never
// searched for parts: a window title such as "vim tips" stays covered.
// Desktop categories decide too: TerminalEmulator, or IDE or TextEditor
// together with Development.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorix {

class NeverCoveredApps {
  public:
    // Terminal emulators only (the clipboard capture must never reach them).
    static const std::vector<std::string>& terminals();
    // Terminals, code editors and IDEs.
    static const std::vector<std::string>& developerTools();

    static bool isDeveloperTool(const std::optional<std::string>& identifier,
                                const std::optional<std::string>& name,
                                const std::vector<std::string>& categories);
    static bool isTerminal(const std::optional<std::string>& identifier,
                           const std::optional<std::string>& name,
                           const std::vector<std::string>& categories);

    // Whether entry occurs in the lowercased identifier as a whole part.
    static bool holdsPart(std::string_view identifier, std::string_view entry);
};

}  // namespace quorix
