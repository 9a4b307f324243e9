#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <thread>

#include "KnowledgeFixtures.h"
#include "tests/core/net/ScriptedHttpClient.h"

namespace quorix {
namespace {

using testing::DictionaryRig;
using testing::readFile;

class DictionarySync : public ::testing::Test {
  protected:
    std::unique_ptr<LocalTypoDictionary> make() {
        return std::make_unique<LocalTypoDictionary>(rig.dependencies(server));
    }
    std::optional<std::string> storedTag() {
        return rig.prefs.string(std::string(LocalTypoDictionary::kEtagPreferenceKey));
    }

    DictionaryRig rig;
    testing::ScriptedHttpClient server;  // the cloud dictionary endpoint
};

constexpr const char* kBody = R"({"version": "12", "typos": {"cge": "chs", "nuvo": "nuovo"}})";

TEST_F(DictionarySync, OkReplyMergesStoresTagAndBodyThenNotModifiedChangesNothing) {
    auto dict = make();
    server.answer({200, {{"ETag", "\"v12\""}}, kBody});
    dict->syncNow();

    EXPECT_EQ(storedTag(), "\"v12\"");
    EXPECT_EQ(dict->lookupLanguage("it", "nuvo"), "nuovo");
    EXPECT_EQ(dict->lookupMerged("cge"), "chs");
    EXPECT_EQ(readFile(dict->syncedFilePath()), kBody);
    EXPECT_EQ(rig.logMessages().back(),
              "☁️ [Dynamic Sync] Dizionario aggiornato con successo da Cloudflare (v12, 2 refusi "
              "attivi).");

    server.answer({304, {}, ""});
    dict->syncNow();
    EXPECT_TRUE(server.requests().at(0).headers.empty());
    EXPECT_EQ(server.requests().at(1).headers, (net::Headers{{"If-None-Match", "\"v12\""}}));
    EXPECT_EQ(rig.logMessages().back(),
              "📚 [Dynamic Sync] Dizionario cloud invariato (304 Not Modified).");
    EXPECT_EQ(dict->languageCount("it"), 7u);
    EXPECT_EQ(readFile(dict->syncedFilePath()), kBody);
}

// Replies without a usable typo map, and transport failures, leave the maps,
// the stored reply and the log untouched; an OK reply still stores its tag.
TEST_F(DictionarySync, UnusableRepliesChangeNothingButTheTagOfAnOkReply) {
    struct Case {
        net::HttpResponse reply;
        std::optional<std::string> tag;
        bool transportError = false;
    };
    const std::vector<Case> cases{
        {{200, {{"ETag", "t1"}}, R"({"version": "3"})"}, "t1"},
        {{200, {{"ETag", "t2"}}, R"({"typos": {"a": 1}})"}, "t2"},
        {{200, {{"ETag", "t3"}}, "{not json"}, "t3"},
        {{500, {{"ETag", "e500"}}, kBody}, std::nullopt},
        {{200, {{"ETag", "empty"}}, ""}, std::nullopt},
        {{200, {{"ETag", "lost"}}, kBody}, std::nullopt, /*transportError=*/true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reply.body);
        rig.prefs.remove(std::string(LocalTypoDictionary::kEtagPreferenceKey));
        auto dict = make();
        const std::size_t lines = rig.logMessages().size();
        server.answer(c.reply);
        if (c.transportError) {
            server.failAll();
        }
        dict->syncNow();
        EXPECT_EQ(storedTag(), c.tag);
        EXPECT_EQ(rig.logMessages().size(), lines);
        EXPECT_EQ(dict->languageCount("it"), 6u);
        EXPECT_FALSE(std::filesystem::exists(dict->syncedFilePath()));
    }
}

// A reply arriving after the dictionary is gone writes nothing anywhere.
TEST_F(DictionarySync, ALateReplyAfterDestructionIsDropped) {
    auto dict = make();
    const std::string synced = dict->syncedFilePath();
    server.holdAll();
    dict->syncNow();
    dict.reset();
    net::HttpResult late;
    late.response = {200, {{"ETag", "late"}}, kBody};
    server.releaseHeld(late);
    EXPECT_EQ(storedTag(), std::nullopt);
    EXPECT_FALSE(std::filesystem::exists(synced));
}

TEST_F(DictionarySync, FirstSyncAfterFiveSecondsThenHourly) {
    server.answer({304, {}, ""});
    auto deps = rig.dependencies(server);
    deps.startSyncOnInit = true;
    auto dict = std::make_unique<LocalTypoDictionary>(deps);
    // Requests sent once `seconds` more have passed.
    const auto after = [&](double seconds) {
        rig.clock.advance(dispatch::seconds(seconds));
        rig.utility.runUntilIdle();
        return server.requests().size();
    };

    EXPECT_EQ(after(4.9), 0u);
    EXPECT_EQ(after(0.1), 1u);
    EXPECT_EQ(after(3599), 1u);
    EXPECT_EQ(after(1), 2u);
    // Restarting replaces the timer rather than adding one.
    dict->startPeriodicSync();
    EXPECT_EQ(after(5), 3u);
    dict->stopPeriodicSync();
    EXPECT_EQ(after(7200), 3u);
    EXPECT_EQ(server.requests().front().timeout, dispatch::seconds(10));
}

// Learning, sync replies and lookups from several threads at once: every
// lookup sees a consistent state and the learned file ends with every pair.
TEST_F(DictionarySync, ConcurrentLearningSyncAndLookups) {
    auto dict = make();
    server.answer({200, {{"ETag", "c"}}, kBody});
    const auto pair = [](int t, int i) {
        const std::string id = std::to_string(t) + "q" + std::to_string(i);
        return std::pair<std::string, std::string>("parolx" + id, "parola" + id);
    };
    for (int t = 0; t < 3; ++t) {
        for (int i = 0; i < 40; ++i) {
            rig.spell.accept({pair(t, i).second});
        }
    }
    std::atomic<bool> stop{false};
    std::vector<std::thread> threads;
    for (int t = 0; t < 3; ++t) {
        threads.emplace_back([&dict, &pair, t] {
            for (int i = 0; i < 40; ++i) {
                const auto [typo, correction] = pair(t, i);
                dict->learnFromCorrection("Ciao " + typo, "Ciao " + correction);
            }
        });
    }
    threads.emplace_back([&dict] {
        for (int i = 0; i < 5; ++i) {
            dict->syncNow();
        }
    });
    threads.emplace_back([&dict, &stop] {
        while (!stop) {
            const std::string corrected =
                dict->tryCorrectLocally("Cge fai oggi").value_or("<none>");
            EXPECT_TRUE(corrected == "Che fai oggi" || corrected == "Chs fai oggi") << corrected;
            (void)dict->mergedCount();
        }
    });
    for (std::size_t i = 0; i + 1 < threads.size(); ++i) {
        threads[i].join();
    }
    stop = true;
    threads.back().join();

    EXPECT_EQ(dict->learnedCount(), 120u);
    EXPECT_EQ(dict->tryCorrectLocally("Cge fai oggi"), "Chs fai oggi");
    EXPECT_EQ(nlohmann::json::parse(readFile(dict->learnedFilePath())).size(), 120u);
}

}  // namespace
}  // namespace quorix
