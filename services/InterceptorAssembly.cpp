#include "services/InterceptorAssembly.h"

#include <utility>

#include "platform/sim/SimDesktop.h"

namespace quorix::services {

InterceptorServices interceptorServices(const CoreServices& core, const DesktopPorts& desktop,
                                        Notice& notice, std::function<void()> togglePopover) {
    return InterceptorServices{
        .config = core.config,
        .logger = core.logger,
        .cache = core.cache,
        .dictionary = core.dictionary,
        .ai = core.ai,
        .detector = core.detector,
        .spell = core.spell,
        .keyboardHook = desktop.keyboardHook,
        .keyPoster = desktop.keyPoster,
        .accessibility = desktop.accessibility,
        .pasteboard = desktop.pasteboard,
        .workspace = desktop.workspace,
        .sounds = desktop.sounds,
        .notice = notice,
        .dispatcher = core.dispatcher,
        .togglePopover = std::move(togglePopover),
    };
}

DesktopPorts simDesktopPorts(platform::SimDesktop& desktop, platform::Workspace& workspace) {
    return DesktopPorts{
        .keyboardHook = desktop.keyboard(),
        .keyPoster = desktop.keyboard(),
        .accessibility = desktop.accessibility(),
        .pasteboard = desktop.pasteboard(),
        .workspace = workspace,
        .sounds = desktop.sounds(),
    };
}

}  // namespace quorix::services
