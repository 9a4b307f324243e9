#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "SimTestSupport.h"

namespace quorix::platform::testing {
namespace {

// The desktop as the program uses it: the main thread types through a hook
// whose handler reads accessibility (re-entering the desktop), a precheck
// thread reads the focused field, a pipeline thread writes it and posts keys.
TEST(SimDesktopConcurrency, MainPrecheckAndPipelineThreadsAtOnce) {
    ChatDesktop t;
    auto& d = t.desktop;
    auto& ax = d.accessibility();
    std::atomic<int> handlerReads{0};
    ASSERT_TRUE(d.keyboard().install([&](const KeyEvent& e) {
        if (e.userData == k::kSyntheticMarker) {
            return KeyDecision::pass;
        }
        handlerReads +=
            ax.copyAttribute(ax.applicationElement(t.chat.pid), "AXFocusedUIElement").ok();
        return e.keyCode == k::kReturn ? KeyDecision::swallow : KeyDecision::pass;
    }));

    constexpr int kRounds = 200;
    std::thread main([&] {
        for (int i = 0; i < kRounds; ++i) {
            d.typeText("ab");
            d.pressKey(k::kReturn);  // swallowed by the hook
        }
    });
    std::thread precheck([&] {
        for (int i = 0; i < kRounds; ++i) {
            const AXResult focused =
                ax.copyAttribute(ax.applicationElement(t.chat.pid), "AXFocusedUIElement");
            if (const auto* e = std::get_if<AXElementRef>(&focused.value)) {
                ax.copyAttribute(*e, "AXValue");
                ax.copyAttribute(*e, "AXSelectedTextRange");
            }
            d.frontmostApplication();
        }
    });
    std::thread pipeline([&] {
        const AXElementRef field = ax.element(t.chat.field);
        for (int i = 0; i < kRounds; ++i) {
            ax.setAttribute(field, "AXValue", "msg" + std::to_string(i));
            d.pasteboard().setString("clip");
            postKey(d, k::kReturn);
            d.sounds().play("Pop");
        }
    });
    for (auto* th : {&main, &precheck, &pipeline}) {
        th->join();
    }

    EXPECT_EQ(handlerReads.load(), kRounds * 3);
    // Every message left whole: a value the pipeline set, or the user's letters.
    EXPECT_GE(d.sentMessages().size(), 1u);
    for (const auto& m : d.sentMessages()) {
        EXPECT_TRUE(m.text.rfind("msg", 0) == 0 ||
                    m.text.find_first_not_of("ab") == std::string::npos)
            << m.text;
    }
    EXPECT_EQ(d.journal().lines({"post"}).size(), static_cast<std::size_t>(kRounds * 2));
    EXPECT_EQ(d.sounds().played().size(), static_cast<std::size_t>(kRounds));
}

}  // namespace
}  // namespace quorix::platform::testing
