#include "ui/X11Desktop.h"

#include <QGuiApplication>
#include <QWidget>
#include <string>

// Xlib last: its macros (None, Bool, Status) clash with Qt's names.
#include <X11/Xlib.h>
#include <X11/extensions/shape.h>

namespace quorix::ui::X11Desktop {
namespace {

Display* x11Display() {
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        return nullptr;
    }
    auto* native = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return native != nullptr ? native->display() : nullptr;
}

}  // namespace

bool hasCompositor() {
    Display* display = x11Display();
    if (display == nullptr) {
        return true;
    }
    const std::string name = "_NET_WM_CM_S" + std::to_string(DefaultScreen(display));
    const Atom selection = XInternAtom(display, name.c_str(), False);
    return XGetSelectionOwner(display, selection) != 0;
}

void setInputShape(QWidget& window, const QRect& area) {
    Display* display = x11Display();
    if (display == nullptr) {
        return;
    }
    XRectangle rect{static_cast<short>(area.x()), static_cast<short>(area.y()),
                    static_cast<unsigned short>(std::max(0, area.width())),
                    static_cast<unsigned short>(std::max(0, area.height()))};
    XShapeCombineRectangles(display, static_cast<Window>(window.winId()), ShapeInput, 0, 0, &rect,
                            area.isEmpty() ? 0 : 1, ShapeSet, Unsorted);
    XFlush(display);
}

}  // namespace quorix::ui::X11Desktop
