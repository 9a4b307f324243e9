// `quorix correct --offline` and `quorix check` end to end: the real binary,
// the user's services over a fresh HOME, the shipped starter dictionaries and
// the system's spell dictionaries; no network.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "tests/cli/CliTestSupport.h"

namespace quorix {
namespace {

using TempHome = clitest::TempDir;
using clitest::ProcessResult;
using clitest::runQuorix;

// Runs `quorix ARGS --json` and returns the document it printed.
nlohmann::json runJSON(std::vector<std::string> args, const TempHome& home, int expectedExit = 0) {
    args.insert(args.begin() + 1, "--json");
    const ProcessResult run = runQuorix(args, home.path());
    EXPECT_EQ(run.exitCode, expectedExit) << run.err;
    auto json = nlohmann::json::parse(run.out, nullptr, false);
    EXPECT_TRUE(json.is_object()) << run.out << run.err;
    return json.is_object() ? json : nlohmann::json::object();
}

nlohmann::json correctJSON(const std::string& text, const TempHome& home, int expectedExit = 0) {
    return runJSON({"correct", "--offline", text}, home, expectedExit);
}

// How each message left, and an unfinished mention held back.
TEST(CorrectCommand, ReportsHowEachMessageLeftAndHoldsAnUnfinishedMentionBack) {
    TempHome home;
    const auto link = correctJSON("https://example.com/a?b=1", home);
    EXPECT_EQ(link["path"], "E4");
    EXPECT_EQ(link["sent"], "https://example.com/a?b=1");
    EXPECT_FALSE(link["log"].empty());

    const auto local = correctJSON("ciao coem stai", home);
    EXPECT_EQ(local["path"], "local");
    EXPECT_EQ(local["sent"], "ciao come stai");
    EXPECT_EQ(local["changedWord"], "coem");
    // The correction was cached in the user's folder: the next time it is a hit.
    const auto again = correctJSON("ciao coem stai", home);
    EXPECT_EQ(again["path"], "cache");
    EXPECT_EQ(again["sent"], "ciao come stai");

    // Hidden from accessibility, routing cannot see the open mention; the flow
    // captures it by copy and holds the message back.
    const ProcessResult plain =
        runQuorix({"correct", "--offline", "--no-ax", "ciao @mar"}, home.path());
    EXPECT_EQ(plain.exitCode, 3);
    EXPECT_EQ(plain.out, "");
    EXPECT_NE(plain.err.find("Menzione: @mar"), std::string::npos) << plain.err;

    // Visible to accessibility, routing lets Return reach the application's
    // completion list, which takes it: the message stays in the field.
    const auto passed = correctJSON("ciao @mar", home, 3);
    EXPECT_EQ(passed["path"], "pass");
    EXPECT_TRUE(passed["sent"].is_null());
}

TEST(CorrectCommand, PlainOutputIsTheTextThatLeftAndMisuseIsAUsageError) {
    TempHome home;
    const ProcessResult run =
        runQuorix({"correct", "--offline", "graize", "per", "tutot"}, home.path());
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "grazie per tutto\n");
    EXPECT_NE(run.err.find("Testo prelevato"), std::string::npos);
    EXPECT_EQ(runQuorix({"correct", "--nonsense"}, home.path()).exitCode, 2);
    EXPECT_EQ(runQuorix({"check", "--nonsense"}, home.path()).exitCode, 2);
}

TEST(CheckCommand, ReportsTheOnDeviceAnalysisWithStableKeys) {
    TempHome home;
    const auto json = runJSON({"check", "ciao coem stai xyzqw"}, home);
    std::vector<std::string> keys;
    for (const auto& item : json.items()) {
        keys.push_back(item.key());
    }
    EXPECT_EQ(keys, (std::vector<std::string>{
                        "candidateWords", "contextualSuspicion", "keyboardCorrection",
                        "keyboardCorrectionHasPotentialTypo", "keyboardModel", "language",
                        "linkOrNavigation", "localCorrection", "localCorrectionHasPotentialTypo",
                        "loneTag", "misspelledWord", "text", "unfinishedToken", "workContext"}));
    EXPECT_EQ(json["misspelledWord"], "coem");
    EXPECT_EQ(json["localCorrection"], "ciao come stai xyzqw");
    EXPECT_EQ(json["localCorrectionHasPotentialTypo"], true);

    // The keyboard model's choice for each word the maps left, from the
    // shipped model files.
    const auto keyed = runJSON({"check", "ci vediamo all'apputamento in bibliotreca"}, home);
    ASSERT_EQ(keyed["keyboardModel"].size(), 2u) << keyed.dump();
    EXPECT_EQ(keyed["keyboardModel"][0]["word"], "apputamento");
    EXPECT_EQ(keyed["keyboardModel"][0]["candidate"], "appuntamento");
    EXPECT_EQ(keyed["keyboardModel"][0]["applied"], true);
    EXPECT_GT(keyed["keyboardModel"][0]["confidence"],
              keyed["keyboardModel"][0]["runnerUpConfidence"]);
    EXPECT_EQ(keyed["keyboardCorrection"], "ci vediamo all'appuntamento in biblioteca");
}

}  // namespace
}  // namespace quorix
