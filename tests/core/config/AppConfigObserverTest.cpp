// Change notifications, the interface language, and the store on many threads
// (run under TSan too).
#include <gtest/gtest.h>

#include <atomic>
#include <nlohmann/json.hpp>
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

    token.reset();
    config->setIsEnabled(true);
    EXPECT_EQ(seen.size(), 1u);

    // Operations notify the fields they change.
    int counted = 0;
    auto total = config->observe(ConfigField::totalTyposCorrected, [&] { ++counted; });
    auto words = config->observe(ConfigField::whitelistWords, [&] { ++counted; });
    config->recordTypo("Slack");
    config->addWordToWhitelist("parola");
    EXPECT_EQ(counted, 2);
}

TEST(Observation, TokenOutlivingTheStoreIsHarmless) {
    ObservationToken token;
    {
        ConfigHarness h;
        token = h.make()->observe(ConfigField::mode, [] {});
    }
    EXPECT_FALSE(token.isActive());
    token.reset();  // harmless too
}

TEST(Language, SystemFollowsTheFirstPreferredLanguageUnlessChosen) {
    ConfigHarness h;
    auto config = h.make();
    h.env.setPreferredLanguages({"de-DE", "it-IT"});
    EXPECT_EQ(config->currentLanguageCode(), "en") << "only the first preferred language counts";
    h.env.setPreferredLanguages({"it-IT"});
    EXPECT_EQ(L10n::t(*config, "Chiudi", "Close"), "Chiudi");
    config->setAppLanguage(AppLanguage::en);
    EXPECT_FALSE(config->isItalian());
    EXPECT_EQ(L10n::t(*config, "Chiudi", "Close"), "Close");
}

TEST(ConfigConcurrency, ReadersAndWritersOnManyThreads) {
    ConfigHarness h;
    auto config = h.make();
    auto token = config->observe(ConfigField::isEnabled, [&] { (void)config->isEnabled(); });
    constexpr int kWriters = 3;
    constexpr int kRecordsPerWriter = 40;
    std::atomic<bool> done{false};
    std::atomic<int> torn{0};

    std::vector<std::thread> threads;
    for (int w = 0; w < kWriters; ++w) {
        threads.emplace_back([&, w] {
            for (int i = 0; i < kRecordsPerWriter; ++i) {
                config->setIsEnabled(i % 2 == 0);
                config->setCustomBlacklistedApps({"app" + std::to_string(i)});
                config->addWordToWhitelist("w" + std::to_string(w * 1000 + i));
                config->recordTypo(w == 0 ? "Slack" : "WhatsApp");  // saves
            }
        });
    }
    threads.emplace_back([&] {
        while (!done.load()) {
            (void)config->isAppTargeted("com.tinyspeck.slackmacgap", "Slack");
            (void)config->isWordWhitelisted("w1");
            (void)config->checkMilestone();
            // Every read of the file sees one whole save.
            const auto content = static_cast<platform::FileSystem&>(h.fs).read(h.configPath());
            if (content.ok() &&
                nlohmann::json::parse(content.data, nullptr, false).is_discarded()) {
                ++torn;
            }
        }
    });
    for (int w = 0; w < kWriters; ++w) {
        threads[static_cast<std::size_t>(w)].join();
    }
    done = true;
    for (std::size_t i = kWriters; i < threads.size(); ++i) {
        threads[i].join();
    }

    EXPECT_EQ(torn.load(), 0);
    constexpr int64_t total = kWriters * kRecordsPerWriter;
    EXPECT_EQ(config->appTypoCounts(),
              (std::map<std::string, int64_t>{{"Slack", kRecordsPerWriter},
                                              {"WhatsApp", total - kRecordsPerWriter}}));
    // The last save to finish wrote the final state.
    EXPECT_EQ(nlohmann::json::parse(testing::readFile(h.configPath()))["totalTyposCorrected"],
              total);
    EXPECT_EQ(h.make()->whitelistWords().size(), 9u + total);
    EXPECT_EQ(testing::folderEntries(h.folder),
              (std::vector<std::string>{".lock", "config.json", "debug.log", "whitelist.txt"}))
        << "no temporary file is left behind";
}

}  // namespace
}  // namespace quorix
