#pragma once
// Apple virtual key codes and event-flag bits as the simulated desktop uses
// them, the US-layout table that maps typed characters to key presses, and the
// compact key names of the journal ("⌘A", "⏎", "→", "c").

#include <cstdint>
#include <string>
#include <string_view>

namespace quorix::platform::simkeys {

inline constexpr uint16_t kA = 0;
inline constexpr uint16_t kZ = 6;
inline constexpr uint16_t kC = 8;
inline constexpr uint16_t kV = 9;
inline constexpr uint16_t kU = 32;
inline constexpr uint16_t kReturn = 36;
inline constexpr uint16_t kTab = 48;
inline constexpr uint16_t kSpace = 49;
inline constexpr uint16_t kDelete = 51;
inline constexpr uint16_t kEscape = 53;
inline constexpr uint16_t kKeypadEnter = 76;
inline constexpr uint16_t kForwardDelete = 117;
inline constexpr uint16_t kLeftArrow = 123;
inline constexpr uint16_t kRightArrow = 124;
inline constexpr uint16_t kDownArrow = 125;
inline constexpr uint16_t kUpArrow = 126;
// Key code of characters the layout has no key for (they still insert text).
inline constexpr uint16_t kGeneric = 0xFFFF;

inline constexpr uint64_t kShift = 0x20000;
inline constexpr uint64_t kControl = 0x40000;
inline constexpr uint64_t kOption = 0x80000;
inline constexpr uint64_t kCommand = 0x100000;

// The value the program writes into the user-data field of the events it posts.
inline constexpr int64_t kSyntheticMarker = 2882343476;  // 0xABCD1234

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
