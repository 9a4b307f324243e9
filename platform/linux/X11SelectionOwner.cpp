#include "platform/linux/X11SelectionOwner.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xlibint.h>

namespace quorix::platform {
namespace {

bool hasPid(Display* d, Window window, Atom pidAtom, int32_t pid) {
    Atom type = 0;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    bool match = false;
    if (XGetWindowProperty(d, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &items,
                           &after, &data) == Success &&
        data != nullptr && items == 1 && format == 32) {
        match = static_cast<int32_t>(*reinterpret_cast<unsigned long*>(data)) == pid;
    }
    if (data != nullptr) {
        XFree(data);
    }
    return match;
}

// Searches the children of parent (and, depth allowing, theirs) for a window
// of the client `base` carrying pid.
bool search(Display* d, Window parent, int depth, XID mask, XID base, Atom pidAtom, int32_t pid) {
    Window root = 0, up = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (XQueryTree(d, parent, &root, &up, &children, &count) == 0) {
        return false;
    }
    bool found = false;
    for (unsigned int i = 0; i < count && !found; ++i) {
        if ((children[i] & ~mask) == base) {
            found = hasPid(d, children[i], pidAtom, pid);
        } else if (depth > 0) {
            found = search(d, children[i], depth - 1, mask, base, pidAtom, pid);
        }
    }
    if (children != nullptr) {
        XFree(children);
    }
    return found;
}

}  // namespace

bool X11SelectionOwner::isOwnedByPid(Display* d, Atom selection, int32_t pid) {
    const Window owner = XGetSelectionOwner(d, selection);
    if (owner == None) {
        return false;
    }
    const XID mask = d->resource_mask;
    const Atom pidAtom = XInternAtom(d, "_NET_WM_PID", False);
    return search(d, DefaultRootWindow(d), 1, mask, owner & ~mask, pidAtom, pid);
}

}  // namespace quorix::platform
