// Readers and writers of the store on several threads; run under TSan too.
#include <gtest/gtest.h>

#include <atomic>
#include <nlohmann/json.hpp>
#include <thread>

#include "ConfigTestSupport.h"
#include "core/config/Files.h"

namespace quorix {
namespace {

using testing::ConfigHarness;

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
                config->setApiKey("key-" + std::to_string(w) + "-" + std::to_string(i));
                config->setCustomBlacklistedApps({"app" + std::to_string(i)});
                config->addWordToWhitelist("w" + std::to_string(w * 1000 + i));
                config->recordTypo(w == 0 ? "Slack" : "WhatsApp");  // saves
            }
        });
    }
    for (int r = 0; r < 2; ++r) {
        threads.emplace_back([&] {
            while (!done.load()) {
                (void)config->isEnabled();
                (void)config->apiKey();
                (void)config->isAppTargeted("com.tinyspeck.slackmacgap", "Slack");
                (void)config->isWordWhitelisted("w1");
                (void)config->toJSON();
                (void)config->checkMilestone();
            }
        });
    }
    threads.emplace_back([&] {
        // Every read of the file sees one whole save.
        while (!done.load()) {
            const auto content = files::readAll(h.configPath());
            if (content && nlohmann::json::parse(*content, nullptr, false).is_discarded()) {
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
    EXPECT_EQ(config->totalTyposCorrected(), total);
    EXPECT_EQ(config->appTypoCounts(),
              (std::map<std::string, int64_t>{{"Slack", kRecordsPerWriter},
                                              {"WhatsApp", total - kRecordsPerWriter}}));
    EXPECT_EQ(config->whitelistWords().size(), 9u + kWriters * kRecordsPerWriter);
    // The last save to finish wrote the final state.
    const auto file = nlohmann::json::parse(testing::readFile(h.configPath()));
    EXPECT_EQ(file["totalTyposCorrected"], total);
    EXPECT_EQ(h.make()->whitelistWords().size(), 9u + kWriters * kRecordsPerWriter);
    EXPECT_EQ(testing::folderEntries(h.folder),
              (std::vector<std::string>{"config.json", "debug.log", "whitelist.txt"}))
        << "no temporary file is left behind";
}

}  // namespace
}  // namespace quorix
