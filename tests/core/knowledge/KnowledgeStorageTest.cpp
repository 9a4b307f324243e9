// cache.json and learned_typos.json when the disk misbehaves, when a file is
// damaged, and when several processes share the folder.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <nlohmann/json.hpp>

#include "KnowledgeFixtures.h"
#include "core/config/AppConfig.h"
#include "core/dispatch/SerialQueue.h"
#include "core/knowledge/TypoCache.h"
#include "platform/sim/SimSystemEnvironment.h"
#include "platform/sim/SimWorkspace.h"

namespace quorix {
namespace {

using platform::FileError;
using platform::MemoryFileSystem;
using testing::countContaining;
using testing::DictionaryRig;
using testing::readFile;

// A cache over an in-memory configuration folder "/cfg".
class CacheStorage : public ::testing::Test {
  protected:
    MemoryFileSystem memory;
    dispatch::VirtualClock clock;
    AppLogger logger{"/cfg", memory, clock, nullptr};
    dispatch::SerialQueue io{"test.cache.io", clock};
};

TEST_F(CacheStorage, AFailedWriteIsLoggedOnceAndTheNextChangeWritesEverything) {
    TypoCache cache("/cfg", memory, io, logger);
    memory.failOn(MemoryFileSystem::Operation::write, "/cfg/cache.json", FileError::noSpace);
    cache.set("ciao cme stai", "ciao come stai");
    cache.flushForTesting();
    cache.set("grazei", "grazie");
    cache.flushForTesting();
    EXPECT_EQ(countContaining(logger.recentLines(), "Impossibile salvare cache.json (disco pieno)"),
              1u);
    EXPECT_EQ(cache.get("ciao cme stai"), "ciao come stai") << "kept in memory";

    memory.clearFailures();
    cache.set("perche", "perché");
    cache.flushForTesting();
    EXPECT_EQ(nlohmann::json::parse(*memory.content("/cfg/cache.json")).size(), 3u);
}

TEST_F(CacheStorage, ADamagedFileIsKeptAsideAndOtherProcessesEntriesAreKept) {
    memory.put("/cfg/cache.json", R"({"a": "b", )");
    {
        TypoCache cache("/cfg", memory, io, logger);
        cache.set("uno", "uno");
        cache.flushForTesting();
    }
    const auto paths = memory.paths();
    const auto aside = std::find_if(paths.begin(), paths.end(), [](const std::string& p) {
        return p.starts_with("/cfg/cache.json.damaged-");
    });
    ASSERT_NE(aside, paths.end());
    EXPECT_EQ(memory.content(*aside), R"({"a": "b", )");

    TypoCache first("/cfg", memory, io, logger);
    TypoCache second("/cfg", memory, io, logger);
    first.set("due", "due");
    first.flushForTesting();
    second.set("tre", "tre");
    second.flushForTesting();
    EXPECT_EQ(nlohmann::json::parse(*memory.content("/cfg/cache.json")),
              (nlohmann::json{{"uno", "uno"}, {"due", "due"}, {"tre", "tre"}}));
}

class LearnedStorage : public ::testing::Test {
  protected:
    LearnedStorage() : rig("it", {"ciao", "stai", "attento", "sono", "qui", "ragazzi"}) {
        rig.files = &memory;
    }
    std::string learnedPath() const { return rig.config.path() + "/penwarden/learned_typos.json"; }
    MemoryFileSystem memory;
    DictionaryRig rig;
};

TEST_F(LearnedStorage, AFailedWriteKeepsThePairsAndTheNextLearningWritesThemAll) {
    auto dict = rig.make();
    memory.failOn(MemoryFileSystem::Operation::write, learnedPath(), FileError::permissionDenied);
    dict->learnFromCorrection("Ciao, stai attendo?", "Ciao, stai attento?");
    dict->learnFromCorrection("sonoo quii", "sono qui");
    EXPECT_EQ(dict->lookupLearned("attendo"), "attento");
    EXPECT_EQ(countContaining(rig.logMessages(),
                              "Impossibile salvare learned_typos.json (permesso negato)"),
              1u);
    memory.clearFailures();
    dict->learnFromCorrection("ciao ragazzz", "ciao ragazzi");
    EXPECT_EQ(
        nlohmann::json::parse(*memory.content(learnedPath())),
        (nlohmann::json{
            {"attendo", "attento"}, {"sonoo", "sono"}, {"quii", "qui"}, {"ragazzz", "ragazzi"}}));
}

TEST_F(LearnedStorage, AnUnparseableFileIsKeptAsideBeforeTheFirstWrite) {
    const std::string original = R"({"refsuo": "refuso", "cosa": )";
    memory.put(learnedPath(), original);
    auto dict = rig.make();
    EXPECT_EQ(memory.content(learnedPath()), original) << "loading writes nothing";
    dict->learnFromCorrection("Ciao, stai attendo?", "Ciao, stai attento?");
    std::size_t copies = 0;
    for (const auto& path : memory.paths()) {
        if (path.starts_with(learnedPath() + ".damaged-")) {
            ++copies;
            EXPECT_EQ(memory.content(path), original);
        }
    }
    EXPECT_EQ(copies, 1u);
    EXPECT_EQ(countContaining(rig.logMessages(), "learned_typos.json non leggibile: conservato"),
              1u);
}

// Twenty processes, each counting one correction, caching one text and
// learning one pair in the same configuration folder.
TEST(SharedFolder, ParallelProcessesLoseNoUpdate) {
    testing::TempFolder home;
    const std::string folder = home / "penwarden";
    constexpr int kProcesses = 20;
    // Every process's spell checker accepts every target: a loaded pair whose
    // target it rejected would be dropped as one that no slip explains.
    std::set<std::string> targets{"ciao"};
    for (int i = 0; i < kProcesses; ++i) {
        targets.insert("qwzy" + std::to_string(i));
    }
    std::vector<pid_t> children;
    for (int i = 0; i < kProcesses; ++i) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            const std::string n = std::to_string(i);
            DictionaryRig rig("it", targets);
            platform::SimWorkspace workspace(home.path());
            platform::SimSystemEnvironment env(home.path(), {"it-IT"});
            AppLogger logger(folder, rig.fs, rig.clock, nullptr);
            AppConfig config(folder, rig.fs, logger, rig.clock, workspace, env);
            config.recordTypo("App" + n);
            dispatch::SerialQueue io("child.io", rig.clock);
            TypoCache cache(folder, rig.fs, io, logger);
            cache.set("testo " + n, "testo " + n);
            cache.flushForTesting();
            auto deps = rig.dependencies(rig.offline);
            deps.configFolder = folder;
            LocalTypoDictionary dict(deps);
            dict.learnFromCorrection("ciao qwzx" + n, "ciao qwzy" + n);
            const bool learned = dict.lookupLearned("qwzx" + n) == "qwzy" + n;
            std::error_code ignored;
            std::filesystem::remove_all(rig.config.path(), ignored);  // _Exit skips destructors
            std::_Exit(learned ? 0 : 4);
        }
        children.push_back(pid);
    }
    for (const pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    }
    const auto config = nlohmann::json::parse(readFile(folder + "/config.json"));
    EXPECT_EQ(config["totalTyposCorrected"], kProcesses);
    EXPECT_EQ(config["appTypoCounts"].size(), static_cast<std::size_t>(kProcesses));
    EXPECT_EQ(nlohmann::json::parse(readFile(folder + "/cache.json")).size(),
              static_cast<std::size_t>(kProcesses));
    EXPECT_EQ(nlohmann::json::parse(readFile(folder + "/learned_typos.json")).size(),
              static_cast<std::size_t>(kProcesses));
}

}  // namespace
}  // namespace quorix
