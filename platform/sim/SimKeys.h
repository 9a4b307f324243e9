#pragma once
// The US-layout table that maps typed characters to key presses, and the
// compact key names of the journal ("⌘A", "⏎", "→", "c").

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/KeyCodes.h"

namespace quorix::platform::simkeys {

// The keyboard port's codes and flags (platform/KeyCodes.h), reachable as
// simkeys::kReturn, simkeys::kCommand, ...
using namespace quorix::keys;

// Key code of characters the layout has no key for (they still insert text).
inline constexpr uint16_t kGeneric = 0xFFFF;

struct KeyStroke {
    uint16_t keyCode = kGeneric;
    uint64_t flags = 0;
};

// The key press that types one character (a grapheme) on a US layout:
// letters, digits, space, ASCII punctuation (Shift where needed), '\n' as
// Shift+Return. Anything else is kGeneric without flags.
KeyStroke strokeFor(std::string_view character);

// The text a key press inserts: the character of a layout key, shifted when
// Shift is down; empty for Command/Control/Option combinations and for keys
// that type nothing (Return, arrows, Delete, ...).
std::string textFor(uint16_t keyCode, uint64_t flags);

// "⌃⌥⇧⌘" prefix (in that order) followed by the key's name: letters and other
// layout keys in upper case ("A", "1", ","), "⏎", "⌤" (keypad Enter), "⌫",
// "⌦", "←", "→", "↓", "↑", "⇥", "␣", "⎋", else "key#<code>".
std::string nameFor(uint16_t keyCode, uint64_t flags);

}  // namespace quorix::platform::simkeys
