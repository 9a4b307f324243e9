#pragma once
// The libatspi side of the accessibility adapter. Every member runs on the
// adapter's GLib thread (AtspiThread); nothing here is locked.
//
// Focus is found on demand, never through events: while any client listens
// to an accessibility event, toolkits (Qt among them) hold every key press
// and release until the accessibility registry has answered a synchronous
// call about it, a delay on every key typed anywhere. Per process, the element
// found focused last is kept and asked again whether it still has focus;
// when it has not, or when its toolkit can search its tree itself (and may
// keep more than one element focused, as browsers do for a page's field
// while their address bar has the focus), the process's active windows are
// searched, by the toolkit or by a walk (a search that found nothing is not
// repeated within walkInterval). The adapter's own process is never queried.
//
// When a process's focused field cannot be read, the step that failed is
// logged once for that process (not on the bus, no focused element, a focused
// element without text, a failed read); capture then uses the clipboard.

#include <atspi/atspi.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/Accessibility.h"
#include "platform/linux/AtspiElement.h"
#include "platform/linux/AtspiRoles.h"
#include "platform/linux/AtspiThread.h"

namespace quorix::platform {

class AtspiSession {
  public:
    struct Options {
        int32_t ownPid = 0;
        // Limit of each D-Bus call libatspi makes.
        int callTimeoutMs = 400;
        // Limit for applications that registered moments ago.
        int startupTimeoutMs = 1000;
        // Most elements one focus walk visits.
        int walkLimit = 2000;
        // Least time after a focus walk that found nothing before the same
        // process is walked again.
        std::chrono::milliseconds walkInterval{1000};
        // Log sink (one line per message); may be empty.
        std::function<void(const std::string&)> log;
    };

    explicit AtspiSession(Options options);
    ~AtspiSession();
    AtspiSession(const AtspiSession&) = delete;
    AtspiSession& operator=(const AtspiSession&) = delete;

    // Connects to the accessibility bus and walks for focus; false when the
    // bus cannot be reached (every read then answers noValue). libatspi cannot
    // connect again after it disconnected: only the first session of a
    // process tries; later ones stay disconnected.
    bool start(std::weak_ptr<AtspiThread> thread);
    static bool wasClaimed() { return claimed().load(); }
    // Stops listening and disconnects; idempotent.
    void stop();
    bool isConnected() const { return connected_; }

    AXResult read(const AtspiElement& element, const std::string& name);
    AXError write(const AtspiElement& element, const std::string& name, const std::string& value);

  private:
    static std::atomic<bool>& claimed();
    // Keeps source as its process's focused element.
    void rememberFocus(AtspiAccessible* source);

    int32_t pidOf(AtspiAccessible* object);
    AtspiAccessible* applicationObject(int32_t pid);  // new reference or nullptr
    AtspiAccessible* focusedIn(int32_t pid);          // borrowed or nullptr
    // Drops what is kept about processes that have ended.
    void forgetEndedProcesses();
    void walkAll();
    // Remembers the focused element of pid's application app in its active
    // windows; previous is the one found before (may be null).
    void walkApplication(AtspiAccessible* app, int32_t pid, AtspiAccessible* previous);
    // The focused element of window through its Collection interface (one
    // call, the toolkit searches): of several, one that was not focused at
    // the last search, else previous; new ref or nullptr. *searched is false
    // when the toolkit offers no search.
    AtspiAccessible* focusedAmongMatches(AtspiAccessible* window, int32_t pid,
                                         AtspiAccessible* previous, bool* searched);
    AtspiAccessible* findFocused(AtspiAccessible* root, int& budget);  // new ref

    atspi::Traits traitsOf(AtspiAccessible* object);
    AXResult readApplication(int32_t pid, const std::string& name);
    AXResult readObject(const AtspiElement& element, const std::string& name);
    AXResult readValue(AtspiAccessible* object, int32_t pid);
    void reportOnce(int32_t pid, const std::string& step);
    AXResult readSelectedRange(AtspiAccessible* object);
    AXElementRef wrap(AtspiAccessible* object, int32_t pid);

    Options options_;
    std::weak_ptr<AtspiThread> thread_;
    bool connected_ = false;
    std::map<int32_t, AtspiAccessible*> focused_;  // owned references
    // Per process, what its toolkit's last search found focused (owned).
    std::map<int32_t, std::vector<AtspiAccessible*>> lastMatches_;
    std::map<std::string, int32_t> pidByBusName_;
    // When a walk of the process last found no focus.
    std::map<int32_t, std::chrono::steady_clock::time_point> fruitlessWalk_;
    std::set<int32_t> reported_;
};

}  // namespace quorix::platform
