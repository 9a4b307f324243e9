#pragma once
// Who owns an X selection: the X client behind the owner window, recognised
// by the bits of the window id outside its connection's resource mask (every
// window a client creates shares them), and that client's top-level windows
// that carry _NET_WM_PID.

#include <cstdint>

typedef struct _XDisplay Display;
typedef unsigned long Atom;

namespace quorix::platform {

class X11SelectionOwner {
  public:
    // Whether the owner of `selection` is the client of a top-level window
    // (or a window managed inside a frame) whose _NET_WM_PID is pid. False
    // when the selection has no owner or no such window exists.
    static bool isOwnedByPid(Display* d, Atom selection, int32_t pid);
};

}  // namespace quorix::platform
