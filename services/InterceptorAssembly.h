#pragma once
// The one place that fills the interception flow's dependencies: `quorix
// daemon` (X11 desktop), `quorix correct` and `quorix check` (simulated
// desktop), the test fixtures and the benchmarks all build their
// EventInterceptor's InterceptorServices here, from the core services of
// their graph and the desktop it runs on.

#include <functional>

#include "core/interception/InterceptorServices.h"
#include "core/interception/Notice.h"
#include "platform/Accessibility.h"
#include "platform/Keyboard.h"
#include "platform/Pasteboard.h"
#include "platform/SoundPlayer.h"
#include "platform/SpellChecker.h"
#include "platform/Workspace.h"

namespace quorix::platform {
class SimDesktop;
}

namespace quorix::services {

// The portable services of one graph; each must outlive the interceptor.
struct CoreServices {
    AppConfig& config;
    AppLogger& logger;
    TypoCache& cache;
    LocalTypoDictionary& dictionary;
    AIClient& ai;
    LanguageDetector& detector;
    platform::SpellChecker& spell;
    dispatch::Dispatcher& dispatcher;
};

// The desktop the interceptor hooks into and acts on.
struct DesktopPorts {
    platform::KeyboardHook& keyboardHook;
    platform::KeyPoster& keyPoster;
    platform::Accessibility& accessibility;
    platform::Pasteboard& pasteboard;
    platform::Workspace& workspace;
    platform::SoundPlayer& sounds;
};

// `togglePopover` is the ⌥U target, run on the main queue; empty while no
// application shell exists.
InterceptorServices interceptorServices(const CoreServices& core, const DesktopPorts& desktop,
                                        Notice& notice, std::function<void()> togglePopover = {});

// The simulated desktop's ports, with `workspace` as its workspace.
DesktopPorts simDesktopPorts(platform::SimDesktop& desktop, platform::Workspace& workspace);

}  // namespace quorix::services
