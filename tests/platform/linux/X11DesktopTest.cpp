// The X11 adapters on a private display: the pasteboard between two clients,
// the key hook fed by a physical (non-XTEST) keyboard device, the key poster,
// and the front window. Skipped where Xvfb is not installed.
// GoogleTest before the X headers, whose None macro it would not survive.
#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <poll.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "DesktopDriver.h"
#include "HeadlessDesktop.h"
#include "core/dispatch/Clock.h"
#include "core/dispatch/SerialQueue.h"
#include "platform/KeyCodes.h"
#include "platform/linux/LinuxWorkspace.h"
#include "platform/linux/X11Display.h"
#include "platform/linux/X11KeyPoster.h"
#include "platform/linux/X11KeyboardHook.h"
#include "platform/linux/X11Pasteboard.h"
#include "platform/linux/X11Workspace.h"

namespace quorix::platform {
namespace {

bool eventually(const std::function<bool()>& condition,
                std::chrono::milliseconds limit = std::chrono::milliseconds(3000)) {
    return e2e::waitUntil(condition, limit, std::chrono::milliseconds(2));
}

// A focused top-level window on its own connection that records the keys it
// receives, and types as the physical keyboard device.
class TestClient {
  public:
    // Xlib's threads are set up before its first call (the driver's).
    explicit TestClient(const std::string& display)
        : keyboard_((X11Display::initThreads(), display)) {
        d_ = XOpenDisplay(display.c_str());
        window_ = XCreateSimpleWindow(d_, DefaultRootWindow(d_), 0, 0, 200, 100, 0, 0, 0);
        XSelectInput(d_, window_, KeyPressMask | KeyReleaseMask);
        XClassHint hint{const_cast<char*>("zenity"), const_cast<char*>("Zenity")};
        XSetClassHint(d_, window_, &hint);
        XStoreName(d_, window_, "Question");
        XMapRaised(d_, window_);
        XSync(d_, False);
        eventually([this] {
            XWindowAttributes a;
            XGetWindowAttributes(d_, window_, &a);
            return a.map_state == IsViewable;
        });
        XSetInputFocus(d_, window_, RevertToParent, CurrentTime);
        XSync(d_, False);
    }
    ~TestClient() { XCloseDisplay(d_); }
    bool hasKeyboard() const { return keyboard_.ok(); }
    Window window() const { return window_; }
    Display* display() const { return d_; }

    void physical(KeySym keysym, bool down) { keyboard_.press(XKeysymToString(keysym), down); }
    void tap(KeySym keysym) {
        physical(keysym, true);
        physical(keysym, false);
    }

    // "keysym:state" of every key press received so far.
    std::vector<std::string> presses() {
        while (XPending(d_) > 0) {
            XEvent e;
            XNextEvent(d_, &e);
            if (e.type == KeyPress) {
                const KeySym sym = XLookupKeysym(&e.xkey, 0);
                received_.push_back(
                    std::string(XKeysymToString(sym)) + ":" +
                    std::to_string(e.xkey.state & (ShiftMask | ControlMask | Mod1Mask | Mod4Mask)));
            }
        }
        return received_;
    }
    bool receives(const std::string& press) {
        return eventually([&] {
            const auto all = presses();
            return std::find(all.begin(), all.end(), press) != all.end();
        });
    }
    // Nothing more arrives within a short settle time.
    std::size_t settledCount() {
        std::this_thread::sleep_for(std::chrono::milliseconds(60));
        return presses().size();
    }

  private:
    Display* d_ = nullptr;
    Window window_ = 0;
    e2e::DesktopDriver keyboard_;
    std::vector<std::string> received_;
};

// One private display (Xvfb and a session bus) for the whole suite.
class X11Desktop : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        if (e2e::HeadlessDesktop::missingTools().empty()) {
            server_ = new e2e::HeadlessDesktop(/*accessibilityBus=*/false);
        }
    }
    static void TearDownTestSuite() {
        delete server_;
        server_ = nullptr;
    }
    void SetUp() override {
        if (server_ == nullptr || !server_->ok()) {
            GTEST_SKIP() << "no private display: "
                         << (server_ ? server_->error() : e2e::HeadlessDesktop::missingTools());
        }
    }
    static const std::string& display() { return server_->display(); }

    static e2e::HeadlessDesktop* server_;
};

e2e::HeadlessDesktop* X11Desktop::server_ = nullptr;

// Text round-trips between two clients and counts changes; then the user's
// clipboard holds an image and a file list: the program saves every target,
// replaces the clipboard with its own text (the capture's copy, the
// write-back's paste) and puts all of them back by owning the same targets.
TEST_F(X11Desktop, PasteboardRoundTripsAndRestoresEveryTargetOfTheOwner) {
    EXPECT_TRUE(X11Display::isUsable(display()));
    EXPECT_FALSE(X11Display::isUsable(":9876"));
    X11Pasteboard::Options small;
    small.displayName = display();
    small.chunkBytes = 1000;  // force INCR transfers for the long text and the image
    X11Pasteboard ours(small);
    X11Pasteboard user(small);
    ASSERT_TRUE(ours.open());
    ASSERT_TRUE(user.open());

    const int64_t before = ours.changeCount();
    ASSERT_TRUE(ours.setString("ciao perché 👋"));
    EXPECT_GT(ours.changeCount(), before);
    EXPECT_EQ(ours.string(), "ciao perché 👋");
    EXPECT_EQ(user.string(), "ciao perché 👋");  // through the selection conversion

    // Another client copying is a change for us, and its text is what we read.
    const int64_t mine = ours.changeCount();
    std::string longText;
    for (int i = 0; i < 500; ++i) {
        longText += "riga " + std::to_string(i) + " àè\n";
    }
    ASSERT_TRUE(user.setString(longText));
    EXPECT_TRUE(eventually([&] { return ours.changeCount() > mine; }));
    EXPECT_EQ(ours.string(), longText);

    // Emptied: no text, and the other side sees none either.
    ours.clearContents();
    EXPECT_EQ(ours.string(), std::nullopt);
    EXPECT_EQ(user.string(), std::nullopt);

    std::string png("\x89PNG\r\n\x1a\n", 8);
    for (int i = 0; i < 3000; ++i) {
        png.push_back(static_cast<char>(i % 256));
    }
    const std::vector<PasteboardItem> offered{{"image/png", png},
                                              {"text/uri-list", "file:///tmp/foto.png\r\n"}};
    const int64_t emptied = ours.changeCount();
    ASSERT_TRUE(user.setContents(offered));
    ASSERT_TRUE(eventually([&] { return ours.changeCount() > emptied; }));
    const PasteboardContents saved = ours.contents(32u << 20);
    EXPECT_FALSE(saved.truncated);
    EXPECT_EQ(saved.items, offered);
    EXPECT_EQ(ours.string(), std::nullopt);

    ASSERT_TRUE(ours.setString("ciao che fai"));
    EXPECT_EQ(user.string(), "ciao che fai");
    ours.clearContents();
    ASSERT_TRUE(ours.setContents(saved.items));
    EXPECT_EQ(user.contents(32u << 20).items, offered);

    // More than the limit offered: the text alone.
    ASSERT_TRUE(user.setContents({{"image/png", png}, {kPlainTextType, "didascalia"}}));
    ASSERT_TRUE(eventually([&] { return ours.string() == "didascalia"; }));
    const PasteboardContents textOnly = ours.contents(1000);
    EXPECT_TRUE(textOnly.truncated);
    EXPECT_EQ(textOnly.items, (std::vector<PasteboardItem>{{kPlainTextType, "didascalia"}}));
}

// A minimal clipboard manager: owns CLIPBOARD_MANAGER and, asked to
// SAVE_TARGETS, reads CLIPBOARD as UTF8_STRING and then answers the asker.
class FakeClipboardManager {
  public:
    explicit FakeClipboardManager(const std::string& displayName)
        : display_(X11Display::open(displayName)) {
        window_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 1, 1, 0, 0, 0);
        manager_ = XInternAtom(display_, "CLIPBOARD_MANAGER", False);
        XSetSelectionOwner(display_, manager_, window_, CurrentTime);
        XSync(display_, False);
        thread_ = std::thread([this] { serve(); });
    }
    ~FakeClipboardManager() {
        stop_ = true;
        thread_.join();
        XCloseDisplay(display_);
    }
    std::string saved() {
        std::lock_guard lock(mutex_);
        return saved_;
    }

  private:
    void serve() {
        const Atom clipboard = XInternAtom(display_, "CLIPBOARD", False);
        const Atom utf8 = XInternAtom(display_, "UTF8_STRING", False);
        const Atom property = XInternAtom(display_, "FAKE_MANAGER_COPY", False);
        XSelectionRequestEvent asker{};
        while (!stop_) {
            if (XPending(display_) == 0) {
                pollfd fd{ConnectionNumber(display_), POLLIN, 0};
                poll(&fd, 1, 10);
                continue;
            }
            XEvent e;
            XNextEvent(display_, &e);
            if (e.type == SelectionRequest && e.xselectionrequest.selection == manager_) {
                asker = e.xselectionrequest;
                XConvertSelection(display_, clipboard, utf8, property, window_, CurrentTime);
            } else if (e.type == SelectionNotify && e.xselection.selection == clipboard) {
                Atom type = 0;
                int format = 0;
                unsigned long items = 0, after = 0;
                unsigned char* bytes = nullptr;
                XGetWindowProperty(display_, window_, property, 0, 1 << 20, True, AnyPropertyType,
                                   &type, &format, &items, &after, &bytes);
                if (bytes != nullptr) {
                    std::lock_guard lock(mutex_);
                    saved_.assign(reinterpret_cast<const char*>(bytes), items);
                    XFree(bytes);
                }
                XEvent done{};
                done.xselection.type = SelectionNotify;
                done.xselection.requestor = asker.requestor;
                done.xselection.selection = manager_;
                done.xselection.target = asker.target;
                done.xselection.property = asker.property;
                done.xselection.time = asker.time;
                XSendEvent(display_, asker.requestor, False, NoEventMask, &done);
                XFlush(display_);
            }
        }
    }

    Display* display_;
    Window window_ = 0;
    Atom manager_ = 0;
    std::atomic<bool> stop_{false};
    std::thread thread_;
    std::mutex mutex_;
    std::string saved_;
};

TEST_F(X11Desktop, PasteboardHandsItsTextToTheClipboardManagerWhenItGoes) {
    X11Pasteboard::Options options;
    options.displayName = display();
    options.handOverLimit = std::chrono::milliseconds(3000);
    {
        X11Pasteboard alone(options);  // no manager yet: returns at once
        ASSERT_TRUE(alone.open());
        ASSERT_TRUE(alone.setString("perso"));
    }
    FakeClipboardManager manager(display());
    {
        X11Pasteboard ours(options);
        ASSERT_TRUE(ours.open());
        ASSERT_TRUE(ours.setString("il testo dell'utente è salvo"));
    }
    EXPECT_EQ(manager.saved(), "il testo dell'utente è salvo");
}

// The focused window's application, and a window that went or changed
// process is not remembered as the one it was.
TEST_F(X11Desktop, WorkspaceNamesTheFocusedWindowsApplicationAndForgetsOldOnes) {
    LinuxWorkspace files({"/nonexistent"});
    X11Workspace workspace(files, display());
    const auto setPid = [](TestClient& client, long pid) {
        XChangeProperty(client.display(), client.window(),
                        XInternAtom(client.display(), "_NET_WM_PID", False), XA_CARDINAL, 32,
                        PropModeReplace, reinterpret_cast<const unsigned char*>(&pid), 1);
        XSync(client.display(), False);
    };
    const auto frontPid = [&] {
        const auto front = workspace.frontmostApplication();
        return front ? front->pid : -1;
    };
    {
        TestClient client(display());
        setPid(client, 1001);
        const auto front = workspace.frontmostApplication();
        ASSERT_TRUE(front.has_value());
        EXPECT_EQ(front->bundleIdentifier, "zenity");
        EXPECT_EQ(front->localizedName, "Question");
        EXPECT_EQ(front->pid, 1001);
        setPid(client, 1002);
        EXPECT_EQ(frontPid(), 1002);
    }
    // The next client usually gets the same window id as the one that left.
    TestClient next(display());
    setPid(next, 1003);
    EXPECT_EQ(frontPid(), 1003);
}

TEST_F(X11Desktop, WorkspacePrefersAnInstalledDesktopEntry) {
    const auto id = X11Workspace::identifierFor(
        std::nullopt, "chromium", "Chromium", [](const std::string& c) { return c == "chromium"; });
    EXPECT_EQ(id, "chromium");
    EXPECT_EQ(X11Workspace::identifierFor("org.gnome.Zenity", "zenity", "Zenity",
                                          [](const std::string&) { return false; }),
              "org.gnome.Zenity");
    EXPECT_EQ(X11Workspace::identifierFor(std::nullopt, "telegram", "TelegramDesktop",
                                          [](const std::string&) { return false; }),
              "telegramdesktop");
}

// The hook, its poster and a recording handler on a real main queue.
class HookFixture {
  public:
    explicit HookFixture(const std::string& display)
        : main_("main", dispatch::RealClock::instance()), hook_(options(display)) {
        poster_.open(display);
    }
    // The handler may still be running on the main queue: stop the hook and
    // let the queue finish before the recorded events go.
    ~HookFixture() {
        hook_.uninstall();
        main_.drain();
    }
    X11KeyboardHook::Options options(const std::string& display) {
        X11KeyboardHook::Options o;
        o.mainQueue = &main_;
        o.poster = &poster_;
        o.displayName = display;
        o.isBusy = [this] { return busy_.load(); };
        o.isFrontCovered = [this] { return covered_.load(); };
        o.busyWatchdog = std::chrono::milliseconds(1500);
        return o;
    }
    bool install() {
        return hook_.install([this](const KeyEvent& e) {
            std::lock_guard lock(mutex_);
            seen_.push_back(e);
            if (e.keyCode == keys::kReturn && swallowReturn_.load()) {
                busy_.store(busyAfterReturn_.load());
                return KeyDecision::swallow;
            }
            return busy_.load() ? KeyDecision::swallow : KeyDecision::pass;
        });
    }
    std::vector<KeyEvent> seen() {
        main_.drain();
        std::lock_guard lock(mutex_);
        return seen_;
    }
    bool saw(uint16_t code, uint64_t flags) {
        return eventually([&] {
            for (const auto& e : seen()) {
                if (e.keyCode == code && e.flags == flags) {
                    return true;
                }
            }
            return false;
        });
    }

    dispatch::SerialQueue main_;
    X11KeyPoster poster_;
    X11KeyboardHook hook_;
    std::atomic<bool> busy_{false};
    std::atomic<bool> covered_{true};
    std::atomic<bool> swallowReturn_{false};
    std::atomic<bool> busyAfterReturn_{false};
    std::mutex mutex_;
    std::vector<KeyEvent> seen_;
};

// Return is not grabbed while the front application is not covered; once it
// is (the next coverage check), the hook sees physical keys and passes or
// holds Return.
TEST_F(X11Desktop, HookGrabsReturnOnlyWhenCoveredAndPassesOrHoldsIt) {
    TestClient client(display());
    ASSERT_TRUE(client.hasKeyboard());
    HookFixture hook(display());
    hook.covered_.store(false);
    hook.swallowReturn_.store(true);
    ASSERT_TRUE(hook.install());
    EXPECT_FALSE(hook.hook_.holdsReturnGrab());
    client.tap(XK_Return);
    EXPECT_TRUE(client.receives("Return:0"));
    for (const auto& e : hook.seen()) {
        EXPECT_NE(e.keyCode, keys::kReturn);
    }
    const std::size_t uncovered = hook.seen().size();

    hook.swallowReturn_.store(false);
    hook.covered_.store(true);
    ASSERT_TRUE(eventually([&] { return hook.hook_.holdsReturnGrab(); }));

    // Ordinary keys reach the window directly and are reported without flags.
    client.tap(XK_a);
    EXPECT_TRUE(client.receives("a:0"));
    EXPECT_TRUE(hook.saw(keys::kA, 0));

    // A passed Return (with Shift) reaches the window once, modifiers intact.
    client.physical(XK_Shift_L, true);
    client.tap(XK_Return);
    client.physical(XK_Shift_L, false);
    EXPECT_TRUE(hook.saw(keys::kReturn, keys::kShift));
    EXPECT_TRUE(client.receives("Return:1"));

    // Alt+Z comes through its grab with Option; passed, it reaches the window.
    client.physical(XK_Alt_L, true);
    client.tap(XK_z);
    client.physical(XK_Alt_L, false);
    EXPECT_TRUE(hook.saw(keys::kZ, keys::kOption));
    EXPECT_TRUE(client.receives("z:8"));

    // A swallowed Return never reaches the window.
    hook.swallowReturn_.store(true);
    const std::size_t before = client.settledCount();
    client.tap(XK_Return);
    EXPECT_TRUE(eventually([&] { return hook.seen().size() >= uncovered + 5; }));
    EXPECT_EQ(client.settledCount(), before);

    // Keys the program posts come from XTEST: the window gets them, the hook
    // never reports them.
    const std::size_t seenBefore = hook.seen().size();
    ASSERT_TRUE(hook.poster_.postKeyEvent(keys::kA, true, keys::kCommand, keys::kSyntheticMarker));
    ASSERT_TRUE(hook.poster_.postKeyEvent(keys::kA, false, keys::kCommand, keys::kSyntheticMarker));
    EXPECT_TRUE(client.receives("a:4"));  // ⌘A is Ctrl+A
    std::this_thread::sleep_for(std::chrono::milliseconds(40));
    EXPECT_EQ(hook.seen().size(), seenBefore);
}

// Keys typed during a correction are held until it ends; a correction that
// never ends has the keyboard given back by the 1.5 s watchdog; uninstalling
// releases every grab.
TEST_F(X11Desktop, BusyGrabHoldsKeysUntilTheCorrectionEndsOrTheWatchdogFires) {
    TestClient client(display());
    ASSERT_TRUE(client.hasKeyboard());
    HookFixture hook(display());
    hook.swallowReturn_.store(true);
    hook.busyAfterReturn_.store(true);
    ASSERT_TRUE(hook.install());
    ASSERT_TRUE(eventually([&] { return hook.hook_.holdsReturnGrab(); }));

    client.tap(XK_Return);
    ASSERT_TRUE(eventually([&] { return hook.hook_.holdsBusyGrab(); }));
    const std::size_t before = client.settledCount();
    client.tap(XK_b);              // swallowed by the handler while busy
    EXPECT_TRUE(hook.saw(11, 0));  // B
    EXPECT_EQ(client.settledCount(), before);
    hook.busy_.store(false);
    EXPECT_TRUE(eventually([&] { return !hook.hook_.holdsBusyGrab(); }));
    client.tap(XK_c);
    EXPECT_TRUE(client.receives("c:0"));

    client.tap(XK_Return);
    ASSERT_TRUE(eventually([&] { return hook.hook_.holdsBusyGrab(); }));
    EXPECT_TRUE(
        eventually([&] { return !hook.hook_.holdsBusyGrab(); }, std::chrono::milliseconds(4000)));
    client.tap(XK_d);
    EXPECT_TRUE(client.receives("d:0"));

    hook.hook_.uninstall();
    client.tap(XK_Return);
    EXPECT_TRUE(client.receives("Return:0"));
}

}  // namespace
}  // namespace quorix::platform
