#include "core/knowledge/TypoCache.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <thread>

#include "KnowledgeFixtures.h"
#include "core/dispatch/ConcurrentQueue.h"
#include "core/dispatch/SerialQueue.h"

namespace quorix {
namespace {

using testing::readFile;
using testing::TempFolder;
using testing::writeFile;

class TypoCacheTest : public ::testing::Test {
  protected:
    std::unique_ptr<TypoCache> makeCache() {
        return std::make_unique<TypoCache>(folder.path(), fs, io, logger);
    }
    std::string cacheFile() const { return folder / "cache.json"; }

    TempFolder folder;
    dispatch::VirtualClock clock;
    platform::PosixFileSystem fs;
    AppLogger logger{folder.path(), fs, clock, nullptr};
    dispatch::SerialQueue io{"test.cache.io", clock};
};

TEST_F(TypoCacheTest, KeysAreTrimmedButOtherwiseExact) {
    auto cache = makeCache();
    cache->set("  Ciao cme stai?\n", " Ciao come stai? \t");
    EXPECT_EQ(cache->get("Ciao cme stai?"), "Ciao come stai?");
    EXPECT_EQ(cache->get("ciao cme stai?"), std::nullopt);
    // A later value replaces an earlier one.
    cache->set("Ciao cme stai?", "Ciao, come stai?");
    EXPECT_EQ(cache->get("Ciao cme stai?"), "Ciao, come stai?");

    // Blank keys or values are refused.
    cache->set("   ", "qualcosa");
    cache->set("qualcosa", "\n ");
    EXPECT_EQ(cache->count(), 1u);
}

TEST_F(TypoCacheTest, EvictsFiftyEntriesPastTheBound) {
    auto cache = makeCache();
    for (int i = 0; i < 600; ++i) {
        cache->set("messaggio " + std::to_string(i), "ok");
    }
    EXPECT_EQ(cache->count(), 600u);
    cache->set("messaggio 600", "ok");
    EXPECT_EQ(cache->count(), 551u);
    cache->flushForTesting();
    EXPECT_EQ(nlohmann::json::parse(readFile(cacheFile())).size(), 551u);
}

TEST_F(TypoCacheTest, MirrorsTheTableToACompactFileLoadsItBackAndClearDeletesIt) {
    {
        auto cache = makeCache();
        cache->set("cge fai", "che fai");
        cache->set("Perché?", "Perché?");
        cache->flushForTesting();
        const std::string data = readFile(cacheFile());
        EXPECT_EQ(data.find('\n'), std::string::npos);
        EXPECT_EQ(data.find(": "), std::string::npos);
        EXPECT_EQ(nlohmann::json::parse(data),
                  (nlohmann::json{{"cge fai", "che fai"}, {"Perché?", "Perché?"}}));
        EXPECT_EQ(std::filesystem::status(cacheFile()).permissions() & std::filesystem::perms::all,
                  std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    }
    auto reloaded = makeCache();
    EXPECT_EQ(reloaded->get("cge fai"), "che fai");
    reloaded->clear();
    EXPECT_EQ(reloaded->count(), 0u);
    reloaded->flushForTesting();
    EXPECT_FALSE(std::filesystem::exists(cacheFile()));
}

// Files that are not an object of strings load as empty; a missing folder is
// not created, and writes into it fail silently.
TEST_F(TypoCacheTest, BadFilesAndAMissingFolderAreHarmless) {
    for (const std::string bad : {"[\"a\"]", "{\"a\": \"b\", \"c\": null}", "{\"a\": \"b\""}) {
        writeFile(cacheFile(), bad);
        EXPECT_EQ(makeCache()->count(), 0u) << bad;
    }
    TypoCache homeless(folder / "missing", fs, io, logger);
    homeless.set("cge", "che");
    homeless.flushForTesting();
    EXPECT_FALSE(std::filesystem::exists(folder / "missing"));
}

// Writes run on a pool where they may overlap and finish out of order; the
// file must still end with the newest state, including after a clear().
TEST_F(TypoCacheTest, TheFileEndsWithTheNewestStateUnderConcurrentWriters) {
    dispatch::ConcurrentQueue pool("test.cache.pool", clock, 4);
    TypoCache cache(folder.path(), fs, pool, logger);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&cache, t] {
            for (int i = 0; i < 200; ++i) {
                const std::string key = "t" + std::to_string(t) + " m" + std::to_string(i);
                cache.set(key, key + " corretto");
            }
        });
    }
    threads.emplace_back([&cache] {
        for (int i = 0; i < 400; ++i) {
            (void)cache.get("t0 m" + std::to_string(i % 200));
        }
    });
    for (auto& thread : threads) {
        thread.join();
    }
    cache.flushForTesting();

    TypoCache reloaded(folder.path(), fs, pool, logger);
    EXPECT_EQ(reloaded.count(), cache.count());
    for (int i = 0; i < 200; ++i) {
        const std::string key = "t3 m" + std::to_string(i);
        EXPECT_EQ(reloaded.get(key), cache.get(key));
    }

    for (int i = 0; i < 20; ++i) {
        cache.set("dopo " + std::to_string(i), "x");
    }
    cache.clear();
    cache.flushForTesting();
    EXPECT_FALSE(std::filesystem::exists(cacheFile()));
}

}  // namespace
}  // namespace quorix
