// The AT-SPI adapter against a real GTK application (zenity) on a private
// headless desktop.

#include "platform/linux/AtspiAccessibility.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <iostream>
#include <map>
#include <memory>

#include "DesktopDriver.h"
#include "HeadlessDesktop.h"

namespace quorix::e2e {
namespace {

using namespace std::chrono_literals;
using platform::AtspiAccessibility;
using platform::AXElementRef;
using platform::AXError;
using platform::AXRange;

std::string stringOf(const platform::AXResult& r) {
    const auto* s = std::get_if<std::string>(&r.value);
    return r.ok() && s ? *s : "<" + std::to_string(static_cast<int>(r.error)) + ">";
}

class AtspiAccessibilityTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (auto missing = HeadlessDesktop::missingTools(); !missing.empty()) {
            GTEST_SKIP() << "no headless desktop here: " << missing;
        }
        if (!AtspiAccessibility::canConnectInThisProcess()) {
            GTEST_SKIP() << "libatspi connects once per process; ctest runs each case alone";
        }
        desktop_ = std::make_unique<HeadlessDesktop>();
        ASSERT_TRUE(desktop_->ok()) << desktop_->error();
        // The adapter runs in this process: it joins the desktop's buses.
        for (const auto& [key, value] : desktop_->environment()) {
            saved_.emplace_back(key, std::getenv(key.c_str()) ? std::getenv(key.c_str()) : "");
            put(key, value);
        }
        driver_ = std::make_unique<DesktopDriver>(desktop_->display());
        ASSERT_TRUE(driver_->ok());
    }

    void TearDown() override {
        ax_.reset();
        if (HasFailure() && desktop_) {
            std::cerr << desktop_->logTails();
        }
        driver_.reset();
        desktop_.reset();
        for (const auto& [key, value] : saved_) {
            put(key, value);
        }
    }
    // Sets a variable of this process; an empty value removes it.
    static void put(const std::string& key, const std::string& value) {
        value.empty() ? unsetenv(key.c_str()) : setenv(key.c_str(), value.c_str(), 1);
    }

    // Starts zenity's entry dialog and gives it the focus.
    pid_t startEntry(const std::vector<std::string>& extraArgs = {},
                     const std::string& name = "zenity",
                     const std::map<std::string, std::string>& env = {}) {
        std::vector<std::string> argv = {"zenity", "--entry", "--title=Chat", "--text=Messaggio"};
        argv.insert(argv.end(), extraArgs.begin(), extraArgs.end());
        const pid_t pid = desktop_->start(name, argv, env).pid();
        unsigned long window = 0;
        EXPECT_TRUE(waitUntil([&] { return (window = driver_->windowOf(pid)) != 0; }, 20s));
        EXPECT_TRUE(window != 0 && driver_->focus(window));
        return pid;
    }

    AXElementRef waitForFocus(pid_t pid) {
        AXElementRef focused;
        waitUntil(
            [&] {
                auto r = ax_->copyAttribute(ax_->applicationElement(pid), "AXFocusedUIElement");
                if (const auto* e = std::get_if<AXElementRef>(&r.value); r.ok() && e) {
                    focused = *e;
                }
                return focused != nullptr;
            },
            20s, 50ms);
        return focused;
    }

    std::unique_ptr<HeadlessDesktop> desktop_;
    std::unique_ptr<DesktopDriver> driver_;
    std::unique_ptr<AtspiAccessibility> ax_;
    std::vector<std::pair<std::string, std::string>> saved_;
};

// A GTK dialog's entry read and set, its window and parents; a password
// field; an application without accessibility.
TEST_F(AtspiAccessibilityTest, ReadsAndSetsTheFocusedEntryButNoPasswordOrSilentApplication) {
    const pid_t pid = startEntry({"--entry-text=ciao cge fai"});
    std::vector<std::string> logged;
    AtspiAccessibility::Options options;
    options.log = [&](const std::string& line) { logged.push_back(line); };
    ax_ = std::make_unique<AtspiAccessibility>(options);
    ASSERT_TRUE(ax_->isBusConnected());
    EXPECT_TRUE(logged.empty());
    EXPECT_TRUE(ax_->isProcessTrusted());

    const AXElementRef field = waitForFocus(pid);
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(stringOf(ax_->copyAttribute(field, "AXRole")), "AXTextField");
    EXPECT_EQ(stringOf(ax_->copyAttribute(field, "AXValue")), "ciao cge fai");

    // UTF-16 units: the emoji counts two, the accented letter one.
    const std::string corrected = "ciao che fai, così 😀";
    EXPECT_EQ(ax_->setAttribute(field, "AXValue", corrected), AXError::success);
    EXPECT_EQ(stringOf(ax_->copyAttribute(field, "AXValue")), corrected);
    const auto range = ax_->copyAttribute(field, "AXSelectedTextRange");
    ASSERT_TRUE(range.ok());
    const auto caret = std::get<AXRange>(range.value);
    EXPECT_EQ(caret.location, 21);
    EXPECT_EQ(caret.length, 0);

    // The window the field lives in is reachable both ways.
    const auto app = ax_->applicationElement(pid);
    const auto windows = ax_->copyAttribute(app, "AXWindows");
    ASSERT_TRUE(windows.ok());
    ASSERT_EQ(std::get<std::vector<AXElementRef>>(windows.value).size(), 1u);
    const auto window = std::get<std::vector<AXElementRef>>(windows.value).front();
    EXPECT_EQ(stringOf(ax_->copyAttribute(window, "AXSubrole")), "AXDialog");
    EXPECT_EQ(stringOf(ax_->copyAttribute(window, "AXTitle")), "Chat");
    EXPECT_TRUE(ax_->copyAttribute(app, "AXFocusedWindow").ok());

    int levels = 0;
    AXElementRef level = field;
    std::string role;
    while (level && levels < 50 && role != "AXApplication") {
        role = stringOf(ax_->copyAttribute(level, "AXRole"));
        auto parent = ax_->copyAttribute(level, "AXParent");
        const auto* next = std::get_if<AXElementRef>(&parent.value);
        level = parent.ok() && next ? *next : nullptr;
        ++levels;
    }
    EXPECT_EQ(role, "AXApplication") << "after " << levels << " levels";

    // A password field exposes no text.
    const AXElementRef secret =
        waitForFocus(startEntry({"--hide-text", "--entry-text=segreto"}, "secret"));
    ASSERT_NE(secret, nullptr);
    EXPECT_EQ(stringOf(ax_->copyAttribute(secret, "AXSubrole")), "AXSecureTextField");
    EXPECT_EQ(ax_->copyAttribute(secret, "AXValue").error, AXError::attributeUnsupported);
    EXPECT_EQ(ax_->copyAttribute(secret, "AXSelectedTextRange").error,
              AXError::attributeUnsupported);
    EXPECT_EQ(ax_->setAttribute(secret, "AXValue", "x"), AXError::attributeUnsupported);

    // An application that does not join the bus has no focused element; our
    // own process is never asked anything.
    const pid_t silent = startEntry({}, "silent", {{"NO_AT_BRIDGE", "1"}});
    EXPECT_FALSE(ax_->copyAttribute(ax_->applicationElement(silent), "AXFocusedUIElement").ok());
    EXPECT_EQ(ax_->applicationElement(static_cast<int32_t>(getpid())), nullptr);
}

// No event listener is registered with the accessibility registry (while one
// is, toolkits hold every key until the registry answered about it), so the
// focus moving inside an application is found by asking, not by being told.
TEST_F(AtspiAccessibilityTest, FollowsTheFocusWithoutListeningToEvents) {
    const pid_t pid = desktop_
                          ->start("forms", {"zenity", "--forms", "--title=Chat", "--add-entry=Uno",
                                            "--add-entry=Due"})
                          .pid();
    unsigned long window = 0;
    ASSERT_TRUE(waitUntil([&] { return (window = driver_->windowOf(pid)) != 0; }, 20s));
    ASSERT_TRUE(driver_->focus(window));
    ax_ = std::make_unique<AtspiAccessibility>(AtspiAccessibility::Options{});
    ASSERT_NE(waitForFocus(pid), nullptr);
    const auto focusedValue = [&] {
        auto r = ax_->copyAttribute(ax_->applicationElement(pid), "AXFocusedUIElement");
        const auto* e = std::get_if<AXElementRef>(&r.value);
        return r.ok() && e ? stringOf(ax_->copyAttribute(*e, "AXValue")) : "<none>";
    };
    driver_->type("uno");
    EXPECT_TRUE(waitUntil([&] { return focusedValue() == "uno"; }, 10s, 20ms)) << focusedValue();
    driver_->stroke("Tab");
    driver_->type("due");
    EXPECT_TRUE(waitUntil([&] { return focusedValue() == "due"; }, 10s, 20ms)) << focusedValue();

    auto& bus = desktop_->start(
        "a11y-address", {"dbus-send", "--session", "--print-reply=literal", "--dest=org.a11y.Bus",
                         "/org/a11y/bus", "org.a11y.Bus.GetAddress"});
    ASSERT_EQ(bus.waitExit(10000), 0);
    std::string address = desktop_->outputOf("a11y-address");
    std::erase_if(address, [](char c) { return c == ' ' || c == '\n'; });
    auto& events = desktop_->start(
        "registered", {"gdbus", "call", "--address", address, "--dest", "org.a11y.atspi.Registry",
                       "--object-path", "/org/a11y/atspi/registry", "--method",
                       "org.a11y.atspi.Registry.GetRegisteredEvents"});
    ASSERT_EQ(events.waitExit(10000), 0) << desktop_->errorsOf("registered");
    const std::string reply = desktop_->outputOf("registered");
    EXPECT_NE(reply.find("@a(ss) []"), std::string::npos) << reply;
}

TEST_F(AtspiAccessibilityTest, WithoutTheBusNothingHasFocusAndTheHintIsLoggedOnce) {
    const pid_t pid = startEntry();
    unsetenv("DBUS_SESSION_BUS_ADDRESS");
    setenv("AT_SPI_BUS_ADDRESS", ("unix:path=" + desktop_->folder() + "/no-bus").c_str(), 1);
    std::vector<std::string> logged;
    AtspiAccessibility::Options options;
    options.log = [&](const std::string& line) { logged.push_back(line); };
    ax_ = std::make_unique<AtspiAccessibility>(options);
    EXPECT_FALSE(ax_->isBusConnected());
    ASSERT_EQ(logged.size(), 1u);
    EXPECT_NE(logged.front().find("QT_LINUX_ACCESSIBILITY_ALWAYS_ON"), std::string::npos);
    const auto app = ax_->applicationElement(pid);
    EXPECT_EQ(ax_->copyAttribute(app, "AXFocusedUIElement").error, AXError::noValue);
    EXPECT_EQ(logged.size(), 1u);
}

}  // namespace
}  // namespace quorix::e2e
