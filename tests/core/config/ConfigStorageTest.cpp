// config.json, whitelist.txt and debug.log when the disk misbehaves or another
// process shares the folder: nothing the user stored is lost, one clear line
// says what happened.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "ConfigTestSupport.h"

namespace quorix {
namespace {

using platform::FileError;
using platform::MemoryFileSystem;
using testing::ConfigHarness;
using testing::countContaining;
using testing::modeOf;
using testing::readFile;

std::vector<std::string> damagedCopies(const std::string& folder, const std::string& name) {
    std::vector<std::string> out;
    for (const auto& entry : testing::folderEntries(folder)) {
        if (entry.starts_with(name + ".damaged-")) {
            out.push_back(folder + "/" + entry);
        }
    }
    return out;
}

TEST(ConfigStorage, UnparseableConfigIsKeptAsideBeforeTheFirstSave) {
    const std::string cases[] = {
        R"({"apiKey": "AIza-user", "provider": "groq", "totalTyposCorrected": 41)",  // cut short
        "{\"apiKey\": \"AIza-user\"\xff}",                                           // one bad byte
        R"(["not", "an", "object"])",
    };
    for (const auto& original : cases) {
        ConfigHarness h;
        {
            auto readOnly = [&] {
                std::filesystem::create_directories(h.folder);
                testing::writeFile(h.configPath(), original);
                return h.make(StorageMode::readOnly);
            }();
            readOnly->save();
            EXPECT_TRUE(damagedCopies(h.folder, "config.json").empty())
                << "read-only moves nothing";
        }
        auto config = h.make();
        EXPECT_EQ(config->apiKey(), "") << "defaults for this run";
        EXPECT_EQ(readFile(h.configPath()), original) << "untouched until the first save";
        config->recordTypo("Slack");

        const auto copies = damagedCopies(h.folder, "config.json");
        ASSERT_EQ(copies.size(), 1u) << original;
        EXPECT_EQ(readFile(copies[0]), original);
        EXPECT_EQ(modeOf(copies[0]), 0600u);
        EXPECT_EQ(nlohmann::json::parse(readFile(h.configPath()))["totalTyposCorrected"], 1);
        EXPECT_EQ(countContaining(h.logMessages(), "conservato come " + copies[0]), 1u);
        config->recordTypo("Slack");
        EXPECT_EQ(damagedCopies(h.folder, "config.json").size(), 1u) << "moved once";
    }
}

TEST(ConfigStorage, FailedWritesKeepEverythingInMemoryAndLogOnce) {
    for (const FileError error : {FileError::noSpace, FileError::permissionDenied}) {
        ConfigHarness h;
        MemoryFileSystem memory;
        AppLogger logger(h.folder, memory, h.clock, nullptr);
        AppConfig config(h.folder, memory, logger, h.clock, h.workspace, h.env);
        memory.failOn(MemoryFileSystem::Operation::write, h.folder, error);
        config.setApiKey("user-key");
        config.recordTypo("Slack");
        config.recordTypo("Slack");
        config.addWordToWhitelist("quorix");
        EXPECT_EQ(memory.content(h.configPath()), std::nullopt);

        std::vector<std::string> lines = logger.recentLines();
        EXPECT_EQ(countContaining(lines, "Impossibile salvare config.json"), 1u);
        EXPECT_EQ(countContaining(lines, "Impossibile salvare whitelist.txt"), 1u);
        EXPECT_EQ(
            countContaining(lines, error == FileError::noSpace ? "disco pieno" : "permesso negato"),
            2u);

        memory.clearFailures();
        config.recordTypo("WhatsApp");
        config.addWordToWhitelist("penwarden");
        const auto stored = nlohmann::json::parse(*memory.content(h.configPath()));
        EXPECT_EQ(stored["apiKey"], "user-key");
        EXPECT_EQ(stored["totalTyposCorrected"], 3);
        EXPECT_EQ(stored["appTypoCounts"]["Slack"], 2);
        const std::string words = *memory.content(h.whitelistPath());
        EXPECT_NE(words.find("quorix"), std::string::npos);
        EXPECT_NE(words.find("penwarden"), std::string::npos);
    }
}

TEST(ConfigStorage, TwoStoresOnOneFolderMergeCountersSettingsAndWords) {
    ConfigHarness h;
    auto a = h.make();
    auto b = h.make();
    a->recordTypo("Slack");
    b->recordTypo("WhatsApp");
    b->recordTypo("Slack");
    a->setSoundEnabled(false);
    a->save();
    b->setModelName("gemini-custom");
    b->save();
    a->addWordToWhitelist("alfa");
    b->addWordToWhitelist("beta");
    b->removeWordFromWhitelist("github");

    const auto stored = nlohmann::json::parse(readFile(h.configPath()));
    EXPECT_EQ(stored["totalTyposCorrected"], 3);
    EXPECT_EQ(stored["appTypoCounts"], (nlohmann::json{{"Slack", 2}, {"WhatsApp", 1}}));
    EXPECT_EQ(stored["soundEnabled"], false) << "b did not change it: a's value stays";
    EXPECT_EQ(stored["modelName"], "gemini-custom");
    EXPECT_EQ(b->totalTyposCorrected(), 3) << "the saving store adopts the merge";
    const auto words = h.make()->whitelistWords();
    EXPECT_TRUE(words.contains("alfa") && words.contains("beta"));
    EXPECT_FALSE(words.contains("github"));

    a->resetStatistics();
    EXPECT_EQ(nlohmann::json::parse(readFile(h.configPath()))["totalTyposCorrected"], 0);
}

TEST(LoggerStorage, AFileThatCannotBeWrittenCostsOneLineAndNoHistory) {
    const struct {
        const char* what;
        FileError error;
        const char* reason;
    } cases[] = {{"disk full", FileError::noSpace, "disco pieno"},
                 {"refused", FileError::permissionDenied, "permesso negato"},
                 {"a FIFO or link", FileError::notRegular, "non è un file regolare"}};
    for (const auto& c : cases) {
        MemoryFileSystem memory;
        dispatch::VirtualClock clock;
        AppLogger logger("/cfg", memory, clock, nullptr);
        if (c.error == FileError::notRegular) {
            memory.putSpecial("/cfg/debug.log");
        } else {
            memory.failOn(MemoryFileSystem::Operation::append, "/cfg/debug.log", c.error);
        }
        logger.log("uno");
        logger.log("due");
        const auto lines = logger.recentLines();
        ASSERT_EQ(lines.size(), 3u) << c.what;
        EXPECT_TRUE(lines[0].ends_with("] uno\n")) << c.what;
        EXPECT_NE(lines[1].find(c.reason), std::string::npos) << c.what;
        EXPECT_TRUE(lines[2].ends_with("] due\n")) << c.what;
    }
}

TEST(LoggerStorage, TheFileMovesAsidePastItsLimit) {
    MemoryFileSystem memory;
    dispatch::VirtualClock clock;
    memory.put("/cfg/debug.log", std::string(AppLogger::kLogFileLimit, 'x'));
    AppLogger logger("/cfg", memory, clock, nullptr);
    logger.log("oltre il limite");
    logger.log("nuovo file");
    EXPECT_EQ(memory.content("/cfg/debug.log.old")->size(), AppLogger::kLogFileLimit + 31);
    EXPECT_TRUE(memory.content("/cfg/debug.log")->ends_with("] nuovo file\n"));
}

}  // namespace
}  // namespace quorix
