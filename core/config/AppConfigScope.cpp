// Which applications are covered, which are work applications, and the edits of
// those lists.
#include <algorithm>

#include "core/config/AppConfig.h"
#include "core/config/NeverCoveredApps.h"
#include "core/text/Text.h"

namespace quorix {
namespace {

// Full Unicode lowercasing, without the round trip through ICU for ASCII.
std::string lowered(std::string_view s) {
    if (std::all_of(s.begin(), s.end(),
                    [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        std::string out(s);
        for (char& c : out) {
            if (c >= 'A' && c <= 'Z') {
                c = static_cast<char>(c - 'A' + 'a');
            }
        }
        return out;
    }
    return text::toLower(s);
}

bool matches(const std::string& b, const std::string& n, const std::string& entry) {
    return text::contains(b, entry) || text::contains(n, entry);
}

// Last path component without trailing slashes.
std::string fileName(std::string_view path) {
    while (path.size() > 1 && path.back() == '/') {
        path.remove_suffix(1);
    }
    const auto slash = path.find_last_of('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string withoutExtension(const std::string& name) {
    const auto dot = name.find_last_of('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

std::string extensionOf(const std::string& name) {
    const auto dot = name.find_last_of('.');
    return dot == std::string::npos || dot == 0 ? std::string() : name.substr(dot + 1);
}

}  // namespace

bool AppConfig::isAppTargeted(const std::optional<std::string>& bundleId,
                              const std::optional<std::string>& appName) const {
    const std::string b = bundleId ? lowered(*bundleId) : std::string();
    const std::string n = appName ? lowered(*appName) : std::string();
    const auto categories =
        bundleId ? workspace_.applicationCategories(*bundleId) : std::vector<std::string>{};
    if (NeverCoveredApps::isDeveloperTool(b, n, categories)) {
        return false;
    }
    std::shared_lock lock(mutex_);
    for (const auto& e : state_.blacklistedApps) {
        if (matches(b, n, e)) {
            return false;
        }
    }
    for (const auto& entry : state_.customBlacklistedApps) {
        if (matches(b, n, lowered(entry))) {
            return false;
        }
    }
    if (state_.interceptAllApps) {
        return true;
    }
    for (const auto& entry : state_.targetApps) {
        if (matches(b, n, lowered(entry))) {
            return true;
        }
    }
    return false;
}

bool AppConfig::isExecutiveApp(const std::optional<std::string>& bundleId,
                               const std::optional<std::string>& appName) const {
    const std::string b = bundleId ? lowered(*bundleId) : std::string();
    const std::string n = appName ? lowered(*appName) : std::string();
    std::shared_lock lock(mutex_);
    return std::any_of(state_.executiveWorkApps.begin(), state_.executiveWorkApps.end(),
                       [&](const std::string& entry) { return matches(b, n, lowered(entry)); });
}

bool AppConfig::isExecutiveAppEnabled(std::string_view name) const {
    const std::string n = lowered(name);
    std::shared_lock lock(mutex_);
    return std::any_of(state_.executiveWorkApps.begin(), state_.executiveWorkApps.end(),
                       [&](const std::string& entry) { return lowered(entry) == n; });
}

void AppConfig::toggleExecutiveApp(std::string_view name) {
    const std::string n = lowered(name);
    notify({ConfigField::executiveWorkApps});
    bool removed = false;
    {
        std::unique_lock lock(mutex_);
        auto& apps = state_.executiveWorkApps;
        const auto it = std::find_if(apps.begin(), apps.end(),
                                     [&](const std::string& e) { return lowered(e) == n; });
        if (it != apps.end()) {
            apps.erase(it);
            removed = true;
        } else {
            apps.push_back(n);
        }
    }
    log(removed ? "💼 App di lavoro rimossa da Executive: " + n
                : "💼 App di lavoro aggiunta a Executive: " + n);
    save();
}

void AppConfig::addExecutiveApp(const std::string& appPath) {
    const std::string f = lowered(withoutExtension(fileName(appPath)));
    const auto bundleId = workspace_.bundleIdentifier(appPath);
    const std::string i = bundleId && !bundleId->empty() ? lowered(*bundleId) : f;
    const std::string identifier = text::contains(i, ".") ? i : f;
    {
        std::shared_lock lock(mutex_);
        const auto& apps = state_.executiveWorkApps;
        if (std::any_of(apps.begin(), apps.end(), [&](const std::string& e) {
                const std::string l = lowered(e);
                return l == lowered(identifier) || l == f;
            })) {
            return;
        }
    }
    notify({ConfigField::executiveWorkApps});
    {
        std::unique_lock lock(mutex_);
        state_.executiveWorkApps.push_back(identifier);
    }
    save();
    log("💼 [Executive] Aggiunta app di lavoro: " + f + " (" + identifier + ")");
}

void AppConfig::excludeApp(std::string_view name) {
    const std::string n = lowered(text::trim(name));
    if (n.empty()) {
        return;
    }
    {
        std::shared_lock lock(mutex_);
        const auto& apps = state_.customBlacklistedApps;
        if (std::find(apps.begin(), apps.end(), n) != apps.end()) {
            return;
        }
    }
    notify({ConfigField::customBlacklistedApps});
    {
        std::unique_lock lock(mutex_);
        state_.customBlacklistedApps.push_back(n);
    }
    save();
    log("🚫 Applicazione '" + n + "' aggiunta alla lista esclusioni.");
}

void AppConfig::excludeAppAt(const std::string& appPath) {
    const auto bundleId = workspace_.bundleIdentifier(appPath);
    const std::string displayName = workspace_.displayName(appPath);
    const std::string stem = withoutExtension(fileName(appPath));
    const std::string identifier = lowered(text::trim(bundleId ? *bundleId : stem));
    if (identifier.empty()) {
        return;
    }
    {
        std::shared_lock lock(mutex_);
        const auto& apps = state_.customBlacklistedApps;
        if (std::find(apps.begin(), apps.end(), identifier) != apps.end()) {
            return;
        }
    }
    notify({ConfigField::customBlacklistedApps});
    {
        std::unique_lock lock(mutex_);
        state_.customBlacklistedApps.push_back(identifier);
    }
    save();
    log("🚫 Applicazione '" + displayName + "' (" + identifier +
        ") aggiunta alla lista esclusioni.");
}

void AppConfig::unexcludeApp(std::string_view name) {
    const std::string n = lowered(text::trim(name));
    notify({ConfigField::customBlacklistedApps});
    {
        std::unique_lock lock(mutex_);
        std::erase(state_.customBlacklistedApps, n);
    }
    save();
    log("✅ Applicazione '" + n + "' rimossa dalla lista esclusioni.");
}

ExcludedAppInfo AppConfig::getExcludedAppInfo(const std::string& id) const {
    if (const auto path = workspace_.applicationPath(id)) {
        return {id, workspace_.displayName(*path), id, workspace_.iconForFile(*path)};
    }
    const auto folders = workspace_.applicationFolders();
    const std::string extension = workspace_.applicationFileExtension();
    if (!folders.empty()) {
        const std::string bundle = id + "." + extension;
        const std::string path = folders.front() + "/" + bundle;
        if (workspace_.fileExists(path)) {
            return {id, workspace_.displayName(path), bundle, workspace_.iconForFile(path)};
        }
    }
    const std::string needle = lowered(id);
    for (const auto& folder : folders) {
        const auto entries = workspace_.listFolder(folder);
        if (!entries) {
            continue;
        }
        for (const auto& entry : *entries) {
            if (extensionOf(entry) != extension) {
                continue;
            }
            const std::string name = lowered(withoutExtension(entry));
            if (!text::contains(name, needle) && !text::contains(needle, name)) {
                continue;
            }
            const std::string path = folder + "/" + entry;
            const auto bundleId = workspace_.bundleIdentifier(path);
            return {id, workspace_.displayName(path), bundleId ? *bundleId : entry,
                    workspace_.iconForFile(path)};
        }
    }
    return {id, text::capitalized(text::replaceAll(id, "com.apple.", "")), id, platform::AppIcon{}};
}

std::string AppConfig::normalizeAppName(const std::optional<std::string>& name) {
    if (!name) {
        return "Altro";
    }
    std::u32string visible;
    for (char32_t c : text::toUtf32(*name)) {
        const bool invisible =
            (c >= 0x200B && c <= 0x200F) || (c >= 0x202A && c <= 0x202E) || c == 0xFEFF;
        if (!invisible) {
            visible.push_back(c);
        }
    }
    const std::string t = text::trim(text::fromUtf32(visible));
    const std::string l = lowered(t);
    if (l.empty()) {
        return "Altro";
    }
    struct Row {
        const char* fragment;
        bool exact;
        const char* result;
    };
    static const Row rows[] = {
        {"whatsapp", false, "WhatsApp"},
        {"telegram", false, "Telegram"},
        {"slack", false, "Slack"},
        {"meet", false, "Google Meet"},
        {"chrome", false, "Google Chrome"},
        {"safari", false, "Safari"},
        {"notes", true, "Note"},
        {"note", true, "Note"},
        {"mail", true, "Mail"},
        {"messages", false, "Messaggi"},
        {"messaggi", false, "Messaggi"},
        {"discord", false, "Discord"},
        {"teams", false, "Microsoft Teams"},
    };
    for (const auto& row : rows) {
        if (row.exact ? l == row.fragment : text::contains(l, row.fragment)) {
            return row.result;
        }
    }
    return t;
}

}  // namespace quorix
