#include "platform/linux/AtspiAccessibility.h"

#include <unistd.h>

#include <cctype>
#include <initializer_list>

#include "platform/linux/AtspiElement.h"
#include "platform/linux/AtspiSession.h"
#include "platform/linux/AtspiThread.h"
#include "platform/linux/X11Display.h"

namespace quorix::platform {

namespace {

// Connecting may wait for the bus to answer; a bus that answers later still
// connects, and reads work from then on.
constexpr std::chrono::milliseconds kStartWait{5000};

}  // namespace

AtspiAccessibility::AtspiAccessibility(Options options)
    : options_(std::move(options)), ownPid_(static_cast<int32_t>(getpid())) {
    AtspiSession::Options sessionOptions;
    sessionOptions.ownPid = ownPid_;
    sessionOptions.callTimeoutMs = options_.busCallTimeoutMs;
    sessionOptions.log = options_.log;
    session_ = std::make_unique<AtspiSession>(sessionOptions);
    if (!options_.disableBus) {
        // libatspi lives and dies on the one thread: connected there, and
        // disconnected by the thread's tear-down.
        thread_ = std::make_shared<AtspiThread>([this] { session_->stop(); });
        std::weak_ptr<AtspiThread> weak = thread_;
        thread_->run([this, weak] { connected_ = session_->start(weak); }, kStartWait);
    }
    if (!connected_ && options_.log) {
        options_.log(enableHint());
    }
}

AtspiAccessibility::~AtspiAccessibility() {
    thread_.reset();
}

std::string AtspiAccessibility::enableHint() {
    return "♿️ [AT-SPI] Bus dell'accessibilità non raggiungibile: i campi si leggono con gli "
           "appunti. Per attivarla: GTK → gsettings set org.gnome.desktop.interface "
           "toolkit-accessibility true (attiva di default con GNOME); Qt → "
           "QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1; Chromium/Electron → "
           "--force-renderer-accessibility.";
}

std::string AtspiAccessibility::enableHintFor(const std::optional<std::string>& bundleId) const {
    std::string id;
    for (char c : bundleId.value_or("")) {
        id += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    const auto names = [&id](std::initializer_list<const char*> fragments) {
        for (const char* fragment : fragments) {
            if (id.find(fragment) != std::string::npos) {
                return true;
            }
        }
        return false;
    };
    if (!connected_) {
        return enableHint();
    }
    if (names({"firefox", "librewolf", "waterfox"})) {
        return "Per Firefox: avvialo con GNOME_ACCESSIBILITY=1 nell'ambiente, oppure attiva "
               "l'accessibilità del desktop (gsettings set org.gnome.desktop.interface "
               "toolkit-accessibility true).";
    }
    if (names({"chrom", "brave", "edge", "vivaldi", "opera"})) {
        return "Per i browser Chromium: avvialo con --force-renderer-accessibility (oppure "
               "ACCESSIBILITY_ENABLED=1 nell'ambiente).";
    }
    return enableHint();
}

bool AtspiAccessibility::canConnectInThisProcess() {
    return !AtspiSession::wasClaimed();
}

bool AtspiAccessibility::isProcessTrusted(bool /*prompt*/) {
    return options_.trustCheck ? options_.trustCheck() : X11Display::isUsable();
}

AXElementRef AtspiAccessibility::applicationElement(int32_t pid) {
    if (pid <= 0 || pid == ownPid_) {
        return nullptr;
    }
    return std::make_shared<const AtspiElement>(pid);
}

AXResult AtspiAccessibility::copyAttribute(const AXElementRef& element, const std::string& name) {
    auto handle = std::dynamic_pointer_cast<const AtspiElement>(element);
    if (!handle) {
        return AXResult{AXError::illegalArgument, std::monostate{}};
    }
    if (!connected_ || !thread_) {
        return AXResult{AXError::noValue, std::monostate{}};
    }
    // The box outlives a caller that stops waiting.
    auto box = std::make_shared<AXResult>(AXResult{AXError::cannotComplete, std::monostate{}});
    AtspiSession* session = session_.get();
    if (!thread_->run([box, handle, session, name] { *box = session->read(*handle, name); },
                      options_.callWait)) {
        return AXResult{AXError::cannotComplete, std::monostate{}};
    }
    return std::move(*box);
}

AXError AtspiAccessibility::setAttribute(const AXElementRef& element, const std::string& name,
                                         const std::string& value) {
    auto handle = std::dynamic_pointer_cast<const AtspiElement>(element);
    if (!handle) {
        return AXError::illegalArgument;
    }
    if (!connected_ || !thread_) {
        return AXError::cannotComplete;
    }
    auto box = std::make_shared<AXError>(AXError::cannotComplete);
    AtspiSession* session = session_.get();
    if (!thread_->run(
            [box, handle, session, name, value] { *box = session->write(*handle, name, value); },
            options_.callWait)) {
        return AXError::cannotComplete;
    }
    return *box;
}

}  // namespace quorix::platform
