#pragma once
// Hands work to the application's main thread (the thread of the Qt event
// loop) from any thread, without waiting for it.
//
// Unlike a queued QMetaObject::invokeMethod, the closure is handed over under
// the program's own lock and destroyed on the main thread: the calling thread
// never touches it again after posting, so nothing it captured is released
// while the main thread reads it. Closures still pending when the application
// quits are dropped unrun.

#include <functional>

namespace quorix::ui {

void runOnMainThread(std::function<void()> fn);

// Makes the hand-over's receiver on the calling thread, which must be the main
// thread, before any other thread may post. Without it the receiver is made by
// the first caller of runOnMainThread, whatever its thread (enough for tests
// that post from the main thread).
void prepareMainThreadHandOver();

}  // namespace quorix::ui
