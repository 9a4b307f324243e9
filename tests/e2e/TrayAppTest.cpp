// The tray application on a private desktop with a window manager (openbox)
// and a tray host (trayer): the icon is embedded and opens the status panel, a
// second launch hands its link over, the tray host can restart, and Quit from
// the menu leaves no process, socket or grab behind; the preferences window
// opened by a link changes what the engine does; with a compositor
// (xcompmgr), a correction's floating notice never takes the focus and leaves
// on its own timer.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <regex>
#include <thread>

#include "DaemonFixture.h"

// Xlib after GoogleTest: its macros (None, True) clash with gtest names.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

namespace quorix::e2e {
namespace {

using namespace std::chrono_literals;

const std::string kQuorix = std::string(QUORIX_BINARY_DIR) + "/cli/quorix";
// The working notice dismisses itself 3.5 s after it shows, and a result
// that comes later finds it gone: the answer, with a sanitizer build's
// overhead on top (up to about 2.5 s under load), must come well before.
constexpr auto kCloudDelay = 500ms;

std::string commandOutput(const std::string& command) {
    std::string out;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        std::size_t n = 0;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
            out.append(buffer, n);
        }
        ::pclose(pipe);
    }
    return out;
}

struct Rect {
    int x = 0, y = 0, width = 0, height = 0;
};

class TrayAppTest : public DaemonFixture {
  protected:
    void SetUp() override {
        DaemonFixture::SetUp();
        if (IsSkipped() || HasFatalFailure()) {
            return;
        }
        if (::access("/usr/bin/trayer", X_OK) != 0 || ::access("/usr/bin/openbox", X_OK) != 0) {
            GTEST_SKIP() << "trayer and openbox are needed";
        }
        x_ = XOpenDisplay(desktop_->display().c_str());
        ASSERT_NE(x_, nullptr);
        desktop_->start("openbox", {"openbox", "--sm-disable"});
        startTrayer();
    }
    void TearDown() override {
        if (x_ != nullptr) {
            XCloseDisplay(x_);
        }
        DaemonFixture::TearDown();
    }
    void startTrayer() {
        trayer_ = &desktop_->start(
            "trayer", {"trayer", "--edge", "top", "--align", "right", "--widthtype", "request",
                       "--height", "24", "--SetDockType", "true"});
    }
    ChildProcess& startApp() {
        writeConfiguration();
        ChildProcess& app = desktop_->start("daemon", {kQuorix});
        EXPECT_TRUE(waitForLog("[App] Quorix avviato", 60s)) << "the application did not start";
        return app;
    }
    // The windows of the program's class, with their root positions.
    std::vector<Rect> programWindows() {
        const std::string tree =
            commandOutput("DISPLAY=" + desktop_->display() + " xwininfo -root -tree 2>/dev/null");
        static const std::regex line(
            R"rx(0x[0-9a-f]+ [^\n]*\("quorix" "quorix"\)\s+(\d+)x(\d+)\+-?\d+\+-?\d+\s+\+(-?\d+)\+(-?\d+))rx");
        std::vector<Rect> windows;
        for (std::sregex_iterator it(tree.begin(), tree.end(), line), end; it != end; ++it) {
            windows.push_back(Rect{std::stoi((*it)[3]), std::stoi((*it)[4]), std::stoi((*it)[1]),
                                   std::stoi((*it)[2])});
        }
        return windows;
    }
    // The tray icon's window: small, inside the tray at the top of the screen.
    std::optional<Rect> trayIcon() {
        for (const Rect& r : programWindows()) {
            if (r.width > 1 && r.width <= 64 && r.y < 24) {
                return r;
            }
        }
        return std::nullopt;
    }
    // The status panel: 360 points wide.
    std::optional<Rect> popover() {
        for (const Rect& r : programWindows()) {
            if (r.width == 360 && r.height >= 376) {
                return r;
            }
        }
        return std::nullopt;
    }
    bool menuShown() {
        for (const Rect& r : programWindows()) {
            // The floating notice (840 × 175) keeps its window once shown.
            if (r.width >= 100 && r.height >= 100 && !(r.width == 840 && r.height == 175)) {
                return true;
            }
        }
        return false;
    }
    void click(const Rect& r, unsigned button) {
        XTestFakeMotionEvent(x_, -1, r.x + r.width / 2, r.y + r.height / 2, 0);
        XTestFakeButtonEvent(x_, button, True, 0);
        XTestFakeButtonEvent(x_, button, False, 30);
        XFlush(x_);
    }
    // The first pixel from y0 down to y1 in column x that is the accent blue
    // of the preferences window (switches on, tab tiles, the app's icon).
    std::optional<int> firstBlue(int x, int y0, int y1) {
        XImage* column =
            XGetImage(x_, DefaultRootWindow(x_), x, y0, 1, y1 - y0, AllPlanes, ZPixmap);
        std::optional<int> found;
        for (int y = 0; column != nullptr && y < y1 - y0 && !found; ++y) {
            const unsigned long px = XGetPixel(column, 0, y);
            const int r = (px >> 16) & 0xff, g = (px >> 8) & 0xff, b = px & 0xff;
            if (b >= 200 && r <= 80 && g >= 80 && g <= 180) {
                found = y0 + y;
            }
        }
        if (column != nullptr) {
            XDestroyImage(column);
        }
        return found;
    }
    std::string socketPath() const { return desktop_->folder() + "/run/quorix.sock"; }
    // The notice: the application's viewable 840 × 175 top-level window.
    Window notice() {
        Window root = 0, parent = 0, *children = nullptr;
        unsigned count = 0;
        Window found = 0;
        if (XQueryTree(x_, DefaultRootWindow(x_), &root, &parent, &children, &count) == 0) {
            return 0;
        }
        for (unsigned i = 0; i < count && found == 0; ++i) {
            XWindowAttributes a{};
            XClassHint hint{};
            if (XGetWindowAttributes(x_, children[i], &a) && a.map_state == IsViewable &&
                a.width == 840 && a.height == 175 && XGetClassHint(x_, children[i], &hint)) {
                if (std::string(hint.res_class) == "quorix") {
                    found = children[i];
                }
                XFree(hint.res_name);
                XFree(hint.res_class);
            }
        }
        if (children) {
            XFree(children);
        }
        return found;
    }
    // Whether the focus lies in pid's window (the WM frame around it counts).
    bool focusIsIn(pid_t pid) {
        const Window client = driver_->windowOf(pid);
        Window focus = 0;
        int revert = 0;
        XGetInputFocus(x_, &focus, &revert);
        if (client == 0 || focus == 0) {
            return false;
        }
        if (focus == client) {
            return true;
        }
        // GTK may focus a child of its window.
        Window w = focus;
        while (w != 0 && w != DefaultRootWindow(x_)) {
            Window root = 0, parent = 0, *children = nullptr;
            unsigned count = 0;
            if (XQueryTree(x_, w, &root, &parent, &children, &count) == 0) {
                return false;
            }
            if (children) {
                XFree(children);
            }
            if (parent == client) {
                return true;
            }
            w = parent;
        }
        return false;
    }

    Display* x_ = nullptr;
    ChildProcess* trayer_ = nullptr;
};

// (A correction typed into zenity: the notice test.)
TEST_F(TrayAppTest, TrayIconStatusPanelHandOverAndQuitFromTheMenu) {
    startEntry(true);
    ChildProcess& app = startApp();
    std::optional<Rect> icon;
    ASSERT_TRUE(waitUntil([&] { return (icon = trayIcon()).has_value(); }, 20s))
        << commandOutput("DISPLAY=" + desktop_->display() + " xwininfo -root -tree");
    std::this_thread::sleep_for(500ms);  // the icon settles in the tray
    icon = trayIcon();
    ASSERT_TRUE(icon.has_value());

    // Left click: the panel hangs under the icon, wholly on the screen.
    click(*icon, 1);
    std::optional<Rect> panel;
    ASSERT_TRUE(waitUntil([&] { return (panel = popover()).has_value(); }, 10s)) << daemonLog();
    EXPECT_GE(panel->y, icon->y + icon->height);
    EXPECT_GE(panel->x, 0);
    // A second click on the icon closes it (and does not reopen it).
    std::this_thread::sleep_for(300ms);
    click(*icon, 1);
    ASSERT_TRUE(waitUntil([&] { return !popover().has_value(); }, 10s));
    std::this_thread::sleep_for(500ms);
    EXPECT_FALSE(popover().has_value());

    // Alt+U from any application opens and closes it.
    driver_->stroke("u", "alt");
    ASSERT_TRUE(waitUntil([&] { return popover().has_value(); }, 10s)) << daemonLog();
    std::this_thread::sleep_for(300ms);
    driver_->stroke("u", "alt");
    ASSERT_TRUE(waitUntil([&] { return !popover().has_value(); }, 10s));
    // Escape closes it too.
    driver_->stroke("u", "alt");
    ASSERT_TRUE(waitUntil([&] { return popover().has_value(); }, 10s));
    std::this_thread::sleep_for(300ms);
    driver_->stroke("Escape");
    EXPECT_TRUE(waitUntil([&] { return !popover().has_value(); }, 10s));

    // A second launch hands its link to the first and exits 0.
    // (A route that opens no window: the menu below needs the keyboard.)
    ChildProcess& second = desktop_->start("second", {kQuorix, "quorix://hand-over"});
    EXPECT_EQ(second.waitExit(10000), 0);
    EXPECT_TRUE(waitForLog("Ricevuto URL Scheme: quorix://hand-over", 10s));

    // The tray host restarts: the icon comes back.
    trayer_->stop();
    ASSERT_TRUE(waitUntil([&] { return !trayIcon().has_value(); }, 10s));
    startTrayer();
    ASSERT_TRUE(waitUntil([&] { return (icon = trayIcon()).has_value(); }, 20s));

    // Right click opens the menu; its last item quits.
    std::this_thread::sleep_for(500ms);  // the icon settles in the new tray
    icon = trayIcon();
    ASSERT_TRUE(icon.has_value());
    click(*icon, 3);
    ASSERT_TRUE(waitUntil([&] { return menuShown(); }, 10s));
    std::this_thread::sleep_for(300ms);  // the menu takes the keyboard
    driver_->stroke("Up");
    driver_->stroke("Return");
    EXPECT_EQ(app.waitExit(10000), 0) << daemonLog();
    EXPECT_FALSE(trayIcon().has_value());
    struct stat st {};
    EXPECT_NE(::stat(socketPath().c_str(), &st), 0) << "socket left behind";
    EXPECT_TRUE(driver_->keyboardIsFree());
}

// The preferences window opened by a link; its "Enable" switch clicked off;
// the next Return in zenity then leaves the text as typed.
TEST_F(TrayAppTest, PreferencesOpenedByLinkPauseTheEngine) {
    const pid_t entry = startEntry(true);
    startApp();
    ChildProcess& link = desktop_->start("link", {kQuorix, "quorix://settings/ai"});
    EXPECT_EQ(link.waitExit(10000), 0);
    std::optional<Rect> window;
    ASSERT_TRUE(waitUntil(
        [&] {
            for (const Rect& r : programWindows()) {
                if (r.width == 900 && r.height == 710) {
                    window = r;
                }
            }
            return window.has_value();
        },
        20s))
        << commandOutput("DISPLAY=" + desktop_->display() + " xwininfo -root -tree");
    // Located by colour, so that the window frame and the fonts do not
    // matter: the application's icon tops the sidebar (24 points below the
    // content's top); the "General" row is 145 points below it; on that page
    // the first blue in the switches' column under the language card is the
    // "Enable Quorix" switch.
    std::optional<int> iconTop;
    ASSERT_TRUE(waitUntil(
        [&] {
            return (iconTop = firstBlue(window->x + 33, window->y, window->y + 120)).has_value();
        },
        10s));
    click(Rect{window->x + 115, *iconTop + 145, 1, 1}, 1);
    std::optional<int> toggle;
    ASSERT_TRUE(waitUntil(
        [&] {
            return (toggle = firstBlue(window->x + 815, *iconTop + 150, *iconTop + 400))
                .has_value();
        },
        10s));
    click(Rect{window->x + 815, *toggle + 8, 1, 1}, 1);
    const std::string config = configFolder() + "/config.json";
    ASSERT_TRUE(waitUntil(
        [&] { return readFile(config).find("\"isEnabled\": false") != std::string::npos; }, 10s))
        << readFile(config);

    ASSERT_TRUE(focusWindowOf(entry));
    driver_->type("ciao cge fai");
    driver_->stroke("Return");
    ASSERT_TRUE(waitUntil([&] { return !desktop_->outputOf("zenity").empty(); }, 20s));
    EXPECT_EQ(desktop_->outputOf("zenity"), "ciao cge fai\n");
}

// A message typed into zenity leaves corrected. The correction comes from a
// loopback cloud endpoint that takes its time, so that the working state is
// on screen long enough to be looked at.
TEST_F(TrayAppTest, NoticeShowsWithoutTakingFocusAndLeavesOnItsTimer) {
    if (::access("/usr/bin/xcompmgr", X_OK) != 0) {
        GTEST_SKIP() << "xcompmgr is needed";
    }
    desktop_->start("xcompmgr", {"xcompmgr"});
    const Atom cm = XInternAtom(x_, "_NET_WM_CM_S0", False);
    ASSERT_TRUE(waitUntil([&] { return XGetSelectionOwner(x_, cm) != 0; }, 10s))
        << "xcompmgr did not take the compositor selection";
    provider_ = std::make_unique<FakeProvider>();
    ASSERT_TRUE(provider_->ok());
    provider_->answer("ciao xqzwj amico mio", "ciao caro amico mio", kCloudDelay);
    // The second dialog waits behind the first; it gets the focus when the
    // first one's message has left.
    const pid_t next = startEntry(true, "zenity2");
    const pid_t first = startEntry(true, "zenity");
    startApp();
    ASSERT_TRUE(focusWindowOf(first));

    // A word no local list knows: the correction waits for the cloud. The text
    // reads as Italian, so only the Italian keyboard model loads on the way
    // (a text read in another language loads that one's model too, seconds
    // under a sanitizer, and the working notice dismisses itself after 3.5 s).
    driver_->type("ciao xqzwj amico mio");
    driver_->stroke("Return");
    Window pill = 0;
    ASSERT_TRUE(waitUntil([&] { return (pill = notice()) != 0; }, 20s, 5ms))
        << "the notice never showed";
    const auto shownAt = std::chrono::steady_clock::now();
    EXPECT_TRUE(focusIsIn(first)) << "the notice took the focus";
    ASSERT_TRUE(waitUntil([&] { return !desktop_->outputOf("zenity").empty(); }, 20s));
    EXPECT_EQ(desktop_->outputOf("zenity"), "ciao caro amico mio\n");

    // The message left; the notice stays up, unfocused, and what the user
    // types next lands in the other dialog.
    ASSERT_TRUE(waitUntil([&] { return focusIsIn(next); }, 5s)) << "focus did not move on";
    EXPECT_NE(notice(), 0u) << "the result went away too early";
    driver_->type("ok");
    EXPECT_TRUE(focusIsIn(next));
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(x_, &focus, &revert);
    EXPECT_NE(focus, pill);
    driver_->stroke("Return");
    ASSERT_TRUE(waitUntil([&] { return !desktop_->outputOf("zenity2").empty(); }, 20s));
    EXPECT_EQ(desktop_->outputOf("zenity2"), "ok\n");

    // The result of a changed word stays 3.8 s (plus the 0.22 s fade) after
    // the cloud's answer; the second message needed no notice.
    ASSERT_TRUE(waitUntil([&] { return notice() == 0; }, 15s)) << "the notice stayed up";
    const auto shown = std::chrono::steady_clock::now() - shownAt;
    EXPECT_GT(shown, kCloudDelay + 3s);
    EXPECT_LT(shown, kCloudDelay + 8s);
}

}  // namespace
}  // namespace quorix::e2e
