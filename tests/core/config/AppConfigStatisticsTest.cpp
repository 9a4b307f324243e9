// Counters, milestones and reset.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "ConfigTestSupport.h"

namespace quorix {
namespace {

using testing::ConfigHarness;

TEST(Statistics, RecordTypoCountsUnderTheNormalisedNameAndSaves) {
    ConfigHarness h;
    auto config = h.make();
    h.clock.advance(dispatch::seconds(42));
    config->recordTypo(std::nullopt);
    config->recordTypo("WhatsApp");
    config->recordTypo("\u200Ewhatsapp web ");
    EXPECT_EQ(config->appTypoCounts(),
              (std::map<std::string, int64_t>{{"Altro", 1}, {"WhatsApp", 2}}));
    EXPECT_EQ(config->totalTyposCorrected(), 3);
    EXPECT_EQ(config->lastCorrectionDate(), h.clock.wallNow());
    const auto file = nlohmann::json::parse(testing::readFile(h.configPath()));
    EXPECT_EQ(file["totalTyposCorrected"], 3);
    EXPECT_EQ(file["appTypoCounts"]["WhatsApp"], 2);
}

TEST(Statistics, MilestonesFireOnlyOnTheExactTotal) {
    for (int64_t total : {10, 25, 50, 100, 250, 500, 1000, 2500, 5000, 10000}) {
        EXPECT_TRUE(AppConfig::milestoneText(total).has_value()) << total;
        EXPECT_EQ(AppConfig::milestoneText(total + 1), std::nullopt) << total;
    }
    // One of each wording, the thousands separator and the generic form.
    EXPECT_EQ(AppConfig::milestoneText(10), "🎉 Quorix: 10° Refuso evitato!");
    EXPECT_EQ(AppConfig::milestoneText(100), "🏆 Quorix: 100° Refuso celebrato!");
    EXPECT_EQ(AppConfig::milestoneText(1000), "👑 Quorix: 1.000 Refusi! Sei un Pro!");
    EXPECT_EQ(AppConfig::milestoneText(10000), "🎉 Quorix: 10000 Refusi corretti!");
    EXPECT_EQ(AppConfig::milestoneText(0), std::nullopt);
    EXPECT_EQ(AppConfig::milestoneText(20000), std::nullopt);
}

TEST(Statistics, HandEditedTotalCelebratesAtTheNextCorrection) {
    ConfigHarness h;
    auto config = h.makeWith(R"({"totalTyposCorrected": 9})");
    EXPECT_EQ(config->checkMilestone(), std::nullopt);
    config->recordTypo("Slack");
    EXPECT_EQ(config->checkMilestone(), "🎉 Quorix: 10° Refuso evitato!");
    config->recordTypo("Slack");
    EXPECT_EQ(config->checkMilestone(), std::nullopt);
}

TEST(Statistics, ResetClearsEverythingSavesAndCelebratesAgain) {
    ConfigHarness h;
    auto config = h.make();
    for (int i = 0; i < 10; ++i) {
        config->recordTypo("Slack");
    }
    config->setLastCorrectedOriginalWord("ciao");
    config->setLastOriginalFullText("ciao");
    config->setLastCorrectedFullText("Ciao");
    config->resetStatistics();
    EXPECT_EQ(config->totalTyposCorrected(), 0);
    EXPECT_TRUE(config->appTypoCounts().empty());
    EXPECT_FALSE(config->lastCorrectedOriginalWord() || config->lastOriginalFullText() ||
                 config->lastCorrectedFullText());
    EXPECT_EQ(config->lastCorrectionDate(), kDistantPast);
    const auto file = nlohmann::json::parse(testing::readFile(h.configPath()));
    EXPECT_EQ(file["totalTyposCorrected"], 0);
    EXPECT_EQ(file["appTypoCounts"], nlohmann::json::object());
    EXPECT_EQ(h.logMessages().back(), "📊 [Config] Statistiche azzerate dall'utente.");
    for (int i = 0; i < 10; ++i) {
        config->recordTypo("Slack");
    }
    EXPECT_EQ(config->checkMilestone(), "🎉 Quorix: 10° Refuso evitato!");
}

}  // namespace
}  // namespace quorix
