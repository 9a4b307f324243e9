#include "core/interception/BrowserDetector.h"

#include <array>
#include <string_view>
#include <utility>
#include <vector>

#include "core/text/Text.h"

namespace quorix {

namespace {

// The last group names Linux browsers by their desktop ids and window classes
// ("chromium" does not contain "chrome"; "org.gnome.Epiphany" is GNOME Web).
constexpr std::array<std::string_view, 17> kBrowserFragments = {
    "chrome",    "safari",    "arc",         "thebrowser", "edge",     "brave",
    "firefox",   "opera",     "vivaldi",     "chromium",   "epiphany", "falkon",
    "konqueror", "librewolf", "qutebrowser", "midori",     "waterfox"};

constexpr std::array<std::string_view, 5> kAddressBarKeywords = {
    "address", "indirizzo", "search bar", "omnibox", "cerca o inserisci"};

constexpr std::array<std::string_view, 6> kListRoles = {"AXMenu",    "AXMenuItem", "AXList",
                                                        "AXOutline", "AXRow",      "AXCell"};

constexpr std::array<std::string_view, 3> kPopupSubroles = {"AXFloatingWindow",
                                                            "AXSystemFloatingWindow", "AXDialog"};

constexpr std::array<std::pair<std::string_view, std::string_view>, 7> kWebApps = {{
    {"meet", "Google Meet"},
    {"whatsapp", "WhatsApp"},
    {"slack", "Slack"},
    {"telegram", "Telegram"},
    {"gmail", "Gmail"},
    {"notion", "Notion"},
    {"chatgpt", "ChatGPT"},
}};

constexpr int kParentClimbLimit = 50;

template <std::size_t N>
bool isOneOf(std::string_view value, const std::array<std::string_view, N>& set) {
    for (auto entry : set) {
        if (value == entry) {
            return true;
        }
    }
    return false;
}

template <std::size_t N>
bool containsAny(std::string_view haystack, const std::array<std::string_view, N>& needles) {
    for (auto needle : needles) {
        if (text::contains(haystack, needle)) {
            return true;
        }
    }
    return false;
}

// Attribute reads through the port, typed.
struct Reader {
    platform::Accessibility& ax;

    std::optional<std::string> string(const platform::AXElementRef& e, const char* name) const {
        auto r = ax.copyAttribute(e, name);
        if (!r.ok()) {
            return std::nullopt;
        }
        if (const auto* s = std::get_if<std::string>(&r.value)) {
            return *s;
        }
        return std::nullopt;
    }
    // A non-empty string, or the plain string of a non-empty attributed string.
    std::optional<std::string> text(const platform::AXElementRef& e, const char* name) const {
        auto r = ax.copyAttribute(e, name);
        if (!r.ok()) {
            return std::nullopt;
        }
        if (const auto* s = std::get_if<std::string>(&r.value); s && !s->empty()) {
            return *s;
        }
        if (const auto* a = std::get_if<platform::AXAttributedString>(&r.value);
            a && !a->plain.empty()) {
            return a->plain;
        }
        return std::nullopt;
    }
    platform::AXElementRef element(const platform::AXElementRef& e, const char* name) const {
        auto r = ax.copyAttribute(e, name);
        if (!r.ok()) {
            return nullptr;
        }
        if (const auto* el = std::get_if<platform::AXElementRef>(&r.value)) {
            return *el;
        }
        return nullptr;
    }
    std::vector<platform::AXElementRef> elements(const platform::AXElementRef& e,
                                                 const char* name) const {
        auto r = ax.copyAttribute(e, name);
        if (!r.ok()) {
            return {};
        }
        if (const auto* list = std::get_if<std::vector<platform::AXElementRef>>(&r.value)) {
            return *list;
        }
        return {};
    }
    std::optional<platform::AXRange> range(const platform::AXElementRef& e,
                                           const char* name) const {
        auto r = ax.copyAttribute(e, name);
        if (!r.ok()) {
            return std::nullopt;
        }
        if (const auto* range = std::get_if<platform::AXRange>(&r.value)) {
            return *range;
        }
        return std::nullopt;
    }
    platform::AXElementRef focusedElement(int32_t pid) const {
        auto app = ax.applicationElement(pid);
        return app ? element(app, "AXFocusedUIElement") : nullptr;
    }
};

// The part of text left of a caret at a UTF-16 offset; the whole text when the
// offset lies outside it.
std::string textBeforeCaret(const std::string& value, const std::optional<platform::AXRange>& sel) {
    if (!sel) {
        return value;
    }
    const std::u16string units = text::toUtf16(value);
    if (sel->location < 0 || sel->location > static_cast<int64_t>(units.size())) {
        return value;
    }
    return text::fromUtf16(std::u16string_view(units).substr(0, sel->location));
}

}  // namespace

BrowserDetector::BrowserDetector(InterceptorServices& services, const TextHeuristics& heuristics)
    : s_(services), heuristics_(heuristics) {}

bool BrowserDetector::isBrowserApp(const std::optional<std::string>& bundleId) {
    if (!bundleId) {
        return false;
    }
    return containsAny(text::toLower(*bundleId), kBrowserFragments);
}

bool BrowserDetector::isBrowserAddressBarOrUI(const platform::RunningApplication& app) const {
    const Reader read{s_.accessibility};
    const auto focused = read.focusedElement(app.pid);
    if (!focused) {
        return false;
    }
    const std::string role = read.string(focused, "AXRole").value_or("");
    if (role == "AXTextArea") {
        return false;
    }
    if (auto description = read.string(focused, "AXDescription");
        description && containsAny(text::toLower(*description), kAddressBarKeywords)) {
        return true;
    }
    if (isOneOf(role, kListRoles)) {
        return true;
    }

    platform::AXElementRef level = focused;
    for (int i = 0; i < kParentClimbLimit && level; ++i) {
        const std::string levelRole = read.string(level, "AXRole").value_or("");
        if (levelRole == "AXWebArea") {
            return false;
        }
        if (levelRole == "AXToolbar") {
            return true;
        }
        level = read.element(level, "AXParent");
    }
    return false;
}

bool BrowserDetector::isUnreadableBrowser(const platform::RunningApplication& app) const {
    if (!isBrowserApp(app.bundleIdentifier) || Reader{s_.accessibility}.focusedElement(app.pid)) {
        return false;
    }
    bool first = false;
    {
        std::lock_guard lock(hintedMutex_);
        first = hinted_.insert(app.bundleIdentifier.value_or("")).second;
    }
    if (first) {
        std::string hint = s_.accessibility.enableHintFor(app.bundleIdentifier);
        if (hint.empty()) {
            hint = "Attiva l'accessibilità del browser.";
        }
        s_.logger.log("🌐 [Browser] Campo non leggibile via Accessibility API in '" +
                      app.localizedName.value_or(app.bundleIdentifier.value_or("")) +
                      "': non distinguo la pagina dalla barra degli indirizzi, lascio passare "
                      "Invio senza correggere. " +
                      hint);
    }
    return true;
}

std::optional<AutocompleteState> BrowserDetector::checkAutocompleteState(
    const platform::RunningApplication& app) const {
    const Reader read{s_.accessibility};
    const auto focused = read.focusedElement(app.pid);
    if (!focused) {
        return std::nullopt;
    }
    const std::string role = read.string(focused, "AXRole").value_or("");
    if (isOneOf(role, kListRoles)) {
        return AutocompleteState{true, "Focus su tendina/lista (" + role + ")"};
    }
    const auto value = read.text(focused, "AXValue");
    if (!value) {
        return std::nullopt;
    }

    const std::string beforeCaret =
        textBeforeCaret(*value, read.range(focused, "AXSelectedTextRange"));
    if (auto token = heuristics_.isUnfinishedAutocompleteToken(beforeCaret); token.isMatch) {
        return AutocompleteState{true, token.matched};
    }

    const auto appElement = s_.accessibility.applicationElement(app.pid);
    const auto windows =
        appElement ? read.elements(appElement, "AXWindows") : std::vector<platform::AXElementRef>{};
    if (windows.size() < 2) {
        return std::nullopt;
    }
    const bool mayOpenList = text::contains(*value, "@") || text::contains(*value, ":") ||
                             text::contains(*value, "#") || text::startsWith(*value, "/");
    for (const auto& window : windows) {
        if (!window) {
            continue;
        }
        const auto subrole = read.string(window, "AXSubrole");
        if (subrole && isOneOf(*subrole, kPopupSubroles) && mayOpenList) {
            return AutocompleteState{true, "Finestra popup/tendina attiva (" + *subrole + ")"};
        }
    }
    return std::nullopt;
}

std::string BrowserDetector::resolveDisplayName(const platform::RunningApplication& app) const {
    const std::string name = app.localizedName.value_or("Altro");
    const std::string normalized = AppConfig::normalizeAppName(name);
    if (!isBrowserApp(app.bundleIdentifier)) {
        return normalized;
    }

    const Reader read{s_.accessibility};
    const auto appElement = s_.accessibility.applicationElement(app.pid);
    const auto window = appElement ? read.element(appElement, "AXFocusedWindow") : nullptr;
    const auto title = window ? read.string(window, "AXTitle") : std::nullopt;
    if (!title) {
        return normalized;
    }
    const std::string lowered = text::toLower(*title);
    for (const auto& [fragment, display] : kWebApps) {
        if (text::contains(lowered, fragment)) {
            return std::string(display);
        }
    }
    return normalized;
}

}  // namespace quorix
