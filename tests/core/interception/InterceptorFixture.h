#pragma once
// The whole interception graph over the simulated desktop, for scenario tests:
// settings, log, cache, dictionary and AI client in a temporary configuration
// folder; a Dispatcher over the desktop's journalling virtual clock with a
// ManualQueue as main queue; a scripted spell checker and HTTP client; a
// RecordingNotice writing "notice ..." lines into the desktop's journal.
//
// The test thread is the main thread: it presses keys (the hook handler runs
// on it) and runs the main queue. Pipeline runs happen on the global
// user-initiated queue; finishRun() waits for one and steps virtual time only
// while an AI request is held and a thread is blocked in a timed wait (the AI
// limit), so no test waits real seconds.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "core/ai/AIClient.h"
#include "core/config/AppConfig.h"
#include "core/config/AppLogger.h"
#include "core/dispatch/Dispatcher.h"
#include "core/dispatch/ManualQueue.h"
#include "core/interception/EventInterceptor.h"
#include "core/interception/InterceptorServices.h"
#include "core/interception/KeyCodes.h"
#include "core/interception/PipelineReport.h"
#include "core/interception/RecordingNotice.h"
#include "core/knowledge/LanguageDetector.h"
#include "core/knowledge/LocalTypoDictionary.h"
#include "core/knowledge/TypoCache.h"
#include "core/net/HttpClient.h"
#include "core/net/OfflineHttpClient.h"
#include "core/text/Text.h"
#include "platform/posix/PosixFileSystem.h"
#include "platform/sim/SimDesktop.h"
#include "platform/sim/SimPreferencesStore.h"
#include "platform/sim/SimScenes.h"
#include "platform/sim/SimSystemEnvironment.h"
#include "platform/sim/SimWorkspace.h"
#include "services/DictionaryAssembly.h"
#include "services/InterceptorAssembly.h"
#include "tests/core/config/ConfigTestSupport.h"
#include "tests/core/knowledge/FixedRecognizer.h"
#include "tests/core/knowledge/WordListSpellChecker.h"
#include "tests/core/net/ScriptedHttpClient.h"

namespace quorix::testing {

using namespace std::chrono_literals;

// Journal lines of the simulated desktop.
using Lines = std::vector<std::string>;

inline Lines operator+(Lines a, const Lines& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
inline std::string q(const std::string& s) {
    return platform::SimJournal::quote(s);
}
// One posted key: down, 6 ms, up, 6 ms.
inline Lines post(const std::string& key) {
    return {"post " + key + " down", "sleep 6ms", "post " + key + " up", "sleep 6ms"};
}
// The posted Return that sends the field's text.
inline Lines sendReturn(const std::string& sent) {
    return {"post ⏎ down", "send " + q(sent), "sleep 6ms", "post ⏎ up", "sleep 6ms"};
}
// Select-all and copy of a field that hides its value from accessibility.
inline Lines copyCapture(const std::string& text) {
    return post("⌘A") + Lines{"sleep 25ms", "post ⌘C down", "pb.copy " + q(text),
                              "sleep 6ms",  "post ⌘C up",   "sleep 6ms"};
}
// Select-all and paste of `text` after it was put on the clipboard.
inline Lines paste(const std::string& text, const std::string& waitAfter) {
    return Lines{"pb.clear", "pb.set " + q(text)} + post("⌘A") + Lines{"sleep 15ms"} + post("⌘V") +
           Lines{"sleep " + waitAfter};
}
inline Lines restore(const std::string& previous) {
    return {"pb.clear", "pb.set " + q(previous)};
}

class InterceptorFixture : public ::testing::Test {
  protected:
    static std::string knowledgeData(const std::string& relative) {
        return std::string(QUORIX_TEST_DATA_DIR) + "/knowledge/" + relative;
    }

    // The fixture's graph, through the assembly the program uses.
    LocalTypoDictionary::Dependencies dictionaryDependencies() {
        auto deps = services::dictionaryDependencies(
            {.files = fs,
             .spell = spell,
             .detector = detector,
             .logger = logger,
             .http = offline,
             .prefs = prefs,
             .utilityQueue = dispatcher.global(dispatch::QoS::utility),
             .clock = desktop.clock(),
             .settings = &config},
            {.configFolder = folder.path(),
             .resourceFolders = {knowledgeData("resources")},
             .developmentFolder = knowledgeData("dev")});
        deps.syncURL = "http://127.0.0.1:9/v1/dictionary/it";
        return deps;
    }
    services::CoreServices core() {
        return {.config = config,
                .logger = logger,
                .cache = cache,
                .dictionary = dictionary,
                .ai = ai,
                .detector = detector,
                .spell = spell,
                .dispatcher = dispatcher};
    }

    InterceptorFixture() {
        notice = std::make_unique<RecordingNotice>(
            [this](const std::string& line) { desktop.journal().record("notice", line); });
        interceptor = std::make_unique<EventInterceptor>(
            services::interceptorServices(core(), services::simDesktopPorts(desktop, workspace),
                                          *notice, [this] { ++popoverToggles; }));
        config.setCloudProxyURL("https://cloud.test/v1/correct");
        interceptor->setPipelineObserver([this](const PipelineReport& report) {
            std::lock_guard lock(reportMutex_);
            reports_.push_back(report);
            reportArrived_.notify_all();
        });
    }

    ~InterceptorFixture() override {
        http.releaseHeld();
        dispatcher.drainGlobal();
        interceptor.reset();
        dispatcher.drainGlobal();
        cache.flushForTesting();
    }

    // --- Scenes
    // A frontmost chat application holding `text` in its focused field (caret
    // at the end), with the interceptor started.
    platform::SimChatApp startInChat(const std::string& text = {},
                                     const std::string& bundleId = "com.example.chat",
                                     const std::string& name = "Chat") {
        auto chat = platform::addChatApp(desktop, 101, bundleId, name, text);
        EXPECT_TRUE(interceptor->start());
        desktop.journal().clear();
        return chat;
    }

    // The chat's field holds `text` (hidden from accessibility if asked);
    // Return is pressed and the run awaited.
    PipelineReport sendFromChat(const std::string& text, bool hideValue = false) {
        chat_ = startInChat(text);
        if (hideValue) {
            desktop.setValueExposure(chat_.field, platform::ValueExposure::hidden);
        }
        return sendNow();
    }
    // Another message in the same chat.
    PipelineReport sendAgain(const std::string& text) {
        desktop.setText(chat_.field, text);
        return sendNow();
    }

    // --- Driving
    bool press(uint16_t keyCode, uint64_t flags = 0) { return desktop.pressKey(keyCode, flags); }

    // Waits for the next pipeline report, stepping virtual time while some
    // thread is blocked in a timed wait; then lets the global queues go idle and
    // runs the main queue (clearing isWorking).
    PipelineReport finishRun() {
        auto& vclock = desktop.virtualClock();
        std::optional<PipelineReport> report;
        const auto giveUp = std::chrono::steady_clock::now() + 20s;
        while (!report && std::chrono::steady_clock::now() < giveUp) {
            {
                std::unique_lock lock(reportMutex_);
                if (reportArrived_.wait_for(lock, 2ms, [this] { return !reports_.empty(); })) {
                    report = reports_.front();
                    reports_.pop_front();
                    break;
                }
            }
            // Time moves only while the pipeline waits on a held AI request:
            // stepping it otherwise could fire a pending clipboard restore
            // ahead of the run's own keys.
            if (http.heldCount() > 0 && vclock.waiterCount() > 0) {
                vclock.advanceToNextDeadline();
            }
        }
        EXPECT_TRUE(report.has_value()) << "no pipeline report\n" << desktop.journal().dump();
        dispatcher.drainGlobal();
        mainQueue.runUntilIdle();
        return report.value_or(PipelineReport{});
    }

    // Presses Return in the front application and awaits the run it starts.
    PipelineReport sendNow() {
        EXPECT_TRUE(press(keys::kReturn));
        PipelineReport report = finishRun();
        EXPECT_FALSE(interceptor->isWorking());
        return report;
    }

    // Moves virtual time forward and runs whatever became due.
    void advance(dispatch::Duration d) {
        desktop.virtualClock().advance(d);
        dispatcher.drainGlobal();
        mainQueue.runUntilIdle();
    }

    // --- Observing
    std::vector<std::string> journal(const std::vector<std::string>& kinds = {}) const {
        return const_cast<platform::SimDesktop&>(desktop).journal().lines(kinds);
    }
    std::vector<std::string> messages() const { return logMessages(logger); }
    std::size_t countMessages(const std::string& message) const {
        std::size_t n = 0;
        for (const auto& m : messages()) {
            n += (m == message);
        }
        return n;
    }
    bool logged(const std::string& message) const { return countMessages(message) > 0; }
    std::vector<std::string> sent() const {
        std::vector<std::string> out;
        for (const auto& m : const_cast<platform::SimDesktop&>(desktop).sentMessages()) {
            out.push_back(m.text);
        }
        return out;
    }
    std::size_t pendingReports() {
        std::lock_guard lock(reportMutex_);
        return reports_.size();
    }

    // --- The graph (declaration order is construction order).
    TempFolder folder;
    platform::SimWorkspace workspace{"/home/sim"};
    platform::SimDesktop desktop{workspace};
    platform::SimSystemEnvironment env{"/home/sim", {"it-IT"}};
    platform::PosixFileSystem fs;
    AppLogger logger{folder.path(), fs, desktop.clock(), nullptr};
    AppConfig config{folder.path(), fs, logger, desktop.clock(), workspace, env};
    dispatch::ManualQueue mainQueue{desktop.clock()};
    dispatch::Dispatcher dispatcher{desktop.clock(), mainQueue};
    WordListSpellChecker spell;
    FixedRecognizer recognizer;
    LanguageDetector detector{recognizer};
    net::OfflineHttpClient offline;
    platform::SimPreferencesStore prefs;
    ScriptedHttpClient http;
    TypoCache cache{folder.path(), fs, dispatcher.global(dispatch::QoS::utility), logger};
    LocalTypoDictionary dictionary{dictionaryDependencies()};
    AIClient ai{config, logger, http, env, desktop.clock()};
    std::unique_ptr<RecordingNotice> notice;
    std::atomic<int> popoverToggles{0};
    std::unique_ptr<EventInterceptor> interceptor;
    platform::SimChatApp chat_;  // the scene of sendFromChat()

  private:
    std::mutex reportMutex_;
    std::condition_variable reportArrived_;
    std::deque<PipelineReport> reports_;
};

}  // namespace quorix::testing
