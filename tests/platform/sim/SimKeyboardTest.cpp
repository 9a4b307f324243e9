#include "platform/sim/SimKeyboard.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SimTestSupport.h"

namespace quorix::platform::testing {
namespace {

using Lines = std::vector<std::string>;

TEST(SimKeyboard, TypingEditsTheFieldCommandKeysUseThePasteboardAndReturnSends) {
    ChatDesktop t;
    auto& d = t.desktop;
    auto& pb = d.pasteboard();
    d.pressKey(k::kA, k::kCommand);
    d.pressKey(k::kC, k::kCommand);  // empty selection: the pasteboard is untouched
    EXPECT_EQ(pb.changeCount(), 0);
    d.typeText("buongiorno è");
    d.pressKey(k::kDelete);
    d.pressKey(k::kA, k::kCommand);
    d.pressKey(k::kC, k::kCommand);
    EXPECT_EQ(pb.string(), "buongiorno ");
    d.setSelection(t.chat.field, 4, 7);
    EXPECT_TRUE(pb.setString("sera\nok"));
    EXPECT_EQ(pb.changeCount(), 2);
    d.pressKey(k::kV, k::kCommand);
    d.virtualClock().advance(2s);
    d.pressKey(k::kReturn);
    EXPECT_EQ(d.text(t.chat.field), "");
    d.typeText("  ");
    d.pressKey(k::kKeypadEnter);  // a blank field sends nothing
    const auto sent = d.sentMessages();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].text, "buonsera\nok");
    EXPECT_EQ(sent[0].pid, 101);
    EXPECT_EQ(sent[0].time, d.virtualClock().now());
}

// Posted keys carry their marker and, posted from inside the handler, reach the
// hook only after it returned.
TEST(SimKeyboard, HookSeesPostedKeysMarkedAndAfterItReturns) {
    ChatDesktop t;
    auto& d = t.desktop;
    int depth = 0;
    int maxDepth = 0;
    std::vector<KeyEvent> seen;
    ASSERT_TRUE(d.keyboard().install([&](const KeyEvent& e) {
        maxDepth = std::max(maxDepth, ++depth);
        seen.push_back(e);
        auto decision = KeyDecision::pass;
        if (e.userData != k::kSyntheticMarker && e.keyCode == k::kReturn) {
            if (e.flags & k::kOption) {
                postKey(d, k::kReturn);  // the ⌥⏎ bypass: send as typed
            }
            decision = KeyDecision::swallow;
        }
        --depth;
        return decision;
    }));
    d.typeText("hé");
    EXPECT_TRUE(d.pressKey(k::kReturn));
    EXPECT_TRUE(d.sentMessages().empty());
    EXPECT_TRUE(d.pressKey(k::kReturn, k::kOption));
    EXPECT_EQ(maxDepth, 1);
    ASSERT_EQ(seen.size(), 5u);               // key-ups reach no key-down hook
    EXPECT_EQ(seen[1].keyCode, k::kGeneric);  // é has no key on the layout
    EXPECT_EQ(seen[3].userData, 0);
    EXPECT_EQ(seen[4].userData, k::kSyntheticMarker);
    EXPECT_EQ(d.journal().lines({"post", "send"}),
              (Lines{"post ⏎ down", "post ⏎ up", "send \"hé\""}));  // delivered after
}

TEST(SimKeyboard, ReturnConfirmsAnOpenCompletionListInsteadOfSending) {
    ChatDesktop t;
    auto& d = t.desktop;
    d.setCompletesTokens(101, true);
    for (const char* typed : {"ciao @mar", "/giphy"}) {
        d.typeText(typed);
        d.pressKey(k::kReturn);
        EXPECT_EQ(d.text(t.chat.field), typed) << typed;
        d.pressKey(k::kA, k::kCommand);
        d.pressKey(k::kDelete);
    }
    EXPECT_TRUE(d.sentMessages().empty());
    // A finished token or a command followed by text: no list.
    for (const char* typed : {"ciao @mar ", "@anna!", "/giphy gatto"}) {
        d.typeText(typed);
        d.pressKey(k::kReturn);
        EXPECT_EQ(d.text(t.chat.field), "") << typed;
    }
    EXPECT_EQ(d.sentMessages().size(), 3u);
}

}  // namespace
}  // namespace quorix::platform::testing
