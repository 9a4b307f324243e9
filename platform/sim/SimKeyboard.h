#pragma once
// Key hook and key posting of the simulated desktop.
//
// A user key-down goes to the installed handler first; when it passes (or no
// hook is installed) the front application applies it. A posted key-down also
// passes through the handler, carrying its user data (the program recognises
// its own events by the marker there), and is applied only if the handler
// passes it. Key-ups reach no key-down hook and change no field; they are only
// journalled.
//
// Handlers run on the thread that pressed or posted the key, never under the
// desktop's lock. A key posted from inside the handler on the same thread is
// delivered after the outermost handler call returns, as a real event tap
// sees posted events only after its callback. Handlers may run concurrently
// when several threads press and post keys at once.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Keyboard.h"
#include "platform/sim/SimKeys.h"

namespace quorix::platform {

class SimDesktop;

class SimKeyboard final : public KeyboardHook, public KeyPoster {
  public:
    explicit SimKeyboard(SimDesktop& desktop);

    // KeyboardHook: install fails while the process is not trusted or while
    // setRefusesHook(true).
    bool install(Handler handler) override;
    void uninstall() override;
    bool isInstalled() const override;

    // KeyPoster: "post <key> down|up" in the journal (with "unmarked" or
    // "data=<n>" when the user data is not the program's marker). A posted
    // key-down that reaches the field types the layout character of its key,
    // as a user's would. False, and nothing posted, while setPostingFails(true).
    bool postKeyEvent(uint16_t keyCode, bool keyDown, uint64_t flags, int64_t userData) override;
    // KeyPoster::replayKey, then the replay observer on the replaying thread
    // (tests: the user typing while held-back keys are replayed).
    bool replayKey(const KeyEvent& key, int64_t userData) override;
    void setReplayObserver(std::function<void(const KeyEvent&)> observer);

    // The user presses a key (down only); it inserts the layout character of
    // the key, if any (simkeys::textFor). Returns whether the hook swallowed it.
    bool pressKey(uint16_t keyCode, uint64_t flags = 0);
    // The user types one character (a grapheme): the layout's key press, or
    // simkeys::kGeneric for characters without a key; it inserts its text.
    bool typeCharacter(std::string_view character);
    // Types each character of text in turn; returns how many were swallowed.
    std::size_t typeText(std::string_view text);

    void setRefusesHook(bool refuses);
    void setPostingFails(bool fails);

  private:
    struct Pending {
        KeyEvent event;
        std::string text;
        bool posted = false;
    };

    KeyDecision callHandler(const KeyEvent& event);
    bool deliver(const Pending& key);
    void drainDeferred();

    SimDesktop& desktop_;
    mutable std::mutex mutex_;
    std::shared_ptr<const Handler> handler_;
    std::shared_ptr<const std::function<void(const KeyEvent&)>> replayObserver_;
    bool refusesHook_ = false;
    bool postingFails_ = false;
};

}  // namespace quorix::platform
