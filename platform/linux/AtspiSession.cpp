#include "platform/linux/AtspiSession.h"

#include <signal.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <vector>

namespace quorix::platform {

namespace {

AXResult ok(AXValue value) {
    return AXResult{AXError::success, std::move(value)};
}
AXResult fail(AXError error) {
    return AXResult{error, std::monostate{}};
}

// Clears err; true when a call failed.
bool failed(GError*& err) {
    if (err == nullptr) {
        return false;
    }
    g_error_free(err);
    err = nullptr;
    return true;
}

void unrefAll(std::vector<AtspiAccessible*>& objects) {
    for (AtspiAccessible* object : objects) {
        g_object_unref(object);
    }
    objects.clear();
}

std::string takeString(gchar* s) {
    if (s == nullptr) {
        return {};
    }
    std::string out(s);
    g_free(s);
    return out;
}

struct StateFlags {
    bool valid = false;
    bool focused = false, active = false, editable = false, multiLine = false, singleLine = false,
         defunct = false, managesDescendants = false;
};

StateFlags statesOf(AtspiAccessible* object) {
    StateFlags f;
    AtspiStateSet* set = atspi_accessible_get_state_set(object);
    if (set == nullptr) {
        return f;
    }
    f.valid = true;
    f.focused = atspi_state_set_contains(set, ATSPI_STATE_FOCUSED);
    f.active = atspi_state_set_contains(set, ATSPI_STATE_ACTIVE);
    f.editable = atspi_state_set_contains(set, ATSPI_STATE_EDITABLE);
    f.multiLine = atspi_state_set_contains(set, ATSPI_STATE_MULTI_LINE);
    f.singleLine = atspi_state_set_contains(set, ATSPI_STATE_SINGLE_LINE);
    f.defunct = atspi_state_set_contains(set, ATSPI_STATE_DEFUNCT);
    f.managesDescendants = atspi_state_set_contains(set, ATSPI_STATE_MANAGES_DESCENDANTS);
    g_object_unref(set);
    return f;
}

AtspiRole roleOf(AtspiAccessible* object, bool* ok) {
    GError* err = nullptr;
    AtspiRole role = atspi_accessible_get_role(object, &err);
    *ok = !failed(err);
    return role;
}

// The whole text of a Text object; nullopt when it cannot be read.
std::optional<std::string> wholeText(AtspiText* text) {
    GError* err = nullptr;
    const gint count = atspi_text_get_character_count(text, &err);
    if (failed(err) || count < 0) {
        return std::nullopt;
    }
    if (count == 0) {
        return std::string();
    }
    gchar* chars = atspi_text_get_text(text, 0, count, &err);
    if (failed(err)) {
        g_free(chars);
        return std::nullopt;
    }
    return takeString(chars);
}

}  // namespace

std::atomic<bool>& AtspiSession::claimed() {
    static std::atomic<bool> flag{false};
    return flag;
}

AtspiSession::AtspiSession(Options options) : options_(options) {}

AtspiSession::~AtspiSession() {
    stop();
}

bool AtspiSession::start(std::weak_ptr<AtspiThread> thread) {
    thread_ = std::move(thread);
    if (claimed().exchange(true)) {
        return false;
    }
    if (atspi_init() != 0) {
        return false;
    }
    atspi_set_main_context(g_main_context_get_thread_default());
    atspi_set_timeout(options_.callTimeoutMs, options_.startupTimeoutMs);

    AtspiAccessible* desktop = atspi_get_desktop(0);
    GError* err = nullptr;
    const gint apps = desktop ? atspi_accessible_get_child_count(desktop, &err) : -1;
    if (desktop) {
        g_object_unref(desktop);
    }
    if (failed(err) || apps < 0) {
        atspi_exit();
        return false;
    }
    connected_ = true;
    walkAll();
    return true;
}

void AtspiSession::stop() {
    if (!connected_) {
        return;
    }
    connected_ = false;
    for (auto& [pid, object] : focused_) {
        g_object_unref(object);
    }
    focused_.clear();
    for (auto& [pid, matches] : lastMatches_) {
        unrefAll(matches);
    }
    lastMatches_.clear();
    atspi_exit();
}

void AtspiSession::rememberFocus(AtspiAccessible* source) {
    const int32_t pid = pidOf(source);
    if (pid <= 0 || pid == options_.ownPid) {
        return;
    }
    g_object_ref(source);
    auto [it, added] = focused_.emplace(pid, source);
    if (!added) {
        g_object_unref(it->second);
        it->second = source;
    }
}

int32_t AtspiSession::pidOf(AtspiAccessible* object) {
    AtspiApplication* app = ATSPI_OBJECT(object)->app;
    std::string busName = app && app->bus_name ? app->bus_name : "";
    if (!busName.empty()) {
        if (auto it = pidByBusName_.find(busName); it != pidByBusName_.end()) {
            return it->second;
        }
    }
    GError* err = nullptr;
    const guint pid = atspi_accessible_get_process_id(object, &err);
    if (failed(err) || pid == 0) {
        return -1;
    }
    if (!busName.empty()) {
        pidByBusName_[busName] = static_cast<int32_t>(pid);
    }
    return static_cast<int32_t>(pid);
}

AtspiAccessible* AtspiSession::applicationObject(int32_t pid) {
    AtspiAccessible* desktop = atspi_get_desktop(0);
    if (desktop == nullptr) {
        return nullptr;
    }
    GError* err = nullptr;
    const gint count = atspi_accessible_get_child_count(desktop, &err);
    AtspiAccessible* found = nullptr;
    for (gint i = 0; !failed(err) && i < count && !found; ++i) {
        AtspiAccessible* app = atspi_accessible_get_child_at_index(desktop, i, &err);
        if (app == nullptr) {
            continue;
        }
        if (pidOf(app) == pid) {
            found = app;
        } else {
            g_object_unref(app);
        }
    }
    g_object_unref(desktop);
    return found;
}

void AtspiSession::forgetEndedProcesses() {
    const auto ended = [](int32_t pid) { return kill(pid, 0) != 0 && errno == ESRCH; };
    for (auto it = focused_.begin(); it != focused_.end();) {
        if (ended(it->first)) {
            g_object_unref(it->second);
            it = focused_.erase(it);
        } else {
            ++it;
        }
    }
    for (auto it = lastMatches_.begin(); it != lastMatches_.end();) {
        if (ended(it->first)) {
            unrefAll(it->second);
            it = lastMatches_.erase(it);
        } else {
            ++it;
        }
    }
    std::erase_if(pidByBusName_, [&](const auto& entry) { return ended(entry.second); });
    std::erase_if(fruitlessWalk_, [&](const auto& entry) { return ended(entry.first); });
    std::erase_if(reported_, ended);
}

void AtspiSession::walkAll() {
    AtspiAccessible* desktop = atspi_get_desktop(0);
    if (desktop == nullptr) {
        return;
    }
    GError* err = nullptr;
    const gint count = atspi_accessible_get_child_count(desktop, &err);
    for (gint i = 0; !failed(err) && i < count; ++i) {
        AtspiAccessible* app = atspi_accessible_get_child_at_index(desktop, i, &err);
        if (app == nullptr) {
            continue;
        }
        const int32_t pid = pidOf(app);
        if (pid > 0 && pid != options_.ownPid) {
            walkApplication(app, pid, nullptr);
        }
        g_object_unref(app);
    }
    g_object_unref(desktop);
}

void AtspiSession::walkApplication(AtspiAccessible* app, int32_t pid, AtspiAccessible* previous) {
    GError* err = nullptr;
    const gint windows = atspi_accessible_get_child_count(app, &err);
    int budget = options_.walkLimit;
    for (gint i = 0; !failed(err) && i < windows && budget > 0; ++i) {
        AtspiAccessible* window = atspi_accessible_get_child_at_index(app, i, &err);
        if (window == nullptr) {
            continue;
        }
        AtspiAccessible* focus = nullptr;
        if (statesOf(window).active) {
            bool searched = false;
            focus = focusedAmongMatches(window, pid, previous, &searched);
            if (!searched) {
                focus = findFocused(window, budget);
            }
        }
        g_object_unref(window);
        if (focus) {
            rememberFocus(focus);
            g_object_unref(focus);
            return;
        }
    }
}

AtspiAccessible* AtspiSession::focusedAmongMatches(AtspiAccessible* window, int32_t pid,
                                                   AtspiAccessible* previous, bool* searched) {
    *searched = false;
    AtspiCollection* collection = atspi_accessible_get_collection_iface(window);
    if (collection == nullptr) {
        return nullptr;
    }
    AtspiStateSet* focused = atspi_state_set_new(nullptr);
    atspi_state_set_add(focused, ATSPI_STATE_FOCUSED);
    AtspiMatchRule* rule = atspi_match_rule_new(
        focused, ATSPI_Collection_MATCH_ALL, nullptr, ATSPI_Collection_MATCH_NONE, nullptr,
        ATSPI_Collection_MATCH_NONE, nullptr, ATSPI_Collection_MATCH_NONE, FALSE);
    GError* err = nullptr;
    GArray* matches = atspi_collection_get_matches(
        collection, rule, ATSPI_Collection_SORT_ORDER_CANONICAL, 0, TRUE, &err);
    g_object_unref(rule);
    g_object_unref(focused);
    g_object_unref(collection);
    if (failed(err) || matches == nullptr) {
        if (matches) {
            g_array_free(matches, TRUE);
        }
        return nullptr;
    }
    *searched = true;
    // Browsers keep the page's field focused while their own address bar
    // has the focus: an element focused now that was not at the last search
    // is where the focus went; failing that, the one chosen before stays.
    std::vector<AtspiAccessible*> now;
    for (guint i = 0; i < matches->len; ++i) {
        if (AtspiAccessible* match = g_array_index(matches, AtspiAccessible*, i)) {
            now.push_back(match);  // takes the array's reference
        }
    }
    std::vector<AtspiAccessible*>& before = lastMatches_[pid];
    const auto seenBefore = [&](AtspiAccessible* e) {
        return std::find(before.begin(), before.end(), e) != before.end();
    };
    AtspiAccessible* chosen = nullptr;
    if (auto fresh = std::find_if_not(now.begin(), now.end(), seenBefore); fresh != now.end()) {
        chosen = *fresh;
    } else if (std::find(now.begin(), now.end(), previous) != now.end()) {
        chosen = previous;
    } else if (!now.empty()) {
        chosen = now.front();
    }
    if (chosen) {
        g_object_ref(chosen);
    }
    unrefAll(before);
    before = std::move(now);
    g_array_free(matches, TRUE);
    return chosen;
}

AtspiAccessible* AtspiSession::findFocused(AtspiAccessible* root, int& budget) {
    // Depth-first over an explicit stack; children of containers that manage
    // their descendants (tables, long lists) are not enumerated.
    std::vector<AtspiAccessible*> stack{static_cast<AtspiAccessible*>(g_object_ref(root))};
    AtspiAccessible* found = nullptr;
    while (!stack.empty()) {
        AtspiAccessible* node = stack.back();
        stack.pop_back();
        const StateFlags states = found || budget-- <= 0 ? StateFlags{} : statesOf(node);
        if (states.focused) {
            found = node;
            continue;
        }
        if (states.valid && !states.defunct && !states.managesDescendants) {
            GError* err = nullptr;
            const gint count = atspi_accessible_get_child_count(node, &err);
            for (gint i = count - 1; !failed(err) && i >= 0; --i) {
                if (AtspiAccessible* child = atspi_accessible_get_child_at_index(node, i, &err)) {
                    stack.push_back(child);
                }
            }
        }
        g_object_unref(node);
    }
    return found;
}

AtspiAccessible* AtspiSession::focusedIn(int32_t pid) {
    AtspiAccessible* previous = nullptr;  // owned while set
    if (auto it = focused_.find(pid); it != focused_.end()) {
        AtspiAccessible* known = it->second;
        // No event tells libatspi that the element's states changed: they
        // are asked for again (what else it keeps, role and interfaces, stays).
        known->cached_properties &= ~static_cast<guint>(ATSPI_CACHE_STATES);
        const StateFlags states = statesOf(known);
        AtspiCollection* collection =
            states.valid ? atspi_accessible_get_collection_iface(known) : nullptr;
        if (collection) {
            // Its toolkit may keep more than one element focused: the active
            // windows are searched below.
            g_object_unref(collection);
        } else if (states.valid && states.focused && !states.defunct) {
            return known;
        }
        previous = states.valid && states.focused && !states.defunct
                       ? static_cast<AtspiAccessible*>(g_object_ref(known))
                       : nullptr;
        g_object_unref(known);  // the focus may have moved, or its window is gone
        focused_.erase(it);
    }
    const auto now = std::chrono::steady_clock::now();
    if (auto last = fruitlessWalk_.find(pid);
        last != fruitlessWalk_.end() && now - last->second < options_.walkInterval) {
        if (previous) {
            g_object_unref(previous);
        }
        return nullptr;
    }
    if (AtspiAccessible* app = applicationObject(pid)) {
        // Windows and children may have come and gone unannounced.
        atspi_accessible_clear_cache(app);
        walkApplication(app, pid, previous);
        g_object_unref(app);
    }
    if (previous) {
        g_object_unref(previous);
    }
    auto it = focused_.find(pid);
    if (it == focused_.end()) {
        fruitlessWalk_[pid] = now;
        return nullptr;
    }
    fruitlessWalk_.erase(pid);
    return it->second;
}

AXElementRef AtspiSession::wrap(AtspiAccessible* object, int32_t pid) {
    return std::make_shared<const AtspiElement>(object, pid, thread_);
}

AXResult AtspiSession::read(const AtspiElement& element, const std::string& name) {
    if (!connected_) {
        return fail(AXError::noValue);
    }
    if (element.pid() == options_.ownPid) {
        return fail(AXError::cannotComplete);
    }
    return element.isApplication() ? readApplication(element.pid(), name)
                                   : readObject(element, name);
}

AXResult AtspiSession::readApplication(int32_t pid, const std::string& name) {
    if (name == "AXRole") {
        return ok(std::string("AXApplication"));
    }
    if (name == "AXFocusedUIElement") {
        forgetEndedProcesses();
        if (AtspiAccessible* focus = focusedIn(pid)) {
            return ok(wrap(focus, pid));
        }
        if (!reported_.contains(pid)) {
            AtspiAccessible* app = applicationObject(pid);
            reportOnce(pid, app ? "nessun elemento ha il focus nelle sue finestre attive"
                                : "l'applicazione non è sul bus dell'accessibilità (accessibilità "
                                  "spenta o non supportata)");
            if (app) {
                g_object_unref(app);
            }
        }
        return fail(AXError::noValue);
    }
    if (name != "AXWindows" && name != "AXFocusedWindow" && name != "AXTitle") {
        return fail(AXError::attributeUnsupported);
    }

    AtspiAccessible* app = applicationObject(pid);
    if (app == nullptr) {
        return fail(AXError::noValue);
    }
    AXResult result = fail(AXError::noValue);
    if (name == "AXTitle") {
        GError* err = nullptr;
        std::string title = takeString(atspi_accessible_get_name(app, &err));
        if (!failed(err) && !title.empty()) {
            result = ok(std::move(title));
        }
    } else {
        std::vector<AXElementRef> windows;
        AXElementRef activeWindow;
        GError* err = nullptr;
        const gint count = atspi_accessible_get_child_count(app, &err);
        for (gint i = 0; !failed(err) && i < count; ++i) {
            AtspiAccessible* child = atspi_accessible_get_child_at_index(app, i, &err);
            if (child == nullptr) {
                continue;
            }
            bool known = false;
            if (atspi::isWindow(roleOf(child, &known)) && known) {
                windows.push_back(wrap(child, pid));
                if (!activeWindow && statesOf(child).active) {
                    activeWindow = windows.back();
                }
            }
            g_object_unref(child);
        }
        if (name == "AXWindows") {
            result = ok(std::move(windows));
        } else if (activeWindow) {
            result = ok(activeWindow);
        }
    }
    g_object_unref(app);
    return result;
}

atspi::Traits AtspiSession::traitsOf(AtspiAccessible* object) {
    atspi::Traits t;
    bool known = false;
    t.role = roleOf(object, &known);
    const StateFlags states = statesOf(object);
    t.editable = states.editable;
    t.multiLine = states.multiLine;
    t.singleLine = states.singleLine;
    if (AtspiText* text = atspi_accessible_get_text_iface(object)) {
        t.hasText = true;
        g_object_unref(text);
    }
    if (AtspiEditableText* editable = atspi_accessible_get_editable_text_iface(object)) {
        t.hasEditableText = true;
        g_object_unref(editable);
    }
    return t;
}

AXResult AtspiSession::readObject(const AtspiElement& element, const std::string& name) {
    AtspiAccessible* object = element.object();
    GError* err = nullptr;
    if (name == "AXRole" || name == "AXSubrole") {
        bool known = false;
        roleOf(object, &known);
        if (!known) {
            return fail(AXError::invalidElement);
        }
        const atspi::Traits traits = traitsOf(object);
        if (name == "AXRole") {
            return ok(atspi::role(traits));
        }
        auto sub = atspi::subrole(traits);
        return sub ? ok(*sub) : fail(AXError::noValue);
    }
    if (name == "AXTitle" || name == "AXDescription") {
        // The accessible name is what the toolkit reads aloud: the window
        // title, or the label of a field ("Address and search bar").
        std::string text = takeString(atspi_accessible_get_name(object, &err));
        if (failed(err)) {
            return fail(AXError::invalidElement);
        }
        if (text.empty() && name == "AXDescription") {
            text = takeString(atspi_accessible_get_description(object, &err));
            if (failed(err)) {
                text.clear();
            }
        }
        return text.empty() ? fail(AXError::noValue) : ok(std::move(text));
    }
    if (name == "AXParent") {
        AtspiAccessible* parent = atspi_accessible_get_parent(object, &err);
        if (failed(err) || parent == nullptr) {
            if (parent) {
                g_object_unref(parent);
            }
            return fail(AXError::noValue);
        }
        bool known = false;
        const AtspiRole role = roleOf(parent, &known);
        AXResult result =
            role == ATSPI_ROLE_APPLICATION
                ? ok(AXElementRef(std::make_shared<const AtspiElement>(element.pid())))
                : ok(wrap(parent, element.pid()));
        g_object_unref(parent);
        return result;
    }
    if (name == "AXFocused") {
        const StateFlags states = statesOf(object);
        return states.valid ? ok(states.focused) : fail(AXError::invalidElement);
    }
    if (name == "AXValue") {
        return readValue(object, element.pid());
    }
    if (name == "AXSelectedTextRange") {
        return readSelectedRange(object);
    }
    return fail(AXError::attributeUnsupported);
}

void AtspiSession::reportOnce(int32_t pid, const std::string& step) {
    if (!reported_.insert(pid).second || !options_.log) {
        return;
    }
    options_.log("♿️ [AT-SPI] Campo non leggibile via accessibilità nel processo " +
                 std::to_string(pid) + ": " + step + ". Uso gli appunti.");
}

AXResult AtspiSession::readValue(AtspiAccessible* object, int32_t pid) {
    const atspi::Traits traits = traitsOf(object);
    AtspiText* text =
        atspi::exposesValue(traits) ? atspi_accessible_get_text_iface(object) : nullptr;
    if (text == nullptr) {
        reportOnce(pid, "l'elemento con il focus (" + atspi::role(traits) +
                            ") non espone un testo modificabile");
        return fail(AXError::attributeUnsupported);
    }
    auto value = wholeText(text);
    g_object_unref(text);
    if (!value) {
        reportOnce(pid, "la lettura del testo dell'elemento con il focus non è riuscita");
    }
    return value ? ok(std::move(*value)) : fail(AXError::cannotComplete);
}

AXResult AtspiSession::readSelectedRange(AtspiAccessible* object) {
    if (!atspi::exposesValue(traitsOf(object))) {
        return fail(AXError::attributeUnsupported);
    }
    AtspiText* text = atspi_accessible_get_text_iface(object);
    if (text == nullptr) {
        return fail(AXError::attributeUnsupported);
    }
    AXResult result = fail(AXError::cannotComplete);
    GError* err = nullptr;
    gint start = atspi_text_get_caret_offset(text, &err);
    gint end = start;
    if (!failed(err)) {
        const gint selections = atspi_text_get_n_selections(text, &err);
        if (!failed(err) && selections > 0) {
            AtspiRange* range = atspi_text_get_selection(text, 0, &err);
            if (!failed(err) && range && range->end_offset > range->start_offset) {
                start = range->start_offset;
                end = range->end_offset;
            }
            g_free(range);
        }
        if (auto whole = wholeText(text)) {
            const int64_t from = atspi::utf16FromCodePoints(*whole, start);
            const int64_t to = atspi::utf16FromCodePoints(*whole, end);
            result = ok(AXRange{from, to - from});
        }
    }
    g_object_unref(text);
    return result;
}

AXError AtspiSession::write(const AtspiElement& element, const std::string& name,
                            const std::string& value) {
    if (!connected_) {
        return AXError::cannotComplete;
    }
    if (element.isApplication() || element.pid() == options_.ownPid) {
        return AXError::attributeUnsupported;
    }
    if (name != "AXValue") {
        return AXError::attributeUnsupported;
    }
    AtspiAccessible* object = element.object();
    if (!atspi::acceptsValue(traitsOf(object))) {
        return AXError::attributeUnsupported;
    }
    AtspiEditableText* editable = atspi_accessible_get_editable_text_iface(object);
    if (editable == nullptr) {
        return AXError::attributeUnsupported;
    }
    GError* err = nullptr;
    const gboolean set = atspi_editable_text_set_text_contents(editable, value.c_str(), &err);
    g_object_unref(editable);
    if (failed(err) || !set) {
        return AXError::failure;
    }
    // Replacing the contents leaves the caret where the toolkit likes; the
    // user continues typing at the end.
    if (AtspiText* text = atspi_accessible_get_text_iface(object)) {
        atspi_text_set_caret_offset(text, static_cast<gint>(atspi::codePointCount(value)), &err);
        failed(err);
        g_object_unref(text);
    }
    return AXError::success;
}

}  // namespace quorix::platform
