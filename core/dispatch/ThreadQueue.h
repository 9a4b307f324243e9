#pragma once
// The headless main queue: a run-loop thread running closures one at a time,
// in order. A SerialQueue is exactly that, so ThreadQueue is an alias; build
// it as ThreadQueue("com.quorix.main", clock) and use isCurrent() to tell the
// main thread.

#include "core/dispatch/SerialQueue.h"

namespace quorix::dispatch {

using ThreadQueue = SerialQueue;

}  // namespace quorix::dispatch
