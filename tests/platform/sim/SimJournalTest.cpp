#include "platform/sim/SimJournal.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SimTestSupport.h"

namespace quorix::platform::testing {
namespace {

using Lines = std::vector<std::string>;

TEST(SimJournal, FiltersAmendsClearsAndFormats) {
    dispatch::VirtualClock clock;
    SimJournal j(clock);
    j.record("pb.set", SimJournal::quote("a \"b\"\\\n"));
    clock.advance(1500us);
    const auto id = j.record("key", "x");
    j.record("notice", "show");
    j.amend(id, "x swallow");
    EXPECT_EQ(j.lines({"pb"}), (Lines{"pb.set \"a \\\"b\\\"\\\\\\n\""}));
    EXPECT_EQ(j.lines({"key", "notice"}), (Lines{"key x swallow", "notice show"}));
    EXPECT_EQ(j.timedLines({"key"}), (Lines{"1500us key x swallow"}));
    j.clear();
    j.amend(id, "stale");  // ids of cleared entries are ignored
    j.record("sound", "Pop");
    EXPECT_EQ(j.lines(), (Lines{"sound Pop"}));
    EXPECT_EQ(SimJournal::formatDuration(25ms), "25ms");
    EXPECT_EQ(SimJournal::formatDuration(std::chrono::nanoseconds(12)), "12ns");
}

TEST(SimPasteboard, EveryChangeBumpsTheCountOnce) {
    SimDesktop d;
    auto& pb = d.pasteboard();
    EXPECT_EQ(pb.changeCount(), 0);
    EXPECT_EQ(pb.string(), std::nullopt);
    pb.clearContents();
    EXPECT_TRUE(pb.setString("uno"));
    EXPECT_EQ(pb.changeCount(), 2);
    EXPECT_EQ(pb.string(), "uno");
    pb.setNonText("image");
    EXPECT_EQ(pb.changeCount(), 3);
    EXPECT_EQ(pb.string(), std::nullopt);
    pb.setFailing(true);
    EXPECT_FALSE(pb.setString("due"));
    EXPECT_EQ(pb.changeCount(), 3);
    EXPECT_EQ(d.journal().lines(),
              (Lines{"pb.clear", "pb.set \"uno\"", "pb.nontext image", "pb.set failed"}));
}

// A whole correction as the program performs it on an application that hides
// its value: capture by ⌘A ⌘C, paste-based write-back, Return, clipboard
// restore. The journal shows every step with its virtual time.
TEST(SimJournal, RecordsAScriptedCorrectionInOrder) {
    ChatDesktop t;
    auto& d = t.desktop;
    auto& pb = d.pasteboard();
    d.setValueExposure(t.chat.field, ValueExposure::hidden);
    pb.setString("appunti");
    ASSERT_TRUE(d.keyboard().install([](const KeyEvent& e) {
        if (e.userData == k::kSyntheticMarker)
            return KeyDecision::pass;
        return e.keyCode == k::kReturn ? KeyDecision::swallow : KeyDecision::pass;
    }));
    d.typeText("Ciao mnodo");
    d.journal().clear();
    const auto start = d.clock().now();

    ASSERT_TRUE(d.pressKey(k::kReturn));
    const auto previous = pb.string();
    const int64_t count = pb.changeCount();
    postKey(d, k::kA, k::kCommand);
    d.clock().sleepFor(25ms);
    postKey(d, k::kC, k::kCommand);
    for (int polls = 0; pb.changeCount() == count && polls < 12; ++polls)
        d.clock().sleepFor(10ms);
    ASSERT_EQ(pb.string(), "Ciao mnodo");
    d.sounds().play("Pop");
    d.journal().record("notice", "hide \"Ciao mondo\"");
    pb.clearContents();
    pb.setString("Ciao mondo");
    postKey(d, k::kA, k::kCommand);
    d.clock().sleepFor(15ms);
    postKey(d, k::kV, k::kCommand);
    d.clock().sleepFor(25ms);
    postKey(d, k::kReturn);
    d.virtualClock().advance(600ms);
    pb.clearContents();
    pb.setString(*previous);

    EXPECT_EQ(d.journal().lines(), (Lines{"key ⏎ swallow",
                                          "post ⌘A down",
                                          "sleep 6ms",
                                          "post ⌘A up",
                                          "sleep 6ms",
                                          "sleep 25ms",
                                          "post ⌘C down",
                                          "pb.copy \"Ciao mnodo\"",
                                          "sleep 6ms",
                                          "post ⌘C up",
                                          "sleep 6ms",
                                          "sound Pop",
                                          "notice hide \"Ciao mondo\"",
                                          "pb.clear",
                                          "pb.set \"Ciao mondo\"",
                                          "post ⌘A down",
                                          "sleep 6ms",
                                          "post ⌘A up",
                                          "sleep 6ms",
                                          "sleep 15ms",
                                          "post ⌘V down",
                                          "sleep 6ms",
                                          "post ⌘V up",
                                          "sleep 6ms",
                                          "sleep 25ms",
                                          "post ⏎ down",
                                          "send \"Ciao mondo\"",
                                          "sleep 6ms",
                                          "post ⏎ up",
                                          "sleep 6ms",
                                          "pb.clear",
                                          "pb.set \"appunti\""}))
        << d.journal().dump();
    ASSERT_EQ(d.sentMessages().size(), 1u);
    EXPECT_EQ(d.sentMessages()[0].time - start, 12ms + 25ms + 12ms + 12ms + 15ms + 12ms + 25ms);
    EXPECT_EQ(d.journal().timedLines({"pb.set"}).back().substr(0, 6), "725ms ");
    EXPECT_EQ(d.sounds().played(), (Lines{"Pop"}));
    EXPECT_EQ(pb.string(), "appunti");
}

}  // namespace
}  // namespace quorix::platform::testing
