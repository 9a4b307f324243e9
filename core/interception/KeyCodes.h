#pragma once
// The key vocabulary of the interception flow: the keyboard port's codes and
// flags (platform/KeyCodes.h) plus the masks the routing decides on.

#include <cstdint>

#include "platform/KeyCodes.h"

namespace quorix::keys {

// Control, Option, Command (Shift excluded).
inline constexpr uint64_t kRoutingMask = kControl | kOption | kCommand;
static_assert(kRoutingMask == 0x1C0000);

}  // namespace quorix::keys
