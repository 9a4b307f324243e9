#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include "KnowledgeFixtures.h"
#include "core/knowledge/ForgetWord.h"
#include "core/knowledge/LearningPairs.h"
#include "core/knowledge/TypoEdit.h"

namespace quorix {
namespace {

using testing::DictionaryRig;
using testing::readFile;
using Pairs = std::vector<std::pair<std::string, std::string>>;

TEST(LearningPairs, PairsWordsByPositionWithTheLengthAndCaseFilters) {
    EXPECT_EQ(learningPairs("Ciao, stai attendo?", "Ciao, stai attento?"),
              (Pairs{{"attendo", "attento"}}));
    // An elided form is one word; case is folded on both sides.
    EXPECT_EQ(learningPairs("Bevo L'aqcua fresca", "Bevo l'acqua fresca"),
              (Pairs{{"l'aqcua", "l'acqua"}}));
    // Different word counts; too short on either side; only the case changed.
    EXPECT_EQ(learningPairs("qeusto e bello", "questo è molto bello"), Pairs{});
    EXPECT_EQ(learningPairs("ke fai", "che fai"), Pairs{});
    EXPECT_EQ(learningPairs("vado pre", "vado e"), Pairs{});
    EXPECT_EQ(learningPairs("CIAO Roma", "ciao roma"), Pairs{});
    // Characters outside Latin-1 split words.
    EXPECT_EQ(learningPairs("ciaoœmondo", "ciaoœmondi"), (Pairs{{"mondo", "mondi"}}));
}

TEST(TypoEdit, CountsTheSlipsOfTyping) {
    EXPECT_EQ(typoEditDistance("attendo", "attento"), 1u);
    EXPECT_EQ(typoEditDistance("qeusto", "questo"), 1u);  // neighbours swapped
    EXPECT_EQ(typoEditDistance("Citta", "città"), 1u);    // case is ignored
    EXPECT_EQ(typoEditDistance("questo", "il"), 6u);
    EXPECT_TRUE(isTypoEdit("grazzie", "grazie"));
    EXPECT_TRUE(isTypoEdit("comunqeu", "comunque"));
    EXPECT_FALSE(isTypoEdit("cmq", "comunque"));
    EXPECT_FALSE(isTypoEdit("cge", "chi"));  // two slips in a short word
    EXPECT_FALSE(isTypoEdit("ciao", "CIAO"));
}

// The scripted spell checker accepts these words in every language.
const std::set<std::string> kAccepted{"ciao", "stai", "attento", "questo", "il",      "comunque",
                                      "non",  "lo",   "so",      "che",    "quindi",  "sincrono",
                                      "sto",  "bene", "grazie",  "grazia", "weekend", "città"};

class Learning : public ::testing::Test {
  protected:
    Learning() : rig("it", kAccepted) {}
    DictionaryRig rig;
};

TEST_F(Learning, LearnsOnlySlipsFromRejectedToAcceptedWords) {
    auto dict = rig.make();
    dict->learnFromCorrection("Ciao, stai attendo?", "Ciao, stai attento?");
    EXPECT_EQ(dict->lookupLearned("attendo"), "attento");
    EXPECT_EQ(dict->lookupMerged("attendo"), "attento");
    EXPECT_EQ(rig.logMessages().back(),
              "🧠 [Self-Learning] Appresi 1 nuovi refusi personali (totale: 1). La prossima "
              "volta saranno corretti a 0ms senza AI!");
    EXPECT_EQ(dict->tryCorrectLocally("Stai attendo"), "Stai attento");

    // A rewrite of correct words, an expansion, a correction the spell
    // checker rejects, and a personal word: none is learned.
    rig.personal = {"grazzie"};
    dict->learnFromCorrection("questo reprot", "il reprot");
    dict->learnFromCorrection("cmq nn lo so", "comunque non lo so");
    dict->learnFromCorrection("Sto beme", "Sto bemo");
    dict->learnFromCorrection("grazzie", "grazie");
    EXPECT_EQ(dict->learnedCount(), 1u);
    EXPECT_EQ(nlohmann::json::parse(readFile(dict->learnedFilePath())),
              (nlohmann::json{{"attendo", "attento"}}));
    EXPECT_NE(readFile(dict->learnedFilePath()).find("\n"), std::string::npos) << "pretty";
}

TEST_F(Learning, KnownTyposAreNeverLearnedAgain) {
    rig.writeConfig("synced_typos_it.json", R"({"typos": {"sincro": "sincronia"}})");
    auto dict = rig.make();
    const std::size_t lines = rig.logMessages().size();
    // Known from a file, the built-in pairs and the synced list.
    dict->learnFromCorrection("cge quidni sincro", "che quindi sincrono");
    EXPECT_EQ(dict->learnedCount(), 0u);
    EXPECT_EQ(rig.logMessages().size(), lines);
    EXPECT_FALSE(std::filesystem::exists(dict->learnedFilePath()));

    dict->learnFromCorrection("Sto bnee", "Sto bene");
    EXPECT_EQ(dict->lookupLearned("bnee"), "bene");
    // A learned correction is not replaced by a later one.
    dict->learnFromCorrection("grazze", "grazie");
    dict->learnFromCorrection("grazze", "grazia");
    EXPECT_EQ(dict->lookupLearned("grazze"), "grazie");
    // Repeated in one message: learned once.
    dict->learnFromCorrection("grazzie e grazzie", "grazie e grazie");
    EXPECT_EQ(dict->learnedCount(), 3u);
    EXPECT_TRUE(
        rig.logMessages().back().starts_with("🧠 [Self-Learning] Appresi 1 nuovi refusi "
                                             "personali (totale: 3)."));
}

TEST_F(Learning, LoadingDropsPairsThatChangeCorrectWordsAndRewritesTheFileOnce) {
    rig.writeConfig("learned_typos.json",
                    R"({"questo": "il", "cmq": "comunque", "attendo": "attento", "beme": "bemo"})");
    auto dict = rig.make();
    EXPECT_EQ(dict->learnedCount(), 1u);
    EXPECT_EQ(dict->tryCorrectLocally("questo weekend attendo"), "questo weekend attento");
    const auto log = rig.logMessages();
    EXPECT_NE(std::find(log.begin(), log.end(),
                        "🧹 [Self-Learning] Scartati 3 refusi appresi che cambiavano parole "
                        "corrette."),
              log.end());
    EXPECT_EQ(nlohmann::json::parse(readFile(dict->learnedFilePath())),
              (nlohmann::json{{"attendo", "attento"}}));

    // Clean now: the next start neither drops nor rewrites anything.
    DictionaryRig again("it", kAccepted);
    again.writeConfig("learned_typos.json", readFile(dict->learnedFilePath()));
    again.make();
    for (const auto& line : again.logMessages()) {
        EXPECT_FALSE(line.starts_with("🧹")) << line;
    }

    // Read-only services leave a broken file as it is.
    DictionaryRig inspecting("it", kAccepted);
    inspecting.writeConfig("learned_typos.json", R"({"questo": "il"})");
    auto deps = inspecting.dependencies(inspecting.offline);
    deps.storage = StorageMode::readOnly;
    LocalTypoDictionary readOnly(deps);
    EXPECT_EQ(readOnly.learnedCount(), 0u);
    EXPECT_EQ(readFile(readOnly.learnedFilePath()), R"({"questo": "il"})");
}

TEST_F(Learning, NoPairReplacesAnAcceptedOrPersonalWordAndForgetRemovesALearnedOne) {
    rig.writeConfig("learned_typos.json", R"({"grazei": "grazia"})");
    rig.writeConfig(
        "synced_typos_it.json",
        R"({"version": "7", "typos": {"cge": "chy", "grazei": "grazie!", "nuvo": "nuovo", "citta": "città"}})");
    auto dict = rig.make();
    // Learned beats synced, synced beats shipped.
    EXPECT_EQ(dict->tryCorrectLocally("Cge grazei nuvo"), "Chy grazia nuovo");

    // The personal dictionary protects a word from every source, at lookup.
    rig.personal = {"cge", "grazei"};
    EXPECT_EQ(dict->tryCorrectLocally("Cge grazei nuvo"), "Cge grazei nuovo");
    rig.personal.clear();

    // Accent-only pairs act only when accents are corrected.
    EXPECT_EQ(dict->tryCorrectLocally("stasera in citta"), std::nullopt);
    rig.correctAccents = true;
    EXPECT_EQ(dict->tryCorrectLocally("stasera in citta"), "stasera in città");

    EXPECT_EQ(dict->forgetLearned("Grazei"), "grazia");
    EXPECT_EQ(dict->forgetLearned("grazei"), std::nullopt);
    EXPECT_EQ(dict->learnedCount(), 0u);
    EXPECT_EQ(nlohmann::json::parse(readFile(dict->learnedFilePath())), nlohmann::json::object());
    EXPECT_EQ(dict->tryCorrectLocally("grazei"), "grazie!");  // the synced pair remains
}

TEST(ForgetWord, RemovesTheLearnedPairAddsThePersonalWordAndClearsTheCache) {
    DictionaryRig rig("it", kAccepted);
    rig.writeConfig("learned_typos.json", R"({"attendo": "attento"})");
    testing::ConfigHarness harness;
    const auto configPtr = harness.make();
    AppConfig& config = *configPtr;
    auto deps = rig.dependencies(rig.offline);
    deps.isPersonalWord = [&config](std::string_view w) { return config.isWordWhitelisted(w); };
    LocalTypoDictionary dict(deps);
    TypoCache cache(harness.folder, rig.fs, rig.utility, rig.logger);
    cache.set("stai attendo", "stai attento");

    const auto forgotten = forgetWord("  Attendo ", dict, config, cache);
    rig.utility.runUntilIdle();
    ASSERT_TRUE(forgotten.has_value());
    EXPECT_EQ(forgotten->word, "attendo");
    EXPECT_EQ(forgotten->learnedCorrection, "attento");
    EXPECT_TRUE(config.isWordWhitelisted("attendo"));
    EXPECT_EQ(cache.get("stai attendo"), std::nullopt);
    EXPECT_EQ(dict.tryCorrectLocally("stai attendo"), std::nullopt);
    EXPECT_EQ(forgetWord(" ", dict, config, cache), std::nullopt);
}

TEST_F(Learning, StoredSyncReplyMayBeABareMapAndBadFilesAreSilent) {
    rig.writeConfig("synced_typos_it.json", R"({"nuvo": "nuovo"})");
    rig.writeConfig("learned_typos.json", R"({"cge": 1})");
    EXPECT_EQ(rig.make()->lookupLanguage("it", "nuvo"), "nuovo");
    DictionaryRig other;
    other.writeConfig("synced_typos_it.json", R"({"typos": [1, 2], "version": "2"})");
    other.writeConfig("learned_typos.json", "{\"cge\": \"che\"");
    EXPECT_EQ(other.make()->languageCount("it"), 6u);
    EXPECT_EQ(other.logMessages().size(), 1u);
}

}  // namespace
}  // namespace quorix
