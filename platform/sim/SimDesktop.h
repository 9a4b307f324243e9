#pragma once
// The simulated desktop: a deterministic world of applications, windows,
// accessibility trees and text fields, with the program's platform services
// built over it (key hook and posting, accessibility, pasteboard, sounds) and
// a virtual clock whose sleeps are journalled.
//
// Keys reach the front application's focused field. A text field reacts as a
// chat input does: characters insert at the caret (replacing the selection),
// ⌘A selects all, ⌘C copies the selection, ⌘V pastes plain text over the
// selection, ←/→ collapse the selection or move one character, ⌫/⌦ delete,
// ⇧⏎ inserts a line break, and ⏎ or ⌤ (with any other modifiers) sends the
// text, recorded as a sent message, and empties the field. A blank field sends
// nothing.
//
// Thread: any. One mutex guards the world; the hook handler is never called
// while it is held (handlers read accessibility from inside the callback).

#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/dispatch/VirtualClock.h"
#include "platform/Workspace.h"
#include "platform/sim/SimAccessibility.h"
#include "platform/sim/SimClock.h"
#include "platform/sim/SimJournal.h"
#include "platform/sim/SimKeyboard.h"
#include "platform/sim/SimPasteboard.h"
#include "platform/sim/SimSoundPlayer.h"
#include "platform/sim/SimWorkspace.h"
#include "platform/sim/SimWorld.h"

namespace quorix::platform {

struct SimAppInfo {
    int32_t pid = 0;
    std::optional<std::string> bundleIdentifier;
    std::optional<std::string> name;
    bool browser = false;
};

struct SimElementAttributes {
    std::string role = "AXGroup";
    std::optional<std::string> subrole;
    std::optional<std::string> description;
    std::optional<std::string> title;
};

class SimDesktop {
  public:
    // workspace, when given, follows the front application (activate()); it
    // must outlive the desktop.
    explicit SimDesktop(SimWorkspace* workspace = nullptr,
                        dispatch::WallTime wallOrigin = dispatch::WallTime{
                            std::chrono::hours(24 * 365 * 56)});
    explicit SimDesktop(SimWorkspace& workspace) : SimDesktop(&workspace) {}
    ~SimDesktop();
    SimDesktop(const SimDesktop&) = delete;
    SimDesktop& operator=(const SimDesktop&) = delete;

    // Services over this desktop.
    dispatch::Clock& clock() { return clock_; }
    dispatch::VirtualClock& virtualClock() { return time_; }
    SimJournal& journal() { return journal_; }
    SimKeyboard& keyboard() { return keyboard_; }
    SimAccessibility& accessibility() { return accessibility_; }
    SimPasteboard& pasteboard() { return pasteboard_; }
    SimSoundPlayer& sounds() { return sounds_; }

    // Building the world. Ids of windows and elements are desktop-unique.
    // Adding a pid twice replaces nothing and returns false.
    bool addApplication(const SimAppInfo& info);
    // Removes the application and its tree; its element handles become invalid.
    void quitApplication(int32_t pid);
    // kNoNode when the application is unknown. The first window becomes the
    // focused window.
    SimNodeId addWindow(int32_t pid, const std::optional<std::string>& title,
                        const std::string& subrole = "AXStandardWindow");
    // kNoNode when parent is unknown or is the application element.
    SimNodeId addElement(SimNodeId parent, const SimElementAttributes& attributes);
    // An element holding editable text (role "AXTextArea" unless given).
    SimNodeId addTextField(SimNodeId parent, const std::string& text = {},
                           SimElementAttributes attributes = {"AXTextArea", {}, {}, {}});
    // Removes a window or element with its subtree (focus on it is dropped).
    void removeNode(SimNodeId id);

    // Makes the element its application's focused element and its window the
    // focused window. Does not change the front application.
    void focus(SimNodeId element);
    // Makes the application frontmost (nullopt: none is; unknown pids are
    // ignored) and sets the workspace's front application accordingly.
    void activate(std::optional<int32_t> pid);
    std::optional<RunningApplication> frontmostApplication();

    // Switches for awkward applications and fields.
    void setValueExposure(SimNodeId field, ValueExposure exposure);
    void setValueSetBehaviour(SimNodeId field, ValueSetBehaviour behaviour);
    void setIgnoresCopy(int32_t pid, bool ignores);
    void setPasteLag(int32_t pid, dispatch::Duration lag);
    void setCompletesTokens(int32_t pid, bool completes);
    void setHidesFocusedElement(int32_t pid, bool hides);
    void setProcessTrusted(bool trusted);
    bool processTrusted() const;

    // Field state (empty / {0,0} for unknown nodes or nodes without text).
    std::string text(SimNodeId field);
    AXRange selection(SimNodeId field);
    void setText(SimNodeId field, const std::string& text);
    void setSelection(SimNodeId field, int64_t location, int64_t length = 0);
    std::vector<SimSentMessage> sentMessages();

    // The user at the keyboard: see SimKeyboard::pressKey / typeText.
    bool pressKey(uint16_t keyCode, uint64_t flags = 0);
    std::size_t typeText(std::string_view text);

    // The front application's reaction to a key-down that reached it.
    void applyKeyDown(uint16_t keyCode, uint64_t flags, std::string_view text);

    // Runs f(SimWorld&) under the desktop's lock. f must not call back into
    // the desktop or its services other than the journal and pasteboard.
    template <typename F>
    auto withWorld(F&& f) {
        std::lock_guard lock(mutex_);
        return f(world_);
    }

  private:
    void removeSubtree(SimNodeId id);
    std::optional<RunningApplication> frontmostLocked();
    void send(SimNode& field);
    static bool completionListOpen(const SimTextField& field);
    void pasteLocked(SimNodeId field);
    void performLatePasteLocked();

    dispatch::VirtualClock time_;
    SimJournal journal_;
    SimClock clock_;
    SimPasteboard pasteboard_;
    SimSoundPlayer sounds_;
    SimKeyboard keyboard_;
    SimAccessibility accessibility_;

    std::mutex mutex_;
    SimWorld world_;
    struct LatePaste {
        SimNodeId field = kNoNode;
        dispatch::Instant due{0};
    };
    std::optional<LatePaste> latePaste_;
    std::atomic<bool> trusted_{true};
    SimWorkspace* workspace_;
};

}  // namespace quorix::platform
