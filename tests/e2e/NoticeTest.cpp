// The floating notice of the tray application on a private desktop with a
// window manager (openbox) and a compositor (xcompmgr): a correction typed
// into zenity shows the notice, which never takes the focus, lets typing
// after the send land in the next zenity, and leaves on its own timer. The
// correction comes from a loopback cloud endpoint that takes its time, so
// that the working state is on screen long enough to be looked at.
#include <httplib.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <optional>
#include <thread>

#include "DaemonFixture.h"

// Xlib after GoogleTest: its macros (None, True) clash with gtest names.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace quorix::e2e {
namespace {

using namespace std::chrono_literals;

const std::string kQuorix = std::string(QUORIX_BINARY_DIR) + "/cli/quorix";
constexpr auto kCloudDelay = 1500ms;

// The cloud correction endpoint on a free loopback port: every text comes
// back as `corrected` after kCloudDelay.
class SlowCloud {
  public:
    explicit SlowCloud(std::string corrected) : corrected_(std::move(corrected)) {
        server_.Post("/v1/correct", [this](const httplib::Request&, httplib::Response& response) {
            std::this_thread::sleep_for(kCloudDelay);
            response.set_content(nlohmann::json{{"correctedText", corrected_}}.dump(),
                                 "application/json");
        });
        port_ = server_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_.listen_after_bind(); });
    }
    ~SlowCloud() {
        server_.stop();
        thread_.join();
    }
    std::string url() const { return "http://127.0.0.1:" + std::to_string(port_) + "/v1/correct"; }

  private:
    std::string corrected_;
    httplib::Server server_;
    int port_ = 0;
    std::thread thread_;
};

class NoticeTest : public DaemonFixture {
  protected:
    void SetUp() override {
        DaemonFixture::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        for (const char* tool : {"/usr/bin/openbox", "/usr/bin/xcompmgr", "/usr/bin/trayer"}) {
            if (::access(tool, X_OK) != 0)
                GTEST_SKIP() << tool << " is needed";
        }
        x_ = XOpenDisplay(desktop_->display().c_str());
        ASSERT_NE(x_, nullptr);
        desktop_->start("openbox", {"openbox", "--sm-disable"});
        desktop_->start("xcompmgr", {"xcompmgr"});
        desktop_->start("trayer", {"trayer", "--edge", "top", "--align", "right", "--widthtype",
                                   "request", "--height", "24", "--SetDockType", "true"});
        writeConfiguration();
        const std::filesystem::path config =
            std::filesystem::path(desktop_->home()) / ".config/penwarden/config.json";
        nlohmann::json settings = nlohmann::json::parse(readFile(config.string()));
        settings["cloudProxyURL"] = cloud_.url();
        std::ofstream(config) << settings.dump(2);
        const Atom cm = XInternAtom(x_, "_NET_WM_CM_S0", False);
        ASSERT_TRUE(waitUntil([&] { return XGetSelectionOwner(x_, cm) != 0; }, 10s))
            << "xcompmgr did not take the compositor selection";
    }
    void TearDown() override {
        if (x_ != nullptr)
            XCloseDisplay(x_);
        DaemonFixture::TearDown();
    }

    // The notice: the application's viewable 840 × 175 top-level window.
    Window notice() {
        Window root = 0, parent = 0, *children = nullptr;
        unsigned count = 0;
        Window found = 0;
        if (XQueryTree(x_, DefaultRootWindow(x_), &root, &parent, &children, &count) == 0)
            return 0;
        for (unsigned i = 0; i < count && found == 0; ++i) {
            XWindowAttributes a{};
            XClassHint hint{};
            if (XGetWindowAttributes(x_, children[i], &a) && a.map_state == IsViewable &&
                a.width == 840 && a.height == 175 && XGetClassHint(x_, children[i], &hint)) {
                if (std::string(hint.res_class) == "quorix")
                    found = children[i];
                XFree(hint.res_name);
                XFree(hint.res_class);
            }
        }
        if (children)
            XFree(children);
        return found;
    }
    // Whether the focus lies in pid's window (the WM frame around it counts).
    bool focusIsIn(pid_t pid) {
        const Window client = driver_->windowOf(pid);
        Window focus = 0;
        int revert = 0;
        XGetInputFocus(x_, &focus, &revert);
        if (client == 0 || focus == 0)
            return false;
        if (focus == client)
            return true;
        // GTK may focus a child of its window.
        Window w = focus;
        while (w != 0 && w != DefaultRootWindow(x_)) {
            Window root = 0, parent = 0, *children = nullptr;
            unsigned count = 0;
            if (XQueryTree(x_, w, &root, &parent, &children, &count) == 0)
                return false;
            if (children)
                XFree(children);
            if (parent == client)
                return true;
            w = parent;
        }
        return false;
    }

    Display* x_ = nullptr;
    SlowCloud cloud_{"ciao caro amico"};
};

TEST_F(NoticeTest, ShowsWithoutTakingFocusAndLeavesOnItsTimer) {
    // The second dialog waits behind the first; it gets the focus when the
    // first one's message has left.
    const pid_t next = startEntry(true, "zenity2");
    const pid_t first = startEntry(true, "zenity");
    desktop_->start("daemon", {kQuorix});
    ASSERT_TRUE(waitForLog("[App] Quorix avviato", 60s)) << daemonLog();
    ASSERT_TRUE(focusWindowOf(first));

    // A word no local list knows: the correction waits for the cloud.
    driver_->type("ciao xqzwj amico");
    driver_->stroke("Return");
    Window pill = 0;
    ASSERT_TRUE(waitUntil([&] { return (pill = notice()) != 0; }, 20s, 5ms))
        << "the notice never showed";
    const auto shownAt = std::chrono::steady_clock::now();
    EXPECT_TRUE(focusIsIn(first)) << "the notice took the focus";
    ASSERT_TRUE(waitUntil([&] { return !desktop_->outputOf("zenity").empty(); }, 20s));
    EXPECT_EQ(desktop_->outputOf("zenity"), "ciao caro amico\n");

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
