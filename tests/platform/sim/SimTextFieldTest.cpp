#include "platform/sim/SimTextField.h"

#include <gtest/gtest.h>

namespace quorix::platform {
namespace {

TEST(SimTextField, TypingReplacesTheSelectionAndLeavesTheCaretAfterTheInsert) {
    SimTextField f("ciao mondo");
    EXPECT_EQ(f.selection().location, 10);
    f.setSelection(5, 5);
    EXPECT_EQ(f.selectedText(), "mondo");
    f.insert("tutti");
    EXPECT_EQ(f.text(), "ciao tutti");
    EXPECT_EQ(f.selection().location, 10);
    EXPECT_EQ(f.selection().length, 0);
    f.setSelection(0);
    f.insert("Oh, ");
    EXPECT_EQ(f.text(), "Oh, ciao tutti");
    EXPECT_EQ(f.selection().location, 4);
}

TEST(SimTextField, SelectAllThenMovesAndDeletes) {
    SimTextField f("abc");
    f.selectAll();
    EXPECT_EQ(f.selectedText(), "abc");
    f.moveRight();  // collapses to the end, does not move further
    EXPECT_EQ(f.selection().location, 3);
    EXPECT_EQ(f.selection().length, 0);
    f.setSelection(1, 1);
    f.moveLeft();  // collapses to the start
    EXPECT_EQ(f.selection().location, 1);
    f.deleteBackward();
    EXPECT_EQ(f.text(), "bc");
    f.deleteForward();
    EXPECT_EQ(f.text(), "c");
    f.deleteBackward();  // at the start: nothing to delete
    EXPECT_EQ(f.text(), "c");
    f.selectAll();
    f.deleteBackward();
    EXPECT_TRUE(f.empty());
}

TEST(SimTextField, RangesAreUtf16UnitsAndCaretStepsOverWholeCharacters) {
    // 😀 is a surrogate pair; 👍🏽 is two code points, four units, one character.
    SimTextField f("a😀b👍🏽");
    EXPECT_EQ(f.length(), 1 + 2 + 1 + 4);
    f.setSelection(0);
    f.moveRight();
    f.moveRight();
    EXPECT_EQ(f.selection().location, 3);
    f.moveRight();
    f.moveRight();
    EXPECT_EQ(f.selection().location, 8);
    f.deleteBackward();
    EXPECT_EQ(f.text(), "a😀b");
    f.setSelection(1, 2);
    EXPECT_EQ(f.selectedText(), "😀");
    // Offsets inside a character widen to the whole character.
    f.setSelection(2, 1);
    EXPECT_EQ(f.selection().location, 1);
    EXPECT_EQ(f.selection().length, 2);
    f.deleteBackward();
    EXPECT_EQ(f.text(), "ab");
}

TEST(SimTextField, SetTextPutsTheCaretAtTheEndAndTakeEmpties) {
    SimTextField f;
    f.setText("ciao 👋");
    EXPECT_EQ(f.selection().location, f.length());
    f.setSelection(100, 100);  // clamped
    EXPECT_EQ(f.selection().location, f.length());
    EXPECT_EQ(f.selection().length, 0);
    EXPECT_EQ(f.take(), "ciao 👋");
    EXPECT_TRUE(f.empty());
    EXPECT_EQ(f.selection().location, 0);
}

}  // namespace
}  // namespace quorix::platform
