#include "platform/linux/X11KeyPoster.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <thread>
#include <utility>

#include "platform/KeyCodes.h"
#include "platform/linux/X11Display.h"

namespace quorix::platform {

X11KeyPoster::X11KeyPoster() : X11KeyPoster(Options{}) {}

X11KeyPoster::X11KeyPoster(Options options) : options_(options) {}

X11KeyPoster::~X11KeyPoster() {
    std::lock_guard lock(mutex_);
    if (display_ != nullptr) {
        XCloseDisplay(display_);
    }
}

bool X11KeyPoster::open(const std::string& displayName) {
    std::lock_guard lock(mutex_);
    if (display_ != nullptr) {
        return true;
    }
    Display* display = X11Display::open(displayName);
    if (display == nullptr) {
        return false;
    }
    int event = 0;
    int error = 0;
    int major = 0;
    int minor = 0;
    if (!XTestQueryExtension(display, &event, &error, &major, &minor)) {
        XCloseDisplay(display);
        return false;
    }
    display_ = display;
    refreshMappingLocked();
    return true;
}

bool X11KeyPoster::isOpen() const {
    std::lock_guard lock(mutex_);
    return display_ != nullptr;
}

void X11KeyPoster::setPhysicalReturnHeld(std::function<bool()> held) {
    std::lock_guard lock(mutex_);
    physicalReturnHeld_ = std::move(held);
}

void X11KeyPoster::refreshMappingLocked() {
    masks_ = X11Display::modifierMasks(display_);
    modifierKeycodes_.clear();
    XModifierKeymap* map = XGetModifierMapping(display_);
    if (map == nullptr) {
        return;
    }
    // Shift, Control and every ModN that is not a lock (Caps Lock is index 1).
    for (int index = 0; index < 8; ++index) {
        const unsigned bit = 1U << index;
        if (bit == LockMask || bit == masks_.numLock) {
            continue;
        }
        for (int k = 0; k < map->max_keypermod; ++k) {
            const KeyCode code = map->modifiermap[index * map->max_keypermod + k];
            if (code != 0) {
                modifierKeycodes_.push_back(code);
            }
        }
    }
    XFreeModifiermap(map);
}

unsigned X11KeyPoster::keycodeLocked(unsigned long keysym) {
    // MappingNotify reaches every client; handling it refreshes Xlib's
    // keysym tables and our modifier list.
    bool changed = false;
    while (XPending(display_) > 0) {
        XEvent event;
        XNextEvent(display_, &event);
        if (event.type == MappingNotify) {
            XRefreshKeyboardMapping(&event.xmapping);
            changed = true;
        }
    }
    if (changed) {
        refreshMappingLocked();
    }
    return XKeysymToKeycode(display_, keysym);
}

bool X11KeyPoster::anyModifierDownLocked() {
    char keys[32];
    XQueryKeymap(display_, keys);
    for (const unsigned code : modifierKeycodes_) {
        if ((keys[code / 8] & (1 << (code % 8))) != 0) {
            return true;
        }
    }
    return false;
}

bool X11KeyPoster::anyModifierDown() {
    std::lock_guard lock(mutex_);
    return display_ != nullptr && anyModifierDownLocked();
}

bool X11KeyPoster::waitUnlocked(std::unique_lock<std::mutex>& lock,
                                const std::function<bool()>& busy,
                                std::chrono::milliseconds limit) {
    // The lock is dropped between polls: the key hook re-sends keys through
    // this poster from the thread that reports the physical Return's release.
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (busy()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        lock.unlock();
        std::this_thread::sleep_for(options_.pollInterval);
        lock.lock();
        if (display_ == nullptr) {
            return false;
        }
    }
    return true;
}

void X11KeyPoster::fakeKeyLocked(unsigned keycode, bool down) {
    XTestFakeKeyEvent(display_, keycode, down ? True : False, CurrentTime);
}

bool X11KeyPoster::postKeyEvent(uint16_t keyCode, bool keyDown, uint64_t flags,
                                int64_t /*userData*/) {
    std::unique_lock lock(mutex_);
    if (display_ == nullptr) {
        return false;
    }
    const auto keysym = KeyMapping::keysymForAppleCode(keyCode);
    if (!keysym) {
        return false;
    }
    const unsigned keycode = keycodeLocked(*keysym);
    if (keycode == 0) {
        return false;
    }
    std::vector<unsigned> modifiers;
    for (const unsigned long sym : KeyMapping::modifierKeysymsForFlags(flags)) {
        if (const unsigned code = keycodeLocked(sym); code != 0) {
            modifiers.push_back(code);
        }
    }
    if (keyDown) {
        const bool isReturn = keyCode == keys::kReturn || keyCode == keys::kKeypadEnter;
        if (isReturn && physicalReturnHeld_) {
            const auto held = physicalReturnHeld_;
            waitUnlocked(lock, held, options_.returnWait);
        }
        if (!modifiers.empty() || isReturn) {
            waitUnlocked(
                lock, [this] { return anyModifierDownLocked(); }, options_.modifierWait);
        }
        if (display_ == nullptr) {
            return false;
        }
        for (const unsigned code : modifiers) {
            fakeKeyLocked(code, true);
        }
        fakeKeyLocked(keycode, true);
    } else {
        fakeKeyLocked(keycode, false);
        for (auto it = modifiers.rbegin(); it != modifiers.rend(); ++it) {
            fakeKeyLocked(*it, false);
        }
    }
    XSync(display_, False);
    return true;
}

bool X11KeyPoster::replayKey(const KeyEvent& key, int64_t userData) {
    if (key.nativeCode != 0) {
        return resendKey(key.nativeCode, key.nativeState);
    }
    return KeyPoster::replayKey(key, userData);
}

bool X11KeyPoster::resendKey(unsigned keycode, unsigned state) {
    std::lock_guard lock(mutex_);
    if (display_ == nullptr || keycode == 0) {
        return false;
    }
    char keys[32];
    XQueryKeymap(display_, keys);
    const auto isDown = [&keys](unsigned code) {
        return (keys[code / 8] & (1 << (code % 8))) != 0;
    };
    // Each modifier of the event is pressed afresh on a key of that modifier
    // that is up now (the right-hand one when the user still holds the left),
    // so the key carries it even if the user has let go meanwhile, and the
    // user's own held modifier is not released by ours.
    std::vector<unsigned> pressed;
    for (const unsigned long sym : KeyMapping::modifierKeysymsForState(state, masks_)) {
        unsigned code = keycodeLocked(sym);
        if (code != 0 && isDown(code)) {
            code = keycodeLocked(KeyMapping::rightHandVariant(sym));
        }
        if (code == 0 || isDown(code)) {
            continue;
        }
        fakeKeyLocked(code, true);
        pressed.push_back(code);
    }
    fakeKeyLocked(keycode, true);
    fakeKeyLocked(keycode, false);
    for (auto it = pressed.rbegin(); it != pressed.rend(); ++it) {
        fakeKeyLocked(*it, false);
    }
    XSync(display_, False);
    return true;
}

}  // namespace quorix::platform
