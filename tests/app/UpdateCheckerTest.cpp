// The update checker over a fake HTTP client: outcomes, hostile replies and
// its own settings file.
#include <gtest/gtest.h>

#include <thread>

#include "app/UpdateChecker.h"
#include "tests/app/ShellHarness.h"

namespace quorix::app {
namespace {

using testing::waitUntil;

// Answers every request from another thread with the canned reply.
struct CannedHttp final : net::HttpClient {
    net::HttpResult reply;
    std::vector<std::string> urls;
    void send(net::HttpRequest request, Completion completion) override {
        urls.push_back(request.url);
        std::thread([reply = reply, completion = std::move(completion)] {
            completion(reply);
        }).detach();
    }
};

struct UpdateCheckerTest : ::testing::Test {
    testing::ShellHarness h;
    testing::RecordingDialogs dialogs;
    CannedHttp http;
    std::vector<std::string> opened;

    std::unique_ptr<UpdateChecker> make(std::string feed = "https://example.org/feed.json") {
        return std::make_unique<UpdateChecker>(UpdateChecker::Options{
            feed, "1.4.0", h.base.home / "updater.json", &h.base.fs, &http, &h.base.logger,
            &dialogs, h.config.get(), [this](const std::string& url) { opened.push_back(url); },
            std::chrono::hours(24)});
    }
    void replyWith(int status, std::string body) {
        http.reply = {};
        http.reply.response.status = status;
        http.reply.response.body = std::move(body);
    }
    // Runs one check and returns its outcome.
    UpdateChecker::Outcome run(UpdateChecker& checker, bool interactive = true) {
        std::optional<UpdateChecker::Outcome> outcome;
        QObject::connect(&checker, &UpdateChecker::checkFinished,
                         [&](UpdateChecker::Outcome o, const QString&) { outcome = o; });
        interactive ? checker.checkForUpdates() : checker.startAutomaticChecks();
        EXPECT_TRUE(waitUntil([&] { return outcome.has_value(); }));
        return outcome.value_or(UpdateChecker::Outcome::failed);
    }
};

// Without a feed everything is a no-op; a newer version offers its page.
TEST_F(UpdateCheckerTest, NoFeedDoesNothingAndANewerVersionOffersItsDownloadPage) {
    auto none = make("");
    EXPECT_FALSE(none->canCheckForUpdates());
    none->checkForUpdates();
    none->startAutomaticChecks();
    EXPECT_TRUE(http.urls.empty());

    auto checker = make();
    replyWith(200, R"({"version":"1.10.0","url":"https://example.org/dl"})");
    dialogs.answer = 0;
    EXPECT_EQ(run(*checker), UpdateChecker::Outcome::newer);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_NE(dialogs.shown[0].text.find("https://example.org/dl"), std::string::npos);
    EXPECT_EQ(opened, std::vector<std::string>{"https://example.org/dl"});
    EXPECT_TRUE(checker->lastUpdateCheckDate());

    replyWith(200, R"({"version":"1.4","url":"https://example.org/dl"})");
    EXPECT_EQ(run(*checker), UpdateChecker::Outcome::upToDate);
    EXPECT_EQ(dialogs.shown.size(), 2u);  // told only when asked
}

TEST_F(UpdateCheckerTest, BrokenOrHostileRepliesAreOnlyLogged) {
    auto checker = make();
    const std::pair<int, std::string> replies[] = {
        {500, R"({"version":"9.0","url":"https://example.org"})"},
        {200, "<html>"},
        {200, R"({"version":"../../9","url":"https://example.org"})"},
        {200, R"({"version":"9.0","url":"http://example.org/x.deb"})"},
        {200, std::string(kMaxFeedBytes + 1, ' ')},
    };
    for (const auto& [status, body] : replies) {
        replyWith(status, body);
        EXPECT_EQ(run(*checker), UpdateChecker::Outcome::failed) << body.substr(0, 40);
    }
    http.reply = {};
    http.reply.error = Error{"HttpClient", net::kHttpCannotConnect, "refused"};
    EXPECT_EQ(run(*checker), UpdateChecker::Outcome::failed);
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_TRUE(opened.empty());
    EXPECT_FALSE(checker->lastUpdateCheckDate());
    EXPECT_NE(h.log().find("⚠️ [Updater] Verifica aggiornamenti non riuscita: "), std::string::npos);
}

TEST_F(UpdateCheckerTest, SwitchesAndLastCheckPersistInTheirOwnFile) {
    {
        auto checker = make();
        EXPECT_TRUE(checker->automaticallyChecksForUpdates());
        checker->setAutomaticallyDownloadsUpdates(false);
        replyWith(200, R"({"version":"1.4.0","url":"https://example.org/dl"})");
        EXPECT_EQ(run(*checker, /*interactive=*/false), UpdateChecker::Outcome::upToDate);
        EXPECT_TRUE(dialogs.shown.empty());
    }
    EXPECT_EQ(testing::modeOf(h.base.home / "updater.json"), 0600u);
    auto reloaded = make();
    EXPECT_FALSE(reloaded->automaticallyDownloadsUpdates());
    EXPECT_TRUE(reloaded->lastUpdateCheckDate());
    // Checked just now: the automatic check waits for the interval.
    reloaded->startAutomaticChecks();
    EXPECT_EQ(http.urls.size(), 1u);
}

}  // namespace
}  // namespace quorix::app
