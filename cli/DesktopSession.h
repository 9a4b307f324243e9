#pragma once
// The engine on the current X display, over a ServiceRoot: key hook and
// posting, clipboard, accessibility, sounds, the notice and the key
// interceptor. The notice is the floating pill (with its confetti) when a
// QApplication runs on a real display, else the log-only HeadlessNotice. Built by the desktop
// application's entry point; the key path is the same as `quorix daemon`'s (the hook's handler runs
// on the ServiceRoot's main queue, never on the Qt thread).

#include <atomic>
#include <functional>
#include <memory>

#include "cli/ServiceRoot.h"
#include "core/interception/EventInterceptor.h"
#include "core/interception/Notice.h"
#include "platform/Accessibility.h"
#include "platform/linux/LinuxSoundPlayer.h"
#include "platform/linux/LinuxWorkspace.h"
#include "platform/linux/X11KeyPoster.h"
#include "platform/linux/X11KeyboardHook.h"
#include "platform/linux/X11Pasteboard.h"
#include "platform/linux/X11Workspace.h"

namespace quorix::ui {
class ConfettiOverlay;
}

namespace quorix::cli {

class DesktopSession {
  public:
    // togglePopover: the ⌥U target, called on the engine's main queue.
    DesktopSession(ServiceRoot& root, std::function<void()> togglePopover);
    ~DesktopSession();
    DesktopSession(const DesktopSession&) = delete;
    DesktopSession& operator=(const DesktopSession&) = delete;

    // Whether the X display offers what the hook and the poster need.
    static bool isTrusted();
    // False when the display connections for posting could not be opened.
    bool isReady() const { return ready_; }
    EventInterceptor& interceptor() { return *interceptor_; }
    platform::SoundPlayer& sounds() { return sounds_; }
    Notice& notice() { return *notice_; }

  private:
    ServiceRoot& root_;
    platform::LinuxWorkspace files_;
    platform::X11Workspace workspace_;
    platform::X11KeyPoster poster_;
    platform::X11Pasteboard pasteboard_;
    platform::LinuxSoundPlayer sounds_;
    std::unique_ptr<ui::ConfettiOverlay> confetti_;
    std::unique_ptr<Notice> notice_;
    std::unique_ptr<platform::Accessibility> accessibility_;
    std::atomic<EventInterceptor*> interceptorRef_{nullptr};
    std::unique_ptr<platform::X11KeyboardHook> hook_;
    std::unique_ptr<EventInterceptor> interceptor_;
    bool ready_ = false;
};

}  // namespace quorix::cli
