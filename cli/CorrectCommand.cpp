#include "cli/CorrectCommand.h"

#include <chrono>
#include <cstdio>
#include <iostream>
#include <iterator>
#include <mutex>
#include <string_view>
#include <thread>

#include <nlohmann/json.hpp>

#include "cli/ServiceRoot.h"
#include "cli/Subcommand.h"
#include "core/interception/BrowserDetector.h"
#include "core/interception/EventInterceptor.h"
#include "core/interception/HeadlessNotice.h"
#include "core/interception/KeyCodes.h"
#include "platform/sim/SimDesktop.h"
#include "platform/sim/SimScenes.h"
#include "platform/sim/SimWorkspace.h"

namespace quorix::cli {
namespace {

constexpr int32_t kAppPid = 4242;
// Far beyond the 5 s AI limit plus capture and write-back.
constexpr auto kFlowLimit = std::chrono::seconds(60);

const char* const kUsage =
    "usage: quorix correct [--json] [--offline] [--app NAME] [--bundle-id ID] [--no-ax] "
    "[TEXT]\n"
    "  Types TEXT (or standard input) into a simulated chat field, presses Return\n"
    "  through the interceptor with your configuration, and prints what was sent.\n"
    "  --json        print {sent, path, changedWord, elapsedMs, log}\n"
    "  --offline     no network: only on-device stages act\n"
    "  --app NAME    application name (default Telegram)\n"
    "  --bundle-id ID  bundle identifier (default org.telegram.desktop)\n"
    "  --no-ax       the field hides its text from accessibility (clipboard capture)\n"
    "  exit status: 0 sent, 3 held back (unfinished mention, hashtag, emoji, command),\n"
    "               4 nothing to send (blank text: nothing left the field)\n";

// The line without its trailing line feed.
std::string chomp(std::string line) {
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
        line.pop_back();
    }
    return line;
}

// Standard input with one trailing line break removed (as `echo` adds).
std::string readStandardInput() {
    std::string text(std::istreambuf_iterator<char>(std::cin), {});
    if (text.ends_with("\r\n")) {
        text.resize(text.size() - 2);
    } else if (text.ends_with("\n")) {
        text.pop_back();
    }
    return text;
}

struct Arguments {
    CorrectOptions options;
    bool json = false;
    bool offline = false;
    bool help = false;
};

std::optional<Arguments> parseArguments(std::span<char* const> args) {
    Arguments parsed;
    std::vector<std::string> words;
    bool haveText = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == "--json") {
            parsed.json = true;
        } else if (arg == "--offline") {
            parsed.offline = true;
        } else if (arg == "--no-ax") {
            parsed.options.noAccessibility = true;
        } else if (arg == "-h" || arg == "--help") {
            parsed.help = true;
        } else if (arg == "--app" && hasValue) {
            parsed.options.appName = args[++i];
        } else if (arg == "--bundle-id" && hasValue) {
            parsed.options.bundleId = args[++i];
        } else if (arg == "--") {
            for (++i; i < args.size(); ++i) {
                words.emplace_back(args[i]);
            }
            haveText = true;
        } else if (arg.starts_with("--")) {
            return std::nullopt;
        } else {
            words.emplace_back(arg);
            haveText = true;
        }
    }
    if (haveText) {
        for (std::size_t i = 0; i < words.size(); ++i) {
            parsed.options.text += (i == 0 ? "" : " ") + words[i];
        }
    } else if (!parsed.help) {
        parsed.options.text = readStandardInput();
    }
    return parsed;
}

}  // namespace

CorrectRun correctOnSimulatedDesktop(ServiceRoot& root, const CorrectOptions& options) {
    CorrectRun run;
    // Shared with the observers: a line may still be logged from a background
    // queue while they are being removed.
    struct Collected {
        std::mutex mutex;
        std::vector<std::string> log;
        std::optional<PipelineReport> report;
    };
    auto collected = std::make_shared<Collected>();
    AppLogger& logger = root.logger();
    logger.setLineObserver([collected](const std::string& line) {
        std::lock_guard lock(collected->mutex);
        collected->log.push_back(chomp(line));
    });

    platform::SimWorkspace workspace(root.environment().homeDirectory());
    platform::SimDesktop desktop(workspace);
    platform::SimNodeId field = platform::kNoNode;
    if (BrowserDetector::isBrowserApp(options.bundleId)) {
        field = platform::addBrowser(desktop, kAppPid, options.bundleId, options.appName,
                                     options.appName)
                    .textArea;
    } else {
        field = platform::addChatApp(desktop, kAppPid, options.bundleId, options.appName).field;
        desktop.setCompletesTokens(kAppPid, true);
    }
    if (options.noAccessibility) {
        desktop.setValueExposure(field, platform::ValueExposure::hidden);
    }
    // Typed before the interceptor starts: no background precheck settles it.
    desktop.typeText(options.text);
    // The spell dictionaries load on first use; loading them now keeps that
    // out of the local stages' time budget.
    root.spellChecker().preload();

    HeadlessNotice notice(logger);
    const InterceptorServices wiring = services::interceptorServices(
        root.core(), services::simDesktopPorts(desktop, workspace), notice);
    {
        EventInterceptor interceptor(wiring);
        interceptor.setPipelineObserver([collected](const PipelineReport& r) {
            std::lock_guard lock(collected->mutex);
            collected->report = r;
        });
        interceptor.start();

        const auto started = std::chrono::steady_clock::now();
        const uint64_t flags =
            root.config().mode() == CorrectionMode::ctrlEnter ? keys::kControl : 0;
        const bool swallowed = desktop.pressKey(keys::kReturn, flags);
        while (swallowed && interceptor.isWorking() &&
               std::chrono::steady_clock::now() - started < kFlowLimit) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        run.elapsedMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                            std::chrono::steady_clock::now() - started)
                            .count();
        interceptor.stop();
    }
    logger.setLineObserver({});

    std::lock_guard lock(collected->mutex);
    run.log = collected->log;
    const std::optional<PipelineReport>& report = collected->report;
    for (const auto& message : desktop.sentMessages()) {
        if (message.pid == kAppPid) {
            run.sent = message.text;
        }
    }
    if (report) {
        run.path = report->path;
        run.changedWord = report->changedWord;
        run.heldBack = !report->returnPosted;
    } else {
        run.path = "pass";
        // Return reached the application with its completion list open: it
        // confirmed the suggestion and the message stayed in the field.
        run.heldBack = !run.sent && !desktop.journal().lines({"complete"}).empty();
    }
    return run;
}

std::string correctRunJSON(const CorrectRun& run) {
    nlohmann::ordered_json out;
    out["sent"] = run.sent ? nlohmann::ordered_json(*run.sent) : nlohmann::ordered_json(nullptr);
    out["path"] = run.path;
    out["changedWord"] = run.changedWord ? nlohmann::ordered_json(*run.changedWord)
                                         : nlohmann::ordered_json(nullptr);
    out["elapsedMs"] = run.elapsedMs;
    out["log"] = run.log;
    return out.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

int runCorrectCommand(std::span<char* const> args) {
    const auto parsed = parseArguments(args);
    if (!parsed) {
        std::fputs(kUsage, stderr);
        return kUsageExit;
    }
    if (parsed->help) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    ServiceRootOptions rootOptions;
    rootOptions.offline = parsed->offline;
    rootOptions.logEcho = parsed->json ? nullptr : stderr;
    CorrectRun run;
    {
        ServiceRoot root(rootOptions);
        run = correctOnSimulatedDesktop(root, parsed->options);
    }
    if (parsed->json) {
        const std::string json = correctRunJSON(run);
        std::fwrite(json.data(), 1, json.size(), stdout);
        std::fputc('\n', stdout);
    } else if (run.sent) {
        std::fwrite(run.sent->data(), 1, run.sent->size(), stdout);
        std::fputc('\n', stdout);
    } else if (!run.heldBack) {
        std::fputs("quorix correct: nothing to send\n", stderr);
    }
    if (std::fflush(stdout) != 0) {
        return 1;
    }
    if (run.heldBack) {
        return kHeldBackExit;
    }
    return run.sent ? 0 : kNothingSentExit;
}

}  // namespace quorix::cli
