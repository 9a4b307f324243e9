// The AI page's engine check against a loopback provider: a fast answer, an
// error, and a provider that stalls past the check's limit (driven short
// here); the window stays responsive meanwhile.
#include <gtest/gtest.h>

#include <QElapsedTimer>

#include "core/net/CurlHttpClient.h"
#include "tests/app/PrefsHarness.h"
#include "tests/core/ai/AITestSupport.h"
#include "ui/prefs/AiEnginePage.h"

namespace quorix::ui::prefs {
namespace {

constexpr const char* kCloud = "/v1/correct";

struct EngineCheckTest : ::testing::Test {
    testing::PrefsHarness h;
    net::CurlHttpClient http{net::CurlHttpClientOptions{.totalTimeout = dispatch::seconds(5)}};
    AIClient ai{*h.shell.config, h.shell.base.logger, http, h.shell.base.env, h.shell.base.clock};
    // Destroyed first, which releases a stalled reply before the client waits for it.
    testing::FakeProviders server;

    void SetUp() override { h.shell.config->setCloudProxyURL(server.base() + kCloud); }

    // Runs the check on the AI page; the final status line.
    QString check(std::chrono::milliseconds limit, AiEnginePage** pageOut = nullptr) {
        ui::PreferencesServices services = h.services(ai);
        services.engineCheckLimit = limit;
        window = std::make_unique<PreferencesWindow>(services);
        window->show(PrefsTab::ai);
        auto* page = dynamic_cast<AiEnginePage*>(window->page());
        EXPECT_NE(page, nullptr);
        QTest::mouseClick(page->checkButton(), Qt::LeftButton);
        EXPECT_FALSE(page->checkButton()->isEnabled());
        if (pageOut != nullptr) {
            *pageOut = page;
        }
        EXPECT_TRUE(testing::waitUntil([page] { return !page->isTesting(); }, 8000));
        EXPECT_TRUE(page->checkButton()->isEnabled());
        return page->testStatus();
    }
    std::unique_ptr<PreferencesWindow> window;
};

TEST_F(EngineCheckTest, AFastAnswerShowsTheElapsedTimeAndTheCorrectedSample) {
    server.reply(kCloud, 200, R"({"correctedText":"prova testo scritto velocemente"})");
    const QString status = check(std::chrono::milliseconds(5000));
    EXPECT_TRUE(status.startsWith("✓ Success in ")) << status.toStdString();
    EXPECT_TRUE(status.endsWith("ms: \"prova testo scritto velocemente\"")) << status.toStdString();
    EXPECT_EQ(window->engineStatus().state, EngineStatus::State::reachable);
    ASSERT_EQ(server.paths(), std::vector<std::string>{kCloud});
    EXPECT_NE(server.requests()[0].body.find("prov testto scirtto velocemnte"), std::string::npos);
}

TEST_F(EngineCheckTest, AnErrorIsReportedWithItsDescription) {
    h.shell.config->setAppLanguage(AppLanguage::it);
    server.reply(kCloud, 503, R"({"error":"cloud down"})");
    h.shell.config->setProvider(AIProvider::groq);
    h.shell.config->setGroqApiKey("gsk_wrong");
    server.reply(std::string(AIClient::kGroqPath), 401, testing::errorBody("Invalid API Key"));
    const QString status = check(std::chrono::milliseconds(5000));
    EXPECT_TRUE(status.startsWith("❌ Errore (")) << status.toStdString();
    EXPECT_EQ(status.toStdString().find("gsk_wrong"), std::string::npos);
    EXPECT_EQ(window->engineStatus().state, EngineStatus::State::unreachable);
}

TEST_F(EngineCheckTest, AStallingProviderEndsAtTheLimitAndTheWindowStaysResponsive) {
    server.on(kCloud, [](const testing::RecordedRequest&) {
        return testing::Scripted{200, R"({"correctedText":"late"})", true};
    });
    QElapsedTimer timer;
    timer.start();
    const QString status = check(std::chrono::milliseconds(150));
    EXPECT_TRUE(status.startsWith("❌ Error (")) << status.toStdString();
    EXPECT_TRUE(status.endsWith("no answer within 150 ms")) << status.toStdString();
    EXPECT_LT(timer.elapsed(), 3000);
    // The main thread was free: the page can be left and the window closed at once.
    window->show(PrefsTab::general);
    window->close();
}

}  // namespace
}  // namespace quorix::ui::prefs
