#include "platform/linux/X11Workspace.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <utility>

#include "core/text/Text.h"
#include "platform/linux/X11Display.h"

namespace quorix::platform {

X11Workspace::X11Workspace(Workspace& files, std::string displayName)
    : files_(files), displayName_(std::move(displayName)) {}

X11Workspace::~X11Workspace() {
    if (display_ != nullptr) {
        XCloseDisplay(display_);
    }
}

std::string X11Workspace::identifierFor(const std::optional<std::string>& applicationId,
                                        const std::string& resName, const std::string& resClass,
                                        const std::function<bool(const std::string&)>& installed) {
    if (applicationId && !applicationId->empty()) {
        return *applicationId;
    }
    for (const std::string& candidate :
         {resClass, text::toLower(resClass), resName, text::toLower(resName)}) {
        if (!candidate.empty() && installed(candidate)) {
            return candidate;
        }
    }
    return text::toLower(resClass.empty() ? resName : resClass);
}

std::optional<std::string> X11Workspace::stringPropertyLocked(unsigned long window,
                                                              const char* name) {
    const Atom atom = XInternAtom(display_, name, True);
    if (atom == None) {
        return std::nullopt;
    }
    Atom type = None;
    int format = 0;
    unsigned long items = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display_, window, atom, 0, 1024, False, AnyPropertyType, &type, &format,
                           &items, &after, &data) != Success) {
        return std::nullopt;
    }
    std::optional<std::string> out;
    if (data != nullptr && format == 8 && items > 0) {
        out.emplace(reinterpret_cast<const char*>(data), items);
    }
    if (data != nullptr) {
        XFree(data);
    }
    return out;
}

unsigned long X11Workspace::activeWindowLocked() {
    const Window root = DefaultRootWindow(display_);
    const Atom active = XInternAtom(display_, "_NET_ACTIVE_WINDOW", True);
    if (active != None) {
        Atom type = None;
        int format = 0;
        unsigned long items = 0;
        unsigned long after = 0;
        unsigned char* data = nullptr;
        Window window = 0;
        if (XGetWindowProperty(display_, root, active, 0, 1, False, XA_WINDOW, &type, &format,
                               &items, &after, &data) == Success &&
            data != nullptr) {
            if (format == 32 && items == 1) {
                window = static_cast<Window>(*reinterpret_cast<const unsigned long*>(data));
            }
            XFree(data);
        }
        if (window != 0) {
            return window;
        }
    }
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(display_, &focus, &revert);
    if (focus == PointerRoot || focus == None || focus == root) {
        // Focus follows the pointer: the top-level window under it.
        Window rootReturn = 0;
        Window child = 0;
        int rx = 0, ry = 0, wx = 0, wy = 0;
        unsigned mask = 0;
        XQueryPointer(display_, root, &rootReturn, &child, &rx, &ry, &wx, &wy, &mask);
        focus = child;
    }
    return focus == None ? 0 : topLevelLocked(focus);
}

unsigned long X11Workspace::topLevelLocked(unsigned long window) {
    // The nearest window carrying WM_CLASS, walking up; else the root's child.
    const Window root = DefaultRootWindow(display_);
    Window current = window;
    Window lastBelowRoot = window;
    for (int depth = 0; depth < 64 && current != 0 && current != root; ++depth) {
        XClassHint hint{};
        if (XGetClassHint(display_, current, &hint) != 0) {
            XFree(hint.res_name);
            XFree(hint.res_class);
            return current;
        }
        Window rootReturn = 0;
        Window parent = 0;
        Window* children = nullptr;
        unsigned count = 0;
        if (XQueryTree(display_, current, &rootReturn, &parent, &children, &count) == 0) {
            break;
        }
        if (children != nullptr) {
            XFree(children);
        }
        lastBelowRoot = current;
        current = parent;
    }
    // A window manager frame: its client is a child carrying WM_CLASS.
    Window rootReturn = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    Window found = lastBelowRoot;
    if (XQueryTree(display_, lastBelowRoot, &rootReturn, &parent, &children, &count) != 0) {
        for (unsigned i = 0; i < count; ++i) {
            XClassHint hint{};
            if (XGetClassHint(display_, children[i], &hint) != 0) {
                XFree(hint.res_name);
                XFree(hint.res_class);
                found = children[i];
                break;
            }
        }
        if (children != nullptr) {
            XFree(children);
        }
    }
    return found;
}

RunningApplication X11Workspace::describeLocked(unsigned long window) {
    RunningApplication app;
    std::string resName;
    std::string resClass;
    XClassHint hint{};
    if (XGetClassHint(display_, window, &hint) != 0) {
        resName = hint.res_name != nullptr ? hint.res_name : "";
        resClass = hint.res_class != nullptr ? hint.res_class : "";
        XFree(hint.res_name);
        XFree(hint.res_class);
    }
    const Atom pidAtom = XInternAtom(display_, "_NET_WM_PID", True);
    if (pidAtom != None) {
        Atom type = None;
        int format = 0;
        unsigned long items = 0;
        unsigned long after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(display_, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format,
                               &items, &after, &data) == Success &&
            data != nullptr) {
            if (format == 32 && items == 1) {
                app.pid = static_cast<int32_t>(*reinterpret_cast<const unsigned long*>(data));
            }
            XFree(data);
        }
    }
    const auto applicationId = stringPropertyLocked(window, "_GTK_APPLICATION_ID");
    if (!resName.empty() || !resClass.empty() || applicationId) {
        app.bundleIdentifier = identifierFor(
            applicationId, resName, resClass,
            [this](const std::string& id) { return files_.applicationPath(id).has_value(); });
    }
    if (app.bundleIdentifier) {
        if (const auto path = files_.applicationPath(*app.bundleIdentifier)) {
            app.localizedName = files_.displayName(*path);
        }
    }
    if (!app.localizedName) {
        auto title = stringPropertyLocked(window, "_NET_WM_NAME");
        if (!title) {
            title = stringPropertyLocked(window, "WM_NAME");
        }
        if (title && !title->empty()) {
            app.localizedName = title;
        } else if (!resClass.empty()) {
            app.localizedName = resClass;
        }
    }
    return app;
}

void X11Workspace::watchLocked(unsigned long window) {
    if (cachedWindow_ != 0 && cachedWindow_ != window) {
        XSelectInput(display_, cachedWindow_, NoEventMask);
    }
    cachedWindow_ = window;
    // Selected before describing, so a change made meanwhile is seen next time.
    XSelectInput(display_, window, StructureNotifyMask | PropertyChangeMask);
}

void X11Workspace::dropStaleLocked() {
    const Atom identity[] = {XInternAtom(display_, "_NET_WM_PID", False), XA_WM_CLASS,
                             XInternAtom(display_, "_GTK_APPLICATION_ID", False)};
    while (XPending(display_) > 0) {
        XEvent event;
        XNextEvent(display_, &event);
        if (event.xany.window != cachedWindow_) {
            continue;
        }
        bool stale = event.type == DestroyNotify;
        if (event.type == PropertyNotify) {
            for (Atom atom : identity) {
                stale = stale || event.xproperty.atom == atom;
            }
        }
        if (stale) {
            cached_.reset();
            if (event.type == DestroyNotify) {
                cachedWindow_ = 0;
            }
        }
    }
}

std::optional<RunningApplication> X11Workspace::frontmostApplication() {
    std::lock_guard lock(mutex_);
    if (display_ == nullptr && !triedOpen_) {
        triedOpen_ = true;
        display_ = X11Display::open(displayName_);
    }
    if (display_ == nullptr) {
        return std::nullopt;
    }
    const unsigned long window = activeWindowLocked();
    // The round trip above has read every event sent before it was answered.
    dropStaleLocked();
    if (window == 0) {
        return std::nullopt;
    }
    if (window != cachedWindow_ || !cached_) {
        watchLocked(window);
        cached_ = describeLocked(window);
    }
    return cached_;
}

std::optional<std::string> X11Workspace::applicationPath(const std::string& bundleIdentifier) {
    return files_.applicationPath(bundleIdentifier);
}
std::optional<std::string> X11Workspace::bundleIdentifier(const std::string& appPath) {
    return files_.bundleIdentifier(appPath);
}
std::string X11Workspace::displayName(const std::string& path) {
    return files_.displayName(path);
}
bool X11Workspace::fileExists(const std::string& path) {
    return files_.fileExists(path);
}
std::optional<std::vector<std::string>> X11Workspace::listFolder(const std::string& path) {
    return files_.listFolder(path);
}
std::vector<std::string> X11Workspace::applicationFolders() {
    return files_.applicationFolders();
}
AppIcon X11Workspace::iconForFile(const std::string& path) {
    return files_.iconForFile(path);
}
std::string X11Workspace::applicationFileExtension() {
    return files_.applicationFileExtension();
}
std::vector<std::string> X11Workspace::applicationCategories(const std::string& bundleIdentifier) {
    return files_.applicationCategories(bundleIdentifier);
}

}  // namespace quorix::platform
