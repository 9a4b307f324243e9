// The tray application on a private desktop with a window manager (openbox)
// and a tray host (trayer): the icon is embedded, a message typed into zenity
// is corrected, a second launch hands its link over, the tray host can
// restart, and Quit from the menu leaves no process, socket or grab behind.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <regex>
#include <sstream>
#include <thread>

#include "DaemonFixture.h"

// Xlib after GoogleTest: its macros (None, True) clash with gtest names.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

namespace quorix::e2e {
namespace {

using namespace std::chrono_literals;

const std::string kQuorix = std::string(QUORIX_BINARY_DIR) + "/cli/quorix";

template <class Pred>
bool eventually(Pred pred, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!pred()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

std::string commandOutput(const std::string& command) {
    std::string out;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        std::size_t n = 0;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
            out.append(buffer, n);
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
        if (IsSkipped() || HasFatalFailure())
            return;
        if (::access("/usr/bin/trayer", X_OK) != 0 || ::access("/usr/bin/openbox", X_OK) != 0)
            GTEST_SKIP() << "trayer and openbox are needed";
        desktop_->start("openbox", {"openbox", "--sm-disable"});
        startTrayer();
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
            if (r.width > 1 && r.width <= 64 && r.y < 24)
                return r;
        }
        return std::nullopt;
    }
    bool menuShown() {
        for (const Rect& r : programWindows()) {
            if (r.width >= 100 && r.height >= 100)
                return true;
        }
        return false;
    }
    void click(const Rect& r, unsigned button) {
        Display* d = XOpenDisplay(desktop_->display().c_str());
        ASSERT_NE(d, nullptr);
        XTestFakeMotionEvent(d, -1, r.x + r.width / 2, r.y + r.height / 2, 0);
        XTestFakeButtonEvent(d, button, True, 0);
        XTestFakeButtonEvent(d, button, False, 30);
        XFlush(d);
        XCloseDisplay(d);
    }
    std::string socketPath() const { return desktop_->folder() + "/run/quorix.sock"; }
    ChildProcess* trayer_ = nullptr;
};

TEST_F(TrayAppTest, TrayIconCorrectionHandOverAndQuitFromTheMenu) {
    startEntry(true);
    ChildProcess& app = startApp();
    std::optional<Rect> icon;
    ASSERT_TRUE(eventually([&] { return (icon = trayIcon()).has_value(); }, 20s))
        << commandOutput("DISPLAY=" + desktop_->display() + " xwininfo -root -tree");

    // A message typed into zenity leaves corrected.
    driver_->type("ciao cge fai");
    driver_->stroke("Return");
    ASSERT_TRUE(eventually([&] { return !desktop_->outputOf("zenity").empty(); }, 20s));
    EXPECT_EQ(desktop_->outputOf("zenity"), "ciao che fai\n");

    // A second launch hands its link to the first and exits 0.
    ChildProcess& second = desktop_->start("second", {kQuorix, "quorix://settings/ai"});
    EXPECT_EQ(second.waitExit(10000), 0);
    EXPECT_TRUE(waitForLog("Ricevuto URL Scheme: quorix://settings/ai", 10s));

    // The tray host restarts: the icon comes back.
    trayer_->stop();
    ASSERT_TRUE(eventually([&] { return !trayIcon().has_value(); }, 10s));
    startTrayer();
    ASSERT_TRUE(eventually([&] { return (icon = trayIcon()).has_value(); }, 20s));

    // Right click opens the menu; its last item quits.
    std::this_thread::sleep_for(500ms);  // the icon settles in the new tray
    icon = trayIcon();
    ASSERT_TRUE(icon.has_value());
    click(*icon, 3);
    ASSERT_TRUE(eventually([&] { return menuShown(); }, 10s));
    std::this_thread::sleep_for(300ms);  // the menu takes the keyboard
    driver_->stroke("Up");
    driver_->stroke("Return");
    EXPECT_EQ(app.waitExit(10000), 0) << daemonLog();
    EXPECT_FALSE(trayIcon().has_value());
    struct stat st {};
    EXPECT_NE(::stat(socketPath().c_str(), &st), 0) << "socket left behind";
    EXPECT_TRUE(driver_->keyboardIsFree());
}

}  // namespace
}  // namespace quorix::e2e
