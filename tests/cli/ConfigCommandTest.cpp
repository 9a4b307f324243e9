// The `quorix` executable run as a user would, with HOME pointed at crafted
// folders.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <nlohmann/json.hpp>

#include "core/config/Files.h"
#include "tests/core/config/ConfigTestSupport.h"

extern char** environ;

namespace quorix {
namespace {

using testing::TempFolder;

struct ProcessResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs the binary with HOME replaced; stdout and stderr go to files in scratch.
ProcessResult runQuorix(const std::vector<std::string>& args, const std::string& home) {
    TempFolder scratch;
    const std::string outPath = scratch / "out";
    const std::string errPath = scratch / "err";
    std::vector<std::string> argStrings{QUORIX_CLI_PATH};
    argStrings.insert(argStrings.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& a : argStrings) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    std::vector<std::string> envStrings{"HOME=" + home};
    for (char** e = environ; *e != nullptr; ++e) {
        if (std::string_view(*e).starts_with("HOME=") == false) {
            envStrings.emplace_back(*e);
        }
    }
    std::vector<char*> envp;
    for (auto& e : envStrings) {
        envp.push_back(e.data());
    }
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    pid_t pid = 0;
    ProcessResult run;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) == 0) {
        int status = 0;
        if (waitpid(pid, &status, 0) == pid && WIFEXITED(status)) {
            run.exitCode = WEXITSTATUS(status);
        }
    }
    posix_spawn_file_actions_destroy(&actions);
    run.out = testing::readFile(outPath);
    run.err = testing::readFile(errPath);
    return run;
}

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

TEST_F(ConfigCommand, MissingFolderPrintsDefaultsAndCreatesNothing) {
    const auto doc = printedConfig();
    EXPECT_FALSE(std::filesystem::exists(home / ".config"));
    EXPECT_EQ(doc.size(), 22u);
    EXPECT_EQ(doc["provider"], "gemini");
    EXPECT_EQ(doc["iconStyle"], "quorix");
    EXPECT_EQ(doc["mode"], "autoSend");
    EXPECT_EQ(doc["cloudProxyURL"], "http://127.0.0.1:8787/v1/correct");
    EXPECT_EQ(doc["executiveWorkApps"],
              nlohmann::json::array({"slack", "teams", "mail", "outlook", "linear"}));
    EXPECT_EQ(doc["targetApps"].size(), 12u);
    EXPECT_EQ(doc["appTypoCounts"], nlohmann::json::object());
}

TEST_F(ConfigCommand, FolderWithoutWhitelistGetsNoDefaultWhitelistWritten) {
    writeConfig(R"({"soundName": "Glass"})");
    EXPECT_EQ(printedConfig()["soundName"], "Glass");
    EXPECT_FALSE(std::filesystem::exists(folder + "/whitelist.txt"));
    EXPECT_FALSE(std::filesystem::exists(folder + "/debug.log"));
}

TEST_F(ConfigCommand, LoadRulesAreAppliedToTheUsersFile) {
    writeConfig(R"({
        "apiKey": "AIzaSyQx0R_retired", "deepseekApiKey": "", "groqApiKey": "gsk_mine",
        "cloudProxyURL": "", "soundName": "", "modelName": "",
        "provider": "DeepSeek", "mode": "ctrlEnter", "iconStyle": "keyboard",
        "toneStyle": "Formal", "appLanguage": "it",
        "isEnabled": 0, "soundEnabled": false,
        "targetApps": ["slack", 3], "customBlacklistedApps": ["zoom"],
        "totalTyposCorrected": "12",
        "appTypoCounts": {"WhatsApp": 3, "whatsapp": 2, "Slack": 1, "": 4},
        "unknownMember": true
    })");
    const auto doc = printedConfig();
    EXPECT_EQ(doc["apiKey"], "");
    EXPECT_EQ(doc["deepseekApiKey"], "");
    EXPECT_EQ(doc["groqApiKey"], "gsk_mine");
    EXPECT_EQ(doc["cloudProxyURL"], "http://127.0.0.1:8787/v1/correct");
    EXPECT_EQ(doc["soundName"], "Pop");
    EXPECT_EQ(doc["modelName"], "gemini-3-flash-preview");
    EXPECT_EQ(doc["provider"], "gemini");
    EXPECT_EQ(doc["mode"], "ctrlEnter");
    EXPECT_EQ(doc["iconStyle"], "keyboard");
    EXPECT_EQ(doc["toneStyle"], "natural");
    EXPECT_EQ(doc["appLanguage"], "it");
    EXPECT_EQ(doc["isEnabled"], true);
    EXPECT_EQ(doc["soundEnabled"], false);
    EXPECT_EQ(doc["targetApps"].size(), 12u);
    EXPECT_EQ(doc["customBlacklistedApps"], nlohmann::json::array({"zoom"}));
    EXPECT_EQ(doc["totalTyposCorrected"], 0);
    EXPECT_EQ(doc["appTypoCounts"], (nlohmann::json{{"WhatsApp", 5}, {"Slack", 1}, {"Altro", 4}}));
    EXPECT_FALSE(doc.contains("unknownMember"));
    EXPECT_EQ(doc.size(), 22u);
}

TEST_F(ConfigCommand, MalformedFilePrintsDefaults) {
    writeConfig("{\"isEnabled\": false");
    const auto doc = printedConfig();
    EXPECT_EQ(doc["isEnabled"], true);
    EXPECT_EQ(testing::readFile(folder + "/config.json"), "{\"isEnabled\": false");
}

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

TEST(Cli, HelpUnknownAndMissingSubcommands) {
    TempFolder home;
    const ProcessResult help = runQuorix({"--help"}, home.path());
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("config"), std::string::npos);
    EXPECT_EQ(runQuorix({"-h"}, home.path()).exitCode, 0);

    const ProcessResult unknown = runQuorix({"frobnicate"}, home.path());
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_TRUE(unknown.out.empty());
    EXPECT_NE(unknown.err.find("usage"), std::string::npos);

    EXPECT_EQ(runQuorix({}, home.path()).exitCode, 2);
    EXPECT_EQ(runQuorix({"config", "extra"}, home.path()).exitCode, 2);
    EXPECT_TRUE(testing::folderEntries(home.path()).empty());
}

}  // namespace
}  // namespace quorix
