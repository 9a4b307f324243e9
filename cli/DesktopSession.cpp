#include "cli/DesktopSession.h"

#include <QApplication>

#include "core/interception/HeadlessNotice.h"

#include "platform/linux/AtspiAccessibility.h"
#include "platform/linux/X11Display.h"
#include "services/InterceptorAssembly.h"
#include "ui/ConfettiOverlay.h"
#include "ui/FloatingNotice.h"

namespace quorix::cli {

namespace {

bool hasScreen() {
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
        return false;
    }
    const QString platform = QGuiApplication::platformName();
    return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}

}  // namespace

bool DesktopSession::isTrusted() {
    return platform::X11Display::isUsable();
}

DesktopSession::DesktopSession(ServiceRoot& root, std::function<void()> togglePopover)
    : root_(root),
      files_(platform::LinuxWorkspace::forHome(root.environment().homeDirectory())),
      workspace_(files_),
      sounds_(root.environment().resourceFolders()) {
    if (hasScreen()) {
        confetti_ = std::make_unique<ui::ConfettiOverlay>(&root.logger());
        notice_ = std::make_unique<ui::FloatingNotice>(
            ui::FloatingNotice::Services{root.config(), root.cache(), sounds_}, confetti_.get());
    } else {
        notice_ = std::make_unique<HeadlessNotice>(root.logger());
    }
    ready_ = poster_.open() && pasteboard_.open();
    AppLogger& logger = root.logger();
    platform::AtspiAccessibility::Options axOptions;
    axOptions.log = [&logger](const std::string& line) { logger.log(line); };
    axOptions.trustCheck = &DesktopSession::isTrusted;
    accessibility_ = std::make_unique<platform::AtspiAccessibility>(axOptions);

    AppConfig& config = root.config();
    platform::X11KeyboardHook::Options hookOptions;
    hookOptions.mainQueue = &root.dispatcher().main();
    hookOptions.poster = &poster_;
    hookOptions.isBusy = [this] {
        const EventInterceptor* interceptor = interceptorRef_.load();
        return interceptor != nullptr && interceptor->isWorking();
    };
    hookOptions.isFrontCovered = [&config, this] {
        if (!config.isEnabled()) {
            return false;
        }
        const auto front = workspace_.frontmostApplication();
        return front && config.isAppTargeted(front->bundleIdentifier, front->localizedName);
    };
    hook_ = std::make_unique<platform::X11KeyboardHook>(hookOptions);

    const InterceptorServices wiring =
        services::interceptorServices(root.core(),
                                      services::DesktopPorts{.keyboardHook = *hook_,
                                                             .keyPoster = poster_,
                                                             .accessibility = *accessibility_,
                                                             .pasteboard = pasteboard_,
                                                             .workspace = workspace_,
                                                             .sounds = sounds_},
                                      *notice_, std::move(togglePopover));
    interceptor_ = std::make_unique<EventInterceptor>(wiring);
    interceptorRef_.store(interceptor_.get());
}

DesktopSession::~DesktopSession() {
    interceptor_->stop();
    interceptorRef_.store(nullptr);
    interceptor_.reset();
    hook_.reset();
}

}  // namespace quorix::cli
