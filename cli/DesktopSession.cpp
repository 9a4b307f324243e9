#include "cli/DesktopSession.h"

#include "platform/linux/AtspiAccessibility.h"
#include "platform/linux/X11Display.h"

namespace quorix::cli {

bool DesktopSession::isTrusted() {
    return platform::X11Display::isUsable();
}

DesktopSession::DesktopSession(ServiceRoot& root, std::function<void()> togglePopover)
    : root_(root),
      files_(platform::LinuxWorkspace::forHome(root.environment().homeDirectory())),
      workspace_(files_),
      sounds_(root.environment().resourceFolders()),
      notice_(root.logger()) {
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
        if (!config.isEnabled())
            return false;
        const auto front = workspace_.frontmostApplication();
        return front && config.isAppTargeted(front->bundleIdentifier, front->localizedName);
    };
    hook_ = std::make_unique<platform::X11KeyboardHook>(hookOptions);

    InterceptorServices services{config,
                                 logger,
                                 root.cache(),
                                 root.dictionary(),
                                 root.ai(),
                                 root.languageDetector(),
                                 root.spellChecker(),
                                 *hook_,
                                 poster_,
                                 *accessibility_,
                                 pasteboard_,
                                 workspace_,
                                 sounds_,
                                 notice_,
                                 root.dispatcher(),
                                 std::move(togglePopover)};
    interceptor_ = std::make_unique<EventInterceptor>(services);
    EventInterceptor::setShared(interceptor_.get());
    interceptorRef_.store(interceptor_.get());
}

DesktopSession::~DesktopSession() {
    interceptor_->stop();
    interceptorRef_.store(nullptr);
    EventInterceptor::setShared(nullptr);
    interceptor_.reset();
    hook_.reset();
}

}  // namespace quorix::cli
