#include "DesktopDriver.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XInput.h>
#include <X11/extensions/XInput2.h>
#include <X11/extensions/XTest.h>

#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

namespace quorix::e2e {

namespace {

void pause(int ms) {
    if (ms > 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    }
}

}  // namespace

DesktopDriver::DesktopDriver(const std::string& display) {
    // Windows of the programs under test come and go between two requests
    // (a dialog closes on Return); an error about a gone window is no failure.
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    display_ = XOpenDisplay(display.c_str());
    if (display_ == nullptr) {
        return;
    }
    // The server repeats a key held past 660 ms: on a loaded machine the gap
    // between the driver's key-down and key-up can reach that, and the key
    // would be typed again ("ggggraize"). Held keys are pressed explicitly.
    XAutoRepeatOff(display_);
    int count = 0;
    XIDeviceInfo* devices = XIQueryDevice(display_, XIAllDevices, &count);
    int keyboardId = -1;
    for (int i = 0; i < count; ++i) {
        if (devices[i].use == XISlaveKeyboard && std::strstr(devices[i].name, "XTEST") == nullptr) {
            keyboardId = devices[i].deviceid;
            break;
        }
    }
    XIFreeDeviceInfo(devices);
    if (keyboardId >= 0) {
        keyboard_ = XOpenDevice(display_, static_cast<XID>(keyboardId));
    }
    keyboardId_ = keyboardId;
}

DesktopDriver::~DesktopDriver() {
    if (display_ == nullptr) {
        return;
    }
    if (keyboard_) {
        XCloseDevice(display_, static_cast<XDevice*>(keyboard_));
    }
    XCloseDisplay(display_);
}

unsigned long DesktopDriver::windowOf(pid_t pid) {
    const Atom pidAtom = XInternAtom(display_, "_NET_WM_PID", False);
    const auto hasPid = [&](Window window) {
        Atom type = 0;
        int format = 0;
        unsigned long items = 0, after = 0;
        unsigned char* data = nullptr;
        bool match = false;
        if (XGetWindowProperty(display_, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format,
                               &items, &after, &data) == Success &&
            data != nullptr && items == 1 && format == 32) {
            match = static_cast<pid_t>(*reinterpret_cast<unsigned long*>(data)) == pid;
        }
        if (data) {
            XFree(data);
        }
        return match;
    };
    // A top-level window, or (under a window manager) a client inside its frame.
    const auto search = [&](Window parentWindow, int depth, const auto& self) -> unsigned long {
        Window root = 0, parent = 0;
        Window* children = nullptr;
        unsigned int count = 0;
        unsigned long found = 0;
        if (!XQueryTree(display_, parentWindow, &root, &parent, &children, &count)) {
            return 0;
        }
        for (unsigned int i = 0; i < count && found == 0; ++i) {
            XWindowAttributes attributes;
            if (!XGetWindowAttributes(display_, children[i], &attributes) ||
                attributes.map_state != IsViewable || attributes.override_redirect) {
                continue;
            }
            if (hasPid(children[i])) {
                found = children[i];
            } else if (depth > 0) {
                found = self(children[i], depth - 1, self);
            }
        }
        if (children) {
            XFree(children);
        }
        return found;
    };
    return search(DefaultRootWindow(display_), 1, search);
}

bool DesktopDriver::focus(unsigned long window) {
    XRaiseWindow(display_, window);
    XSetInputFocus(display_, window, RevertToPointerRoot, CurrentTime);
    XSync(display_, False);
    Window focused = 0;
    int revert = 0;
    XGetInputFocus(display_, &focused, &revert);
    return focused == window;
}

std::optional<std::string> DesktopDriver::rootProperty(const std::string& name) {
    if (display_ == nullptr) {
        return std::nullopt;
    }
    const Atom atom = XInternAtom(display_, name.c_str(), True);
    if (atom == None) {
        return std::nullopt;
    }
    Atom type = 0;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    std::optional<std::string> value;
    if (XGetWindowProperty(display_, DefaultRootWindow(display_), atom, 0, 4096, False,
                           AnyPropertyType, &type, &format, &items, &after, &data) == Success &&
        data != nullptr && format == 8) {
        value = std::string(reinterpret_cast<char*>(data), items);
    }
    if (data) {
        XFree(data);
    }
    return value;
}

bool DesktopDriver::keyboardIsFree() {
    unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
    XIEventMask mask{keyboardId_, static_cast<int>(sizeof bits), bits};
    const Status status =
        XIGrabDevice(display_, keyboardId_, DefaultRootWindow(display_), CurrentTime, None,
                     XIGrabModeAsync, XIGrabModeAsync, False, &mask);
    if (status == GrabSuccess) {
        XIUngrabDevice(display_, keyboardId_, CurrentTime);
    }
    XSync(display_, False);
    return status == GrabSuccess;
}

unsigned int DesktopDriver::keycodeOf(const std::string& keysymName) {
    const KeySym sym = XStringToKeysym(keysymName.c_str());
    return sym == NoSymbol ? 0 : XKeysymToKeycode(display_, sym);
}

void DesktopDriver::key(unsigned int keycode, bool down, int delayMs) {
    XTestFakeDeviceKeyEvent(display_, static_cast<XDevice*>(keyboard_), keycode,
                            down ? True : False, nullptr, 0, CurrentTime);
    XFlush(display_);
    pause(delayMs);
}

void DesktopDriver::stroke(const std::string& keysym, const std::string& modifiers,
                           int keyDelayMs) {
    std::vector<unsigned int> held;
    if (modifiers.find("shift") != std::string::npos) {
        held.push_back(keycodeOf("Shift_L"));
    }
    if (modifiers.find("ctrl") != std::string::npos) {
        held.push_back(keycodeOf("Control_L"));
    }
    if (modifiers.find("alt") != std::string::npos) {
        held.push_back(keycodeOf("Alt_L"));
    }
    const unsigned int code = keycodeOf(keysym);
    if (code == 0) {
        return;
    }
    for (unsigned int m : held) {
        key(m, true, keyDelayMs);
    }
    key(code, true, keyDelayMs);
    key(code, false, keyDelayMs);
    for (auto it = held.rbegin(); it != held.rend(); ++it) {
        key(*it, false, keyDelayMs);
    }
    XSync(display_, False);
}

void DesktopDriver::press(const std::string& keysym, bool down) {
    if (const unsigned int code = keycodeOf(keysym); code != 0) {
        key(code, down, 0);
    }
    XSync(display_, False);
}

void DesktopDriver::strokeThroughXtest(const std::string& keysym) {
    if (const unsigned int code = keycodeOf(keysym); code != 0) {
        XTestFakeKeyEvent(display_, code, True, CurrentTime);
        XTestFakeKeyEvent(display_, code, False, CurrentTime);
    }
    XSync(display_, False);
}

std::vector<std::string> DesktopDriver::keysDown() {
    char keys[32] = {};
    XQueryKeymap(display_, keys);
    std::vector<std::string> down;
    for (int code = 8; code < 256; ++code) {
        if ((keys[code / 8] & (1 << (code % 8))) == 0) {
            continue;
        }
        const KeySym sym = XkbKeycodeToKeysym(display_, static_cast<KeyCode>(code), 0, 0);
        const char* name = sym == NoSymbol ? nullptr : XKeysymToString(sym);
        down.push_back(name != nullptr ? name : "keycode " + std::to_string(code));
    }
    return down;
}

void DesktopDriver::type(const std::string& text, int keyDelayMs) {
    for (char c : text) {
        const KeySym sym = static_cast<unsigned char>(c);  // Latin-1 keysyms equal the code
        const KeyCode code = XKeysymToKeycode(display_, sym);
        if (code == 0) {
            continue;
        }
        const bool shifted = XkbKeycodeToKeysym(display_, code, 0, 0) != sym;
        stroke(XKeysymToString(sym), shifted ? "shift" : "", keyDelayMs);
    }
}

}  // namespace quorix::e2e
