#include "platform/sim/SimDesktop.h"

#include <algorithm>
#include <utility>

#include "core/text/Text.h"

namespace quorix::platform {

SimDesktop::SimDesktop(SimWorkspace* workspace, dispatch::WallTime wallOrigin)
    : time_(wallOrigin),
      journal_(time_),
      clock_(time_, journal_),
      pasteboard_(journal_),
      sounds_(journal_),
      keyboard_(*this),
      accessibility_(*this),
      workspace_(workspace) {
    pasteboard_.setBeforeReadCount([this] {
        std::lock_guard lock(mutex_);
        if (latePaste_ && time_.now() >= latePaste_->due) {
            performLatePasteLocked();
        }
    });
}

SimDesktop::~SimDesktop() = default;

bool SimDesktop::addApplication(const SimAppInfo& info) {
    std::lock_guard lock(mutex_);
    if (world_.apps.count(info.pid)) {
        return false;
    }
    SimApp app;
    app.pid = info.pid;
    app.bundleIdentifier = info.bundleIdentifier;
    app.name = info.name;
    app.browser = info.browser;
    SimNode root;
    root.id = world_.nextId++;
    root.pid = info.pid;
    root.role = "AXApplication";
    root.title = info.name;
    app.element = root.id;
    world_.nodes.emplace(root.id, std::move(root));
    world_.apps.emplace(info.pid, std::move(app));
    return true;
}

void SimDesktop::quitApplication(int32_t pid) {
    std::lock_guard lock(mutex_);
    SimApp* app = world_.app(pid);
    if (!app) {
        return;
    }
    removeSubtree(app->element);
    world_.apps.erase(pid);
    if (world_.frontmost == pid) {
        world_.frontmost.reset();
        if (workspace_) {
            workspace_->setFrontmostApplication(std::nullopt);
        }
    }
}

SimNodeId SimDesktop::addWindow(int32_t pid, const std::optional<std::string>& title,
                                const std::string& subrole) {
    std::lock_guard lock(mutex_);
    SimApp* app = world_.app(pid);
    if (!app) {
        return kNoNode;
    }
    SimNode win;
    win.id = world_.nextId++;
    win.pid = pid;
    win.parent = app->element;
    win.role = "AXWindow";
    win.subrole = subrole;
    win.title = title;
    const SimNodeId id = win.id;
    world_.nodes.emplace(id, std::move(win));
    world_.node(app->element)->children.push_back(id);
    app->windows.push_back(id);
    if (app->focusedWindow == kNoNode) {
        app->focusedWindow = id;
    }
    return id;
}

SimNodeId SimDesktop::addElement(SimNodeId parent, const SimElementAttributes& attributes) {
    std::lock_guard lock(mutex_);
    SimNode* p = world_.node(parent);
    if (!p || p->role == "AXApplication") {
        return kNoNode;
    }
    SimNode n;
    n.id = world_.nextId++;
    n.pid = p->pid;
    n.parent = parent;
    n.role = attributes.role;
    n.subrole = attributes.subrole;
    n.description = attributes.description;
    n.title = attributes.title;
    const SimNodeId id = n.id;
    world_.nodes.emplace(id, std::move(n));
    p->children.push_back(id);
    return id;
}

SimNodeId SimDesktop::addTextField(SimNodeId parent, const std::string& text,
                                   SimElementAttributes attributes) {
    const SimNodeId id = addElement(parent, attributes);
    if (id == kNoNode) {
        return id;
    }
    std::lock_guard lock(mutex_);
    world_.node(id)->field.emplace(text);
    return id;
}

void SimDesktop::removeNode(SimNodeId id) {
    std::lock_guard lock(mutex_);
    SimNode* n = world_.node(id);
    if (!n || n->role == "AXApplication") {
        return;
    }
    if (SimNode* parent = world_.node(n->parent)) {
        std::erase(parent->children, id);
    }
    removeSubtree(id);
}

void SimDesktop::removeSubtree(SimNodeId id) {
    SimNode* n = world_.node(id);
    if (!n) {
        return;
    }
    const std::vector<SimNodeId> children = n->children;
    for (SimNodeId c : children) {
        removeSubtree(c);
    }
    if (SimApp* app = world_.app(n->pid)) {
        std::erase(app->windows, id);
        if (app->focusedWindow == id) {
            app->focusedWindow = app->windows.empty() ? kNoNode : app->windows.front();
        }
        if (app->focusedElement == id) {
            app->focusedElement = kNoNode;
        }
    }
    world_.nodes.erase(id);
}

void SimDesktop::focus(SimNodeId element) {
    std::lock_guard lock(mutex_);
    SimNode* n = world_.node(element);
    SimApp* app = n ? world_.app(n->pid) : nullptr;
    if (!app || n->role == "AXApplication") {
        return;
    }
    app->focusedElement = element;
    if (SimNodeId win = world_.windowOf(element); win != kNoNode) {
        app->focusedWindow = win;
    }
}

void SimDesktop::activate(std::optional<int32_t> pid) {
    std::lock_guard lock(mutex_);
    if (pid && !world_.app(*pid)) {
        return;
    }
    world_.frontmost = pid;
    if (workspace_) {
        workspace_->setFrontmostApplication(frontmostLocked());
    }
}

std::optional<RunningApplication> SimDesktop::frontmostApplication() {
    std::lock_guard lock(mutex_);
    return frontmostLocked();
}

std::optional<RunningApplication> SimDesktop::frontmostLocked() {
    SimApp* app = world_.frontmost ? world_.app(*world_.frontmost) : nullptr;
    if (!app) {
        return std::nullopt;
    }
    return RunningApplication{app->pid, app->bundleIdentifier, app->name};
}

void SimDesktop::setValueExposure(SimNodeId field, ValueExposure exposure) {
    std::lock_guard lock(mutex_);
    if (SimNode* n = world_.node(field)) {
        n->exposure = exposure;
    }
}

void SimDesktop::setValueSetBehaviour(SimNodeId field, ValueSetBehaviour behaviour) {
    std::lock_guard lock(mutex_);
    if (SimNode* n = world_.node(field)) {
        n->valueSet = behaviour;
    }
}

void SimDesktop::setIgnoresCopy(int32_t pid, bool ignores) {
    std::lock_guard lock(mutex_);
    if (SimApp* app = world_.app(pid)) {
        app->ignoresCopy = ignores;
    }
}

void SimDesktop::setPasteLag(int32_t pid, dispatch::Duration lag) {
    std::lock_guard lock(mutex_);
    if (SimApp* app = world_.app(pid)) {
        app->pasteLag = lag;
    }
}

void SimDesktop::pasteLocked(SimNodeId id) {
    SimNode* node = world_.node(id);
    if (node == nullptr || !node->field) {
        return;
    }
    if (auto pasted = pasteboard_.appPaste()) {
        node->field->insert(*pasted);
    }
}

void SimDesktop::performLatePasteLocked() {
    if (const auto late = std::exchange(latePaste_, std::nullopt)) {
        pasteLocked(late->field);
    }
}

void SimDesktop::setCompletesTokens(int32_t pid, bool completes) {
    std::lock_guard lock(mutex_);
    if (SimApp* app = world_.app(pid)) {
        app->completesTokens = completes;
    }
}

void SimDesktop::setHidesFocusedElement(int32_t pid, bool hides) {
    std::lock_guard lock(mutex_);
    if (SimApp* app = world_.app(pid)) {
        app->hidesFocusedElement = hides;
    }
}

void SimDesktop::setProcessTrusted(bool trusted) {
    trusted_.store(trusted);
}

bool SimDesktop::processTrusted() const {
    return trusted_.load();
}

std::string SimDesktop::text(SimNodeId field) {
    std::lock_guard lock(mutex_);
    SimNode* n = world_.node(field);
    return (n && n->field) ? n->field->text() : std::string();
}

AXRange SimDesktop::selection(SimNodeId field) {
    std::lock_guard lock(mutex_);
    SimNode* n = world_.node(field);
    return (n && n->field) ? n->field->selection() : AXRange{};
}

void SimDesktop::setText(SimNodeId field, const std::string& text) {
    std::lock_guard lock(mutex_);
    SimNode* n = world_.node(field);
    if (n && n->field) {
        n->field->setText(text);
    }
}

void SimDesktop::setSelection(SimNodeId field, int64_t location, int64_t length) {
    std::lock_guard lock(mutex_);
    SimNode* n = world_.node(field);
    if (n && n->field) {
        n->field->setSelection(location, length);
    }
}

std::vector<SimSentMessage> SimDesktop::sentMessages() {
    std::lock_guard lock(mutex_);
    return world_.sent;
}

bool SimDesktop::pressKey(uint16_t keyCode, uint64_t flags) {
    return keyboard_.pressKey(keyCode, flags);
}

std::size_t SimDesktop::typeText(std::string_view text) {
    return keyboard_.typeText(text);
}

void SimDesktop::applyKeyDown(uint16_t keyCode, uint64_t flags, std::string_view text) {
    std::lock_guard lock(mutex_);
    performLatePasteLocked();  // keys are handled in order
    SimNode* target = world_.keyTarget();
    if (!target) {
        return;
    }
    SimTextField& field = *target->field;
    const bool command = flags & simkeys::kCommand;
    const bool controlOrOption = flags & (simkeys::kControl | simkeys::kOption);

    if (keyCode == simkeys::kReturn || keyCode == simkeys::kKeypadEnter) {
        const SimApp* app = world_.app(target->pid);
        if ((flags & simkeys::kShift) && !command && !controlOrOption) {
            field.insert("\n");
        } else if (app && app->completesTokens && completionListOpen(field)) {
            journal_.record("complete", SimJournal::quote(field.text()));
        } else {
            send(*target);
        }
        return;
    }
    switch (keyCode) {
        case simkeys::kRightArrow:
            field.moveRight();
            return;
        case simkeys::kLeftArrow:
            field.moveLeft();
            return;
        case simkeys::kDelete:
            field.deleteBackward();
            return;
        case simkeys::kForwardDelete:
            field.deleteForward();
            return;
        default:
            break;
    }
    if (command && !controlOrOption) {
        if (keyCode == simkeys::kA) {
            field.selectAll();
        } else if (keyCode == simkeys::kC) {
            const SimApp* app = world_.app(target->pid);
            // Copying an empty selection leaves the pasteboard alone.
            if (app && !app->ignoresCopy && field.selection().length > 0) {
                pasteboard_.appCopy(field.selectedText(), target->pid);
            }
        } else if (keyCode == simkeys::kV) {
            const SimApp* app = world_.app(target->pid);
            if (app && app->pasteLag > dispatch::Duration{0}) {
                latePaste_ = LatePaste{target->id, time_.now() + app->pasteLag};
            } else {
                pasteLocked(target->id);
            }
        }
        return;
    }
    if (!command && !controlOrOption && !text.empty()) {
        field.insert(text);
    }
}

namespace {

// Whether every byte of s is ASCII alphanumeric or one of `extra`, and the
// length lies in [minLength, 32].
bool tokenBody(std::string_view s, std::string_view extra, std::size_t minLength) {
    if (s.size() < minLength || s.size() > 32) {
        return false;
    }
    for (const char c : s) {
        const bool alnum =
            (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (!alnum && extra.find(c) == std::string_view::npos) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool SimDesktop::completionListOpen(const SimTextField& field) {
    const std::u16string& units = field.units();
    const auto caret = static_cast<std::size_t>(field.selection().location);
    const std::string left = text::fromUtf16(std::u16string_view(units).substr(0, caret));
    if (!left.empty() && left[0] == '/' && tokenBody(std::string_view(left).substr(1), "_", 1)) {
        return true;
    }
    const std::size_t start = left.find_last_of(" \t\n");
    const std::string_view token =
        std::string_view(left).substr(start == std::string::npos ? 0 : start + 1);
    if (token.empty()) {
        return false;
    }
    switch (token[0]) {
        case '@':
            return tokenBody(token.substr(1), "_.-", 0);
        case '#':
            return tokenBody(token.substr(1), "_", 1);
        case ':':
            return tokenBody(token.substr(1), "_+-", 1);
        default:
            return false;
    }
}

void SimDesktop::send(SimNode& node) {
    if (text::isBlank(node.field->text())) {
        return;
    }
    SimSentMessage msg;
    msg.pid = node.pid;
    if (SimApp* app = world_.app(node.pid)) {
        msg.appName = app->name;
    }
    msg.text = node.field->take();
    msg.time = time_.now();
    journal_.record("send", SimJournal::quote(msg.text));
    world_.sent.push_back(std::move(msg));
}

}  // namespace quorix::platform
