#pragma once
// Services the shell tests build over a temporary home: settings, log, cache
// (written on a manual queue), an offline AI client, sounds and notice
// recorders, and the fakes of the shell's own ports.

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <atomic>
#include <optional>
#include <string>
#include <vector>

#include "app/AppServices.h"
#include "app/ShellWindows.h"
#include "core/ai/AIClient.h"
#include "core/dispatch/ManualQueue.h"
#include "core/interception/RecordingNotice.h"
#include "core/knowledge/TypoCache.h"
#include "core/net/OfflineHttpClient.h"
#include "platform/sim/SimJournal.h"
#include "platform/sim/SimSoundPlayer.h"
#include "tests/core/config/ConfigTestSupport.h"
#include "ui/ShellDialogs.h"

namespace quorix::testing {

// Processes Qt events until pred() holds or about a second has passed.
template <class Pred>
bool waitUntil(Pred pred, int limitMs = 2000) {
    QElapsedTimer timer;
    timer.start();
    while (!pred()) {
        if (timer.elapsed() > limitMs) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

struct RecordingDialogs final : ui::ShellDialogs {
    struct Shown {
        Style style;
        std::string title;
        std::string text;
        std::vector<std::string> buttons;
    };
    std::vector<Shown> shown;
    int answer = 1;
    std::optional<std::string> typed;
    int alert(Style style, const std::string& title, const std::string& text,
              const std::vector<std::string>& buttons) override {
        shown.push_back({style, title, text, buttons});
        return answer;
    }
    std::optional<std::string> askText(const std::string& title, const std::string& text,
                                       const std::string& initial,
                                       const std::vector<std::string>& buttons) override {
        shown.push_back({Style::informational, title, text + "|" + initial, buttons});
        return typed;
    }
};

struct RecordingWindows final : app::ShellWindows {
    std::vector<std::string> calls;
    void togglePopover(const QRect&) override { calls.push_back("popover"); }
    void showPreferences(ui::PrefsTab tab) override {
        calls.push_back("preferences:" + std::string(ui::rawValue(tab)));
    }
    void showOnboarding() override { calls.push_back("onboarding"); }
};

struct ShellHarness {
    ConfigHarness base;
    std::unique_ptr<AppConfig> config = base.make();
    dispatch::ManualQueue io;
    TypoCache cache{base.folder, base.fs, io, base.logger};
    net::OfflineHttpClient offline;
    AIClient ai{*config, base.logger, offline, base.env, base.clock};
    platform::SimJournal journal{base.clock};
    platform::SimSoundPlayer sounds{journal};
    RecordingNotice notice;
    std::atomic<bool> trusted{true};
    std::atomic<bool> running{false};
    int starts = 0;
    int stops = 0;

    app::AppServices services() {
        return app::AppServices{
            *config,
            base.logger,
            base.fs,
            cache,
            ai,
            sounds,
            notice,
            [this] { return trusted.load(); },
            [this] {
                ++starts;
                running = trusted.load();
                return running.load();
            },
            [this] {
                ++stops;
                running = false;
            },
            [this] { return running.load(); },
            "0.1.0",
        };
    }
    std::string log() const { return base.logger.getRecentLogs(); }
};

}  // namespace quorix::testing
