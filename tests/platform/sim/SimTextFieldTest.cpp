// The simulated desktop's building blocks: the text field and the journal.
#include "platform/sim/SimTextField.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/dispatch/VirtualClock.h"
#include "platform/sim/SimJournal.h"

namespace quorix::platform {
namespace {

using namespace std::chrono_literals;
using Lines = std::vector<std::string>;

TEST(SimTextField, EditsReplaceTheSelectionAndRangesAreUtf16Characters) {
    // 😀 is a surrogate pair; 👍🏽 is two code points, four units, one character.
    SimTextField f("a😀b👍🏽");
    EXPECT_EQ(f.length(), 1 + 2 + 1 + 4);
    f.setSelection(0);
    f.moveRight();
    f.moveRight();
    EXPECT_EQ(f.selection().location, 3);
    f.setSelection(3, 5);
    f.insert("b");  // replaces the selection, caret after the insert
    EXPECT_EQ(f.text(), "a😀b");
    EXPECT_EQ(f.selection().location, 4);
    // Offsets inside a character widen to the whole character.
    f.setSelection(2, 1);
    EXPECT_EQ(f.selection().location, 1);
    EXPECT_EQ(f.selection().length, 2);
    f.deleteBackward();
    EXPECT_EQ(f.text(), "ab");
    f.setSelection(100, 100);  // clamped
    EXPECT_EQ(f.selection().location, 2);
}

TEST(SimJournal, FiltersAmendsClearsAndQuotes) {
    dispatch::VirtualClock clock;
    SimJournal j(clock);
    j.record("pb.set", SimJournal::quote("a \"b\"\\\n"));
    clock.advance(1500us);
    const auto id = j.record("key", "x");
    j.amend(id, "x swallow");
    EXPECT_EQ(j.lines({"pb"}), (Lines{"pb.set \"a \\\"b\\\"\\\\\\n\""}));
    EXPECT_EQ(j.timedLines({"key"}), (Lines{"1500us key x swallow"}));
    j.clear();
    j.amend(id, "stale");  // ids of cleared entries are ignored
    j.record("sound", "Pop");
    EXPECT_EQ(j.lines(), (Lines{"sound Pop"}));
}

}  // namespace
}  // namespace quorix::platform
