// Change notifications and the interface language.
#include <gtest/gtest.h>

#include <thread>

#include "ConfigTestSupport.h"
#include "core/config/L10n.h"

namespace quorix {
namespace {

using testing::ConfigHarness;

TEST(Observation, ObserversRunBeforeTheChangeOnTheWritingThread) {
    ConfigHarness h;
    auto config = h.make();
    std::vector<bool> seen;
    std::thread::id observerThread;
    auto token = config->observe(ConfigField::isEnabled, [&] {
        seen.push_back(config->isEnabled());  // reading inside the observer must not deadlock
        observerThread = std::this_thread::get_id();
    });
    std::thread writer([&] { config->setIsEnabled(false); });
    const auto writerId = writer.get_id();
    writer.join();
    EXPECT_EQ(seen, std::vector<bool>{true});
    EXPECT_EQ(observerThread, writerId);
    EXPECT_FALSE(config->isEnabled());

    token.reset();
    config->setIsEnabled(true);
    EXPECT_EQ(seen.size(), 1u);
}

TEST(Observation, OperationsNotifyTheFieldsTheyChange) {
    ConfigHarness h;
    auto config = h.make();
    std::map<ConfigField, int> counts;
    std::vector<ObservationToken> tokens;
    for (auto field : {ConfigField::totalTyposCorrected, ConfigField::appTypoCounts,
                       ConfigField::whitelistWords, ConfigField::customBlacklistedApps,
                       ConfigField::executiveWorkApps, ConfigField::lastCorrectionDate}) {
        tokens.push_back(config->observe(field, [&counts, field] { ++counts[field]; }));
    }
    config->recordTypo("Slack");
    config->addWordToWhitelist("parola");
    config->excludeApp("zoom");
    config->toggleExecutiveApp("zoom");
    config->setModelName("other");  // not observable
    config->setIconStyle(IconStyle::wand);
    EXPECT_EQ(counts, (std::map<ConfigField, int>{{ConfigField::totalTyposCorrected, 1},
                                                  {ConfigField::appTypoCounts, 1},
                                                  {ConfigField::whitelistWords, 1},
                                                  {ConfigField::customBlacklistedApps, 1},
                                                  {ConfigField::executiveWorkApps, 1},
                                                  {ConfigField::lastCorrectionDate, 1}}));
}

TEST(Observation, TokenOutlivingTheStoreIsHarmless) {
    ObservationToken token;
    {
        ConfigHarness h;
        auto config = h.make();
        token = config->observe(ConfigField::mode, [] {});
        EXPECT_TRUE(token.isActive());
    }
    EXPECT_FALSE(token.isActive());
    token.reset();
}

TEST(Language, SystemFollowsTheFirstPreferredLanguage) {
    ConfigHarness h;
    auto config = h.make();
    const std::pair<std::vector<std::string>, const char*> cases[] = {
        {{"it-CH", "en-US"}, "it"},
        {{"IT"}, "it"},
        {{"de-DE", "it-IT"}, "en"},
        {{}, "en"},
        {{"i"}, "en"},
        {{"italiano"}, "it"},
    };
    for (const auto& [languages, expected] : cases) {
        h.env.setPreferredLanguages(languages);
        EXPECT_EQ(config->currentLanguageCode(), expected);
    }
    h.env.setPreferredLanguages({"it-IT"});
    config->setAppLanguage(AppLanguage::en);
    EXPECT_FALSE(config->isItalian());
    h.env.setPreferredLanguages({"en-GB"});
    config->setAppLanguage(AppLanguage::it);
    EXPECT_TRUE(config->isItalian());
}

TEST(Language, L10nPicksThePairFromTheSharedStore) {
    ConfigHarness h;
    auto config = h.make();
    AppConfig::setShared(config.get());
    h.env.setPreferredLanguages({"it-IT"});
    EXPECT_EQ(L10n::t("Chiudi", "Close"), "Chiudi");
    config->setAppLanguage(AppLanguage::en);
    EXPECT_EQ(L10n::t("Chiudi", "Close"), "Close");
    AppConfig::setShared(nullptr);
}

}  // namespace
}  // namespace quorix
