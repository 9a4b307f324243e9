#pragma once
// The test's own connection to the headless display: finds and focuses an
// application's window, reads root properties, and types as the user would.
// Keys go through XTestFakeDeviceKeyEvent on the physical keyboard device, so
// they arrive from that device and not from the XTEST one the program itself
// posts through.

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

typedef struct _XDisplay Display;

namespace quorix::e2e {

class DesktopDriver {
  public:
    explicit DesktopDriver(const std::string& display);
    ~DesktopDriver();
    DesktopDriver(const DesktopDriver&) = delete;
    DesktopDriver& operator=(const DesktopDriver&) = delete;

    // Whether the display and a physical keyboard device were found.
    bool ok() const { return display_ != nullptr && keyboard_ != nullptr; }

    // The viewable top-level window whose _NET_WM_PID is pid (0: none).
    unsigned long windowOf(pid_t pid);
    // Gives the window the input focus and raises it; true once X reports it.
    bool focus(unsigned long window);
    std::optional<std::string> rootProperty(const std::string& name);
    // Whether no other client holds a grab of the whole physical keyboard
    // (the daemon holds one while a correction runs). Probes by grabbing it
    // for an instant.
    bool keyboardIsFree();

    // Types text (ASCII letters, digits, space and punctuation of the US
    // layout); keyDelayMs between events.
    void type(const std::string& text, int keyDelayMs = 8);
    // One key stroke by keysym name ("Return", "z"), with modifiers held:
    // any of "shift", "alt", "ctrl" joined by '+', or "".
    void stroke(const std::string& keysym, const std::string& modifiers = "", int keyDelayMs = 8);
    // Presses or releases one key by keysym name, nothing else.
    void press(const std::string& keysym, bool down);
    // One key stroke through the XTEST device, as a program typing for the
    // user posts it (not from the physical keyboard).
    void strokeThroughXtest(const std::string& keysym);
    // The names of the keys the server holds logically down (XQueryKeymap).
    std::vector<std::string> keysDown();

  private:
    void key(unsigned int keycode, bool down, int delayMs);
    unsigned int keycodeOf(const std::string& keysymName);

    Display* display_ = nullptr;
    void* keyboard_ = nullptr;  // XDevice*, an anonymous struct in Xlib
    int keyboardId_ = -1;
};

}  // namespace quorix::e2e
