// The commands against hostile or damaged configuration folders, and what
// they report when there is nothing to send.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <nlohmann/json.hpp>

#include "tests/cli/CliTestSupport.h"

namespace quorix {
namespace {

using clitest::ProcessResult;
using clitest::readFile;
using clitest::runQuorix;
using clitest::TempDir;
using testing::modeOf;

std::string makeFolder(const TempDir& home) {
    const std::string folder = home.path() + "/.config/penwarden";
    std::filesystem::create_directories(folder);
    return folder;
}

TEST(StoredFiles, SpecialFilesAndLinksNeitherHangNorLeak) {
    TempDir home;
    TempDir elsewhere;
    const std::string folder = makeFolder(home);
    const std::string target = elsewhere.path() + "/notes.txt";
    std::ofstream(target) << "theirs\n";
    ::chmod(target.c_str(), 0644);
    ASSERT_EQ(::mkfifo((folder + "/config.json").c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo((folder + "/whitelist.txt").c_str(), 0600), 0);
    ASSERT_EQ(::symlink("/dev/zero", (folder + "/cache.json").c_str()), 0);
    ASSERT_EQ(::symlink("/dev/zero", (folder + "/learned_typos.json").c_str()), 0);
    ASSERT_EQ(::symlink(target.c_str(), (folder + "/debug.log").c_str()), 0);

    for (const std::vector<std::string>& args : {std::vector<std::string>{"config"},
                                                 {"check", "ciao"},
                                                 {"correct", "--offline", "ciao"}}) {
        const ProcessResult run = runQuorix(args, home.path());
        EXPECT_EQ(run.exitCode, 0) << args[0] << run.err;
    }
    EXPECT_EQ(readFile(target), "theirs\n") << "no message text through the link";
    EXPECT_EQ(modeOf(target), 0644u);
}

TEST(StoredFiles, ReadOnlyCommandsCreateNothingAndUserModesStay) {
    TempDir home;
    EXPECT_EQ(runQuorix({"check", "ciao"}, home.path()).exitCode, 0);
    EXPECT_EQ(runQuorix({"config"}, home.path()).exitCode, 0);
    EXPECT_FALSE(std::filesystem::exists(home.path() + "/.config")) << "check writes nothing";

    const std::string folder = makeFolder(home);
    ::chmod(folder.c_str(), 0755);
    EXPECT_EQ(runQuorix({"check", "ciao"}, home.path()).exitCode, 0);
    EXPECT_EQ(modeOf(folder), 0755u) << "check changes no mode";
    ::chmod(folder.c_str(), 0500);
    EXPECT_EQ(runQuorix({"correct", "--offline", "ciao"}, home.path()).exitCode, 0);
    EXPECT_EQ(modeOf(folder), 0500u) << "only group and other bits are ever removed";
    ::chmod(folder.c_str(), 0700);
}

TEST(StoredFiles, ADamagedFileSurvivesTheFirstWrite) {
    TempDir home;
    const std::string folder = makeFolder(home);
    const std::string original = R"({"ciao coem stai": "ciao come stai", "cut short)";
    std::ofstream(folder + "/cache.json") << original;
    // A local correction is cached: the first write of cache.json.
    EXPECT_EQ(runQuorix({"correct", "--offline", "ciao coem stai"}, home.path()).exitCode, 0);
    std::vector<std::string> copies;
    for (const std::string& name : testing::folderEntries(folder)) {
        if (name.starts_with("cache.json.damaged-")) {
            copies.push_back(folder + "/" + name);
        }
    }
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_EQ(readFile(copies[0]), original);
    EXPECT_EQ(modeOf(copies[0]), 0600u);
    EXPECT_NE(readFile(folder + "/debug.log").find("conservato come " + copies[0]),
              std::string::npos);
    EXPECT_EQ(nlohmann::json::parse(readFile(folder + "/cache.json")).size(), 1u);
}

TEST(StoredFiles, BlankInputIsNothingToSendInTextAndJson) {
    TempDir home;
    for (const std::string& text : {std::string(), std::string("   ")}) {
        const ProcessResult plain = runQuorix({"correct", "--offline", text}, home.path());
        EXPECT_EQ(plain.exitCode, 4);
        EXPECT_EQ(plain.out, "");
        EXPECT_NE(plain.err.find("nothing to send"), std::string::npos);
        const ProcessResult json = runQuorix({"correct", "--json", "--offline", text}, home.path());
        EXPECT_EQ(json.exitCode, 4);
        EXPECT_TRUE(nlohmann::json::parse(json.out)["sent"].is_null());
    }
}

}  // namespace
}  // namespace quorix
