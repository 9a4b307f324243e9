// Browser recognition, address bar and toolbar detection, completion lists and
// popup windows, and the display name of the front application.

#include <gtest/gtest.h>

#include "InterceptorFixture.h"

namespace quorix::testing {
namespace {

class BrowserDetectorTest : public InterceptorFixture {
  protected:
    const BrowserDetector& detector() { return interceptor->browser(); }
    platform::RunningApplication front() { return *workspace.frontmostApplication(); }
};

TEST_F(BrowserDetectorTest, BrowsersAreRecognisedBySubstring) {
    // "arc" inside the searcher; chromium and Epiphany are Linux identifiers
    // that no macOS fragment covers.
    for (const char* id : {"ORG.MOZILLA.FIREFOX", "com.example.searcher", "org.gnome.Epiphany"}) {
        EXPECT_TRUE(BrowserDetector::isBrowserApp(id)) << id;
    }
    EXPECT_FALSE(BrowserDetector::isBrowserApp("com.example.chat"));
    EXPECT_FALSE(BrowserDetector::isBrowserApp(std::nullopt));
}

TEST_F(BrowserDetectorTest, AddressBarAndToolbarButNeverATextArea) {
    auto b = platform::addBrowser(desktop, 300, "com.google.Chrome", "Chrome", "Inbox - Gmail");
    EXPECT_FALSE(detector().isBrowserAddressBarOrUI(front()));  // the page's text area

    desktop.focus(b.addressBar);
    EXPECT_TRUE(detector().isBrowserAddressBarOrUI(front()));

    // Described as an address field, wherever it sits.
    const auto italian = desktop.addElement(
        b.webArea, {"AXTextField", std::nullopt, "Cerca o inserisci indirizzo", std::nullopt});
    desktop.focus(italian);
    EXPECT_TRUE(detector().isBrowserAddressBarOrUI(front()));

    // Undescribed control: the climb decides (toolbar yes, web area no).
    const auto button = desktop.addElement(b.toolbar, {"AXButton", {}, {}, {}});
    desktop.focus(button);
    EXPECT_TRUE(detector().isBrowserAddressBarOrUI(front()));
    const auto link = desktop.addElement(b.webArea, {"AXLink", {}, {}, {}});
    desktop.focus(link);
    EXPECT_FALSE(detector().isBrowserAddressBarOrUI(front()));

    // A text area is never the address bar, even inside the toolbar.
    const auto area =
        desktop.addTextField(b.toolbar, "x", {"AXTextArea", std::nullopt, "address", std::nullopt});
    desktop.focus(area);
    EXPECT_FALSE(detector().isBrowserAddressBarOrUI(front()));

    desktop.setHidesFocusedElement(300, true);
    EXPECT_FALSE(detector().isBrowserAddressBarOrUI(front()));
}

TEST_F(BrowserDetectorTest, ClimbStopsAfterFiftyLevels) {
    auto b = platform::addBrowser(desktop, 300, "com.google.Chrome", "Chrome", "t");
    platform::SimNodeId node = b.toolbar;
    for (int i = 0; i < 49; ++i) {
        node = desktop.addElement(node, {"AXGroup", {}, {}, {}});
    }
    desktop.focus(node);  // the toolbar is the 50th level
    EXPECT_TRUE(detector().isBrowserAddressBarOrUI(front()));
    desktop.focus(desktop.addElement(node, {"AXGroup", {}, {}, {}}));  // the 51st
    EXPECT_FALSE(detector().isBrowserAddressBarOrUI(front()));
}

TEST_F(BrowserDetectorTest, CompletionStateFromFocusTokenAndPopups) {
    auto chat = platform::addChatApp(desktop, 101, "com.example.chat", "Chat", "ciao @mar");
    auto state = detector().checkAutocompleteState(front());
    ASSERT_TRUE(state.has_value());
    EXPECT_TRUE(state->isActive);
    EXPECT_EQ(state->reason, "Menzione: @mar");

    // The caret decides: before the mention, nothing is being completed.
    desktop.setSelection(chat.field, 5);
    EXPECT_FALSE(detector().checkAutocompleteState(front()).has_value());
    // Offsets are UTF-16 units: the caret right after a mention behind an emoji.
    desktop.setText(chat.field, "😀 @an domani");
    desktop.setSelection(chat.field, 6);
    EXPECT_EQ(detector().checkAutocompleteState(front()).value_or(AutocompleteState{}).reason,
              "Menzione: @an");

    // A popup counts only beside another window and for text that may open one.
    desktop.setText(chat.field, "ore 10:30");
    EXPECT_FALSE(detector().checkAutocompleteState(front()).has_value());
    platform::addPopupWindow(desktop, 101, "AXDialog");
    state = detector().checkAutocompleteState(front());
    ASSERT_TRUE(state.has_value());
    EXPECT_EQ(state->reason, "Finestra popup/tendina attiva (AXDialog)");
    desktop.setText(chat.field, "ciao a tutti");
    EXPECT_FALSE(detector().checkAutocompleteState(front()).has_value());

    // List-like focus is an open list.
    desktop.focus(desktop.addElement(chat.window, {"AXMenuItem", {}, {}, {}}));
    EXPECT_EQ(detector().checkAutocompleteState(front()).value_or(AutocompleteState{}).reason,
              "Focus su tendina/lista (AXMenuItem)");

    // A lone popup window is no list.
    desktop.addApplication({400, "com.example.palette", "Palette", false});
    desktop.focus(
        desktop.addTextField(desktop.addWindow(400, "p", "AXFloatingWindow"), "ore 10:30"));
    desktop.activate(400);
    EXPECT_FALSE(detector().checkAutocompleteState(front()).has_value());
}

TEST_F(BrowserDetectorTest, DisplayNameNamesTheWebApplication) {
    auto b = platform::addBrowser(desktop, 300, "com.google.Chrome", "Chrome", "Inbox - Gmail");
    EXPECT_EQ(detector().resolveDisplayName(front()), "Gmail");
    desktop.withWorld([&](platform::SimWorld& w) { w.node(b.window)->title = "Meet - WhatsApp"; });
    EXPECT_EQ(detector().resolveDisplayName(front()), "Google Meet");  // first row wins
    desktop.withWorld([&](platform::SimWorld& w) { w.node(b.window)->title.reset(); });
    EXPECT_EQ(detector().resolveDisplayName(front()), AppConfig::normalizeAppName("Chrome"));

    platform::RunningApplication unnamed{999, "com.example.chat", std::nullopt};
    EXPECT_EQ(detector().resolveDisplayName(unnamed), "Altro");
}

}  // namespace
}  // namespace quorix::testing
