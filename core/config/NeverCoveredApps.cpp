#include "core/config/NeverCoveredApps.h"

#include <algorithm>

#include "core/text/Text.h"

namespace quorix {
namespace {

bool isDelimiter(char c) {
    return c == '.' || c == '-' || c == '_' || c == '/' || c == ' ';
}

bool listed(const std::vector<std::string>& entries, const std::optional<std::string>& identifier,
            const std::optional<std::string>& name) {
    const std::string id = identifier ? text::toLower(*identifier) : std::string();
    const std::string n = name ? text::toLower(text::trim(*name)) : std::string();
    return std::any_of(entries.begin(), entries.end(), [&](const std::string& entry) {
        return (!id.empty() && NeverCoveredApps::holdsPart(id, entry)) || n == entry;
    });
}

bool hasCategory(const std::vector<std::string>& categories, std::string_view wanted) {
    return std::find(categories.begin(), categories.end(), wanted) != categories.end();
}

}  // namespace

const std::vector<std::string>& NeverCoveredApps::terminals() {
    static const std::vector<std::string> entries{"xterm",
                                                  "uxterm",
                                                  "konsole",
                                                  "gnome-terminal",
                                                  "org.gnome.terminal",
                                                  "org.gnome.console",
                                                  "kgx",
                                                  "ptyxis",
                                                  "kitty",
                                                  "alacritty",
                                                  "tilix",
                                                  "terminator",
                                                  "xfce4-terminal",
                                                  "mate-terminal",
                                                  "lxterminal",
                                                  "qterminal",
                                                  "deepin-terminal",
                                                  "io.elementary.terminal",
                                                  "urxvt",
                                                  "rxvt",
                                                  "rxvt-unicode",
                                                  "st",
                                                  "st-256color",
                                                  "wezterm",
                                                  "wezterm-gui",
                                                  "foot",
                                                  "footclient",
                                                  "sakura",
                                                  "guake",
                                                  "yakuake",
                                                  "tilda",
                                                  "terminology",
                                                  "cool-retro-term",
                                                  "eterm",
                                                  "aterm",
                                                  "termite",
                                                  "hyper",
                                                  "tabby",
                                                  "contour",
                                                  "ghostty",
                                                  "blackbox",
                                                  "warp",
                                                  "warp-terminal",
                                                  "terminal"};
    return entries;
}

const std::vector<std::string>& NeverCoveredApps::developerTools() {
    static const std::vector<std::string> entries = [] {
        std::vector<std::string> all = terminals();
        all.insert(all.end(), {"code",
                               "code-oss",
                               "code-insiders",
                               "visual studio code",
                               "vscode",
                               "codium",
                               "vscodium",
                               "cursor",
                               "gedit",
                               "gnome-text-editor",
                               "org.gnome.texteditor",
                               "kate",
                               "kwrite",
                               "emacs",
                               "emacs-gtk",
                               "xemacs",
                               "vim",
                               "gvim",
                               "nvim",
                               "neovim",
                               "neovide",
                               "mousepad",
                               "pluma",
                               "xed",
                               "geany",
                               "featherpad",
                               "leafpad",
                               "sublime_text",
                               "sublime-text",
                               "sublime",
                               "jetbrains",
                               "idea",
                               "intellij idea",
                               "pycharm",
                               "clion",
                               "goland",
                               "webstorm",
                               "phpstorm",
                               "rider",
                               "rubymine",
                               "datagrip",
                               "android-studio",
                               "android studio",
                               "zed",
                               "lapce",
                               "kdevelop",
                               "qtcreator",
                               "eclipse",
                               "netbeans",
                               "atom",
                               "lite-xl",
                               "helix",
                               "gnome-builder",
                               "org.gnome.builder"});
        return all;
    }();
    return entries;
}

bool NeverCoveredApps::holdsPart(std::string_view identifier, std::string_view entry) {
    if (entry.empty()) {
        return false;
    }
    for (std::size_t at = identifier.find(entry); at != std::string_view::npos;
         at = identifier.find(entry, at + 1)) {
        const std::size_t end = at + entry.size();
        const bool startsPart = at == 0 || isDelimiter(identifier[at - 1]);
        const bool endsPart = end == identifier.size() || isDelimiter(identifier[end]);
        if (startsPart && endsPart) {
            return true;
        }
    }
    return false;
}

bool NeverCoveredApps::isDeveloperTool(const std::optional<std::string>& identifier,
                                       const std::optional<std::string>& name,
                                       const std::vector<std::string>& categories) {
    if (hasCategory(categories, "TerminalEmulator") ||
        (hasCategory(categories, "Development") &&
         (hasCategory(categories, "IDE") || hasCategory(categories, "TextEditor")))) {
        return true;
    }
    return listed(developerTools(), identifier, name);
}

bool NeverCoveredApps::isTerminal(const std::optional<std::string>& identifier,
                                  const std::optional<std::string>& name,
                                  const std::vector<std::string>& categories) {
    return hasCategory(categories, "TerminalEmulator") || listed(terminals(), identifier, name);
}

}  // namespace quorix
