#include "platform/linux/X11KeyboardHook.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <bitset>
#include <mutex>
#include <optional>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/linux/KeyMapping.h"
#include "platform/linux/X11Display.h"
#include "platform/linux/X11EventThread.h"
#include "platform/linux/X11KeyPoster.h"

namespace quorix::platform {
namespace {

constexpr auto kTick = std::chrono::milliseconds(10);

// A held-back physical key, enough to re-send it.
struct HeldKey {
    unsigned keycode = 0;
    unsigned state = 0;
    bool isReturn = false;
};

// How long after a MappingNotify the mapping is read again.
constexpr auto kMappingSettle = std::chrono::milliseconds(60);

void setMaskBit(unsigned char* mask, int event) {
    XISetMask(mask, event);
}

}  // namespace

struct X11KeyboardHook::Core : std::enable_shared_from_this<Core> {
    explicit Core(Options o) : options(std::move(o)) {}

    Options options;
    X11EventThread thread;
    std::mutex handlerMutex;
    Handler handler;
    std::atomic<bool> installed{false};
    std::atomic<bool> returnHeld{false};
    std::atomic<bool> returnGrabbed{false};
    std::atomic<bool> busyGrabbed{false};

    // Event-thread state.
    int opcode = 0;
    Window root = 0;
    Atom activeWindowAtom = 0;
    ModifierMasks masks;
    unsigned returnCode = 0;
    unsigned enterCode = 0;
    unsigned zCode = 0;
    unsigned uCode = 0;
    std::vector<int> slaves;
    std::vector<int> xtestSlaves;
    bool busyExpired = false;
    std::chrono::steady_clock::time_point busySince;
    std::chrono::steady_clock::time_point lastCoverage;
    std::optional<HeldKey> pendingReturn;
    // By keycode, read with the mapping: the key's code and whether it is a
    // modifier, so that a raw key costs no request to the server.
    std::array<uint16_t, 256> rawCodes{};
    std::bitset<256> rawModifiers;
    // Keys down on the physical keyboards, from their raw events and, while
    // a grab holds their device, from its events.
    std::bitset<256> physicallyDown;
    // When a MappingNotify came that is not acted on yet. The server sends one
    // at every switch of the core keyboard between devices (the first
    // physical key after each post): the mapping is read again later, out of
    // the way of the key the application is handling.
    std::optional<std::chrono::steady_clock::time_point> mappingNotified;

    bool isReturnKey(unsigned keycode) const {
        return keycode != 0 && (keycode == returnCode || keycode == enterCode);
    }

    void readMapping(Display* d) {
        masks = X11Display::modifierMasks(d);
        returnCode = XKeysymToKeycode(d, XK_Return);
        enterCode = XKeysymToKeycode(d, XK_KP_Enter);
        zCode = XKeysymToKeycode(d, XK_z);
        uCode = XKeysymToKeycode(d, XK_u);
        for (unsigned code = 8; code < rawCodes.size(); ++code) {
            const KeySym sym = XkbKeycodeToKeysym(d, static_cast<KeyCode>(code), 0, 0);
            rawCodes[code] = KeyMapping::appleCodeForKeysym(sym);
            rawModifiers[code] = KeyMapping::isModifierKeysym(sym);
        }
    }

    std::tuple<unsigned, unsigned, unsigned, unsigned, unsigned, unsigned, unsigned> mappingKey()
        const {
        return {returnCode, enterCode, zCode, uCode, masks.alt, masks.numLock, masks.super};
    }

    void listDevices(Display* d) {
        slaves.clear();
        xtestSlaves.clear();
        int count = 0;
        XIDeviceInfo* info = XIQueryDevice(d, XIAllDevices, &count);
        for (int i = 0; i < count; ++i) {
            if (info[i].use != XISlaveKeyboard) {
                continue;
            }
            const std::string_view name = info[i].name != nullptr ? info[i].name : "";
            if (name.find("XTEST") != std::string_view::npos) {
                xtestSlaves.push_back(info[i].deviceid);
            } else if (info[i].enabled) {
                slaves.push_back(info[i].deviceid);
            }
        }
        XIFreeDeviceInfo(info);
    }

    static XIEventMask keyMask(unsigned char* bits, int length) {
        std::fill(bits, bits + length, 0);
        setMaskBit(bits, XI_KeyPress);
        setMaskBit(bits, XI_KeyRelease);
        XIEventMask mask;
        mask.deviceid = XIAllDevices;
        mask.mask_len = length;
        mask.mask = bits;
        return mask;
    }

    std::vector<XIGrabModifiers> altCombinations() const {
        std::vector<XIGrabModifiers> out;
        for (const unsigned locks : KeyMapping::lockCombinations(masks)) {
            out.push_back({static_cast<int>(masks.alt | locks), 0});
        }
        return out;
    }

    void grabKeycode(Display* d, int device, unsigned keycode, std::vector<XIGrabModifiers> mods) {
        if (keycode == 0) {
            return;
        }
        unsigned char bits[XIMaskLen(XI_LASTEVENT)];
        XIEventMask mask = keyMask(bits, sizeof bits);
        mask.deviceid = device;
        XIGrabKeycode(d, device, static_cast<int>(keycode), root, XIGrabModeAsync, XIGrabModeAsync,
                      False, &mask, static_cast<int>(mods.size()), mods.data());
    }

    void ungrabKeycode(Display* d, int device, unsigned keycode,
                       std::vector<XIGrabModifiers> mods) {
        if (keycode == 0) {
            return;
        }
        XIUngrabKeycode(d, device, static_cast<int>(keycode), root, static_cast<int>(mods.size()),
                        mods.data());
    }

    std::vector<XIGrabModifiers> anyModifier() const {
        return {{static_cast<int>(XIAnyModifier), 0}};
    }

    void grabReturn(Display* d, bool on) {
        for (const int device : slaves) {
            for (const unsigned code : {returnCode, enterCode}) {
                if (on) {
                    grabKeycode(d, device, code, anyModifier());
                } else {
                    ungrabKeycode(d, device, code, anyModifier());
                }
            }
        }
        // The flags say what the server holds, not what is queued.
        XSync(d, False);
        returnGrabbed.store(on);
    }

    void grabShortcuts(Display* d, bool on) {
        for (const int device : slaves) {
            for (const unsigned code : {zCode, uCode}) {
                if (on) {
                    grabKeycode(d, device, code, altCombinations());
                } else {
                    ungrabKeycode(d, device, code, altCombinations());
                }
            }
        }
    }

    void grabBusy(Display* d) {
        unsigned char bits[XIMaskLen(XI_LASTEVENT)];
        for (const int device : slaves) {
            XIEventMask mask = keyMask(bits, sizeof bits);
            mask.deviceid = device;
            XIGrabDevice(d, device, root, CurrentTime, None, XIGrabModeAsync, XIGrabModeAsync,
                         False, &mask);
        }
        XSync(d, False);
        busySince = std::chrono::steady_clock::now();
        busyGrabbed.store(true);
    }

    void ungrabBusy(Display* d) {
        if (!busyGrabbed.load()) {
            return;
        }
        for (const int device : slaves) {
            XIUngrabDevice(d, device, CurrentTime);
        }
        XSync(d, False);
        busyGrabbed.store(false);
    }

    void releaseAll(Display* d) {
        ungrabBusy(d);
        if (returnGrabbed.load()) {
            grabReturn(d, false);
        }
        grabShortcuts(d, false);
    }

    bool setup(Display* d) {
        if (!X11Display::hasXInput22(d, &opcode)) {
            return false;
        }
        root = DefaultRootWindow(d);
        activeWindowAtom = XInternAtom(d, "_NET_ACTIVE_WINDOW", False);
        readMapping(d);
        listDevices(d);
        unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
        setMaskBit(bits, XI_RawKeyPress);
        setMaskBit(bits, XI_RawKeyRelease);
        setMaskBit(bits, XI_HierarchyChanged);
        XIEventMask mask{XIAllDevices, static_cast<int>(sizeof bits), bits};
        XISelectEvents(d, root, &mask, 1);
        XSelectInput(d, root, PropertyChangeMask);
        grabShortcuts(d, true);
        refreshCoverage(d);
        XSync(d, False);
        return true;
    }

    void refreshCoverage(Display* d) {
        lastCoverage = std::chrono::steady_clock::now();
        const bool covered = !options.isFrontCovered || options.isFrontCovered();
        if (covered != returnGrabbed.load()) {
            grabReturn(d, covered);
        }
    }

    // A key the application already has (held: nullopt) goes to the handler
    // on this thread; a held one through the main queue.
    void deliver(const KeyEvent& key, std::optional<HeldKey> held) {
        if (!held) {
            Handler now;
            {
                std::lock_guard lock(handlerMutex);
                now = handler;
            }
            if (now && installed.load()) {
                now(key);
            }
            return;
        }
        std::weak_ptr<Core> weak = weak_from_this();
        options.mainQueue->async([weak, key, held] {
            auto self = weak.lock();
            if (!self || !self->installed.load()) {
                return;
            }
            Handler handler;
            {
                std::lock_guard lock(self->handlerMutex);
                handler = self->handler;
            }
            const KeyDecision decision = handler ? handler(key) : KeyDecision::pass;
            if (!held) {
                return;
            }
            self->thread.post([weak, decision, held](Display* d) {
                if (auto core = weak.lock()) {
                    core->onDecision(d, decision, *held);
                }
            });
        });
    }

    // Whether a key other than Return is down for the core keyboard. A slave
    // grabbed whole keeps its events from the master, so a key whose press
    // the master saw and whose release came during the grab would stay down
    // for every application: the busy grab waits until no such key is held.
    bool keyHeldOnMaster(Display* d) const {
        char keys[32];
        XQueryKeymap(d, keys);
        for (unsigned code = 8; code < 256; ++code) {
            if ((keys[code / 8] & (1 << (code % 8))) != 0 && !isReturnKey(code)) {
                return true;
            }
        }
        return false;
    }

    void grabBusyWhenFree(Display* d) {
        if (!busyGrabbed.load() && !busyExpired && options.isBusy && options.isBusy() &&
            !keyHeldOnMaster(d)) {
            grabBusy(d);
        }
    }

    void onDecision(Display* d, KeyDecision decision, const HeldKey& held) {
        if (decision == KeyDecision::pass) {
            if (held.isReturn && returnHeld.load()) {
                pendingReturn = held;
            } else if (options.poster != nullptr) {
                options.poster->resendKey(held.keycode, held.state);
            }
        }
        grabBusyWhenFree(d);
    }

    KeyEvent keyEvent(Display* d, unsigned keycode, unsigned state) const {
        const KeySym keysym = XkbKeycodeToKeysym(d, static_cast<KeyCode>(keycode), 0, 0);
        KeyEvent key;
        key.keyCode = KeyMapping::appleCodeForKeysym(keysym);
        key.flags = KeyMapping::flagsForState(KeyMapping::withoutLocks(state, masks), masks);
        key.isModifierKey = KeyMapping::isModifierKeysym(keysym);
        key.nativeCode = keycode;
        key.nativeState = state;
        return key;
    }

    void onDeviceKey(Display* d, const XIDeviceEvent& e, bool press) {
        const auto keycode = static_cast<unsigned>(e.detail);
        const bool isReturn = isReturnKey(keycode);
        // A grabbed device's releases come only here, not as raw events.
        if (keycode < physicallyDown.size()) {
            physicallyDown[keycode] = press;
        }
        if (!press) {
            if (isReturn) {
                returnHeld.store(false);
                releaseKeysLostDuringGrab(d);
                if (pendingReturn && options.poster != nullptr) {
                    options.poster->resendKey(pendingReturn->keycode, pendingReturn->state);
                }
                pendingReturn.reset();
            }
            return;
        }
        if (isReturn) {
            returnHeld.store(true);
        }
        if ((e.flags & XIKeyRepeat) != 0) {
            return;
        }
        const auto state = static_cast<unsigned>(e.mods.effective);
        deliver(keyEvent(d, keycode, state), HeldKey{keycode, state, isReturn});
    }

    // A key the master keyboard still holds although it is physically up was
    // let go while the Return grab floated its device (the grab lasts until
    // Return goes up): every application would see it held. It is pressed
    // and released again through XTEST under a grab of the core keyboard, so
    // that the master lets go of it and no application sees the pair (without
    // that grab, only modifiers are, as a letter would be typed).
    void releaseKeysLostDuringGrab(Display* d) {
        char keys[32];
        XQueryKeymap(d, keys);
        std::vector<unsigned> stuck;
        for (unsigned code = 8; code < physicallyDown.size(); ++code) {
            if ((keys[code / 8] & (1 << (code % 8))) != 0 && !physicallyDown[code] &&
                !isReturnKey(code)) {
                stuck.push_back(code);
            }
        }
        if (stuck.empty()) {
            return;
        }
        const bool grabbed =
            XGrabKeyboard(d, root, False, GrabModeAsync, GrabModeAsync, CurrentTime) == GrabSuccess;
        for (const unsigned code : stuck) {
            if (!grabbed && !rawModifiers[code]) {
                continue;
            }
            XTestFakeKeyEvent(d, code, True, CurrentTime);
            XTestFakeKeyEvent(d, code, False, CurrentTime);
        }
        if (grabbed) {
            XUngrabKeyboard(d, CurrentTime);
        }
        XSync(d, False);
    }

    void onRawKey(const XIRawEvent& e, bool press) {
        if (e.deviceid != e.sourceid) {
            return;
        }
        if (std::find(xtestSlaves.begin(), xtestSlaves.end(), e.sourceid) != xtestSlaves.end()) {
            return;
        }
        const auto keycode = static_cast<unsigned>(e.detail);
        if (keycode < physicallyDown.size()) {
            physicallyDown[keycode] = press;
        }
        if (!press || busyGrabbed.load()) {
            return;
        }
        if (isReturnKey(keycode) || keycode >= rawCodes.size() || rawModifiers[keycode]) {
            return;
        }
        KeyEvent key;
        key.keyCode = rawCodes[keycode];
        key.alreadyDelivered = true;
        deliver(key, std::nullopt);
    }

    // Re-establishes every grab held now on the current devices and mapping
    // (grabs on a removed device went with it).
    void regrab(Display* d) {
        const bool busy = busyGrabbed.load();
        const bool withReturn = returnGrabbed.load();
        const auto since = busySince;
        releaseAll(d);
        readMapping(d);
        listDevices(d);
        grabShortcuts(d, true);
        if (withReturn) {
            grabReturn(d, true);
        }
        if (busy) {
            grabBusy(d);
            busySince = since;
        }
    }

    void onEvent(Display* d, XEvent& event) {
        if (event.type == MappingNotify) {
            // The server announces one whenever the core keyboard switches
            // between slaves (after every XTEST post); grabs are redone only
            // when the keys or modifier bits they name really moved, as a
            // regrab leaves a moment without them.
            XRefreshKeyboardMapping(&event.xmapping);
            if (!mappingNotified) {
                mappingNotified = std::chrono::steady_clock::now();
            }
            return;
        }
        if (event.type == PropertyNotify) {
            if (event.xproperty.atom == activeWindowAtom) {
                refreshCoverage(d);
            }
            return;
        }
        if (event.type != GenericEvent || event.xcookie.extension != opcode ||
            event.xcookie.data == nullptr) {
            return;
        }
        switch (event.xcookie.evtype) {
            case XI_KeyPress:
            case XI_KeyRelease: {
                const auto* e = static_cast<const XIDeviceEvent*>(event.xcookie.data);
                onDeviceKey(d, *e, event.xcookie.evtype == XI_KeyPress);
                break;
            }
            case XI_RawKeyPress:
            case XI_RawKeyRelease:
                onRawKey(*static_cast<const XIRawEvent*>(event.xcookie.data),
                         event.xcookie.evtype == XI_RawKeyPress);
                break;
            case XI_HierarchyChanged: {
                const auto* e = static_cast<const XIHierarchyEvent*>(event.xcookie.data);
                if ((e->flags & (XISlaveAdded | XISlaveRemoved | XIDeviceEnabled |
                                 XIDeviceDisabled | XISlaveAttached | XISlaveDetached)) != 0) {
                    regrab(d);
                }
                break;
            }
            default:
                break;
        }
    }

    void rereadMapping(Display* d) {
        mappingNotified.reset();
        const auto before = mappingKey();
        readMapping(d);
        if (before != mappingKey()) {
            // Release what was grabbed under the old mapping, then grab anew.
            std::tie(returnCode, enterCode, zCode, uCode, masks.alt, masks.numLock, masks.super) =
                before;
            regrab(d);
        }
    }

    void onTick(Display* d) {
        const auto now = std::chrono::steady_clock::now();
        if (mappingNotified && now - *mappingNotified >= kMappingSettle) {
            rereadMapping(d);
        }
        const bool busy = options.isBusy && options.isBusy();
        if (!busy) {
            busyExpired = false;
        }
        if (busyGrabbed.load() && (!busy || now - busySince >= options.busyWatchdog)) {
            busyExpired = busy;
            ungrabBusy(d);
        } else if (busy && !busyGrabbed.load()) {
            grabBusyWhenFree(d);
        }
        if (now - lastCoverage >= options.coverageRefresh) {
            refreshCoverage(d);
        }
    }
};

X11KeyboardHook::X11KeyboardHook(Options options) : options_(std::move(options)) {}

X11KeyboardHook::~X11KeyboardHook() {
    uninstall();
}

bool X11KeyboardHook::install(Handler handler) {
    if (core_ && core_->installed.load()) {
        return true;
    }
    if (options_.mainQueue == nullptr) {
        return false;
    }
    auto core = std::make_shared<Core>(options_);
    core->handler = std::move(handler);
    X11EventThread::Callbacks callbacks;
    Core* raw = core.get();
    callbacks.setup = [raw](Display* d) { return raw->setup(d); };
    callbacks.event = [raw](Display* d, XEvent& e) { raw->onEvent(d, e); };
    callbacks.tick = [raw](Display* d) { raw->onTick(d); };
    callbacks.teardown = [raw](Display* d) { raw->releaseAll(d); };
    core->thread.setTickInterval(kTick);
    core->installed.store(true);
    if (!core->thread.start(options_.displayName, std::move(callbacks))) {
        return false;
    }
    if (options_.poster != nullptr) {
        std::weak_ptr<Core> weak = core;
        options_.poster->setPhysicalReturnHeld([weak] {
            auto c = weak.lock();
            return c && c->returnHeld.load();
        });
    }
    core_ = std::move(core);
    return true;
}

void X11KeyboardHook::uninstall() {
    if (!core_) {
        return;
    }
    core_->installed.store(false);
    core_->thread.stop();
    {
        std::lock_guard lock(core_->handlerMutex);
        core_->handler = nullptr;
    }
    core_.reset();
}

bool X11KeyboardHook::isInstalled() const {
    return core_ && core_->installed.load();
}

bool X11KeyboardHook::isPhysicalReturnHeld() const {
    return core_ && core_->returnHeld.load();
}

bool X11KeyboardHook::holdsReturnGrab() const {
    return core_ && core_->returnGrabbed.load();
}

bool X11KeyboardHook::holdsBusyGrab() const {
    return core_ && core_->busyGrabbed.load();
}

}  // namespace quorix::platform
