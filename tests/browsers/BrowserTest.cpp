// `quorix daemon` with a real browser on the headless desktop: a local chat
// page with a single-line input, a textarea and a contenteditable area, typed
// into on the physical keyboard. Every test asserts exactly which messages
// the page received, in which field, in order, and nothing more.
//
// Built once per browser family (QUORIX_BROWSER_FAMILY); a family whose
// browser is not installed is skipped (`make test-browsers` installs both).

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "BrowserSetup.h"
#include "ChatPageServer.h"
#include "DaemonFixture.h"

namespace quorix::e2e {
namespace {

using namespace std::chrono_literals;
using Message = ChatPageServer::Message;
using Family = BrowserSetup::Family;

const std::string kIntercepted = "Intercettato Invio";
const std::string kCacheHit = "[Cache HIT] Correzione istantanea da cache";
const std::string kAddressBar = "[Browser Barra Indirizzi/Omnibox]";
const std::string kUnreadable = "[Browser] Campo non leggibile";
const std::string kAddressBarText = "ci vedimao";

class BrowserChat : public DaemonFixture, public ::testing::WithParamInterface<BrowserSetup> {
  protected:
    void SetUp() override {
        if (GetParam().executable().empty()) {
            GTEST_SKIP() << GetParam().package()
                         << " is not installed (make test-browsers installs it)";
        }
        DaemonFixture::SetUp();
        if (IsSkipped() || HasFatalFailure()) {
            return;
        }
        page_ = std::make_unique<ChatPageServer>();
        ASSERT_TRUE(page_->ok()) << "no loopback port for the chat page";
    }

    // Opens the page with the caret in field and gives the browser the focus.
    ChildProcess& startBrowser(const std::string& field = "input") {
        const int loads = page_->pageLoads();
        auto& browser = desktop_->start(
            "browser" + std::to_string(++browsers_),
            GetParam().command(desktop_->folder() + "/profile", page_->pageUrl(field)),
            GetParam().environment());
        EXPECT_TRUE(waitUntil([&] { return page_->pageLoads() > loads; }, 60s))
            << "the page did not load";
        EXPECT_TRUE(focusWindowOf(browser.pid())) << "the browser's window did not appear";
        return browser;
    }

    // Types a message, sends it with Return (plus modifiers) and waits until
    // the page received it and the daemon is idle again.
    void send(const std::string& typed, const std::string& modifiers = "") {
        const std::size_t before = page_->messages().size();
        driver_->type(typed);
        driver_->stroke("Return", modifiers, modifiers.empty() ? 8 : 60);
        ASSERT_TRUE(page_->waitForMessages(before + 1)) << "\"" << typed << "\" never arrived";
        ASSERT_TRUE(waitUntilIdle());
    }

    // Ctrl+L, an address under the page's server whose query is a typo, and
    // Return: the browser must navigate to exactly what was typed.
    void navigateFromTheAddressBar() {
        const std::size_t before = page_->navigations().size();
        driver_->stroke("l", "ctrl");
        std::this_thread::sleep_for(300ms);  // the address bar takes the focus
        driver_->type(page_->navigationUrl(kAddressBarText));
        driver_->stroke("Return");
        ASSERT_TRUE(waitUntil([&] { return page_->navigations().size() > before; }, 20s))
            << "the browser did not navigate";
        ASSERT_TRUE(waitUntilIdle());
    }

    bool readable() const { return GetParam().accessible; }

    std::unique_ptr<ChatPageServer> page_;
    int browsers_ = 0;
};

struct FieldCase {
    const char* field;
    const char* typo;
    const char* corrected;
};

// Each field gets its own typo so that its first message is a correction of
// its own and its second one a cache hit.
constexpr FieldCase kFields[] = {
    {"input", "ciao cge fai", "ciao che fai"},
    {"textarea", "ci vedimao stsera", "ci vediamo stasera"},
    {"editable", "graize per tutot", "grazie per tutto"},
};

// In every field: a correction, the same message again (cache hit), a message
// needing no change and the typo sent unchecked with ⌥⏎; then the address
// bar. Where the browser exposes its page to accessibility, corrections are
// made and the address bar is recognised; where it does not, the daemon
// cannot tell a page field from the address bar and lets every Return through.
// Then the browser quits and starts again while the daemon runs: the new
// process is the one asked, so capture stays on accessibility and the address
// bar is still recognised.
TEST_P(BrowserChat, MessagesInEveryFieldAndTheAddressBarAlsoAfterARestart) {
    startDaemon();
    auto& first = startBrowser("input");
    std::vector<Message> expected;
    for (const auto& [field, typo, corrected] : kFields) {
        if (std::string(field) != "input") {
            driver_->stroke("Tab");
        }
        const std::string sent = readable() ? corrected : typo;
        send(typo);
        send(typo);
        send("tutto bene");
        send(typo, "alt");  // Alt held as long as a person holds it
        expected.insert(expected.end(),
                        {{field, sent}, {field, sent}, {field, "tutto bene"}, {field, typo}});
    }
    EXPECT_EQ(page_->messages(), expected);

    navigateFromTheAddressBar();
    EXPECT_EQ(page_->navigations(), std::vector<std::string>{kAddressBarText});
    std::this_thread::sleep_for(500ms);  // a late message would show here
    EXPECT_EQ(page_->messages().size(), expected.size());

    if (readable()) {
        EXPECT_EQ(logCount(kIntercepted), 9u);
        EXPECT_EQ(logCount(kCacheHit), 3u);
        EXPECT_EQ(logCount(kAddressBar), 1u);
    } else {
        EXPECT_EQ(logCount(kIntercepted), 0u);
        EXPECT_EQ(logCount(kUnreadable), 1u) << "the hint is given once";
        return;
    }

    first.stop();
    startBrowser("input");
    send("ciao coem stai");
    EXPECT_EQ(page_->messages().back(), (Message{"input", "ciao come stai"}));
    navigateFromTheAddressBar();
    EXPECT_EQ(page_->navigations(), (std::vector<std::string>{kAddressBarText, kAddressBarText}));
    EXPECT_EQ(logCount(kAddressBar), 2u);
}

#if defined(QUORIX_BROWSER_FAMILY_FIREFOX)
const BrowserSetup kAccessible{Family::firefox, true, "Firefox"};
const BrowserSetup kInaccessible{Family::firefox, false, "FirefoxWithoutAccessibility"};
#else
const BrowserSetup kAccessible{Family::chromium, true, "ChromiumWithRendererAccessibility"};
const BrowserSetup kInaccessible{Family::chromium, false, "Chromium"};
#endif

INSTANTIATE_TEST_SUITE_P(Browser, BrowserChat, ::testing::Values(kAccessible, kInaccessible),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace quorix::e2e
