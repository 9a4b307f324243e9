#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include "KnowledgeFixtures.h"
#include "core/knowledge/LearningPairs.h"

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

class Learning : public ::testing::Test {
  protected:
    Learning() : rig("it", {"ciao", "stai", "attendo", "attento"}) {}
    DictionaryRig rig;
};

TEST_F(Learning, LearnsNewTyposSavesAllPairsAndCorrectsThemNextTime) {
    auto dict = rig.make();
    dict->learnFromCorrection("Ciao, stai attendo?", "Ciao, stai attento?");
    EXPECT_EQ(dict->lookupLearned("attendo"), "attento");
    EXPECT_EQ(dict->lookupMerged("attendo"), "attento");
    EXPECT_EQ(rig.logMessages().back(),
              "🧠 [Self-Learning] Appresi 1 nuovi refusi personali (totale: 1). La prossima "
              "volta saranno corretti a 0ms senza AI!");
    // "attendo" is a valid word: only a learned pair replaces it.
    EXPECT_EQ(dict->tryCorrectLocally("Stai attendo"), "Stai attento");

    dict->learnFromCorrection("cmq nn lo so", "comunque non lo so");

    const std::string data = readFile(dict->learnedFilePath());
    EXPECT_NE(data.find("\n"), std::string::npos) << "pretty-printed";
    EXPECT_EQ(nlohmann::json::parse(data),
              (nlohmann::json{{"attendo", "attento"}, {"cmq", "comunque"}}));
}

TEST_F(Learning, KnownTyposAreNeverLearnedAgain) {
    rig.writeConfig("synced_typos_it.json", R"({"typos": {"sincro": "sincronia"}})");
    auto dict = rig.make();
    const std::size_t lines = rig.logMessages().size();
    dict->learnFromCorrection("cge quidni sincro",
                              "chi quinti sincrono");  // file, built-in, synced
    EXPECT_EQ(dict->learnedCount(), 0u);
    EXPECT_EQ(rig.logMessages().size(), lines);
    EXPECT_FALSE(std::filesystem::exists(dict->learnedFilePath()));

    dict->learnFromCorrection("Sto bene", "Sto benissimo");
    EXPECT_EQ(dict->lookupLearned("bene"), "benissimo");
    // A learned correction is not replaced by a later one.
    dict->learnFromCorrection("Sto bene", "Sto meglio");
    EXPECT_EQ(dict->lookupLearned("bene"), "benissimo");
    // Repeated in one message: learned once.
    dict->learnFromCorrection("grazzie e grazzie", "grazie e grazie");
    EXPECT_EQ(dict->learnedCount(), 2u);
    EXPECT_TRUE(
        rig.logMessages().back().starts_with("🧠 [Self-Learning] Appresi 1 nuovi refusi "
                                             "personali (totale: 2)."));
}

TEST_F(Learning, LearnedPairsBeatSyncedAndShippedOnesAfterARestart) {
    rig.writeConfig("learned_typos.json", R"({"cge": "chx", "grazei": "grazie mille"})");
    rig.writeConfig(
        "synced_typos_it.json",
        R"({"version": "7", "typos": {"cge": "chy", "grazei": "grazie!", "nuvo": "nuovo"}})");
    auto dict = rig.make();

    const auto log = rig.logMessages();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[1], "🧠 [Self-Learning] Caricati 2 refusi personali appresi dall'utente.");
    EXPECT_EQ(log[2],
              "☁️ [Dynamic Sync] Caricati 3 refusi aggiornati dalla cache cloud locale.");
    // The synced pairs replace the shipped Italian ones and win in the merged
    // map (written last); lookups still consult the learned pairs first.
    EXPECT_EQ(dict->lookupMerged("cge"), "chy");
    EXPECT_EQ(dict->tryCorrectLocally("Cge grazei nuvo"), "Chx grazie mille nuovo");
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
