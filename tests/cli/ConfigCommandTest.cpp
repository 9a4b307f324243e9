// `quorix config` and the command line itself, with HOME pointed at crafted
// folders.
#include <gtest/gtest.h>

#include <map>

#include <nlohmann/json.hpp>

#include "tests/cli/CliTestSupport.h"
#include "tests/core/config/ConfigTestSupport.h"

namespace quorix {
namespace {

using clitest::ProcessResult;
using clitest::runQuorix;
using testing::TempFolder;

// Every file and folder below root, relative, with its size (a snapshot to
// prove nothing was written).
std::map<std::string, std::uintmax_t> tree(const std::string& root) {
    std::map<std::string, std::uintmax_t> out;
    for (const auto& e : std::filesystem::recursive_directory_iterator(root)) {
        const auto rel = std::filesystem::relative(e.path(), root).string();
        out[rel] = e.is_regular_file() ? e.file_size() : 0;
    }
    return out;
}

class ConfigCommand : public ::testing::Test {
  protected:
    TempFolder home;
    std::string folder = home / ".config/penwarden";

    void writeConfig(const std::string& json) {
        std::filesystem::create_directories(folder);
        testing::writeFile(folder + "/config.json", json);
    }
    // Runs `quorix config`, checks that it wrote nothing, returns the document.
    nlohmann::json printedConfig() {
        const auto before = tree(home.path());
        const ProcessResult run = runQuorix({"config"}, home.path());
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(tree(home.path()), before) << "quorix config must not write";
        auto document = nlohmann::json::parse(run.out, nullptr, false);
        EXPECT_TRUE(document.is_object()) << run.out;
        return document;
    }
};

TEST_F(ConfigCommand, MissingOrMalformedFilePrintsDefaultsAndCreatesNothing) {
    const auto doc = printedConfig();
    EXPECT_FALSE(std::filesystem::exists(home / ".config"));
    EXPECT_EQ(doc["provider"], "gemini");
    EXPECT_EQ(doc["cloudProxyURL"], "");

    writeConfig("{\"isEnabled\": false");
    EXPECT_EQ(printedConfig()["isEnabled"], true);
    EXPECT_EQ(testing::readFile(folder + "/config.json"), "{\"isEnabled\": false");

    writeConfig(R"({"soundName": "Glass"})");
    EXPECT_EQ(printedConfig()["soundName"], "Glass");
    EXPECT_EQ(testing::folderEntries(folder), std::vector<std::string>{"config.json"});
}

// The load rules themselves are AppConfig's (tests/core/config).
TEST_F(ConfigCommand, OutputIsExactlyWhatSaveWrites) {
    testing::ConfigHarness h;
    auto config = h.make();
    config->setProvider(AIProvider::groq);
    config->recordTypo("Telegram");  // saves
    const std::string saved = testing::readFile(h.configPath());
    const ProcessResult run = runQuorix({"config"}, h.home.path());
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, saved + "\n");
}

TEST(Cli, HelpAndUsageErrors) {
    TempFolder home;
    const ProcessResult help = runQuorix({"--help"}, home.path());
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("config"), std::string::npos);
    const ProcessResult unknown = runQuorix({"frobnicate"}, home.path());
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_NE(unknown.err.find("usage"), std::string::npos);
    EXPECT_EQ(runQuorix({"config", "extra"}, home.path()).exitCode, 2);
    EXPECT_TRUE(testing::folderEntries(home.path()).empty());
}

}  // namespace
}  // namespace quorix
