#include "cli/DaemonCommand.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <thread>

#include <pthread.h>

#include "cli/ServiceRoot.h"
#include "cli/Subcommand.h"
#include "core/interception/EventInterceptor.h"
#include "core/interception/HeadlessNotice.h"
#include "platform/linux/AtspiAccessibility.h"
#include "platform/linux/LinuxSoundPlayer.h"
#include "platform/linux/LinuxWorkspace.h"
#include "platform/linux/NoAccessibility.h"
#include "platform/linux/X11Display.h"
#include "platform/linux/X11KeyPoster.h"
#include "platform/linux/X11KeyboardHook.h"
#include "platform/linux/X11Pasteboard.h"
#include "platform/linux/X11Workspace.h"

namespace quorix::cli {
namespace {

const char* const kUsage =
    "usage: quorix daemon [--offline] [--no-accessibility]\n"
    "  Corrects messages sent with Return in the applications of the current X\n"
    "  display until interrupted (SIGINT or SIGTERM).\n"
    "  --offline            no network: only on-device stages act\n"
    "  --no-accessibility   never use the accessibility bus: text is captured\n"
    "                       with select-all and copy and written back by pasting\n";

struct Arguments {
    bool offline = false;
    bool noAccessibility = false;
    bool help = false;
};

bool parse(std::span<char* const> args, Arguments& out) {
    for (const char* raw : args) {
        const std::string_view arg = raw;
        if (arg == "--offline") {
            out.offline = true;
        } else if (arg == "--no-accessibility") {
            out.noAccessibility = true;
        } else if (arg == "-h" || arg == "--help") {
            out.help = true;
        } else {
            return false;
        }
    }
    return true;
}

std::string displayName() {
    const char* name = std::getenv("DISPLAY");
    return name != nullptr ? name : "";
}

}  // namespace

int runDaemonCommand(std::span<char* const> args) {
    Arguments parsed;
    if (!parse(args, parsed)) {
        std::fputs(kUsage, stderr);
        return kUsageExit;
    }
    if (parsed.help) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    // Blocked before any thread starts, so every thread inherits the mask and
    // the signals are taken only by sigwait below.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    if (!platform::X11Display::isUsable()) {
        std::fprintf(stderr,
                     "quorix daemon: the X display '%s' cannot be used (it must be reachable "
                     "and offer XInput 2.2 and XTEST)\n",
                     displayName().c_str());
        return 1;
    }

    ServiceRootOptions rootOptions;
    rootOptions.offline = parsed.offline;
    rootOptions.startSync = true;
    rootOptions.loadInBackground = true;
    ServiceRoot root(rootOptions);
    AppLogger& logger = root.logger();
    AppConfig& config = root.config();
    // Every launch starts with an empty correction cache.
    root.cache().clear();

    platform::LinuxWorkspace files =
        platform::LinuxWorkspace::forHome(root.environment().homeDirectory());
    platform::X11Workspace workspace(files);
    platform::X11KeyPoster poster;
    platform::X11Pasteboard pasteboard;
    if (!poster.open() || !pasteboard.open()) {
        std::fprintf(stderr, "quorix daemon: cannot open the X display for posting keys\n");
        return 1;
    }
    platform::LinuxSoundPlayer sounds(root.environment().resourceFolders());
    const auto trusted = [] { return true; };  // checked above; the hook fails otherwise
    std::unique_ptr<platform::Accessibility> accessibility;
    if (parsed.noAccessibility) {
        accessibility = std::make_unique<platform::NoAccessibility>(trusted);
        logger.log(platform::NoAccessibility::enableHint());
    } else {
        platform::AtspiAccessibility::Options axOptions;
        axOptions.log = [&logger](const std::string& line) { logger.log(line); };
        axOptions.trustCheck = trusted;
        accessibility = std::make_unique<platform::AtspiAccessibility>(axOptions);
    }
    HeadlessNotice notice(logger);

    std::atomic<EventInterceptor*> interceptorRef{nullptr};
    platform::X11KeyboardHook::Options hookOptions;
    hookOptions.mainQueue = &root.dispatcher().main();
    hookOptions.poster = &poster;
    hookOptions.isBusy = [&interceptorRef] {
        const EventInterceptor* interceptor = interceptorRef.load();
        return interceptor != nullptr && interceptor->isWorking();
    };
    hookOptions.isFrontCovered = [&config, &workspace] {
        if (!config.isEnabled()) {
            return false;
        }
        const auto front = workspace.frontmostApplication();
        return front && config.isAppTargeted(front->bundleIdentifier, front->localizedName);
    };
    platform::X11KeyboardHook hook(hookOptions);

    const InterceptorServices wiring =
        services::interceptorServices(root.core(),
                                      services::DesktopPorts{.keyboardHook = hook,
                                                             .keyPoster = poster,
                                                             .accessibility = *accessibility,
                                                             .pasteboard = pasteboard,
                                                             .workspace = workspace,
                                                             .sounds = sounds},
                                      notice);
    int status = 0;
    {
        EventInterceptor interceptor(wiring);
        interceptorRef.store(&interceptor);
        if (interceptor.start()) {
            logger.log("🚀 [Daemon] Quorix attivo sul display " + displayName() +
                       " (Ctrl+C per uscire).");
            int signal = 0;
            sigwait(&stopSignals, &signal);
            logger.log("🛑 [Daemon] Segnale ricevuto, rilascio la tastiera ed esco.");
        } else {
            status = 1;
        }
        interceptor.stop();
        interceptorRef.store(nullptr);
    }
    if (status == 0) {
        // The keyboard is free again (stop() released the grabs). What must
        // outlive the process is written now; destroying the services would
        // free the spell and typo dictionaries piece by piece, about half a
        // second that nobody waits for, so the process ends here.
        pasteboard.handOverToClipboardManager(platform::X11Pasteboard::Options{}.handOverLimit);
        root.settle();
        std::fflush(nullptr);
        std::_Exit(0);
    }
    return status;
}

}  // namespace quorix::cli
