// Key latencies on the X display named by $DISPLAY (run it under Xvfb):
// a physical key typed on the first non-XTEST keyboard until a focused window
// receives it, without the hook, with the hook observing an ordinary key, and
// with the hook holding Return back and letting it pass; and the cost of the
// poster's Ctrl+A (⌘A) until the window receives it.
#include <benchmark/benchmark.h>

#include <X11/Xlib.h>
#include <X11/extensions/XInput.h>
#include <X11/extensions/XInput2.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "core/dispatch/Clock.h"
#include "core/dispatch/SerialQueue.h"
#include "platform/KeyCodes.h"
#include "platform/linux/X11Display.h"
#include "platform/linux/X11KeyPoster.h"
#include "platform/linux/X11KeyboardHook.h"

namespace {

using quorix::platform::KeyDecision;
using quorix::platform::KeyEvent;

// A focused window that waits for key presses, and a physical keyboard.
class Desk {
  public:
    Desk() {
        quorix::platform::X11Display::initThreads();
        d_ = XOpenDisplay(nullptr);
        if (d_ == nullptr) {
            return;
        }
        window_ = XCreateSimpleWindow(d_, DefaultRootWindow(d_), 0, 0, 100, 100, 0, 0, 0);
        XSelectInput(d_, window_, KeyPressMask);
        XMapRaised(d_, window_);
        XSync(d_, False);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        XSetInputFocus(d_, window_, RevertToParent, CurrentTime);
        int count = 0;
        XIDeviceInfo* info = XIQueryDevice(d_, XIAllDevices, &count);
        for (int i = 0; i < count && keyboard_ == nullptr; ++i) {
            if (info[i].use == XISlaveKeyboard &&
                std::string(info[i].name).find("XTEST") == std::string::npos) {
                keyboard_ = XOpenDevice(d_, static_cast<XID>(info[i].deviceid));
            }
        }
        XIFreeDeviceInfo(info);
        XSync(d_, False);
    }
    ~Desk() {
        if (d_ == nullptr) {
            return;
        }
        if (keyboard_ != nullptr) {
            XCloseDevice(d_, keyboard_);
        }
        XCloseDisplay(d_);
    }
    bool ok() const { return d_ != nullptr && keyboard_ != nullptr; }

    void tap(KeySym keysym) {
        const unsigned code = XKeysymToKeycode(d_, keysym);
        XTestFakeDeviceKeyEvent(d_, keyboard_, code, True, nullptr, 0, CurrentTime);
        XTestFakeDeviceKeyEvent(d_, keyboard_, code, False, nullptr, 0, CurrentTime);
        XFlush(d_);
    }
    // Blocks until the window receives a press of keysym.
    void awaitPress(KeySym keysym) {
        for (;;) {
            XEvent e;
            XNextEvent(d_, &e);
            if (e.type == KeyPress && XLookupKeysym(&e.xkey, 0) == keysym) {
                return;
            }
        }
    }

  private:
    Display* d_ = nullptr;
    Window window_ = 0;
    XDevice* keyboard_ = nullptr;
};

struct Hooked {
    quorix::dispatch::SerialQueue main{"main", quorix::dispatch::RealClock::instance()};
    quorix::platform::X11KeyPoster poster;
    std::unique_ptr<quorix::platform::X11KeyboardHook> hook;
    Hooked() {
        poster.open();
        quorix::platform::X11KeyboardHook::Options o;
        o.mainQueue = &main;
        o.poster = &poster;
        o.isBusy = [] { return false; };
        o.isFrontCovered = [] { return true; };
        hook = std::make_unique<quorix::platform::X11KeyboardHook>(o);
        hook->install([](const KeyEvent&) { return KeyDecision::pass; });
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
};

void typeAndWait(benchmark::State& state, KeySym keysym, bool withHook) {
    Desk desk;
    if (!desk.ok()) {
        state.SkipWithError("no X display with a physical keyboard ($DISPLAY)");
        return;
    }
    std::unique_ptr<Hooked> hooked;
    if (withHook) {
        hooked = std::make_unique<Hooked>();
    }
    for (auto _ : state) {
        desk.tap(keysym);
        desk.awaitPress(keysym);
    }
}

void BM_LetterNoHook(benchmark::State& state) {
    typeAndWait(state, XK_a, false);
}
void BM_LetterObservedByHook(benchmark::State& state) {
    typeAndWait(state, XK_a, true);
}
void BM_ReturnNoHook(benchmark::State& state) {
    typeAndWait(state, XK_Return, false);
}
void BM_ReturnPassedByHook(benchmark::State& state) {
    typeAndWait(state, XK_Return, true);
}

// ⌘A as the correction flow posts it (down, up), until the window has it.
void BM_PostCommandA(benchmark::State& state) {
    Desk desk;
    quorix::platform::X11KeyPoster poster;
    if (!desk.ok() || !poster.open()) {
        state.SkipWithError("no X display ($DISPLAY)");
        return;
    }
    for (auto _ : state) {
        poster.postKeyEvent(quorix::keys::kA, true, quorix::keys::kCommand, 0);
        poster.postKeyEvent(quorix::keys::kA, false, quorix::keys::kCommand, 0);
        desk.awaitPress(XK_a);
    }
}

BENCHMARK(BM_LetterNoHook)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_LetterObservedByHook)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_ReturnNoHook)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_ReturnPassedByHook)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_PostCommandA)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace
