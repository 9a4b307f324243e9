#pragma once
// The generator's keyboard is the layout the on-device error model uses too.

#include "core/knowledge/KeyboardLayout.h"

namespace quorix::typogen {

using Keyboard = quorix::KeyboardLayout;

}  // namespace quorix::typogen
