#include "platform/sim/SimKeyboard.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SimTestSupport.h"

namespace quorix::platform::testing {
namespace {

using Lines = std::vector<std::string>;

TEST(SimKeyboard, TypingEditsTheFocusedFieldAndReturnSendsAndEmptiesIt) {
    ChatDesktop t;
    auto& d = t.desktop;
    EXPECT_EQ(t.workspace.frontmostApplication()->bundleIdentifier, "com.example.chat");
    EXPECT_EQ(d.typeText("Ciao, è"), 0u);
    EXPECT_EQ(d.text(t.chat.field), "Ciao, è");
    d.pressKey(k::kDelete);
    d.typeText("e!\nok");  // ⇧⏎ inserts a line break
    EXPECT_EQ(d.text(t.chat.field), "Ciao, e!\nok");

    d.virtualClock().advance(2s);
    d.pressKey(k::kReturn);
    EXPECT_EQ(d.text(t.chat.field), "");
    const auto sent = d.sentMessages();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].text, "Ciao, e!\nok");
    EXPECT_EQ(sent[0].appName, "Chat");
    EXPECT_EQ(sent[0].pid, 101);
    EXPECT_EQ(sent[0].time, d.virtualClock().now());

    // A blank field sends nothing; keypad Enter sends like Return.
    d.typeText("  ");
    d.pressKey(k::kKeypadEnter);
    d.typeText("x");
    d.pressKey(k::kKeypadEnter);
    ASSERT_EQ(d.sentMessages().size(), 2u);
    EXPECT_EQ(d.sentMessages()[1].text, "  x");
    EXPECT_EQ(d.journal().lines({"send"}), (Lines{"send \"Ciao, e!\\nok\"", "send \"  x\""}));
}

TEST(SimKeyboard, CommandKeysSelectCopyPasteAndArrowCollapses) {
    ChatDesktop t;
    auto& d = t.desktop;
    auto& pb = d.pasteboard();
    d.typeText("buongiorno");
    pb.setString("sera");
    const int64_t count = pb.changeCount();

    d.pressKey(k::kA, k::kCommand);
    EXPECT_EQ(d.selection(t.chat.field).length, 10);
    d.pressKey(k::kC, k::kCommand);
    EXPECT_EQ(pb.changeCount(), count + 1);
    EXPECT_EQ(pb.string(), "buongiorno");

    d.setSelection(t.chat.field, 4, 6);
    pb.setString("sera");
    d.pressKey(k::kV, k::kCommand);
    EXPECT_EQ(d.text(t.chat.field), "buonsera");
    EXPECT_EQ(d.selection(t.chat.field).location, 8);

    d.pressKey(k::kA, k::kCommand);
    d.pressKey(k::kRightArrow);
    EXPECT_EQ(d.selection(t.chat.field).location, 8);
    EXPECT_EQ(d.selection(t.chat.field).length, 0);

    // Option/Control combinations type nothing; ⌘ letters other than A/C/V do nothing.
    d.pressKey(k::kZ, k::kOption);
    d.pressKey(k::kU, k::kControl);
    d.pressKey(k::kZ, k::kCommand);
    EXPECT_EQ(d.text(t.chat.field), "buonsera");
}

TEST(SimKeyboard, CopyChangesNothingWhenIgnoredOrNothingIsSelected) {
    ChatDesktop t;
    auto& d = t.desktop;
    auto& pb = d.pasteboard();
    pb.setNonText();
    const int64_t count = pb.changeCount();

    d.pressKey(k::kA, k::kCommand);
    d.pressKey(k::kC, k::kCommand);  // empty field: empty selection
    EXPECT_EQ(pb.changeCount(), count);

    d.typeText("testo");
    d.setIgnoresCopy(t.chat.pid, true);
    d.pressKey(k::kA, k::kCommand);
    d.pressKey(k::kC, k::kCommand);
    EXPECT_EQ(pb.changeCount(), count);
    EXPECT_EQ(pb.string(), std::nullopt);

    d.pressKey(k::kV, k::kCommand);  // no text on the pasteboard: nothing pasted
    EXPECT_EQ(d.text(t.chat.field), "testo");
}

TEST(SimKeyboard, HookSeesUserKeysUnmarkedAndPostedKeysWithTheirMarker) {
    ChatDesktop t;
    auto& d = t.desktop;
    std::vector<KeyEvent> seen;
    ASSERT_TRUE(d.keyboard().install([&](const KeyEvent& e) {
        seen.push_back(e);
        if (e.userData == k::kSyntheticMarker)
            return KeyDecision::pass;
        return e.keyCode == k::kReturn ? KeyDecision::swallow : KeyDecision::pass;
    }));
    d.typeText("hé");
    EXPECT_TRUE(d.pressKey(k::kReturn));
    EXPECT_TRUE(d.sentMessages().empty());

    postKey(d, k::kReturn);  // key-up reaches no key-down hook
    ASSERT_EQ(d.sentMessages().size(), 1u);
    EXPECT_EQ(d.sentMessages()[0].text, "hé");

    ASSERT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen[0].keyCode, 4);  // h
    EXPECT_EQ(seen[0].userData, 0);
    EXPECT_EQ(seen[1].keyCode, k::kGeneric);  // é has no key on the layout
    EXPECT_EQ(seen[2].keyCode, k::kReturn);
    EXPECT_EQ(seen[3].userData, k::kSyntheticMarker);
    EXPECT_EQ(d.journal().lines({"key", "post", "send"}),
              (Lines{"key h pass", "key é pass", "key ⏎ swallow", "post ⏎ down", "send \"hé\"",
                     "post ⏎ up"}));
}

TEST(SimKeyboard, PostedKeysTheHookSwallowsAreNotApplied) {
    ChatDesktop t;
    auto& d = t.desktop;
    d.typeText("ciao");
    ASSERT_TRUE(d.keyboard().install([](const KeyEvent&) { return KeyDecision::swallow; }));
    d.keyboard().postKeyEvent(k::kReturn, true, 0, 0);
    EXPECT_TRUE(d.sentMessages().empty());
    EXPECT_EQ(d.journal().lines({"post", "hook"}),
              (Lines{"post ⏎ down unmarked", "hook swallowed posted ⏎"}));
}

TEST(SimKeyboard, KeysPostedInsideTheHandlerArriveAfterItReturns) {
    ChatDesktop t;
    auto& d = t.desktop;
    int depth = 0;
    int maxDepth = 0;
    std::vector<int64_t> order;
    ASSERT_TRUE(d.keyboard().install([&](const KeyEvent& e) {
        ++depth;
        maxDepth = std::max(maxDepth, depth);
        order.push_back(e.userData);
        auto decision = KeyDecision::pass;
        if (e.userData != k::kSyntheticMarker && e.keyCode == k::kReturn &&
            (e.flags & k::kOption)) {
            postKey(d, k::kReturn);  // the ⌥⏎ bypass: send as typed
            decision = KeyDecision::swallow;
        }
        --depth;
        return decision;
    }));
    d.typeText("ok");
    EXPECT_TRUE(d.pressKey(k::kReturn, k::kOption));
    EXPECT_EQ(maxDepth, 1);
    EXPECT_EQ(order, (std::vector<int64_t>{0, 0, 0, k::kSyntheticMarker}));
    ASSERT_EQ(d.sentMessages().size(), 1u);
    EXPECT_EQ(d.sentMessages()[0].text, "ok");
}

TEST(SimKeyboard, InstallPostingAndTheirRefusals) {
    ChatDesktop t;
    auto& d = t.desktop;
    auto& kb = d.keyboard();
    d.setProcessTrusted(false);
    EXPECT_FALSE(kb.install([](const KeyEvent&) { return KeyDecision::swallow; }));
    d.setProcessTrusted(true);
    kb.setRefusesHook(true);
    EXPECT_FALSE(kb.install([](const KeyEvent&) { return KeyDecision::swallow; }));
    EXPECT_FALSE(kb.isInstalled());
    kb.setRefusesHook(false);

    ASSERT_TRUE(kb.install([](const KeyEvent&) { return KeyDecision::pass; }));
    // A second install keeps the first handler.
    EXPECT_TRUE(kb.install([](const KeyEvent&) { return KeyDecision::swallow; }));
    EXPECT_FALSE(d.pressKey(k::kA));
    kb.uninstall();
    EXPECT_FALSE(kb.isInstalled());
    kb.uninstall();

    kb.setPostingFails(true);
    EXPECT_FALSE(kb.postKeyEvent(k::kA, true, 0, k::kSyntheticMarker));
    EXPECT_TRUE(d.journal().lines({"post"}).empty());
    EXPECT_EQ(d.text(t.chat.field), "a");
}

TEST(SimKeyboard, KeysGoToTheFrontApplicationOnly) {
    ChatDesktop t;
    auto& d = t.desktop;
    auto other = addChatApp(d, 202, "com.example.other", "Other");
    d.typeText("x");
    EXPECT_EQ(d.text(other.field), "x");
    EXPECT_EQ(d.text(t.chat.field), "");
    d.activate(std::nullopt);
    EXPECT_EQ(t.workspace.frontmostApplication(), std::nullopt);
    d.typeText("y");
    d.activate(t.chat.pid);
    EXPECT_EQ(t.workspace.frontmostApplication()->pid, t.chat.pid);
    d.typeText("z");
    EXPECT_EQ(d.text(other.field), "x");
    EXPECT_EQ(d.text(t.chat.field), "z");
    d.quitApplication(t.chat.pid);
    EXPECT_EQ(t.workspace.frontmostApplication(), std::nullopt);
}

TEST(SimKeyboard, ReturnConfirmsAnOpenCompletionListInsteadOfSending) {
    ChatDesktop t;
    auto& d = t.desktop;
    d.setCompletesTokens(101, true);
    for (const char* typed : {"ciao @mar", "@", "ok #pro", "ok :smi", "/giphy"}) {
        d.typeText(typed);
        d.pressKey(k::kReturn);
        EXPECT_EQ(d.text(t.chat.field), typed) << typed;
        d.pressKey(k::kA, k::kCommand);
        d.pressKey(k::kDelete);
    }
    EXPECT_TRUE(d.sentMessages().empty());

    // A finished token, a lone '#', a mention with punctuation, or a command
    // followed by text: no list.
    for (const char* typed : {"ciao @mar ", "ok #", "@anna!", "/giphy gatto"}) {
        d.typeText(typed);
        d.pressKey(k::kReturn);
        EXPECT_EQ(d.text(t.chat.field), "") << typed;
    }
    EXPECT_EQ(d.sentMessages().size(), 4u);
}

}  // namespace
}  // namespace quorix::platform::testing
