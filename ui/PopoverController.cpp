#include "ui/PopoverController.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>

#include "ui/PopoverPlacement.h"

namespace quorix::ui {

PopoverController::PopoverController(AppConfig& config, PopoverActions actions)
    : config_(config), actions_(std::move(actions)) {}

PopoverController::~PopoverController() {
    window_.hide();
}

bool PopoverController::isShown() const {
    return window_.isVisible();
}

PopoverView* PopoverController::view() const {
    return static_cast<PopoverView*>(window_.content());
}

void PopoverController::togglePopover(const QRect& anchor) {
    if (isShown()) {
        close();
        return;
    }
    // The press on the icon closed the popover (an outside click); the
    // icon's activation that follows must not reopen it.
    if (!anchor.isEmpty() && window_.closedByClickNear(anchor, kReopenGuardMs)) {
        return;
    }
    open(anchor);
}

void PopoverController::close() {
    if (isShown()) {
        window_.close();
    }
}

PopoverActions PopoverController::closingFirst() {
    PopoverActions wrapped = actions_;
    if (actions_.openPreferences) {
        wrapped.openPreferences = [this](PrefsTab tab) {
            close();
            actions_.openPreferences(tab);
        };
    }
    if (actions_.checkForUpdates) {
        wrapped.checkForUpdates = [this] {
            close();
            actions_.checkForUpdates();
        };
    }
    if (actions_.quit) {
        wrapped.quit = [this] {
            close();
            actions_.quit();
        };
    }
    return wrapped;
}

void PopoverController::open(const QRect& anchor) {
    anchor_ = anchor;
    pointer_ = QCursor::pos();
    auto* view = new PopoverView(config_, closingFirst());
    view->setOnResized([this](QSize) { updateSize(); });
    window_.setContent(view);
    place();
    window_.show();
    window_.raise();
    window_.activateWindow();
}

void PopoverController::updateSize() {
    if (!isShown() || view() == nullptr) {
        return;
    }
    if (window_.size() != view()->size()) {
        window_.setFixedSize(view()->size());
        place();
    }
}

void PopoverController::place() {
    const QPoint probe = anchor_.isEmpty() ? pointer_ : anchor_.center();
    QScreen* screen = QGuiApplication::screenAt(probe);
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    const QRect whole = screen != nullptr ? screen->geometry() : QRect(0, 0, 1024, 768);
    const QRect free = screen != nullptr ? screen->availableGeometry() : whole;
    window_.move(PopoverPlacement::topLeft(window_.size(), anchor_, pointer_, whole, free));
}

}  // namespace quorix::ui
