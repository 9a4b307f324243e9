#pragma once
// Apple virtual key codes and event-flag masks: the vocabulary of key events in
// the core. Adapters translate their native events into these.

#include <cstdint>

namespace quorix::keys {

inline constexpr uint16_t kA = 0;
inline constexpr uint16_t kC = 8;
inline constexpr uint16_t kV = 9;
inline constexpr uint16_t kZ = 6;
inline constexpr uint16_t kU = 32;
inline constexpr uint16_t kReturn = 36;
inline constexpr uint16_t kKeypadEnter = 76;
inline constexpr uint16_t kComma = 43;
inline constexpr uint16_t kPeriod = 47;
inline constexpr uint16_t kSpace = 49;
inline constexpr uint16_t kDelete = 51;
inline constexpr uint16_t kEscape = 53;
inline constexpr uint16_t kForwardDelete = 117;
inline constexpr uint16_t kLeftArrow = 123;
inline constexpr uint16_t kRightArrow = 124;
inline constexpr uint16_t kDownArrow = 125;
inline constexpr uint16_t kUpArrow = 126;

inline constexpr uint64_t kShift = 0x20000;
inline constexpr uint64_t kControl = 0x40000;
inline constexpr uint64_t kOption = 0x80000;
inline constexpr uint64_t kCommand = 0x100000;
// Control, Option, Command (Shift excluded).
inline constexpr uint64_t kRoutingMask = 0x1C0000;

// Written into the source user-data field of every key the program posts.
inline constexpr int64_t kSyntheticMarker = 2882343476;  // 0xABCD1234

}  // namespace quorix::keys
