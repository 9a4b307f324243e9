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
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <nlohmann/json.hpp>

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
#include "platform/LanguageRecognizer.h"
#include "platform/SpellChecker.h"
#include "platform/posix/PosixFileSystem.h"
#include "platform/sim/SimDesktop.h"
#include "platform/sim/SimPreferencesStore.h"
#include "platform/sim/SimScenes.h"
#include "platform/sim/SimSystemEnvironment.h"
#include "platform/sim/SimWorkspace.h"
#include "services/DictionaryAssembly.h"
#include "services/InterceptorAssembly.h"

namespace quorix::testing {

using namespace std::chrono_literals;

class InterceptorTempFolder {
  public:
    InterceptorTempFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "quorix-interception-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
    }
    ~InterceptorTempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    InterceptorTempFolder(const InterceptorTempFolder&) = delete;
    InterceptorTempFolder& operator=(const InterceptorTempFolder&) = delete;
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

// Misspelled: the words marked as typos (compared lowercased), and in strict
// mode also every word not accepted.
class WordListSpellChecker final : public platform::SpellChecker {
  public:
    bool isMisspelled(std::string_view word, std::string_view) override {
        if (onCheck)
            onCheck();
        const std::string w = text::toLower(word);
        if (w.empty())
            return false;
        std::lock_guard lock(mutex_);
        if (w == throwOn_)
            throw std::runtime_error("spell checker failed on '" + w + "'");
        if (typos_.contains(w))
            return true;
        return strict_ && !accepted_.contains(w);
    }
    void markMisspelled(const std::set<std::string>& words) {
        std::lock_guard lock(mutex_);
        for (const auto& w : words)
            typos_.insert(text::toLower(w));
    }
    void accept(const std::set<std::string>& words) {
        std::lock_guard lock(mutex_);
        for (const auto& w : words) {
            accepted_.insert(text::toLower(w));
            typos_.erase(text::toLower(w));
        }
    }
    void setStrict(bool strict) {
        std::lock_guard lock(mutex_);
        strict_ = strict;
    }
    // Checking this word throws.
    void throwOn(const std::string& word) {
        std::lock_guard lock(mutex_);
        throwOn_ = word;
    }
    void preload() override { ++preloads; }
    std::atomic<int> preloads{0};
    // Runs at every question (set before the run starts): e.g. the time a
    // real checker would take.
    std::function<void()> onCheck;

  private:
    std::mutex mutex_;
    std::set<std::string> typos_;
    std::set<std::string> accepted_;
    bool strict_ = false;
    std::string throwOn_;
};

class FixedLanguageRecognizer final : public platform::LanguageRecognizer {
  public:
    explicit FixedLanguageRecognizer(std::string code) : code_(std::move(code)) {}
    void reset() override {}
    void processString(std::string_view) override {}
    std::string dominantLanguage() override { return code_; }

  private:
    std::string code_;
};

// Answers every request the same way: a correction, a transport failure, or
// nothing until released. Answers are delivered synchronously inside send().
class ScriptedHttpClient final : public net::HttpClient {
  public:
    ~ScriptedHttpClient() override { releaseHeld(); }

    void send(net::HttpRequest request, Completion completion) override {
        net::HttpResult result;
        {
            std::lock_guard lock(mutex_);
            requests_.push_back(request);
            if (mode_ == Mode::hold) {
                held_.push_back(std::move(completion));
                return;
            }
            if (mode_ == Mode::respond)
                result.response = net::HttpResponse{.status = 200, .headers = {}, .body = body_};
            else
                result.error = Error{"HttpClient", net::kHttpCannotConnect,
                                     "Could not connect to the server."};
        }
        completion(std::move(result));
    }

    // The cloud endpoint answers every request with this correction.
    void answerCorrected(const std::string& corrected) {
        std::lock_guard lock(mutex_);
        mode_ = Mode::respond;
        body_ = nlohmann::json{{"correctedText", corrected}}.dump();
    }
    void failAll() { setMode(Mode::fail); }
    void holdAll() { setMode(Mode::hold); }
    // Completes every held request with a cancellation.
    void releaseHeld() {
        std::vector<Completion> held;
        {
            std::lock_guard lock(mutex_);
            held.swap(held_);
        }
        for (auto& completion : held) {
            net::HttpResult result;
            result.error = Error{"HttpClient", net::kHttpCancelled, "cancelled"};
            completion(std::move(result));
        }
    }
    std::size_t heldCount() const {
        std::lock_guard lock(mutex_);
        return held_.size();
    }
    std::vector<net::HttpRequest> requests() const {
        std::lock_guard lock(mutex_);
        return requests_;
    }

  private:
    enum class Mode { fail, respond, hold };
    void setMode(Mode mode) {
        std::lock_guard lock(mutex_);
        mode_ = mode;
    }
    mutable std::mutex mutex_;
    Mode mode_ = Mode::fail;
    std::string body_;
    std::vector<net::HttpRequest> requests_;
    std::vector<Completion> held_;
};

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
            if (http.heldCount() > 0 && vclock.waiterCount() > 0)
                vclock.advanceToNextDeadline();
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
    // Logged messages without their time stamps, oldest first.
    std::vector<std::string> messages() const {
        std::vector<std::string> out;
        for (std::string line : logger.recentLines()) {
            if (const auto cut = line.find("] "); cut != std::string::npos)
                line.erase(0, cut + 2);
            while (!line.empty() && line.back() == '\n')
                line.pop_back();
            out.push_back(line);
        }
        return out;
    }
    std::size_t countMessages(const std::string& message) const {
        std::size_t n = 0;
        for (const auto& m : messages())
            n += (m == message);
        return n;
    }
    bool logged(const std::string& message) const { return countMessages(message) > 0; }
    std::vector<std::string> sent() const {
        std::vector<std::string> out;
        for (const auto& m : const_cast<platform::SimDesktop&>(desktop).sentMessages())
            out.push_back(m.text);
        return out;
    }
    std::size_t pendingReports() {
        std::lock_guard lock(reportMutex_);
        return reports_.size();
    }

    // --- The graph (declaration order is construction order).
    InterceptorTempFolder folder;
    platform::SimWorkspace workspace{"/home/sim"};
    platform::SimDesktop desktop{workspace};
    platform::SimSystemEnvironment env{"/home/sim", {"it-IT"}};
    platform::PosixFileSystem fs;
    AppLogger logger{folder.path(), fs, desktop.clock(), nullptr};
    AppConfig config{folder.path(), fs, logger, desktop.clock(), workspace, env};
    dispatch::ManualQueue mainQueue{desktop.clock()};
    dispatch::Dispatcher dispatcher{desktop.clock(), mainQueue};
    WordListSpellChecker spell;
    FixedLanguageRecognizer recognizer{"it"};
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

  private:
    std::mutex reportMutex_;
    std::condition_variable reportArrived_;
    std::deque<PipelineReport> reports_;
};

}  // namespace quorix::testing
