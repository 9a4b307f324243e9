#pragma once
// The main queue is a port: the shell's event loop in the desktop application,
// a run-loop thread when headless, a test-driven queue in tests. It is a
// dispatch::Queue whose closures all run on the one main thread, in order.

#include "core/dispatch/Queue.h"

namespace quorix::platform {

using MainQueue = dispatch::Queue;

}  // namespace quorix::platform
