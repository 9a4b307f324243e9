#pragma once
// Text model of one simulated input field: its text and its selection, both in
// UTF-16 units (the unit of accessibility ranges). A collapsed selection is the
// caret. Caret moves and single deletions step over whole characters (extended
// grapheme clusters), so an emoji is never split. Not thread-safe: the desktop
// guards it.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Accessibility.h"

namespace quorix::platform {

class SimTextField {
  public:
    SimTextField() = default;
    // Caret at the end of text.
    explicit SimTextField(std::string_view text);

    std::string text() const;
    const std::u16string& units() const { return units_; }
    int64_t length() const { return static_cast<int64_t>(units_.size()); }
    bool empty() const { return units_.empty(); }

    AXRange selection() const { return {location_, length_}; }
    // Clamps the range into the text and widens it to whole characters.
    void setSelection(int64_t location, int64_t length = 0);
    std::string selectedText() const;

    // Replaces the selection with s; the caret goes after the inserted text.
    void insert(std::string_view s);
    void selectAll();
    // Collapses a selection to its end, else moves the caret one character right.
    void moveRight();
    // Collapses a selection to its start, else moves the caret one character left.
    void moveLeft();
    // Deletes the selection, else the character before the caret.
    void deleteBackward();
    // Deletes the selection, else the character after the caret.
    void deleteForward();
    // Replaces the whole text; the caret goes to the end.
    void setText(std::string_view text);
    // Returns the text and empties the field.
    std::string take();

  private:
    std::vector<int64_t> boundaries() const;  // character starts, then length()
    int64_t previousBoundary(int64_t pos) const;
    int64_t nextBoundary(int64_t pos) const;
    void erase(int64_t from, int64_t to);

    std::u16string units_;
    int64_t location_ = 0;
    int64_t length_ = 0;
};

}  // namespace quorix::platform
