#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "core/knowledge/TypoMap.h"
#include "tests/core/config/ConfigTestSupport.h"
#include "tools/typogen/InputLists.h"
#include "tools/typogen/KeepRules.h"
#include "tools/typogen/TypoGenerator.h"

namespace quorix::typogen {
namespace {

TEST(KeepRules, RejectsTokensPeopleWriteOnPurposeAndKeepsOrdinarySlips) {
    const KeepRules rules({"marco"});
    EXPECT_EQ(rules.reject("ab"), Rejection::Shape);
    EXPECT_EQ(rules.reject("brr"), Rejection::Shape);     // no vowel
    EXPECT_EQ(rules.reject("TUTTTO"), Rejection::Shape);  // reads as elongation
    EXPECT_EQ(rules.reject("xke"), Rejection::ChatOrCode);
    EXPECT_EQ(rules.reject("gmail"), Rejection::Brand);
    EXPECT_EQ(rules.reject("perche"), Rejection::AccentSetting);
    EXPECT_EQ(rules.reject("marco"), Rejection::InUse);
    EXPECT_EQ(rules.reject("marco", /*checkInUse=*/false), std::nullopt);
    EXPECT_EQ(rules.reject("qeusto"), std::nullopt);
    EXPECT_EQ(rules.reject("cafféé"), std::nullopt);  // only basic Latin letters elongate
}

// Accepts exactly the listed words per language (case-sensitive, like
// hunspell for capitalised entries).
class FakeLexicon final : public Lexicon {
  public:
    std::map<std::string, std::set<std::string>> words;
    bool accepts(std::string_view word, std::string_view language) override {
        const auto it = words.find(std::string(language));
        return it != words.end() && it->second.count(std::string(word)) != 0;
    }
};

struct Fixture : ::testing::Test {
    FakeLexicon lexicon;
    std::vector<LanguageInput> inputs;

    void SetUp() override {
        lexicon.words["it"] = {"questo", "prova", "proba", "casa", "cosa", "Marco"};
        lexicon.words["en"] = {"house", "alter", "the"};
        lexicon.words["de"] = {"Haus", "und"};
        inputs = {{"it",
                   {{"questo", 1000},
                    {"prova", 500},
                    {"proba", 400},
                    {"casa", 900},
                    {"cosa", 800},
                    {"marco", 50}}},
                  {"en", {{"house", 700}, {"the", 5000}, {"alter", 10}}},
                  {"de", {{"haus", 600}, {"und", 3000}}},
                  {"es", {}},
                  {"fr", {}}};
    }

    std::map<std::string, std::string> generate(const std::string& language,
                                                GeneratorOptions options = {}) {
        TypoGenerator generator(lexicon, inputs, KeepRules({"marco"}), options);
        std::map<std::string, std::string> out;
        for (const TypoEntry& e : generator.generate(language)) {
            out.emplace(e.typo, e.correction);
        }
        return out;
    }
};

TEST_F(Fixture, KeepsUnambiguousSlipsRejectedEverywhere) {
    const auto it = generate("it");
    EXPECT_EQ(it.at("qeusto"), "questo");
    for (const auto& [typo, correction] : it) {
        EXPECT_FALSE(lexicon.accepts(typo, "en")) << typo;
    }
    const auto de = generate("de");
    EXPECT_EQ(de.at("hasu"), "Haus");  // German nouns are written capitalised
    EXPECT_EQ(de.count("haus"), 0u);
}

TEST_F(Fixture, DropsSlipsNearTwoWordsOfSimilarFrequency) {
    // "meusto" (900) is one edit from "qeusto", but m is not next to q: it
    // hardly ever gives that typo, so "questo" (1000) still dominates.
    inputs[0].words.emplace_back("meusto", 900);
    lexicon.words["it"].insert("meusto");
    const auto it = generate("it");
    EXPECT_EQ(it.at("qeusto"), "questo");
    // "prova" (500) and "proba" (400) both give "proa" by one omission.
    EXPECT_EQ(it.count("proa"), 0u);
    EXPECT_EQ(it.count("prvoa"), 1u);  // two edits from "proba": unambiguous
}

TEST_F(Fixture, ForeignRivalsWeighLessExceptInTheItalianFallbackMap) {
    // "hoise": a neighbour-key slip of "house" (en, 700) and an insertion
    // slip of "hose" (it, 500).
    inputs[0].words.emplace_back("hose", 500);
    lexicon.words["it"].insert("hose");
    GeneratorOptions every;
    every.perSource = 1000;
    EXPECT_EQ(generate("en", every).at("hoise"), "house");
    EXPECT_EQ(generate("it", every).count("hoise"), 0u);
    every.foreignRivalWeight = 1;
    EXPECT_EQ(generate("en", every).count("hoise"), 0u);
}

TEST_F(Fixture, DropsSlipsValidInAnyLanguageOrCapitalised) {
    inputs[0].words.emplace_back("altre", 900);
    lexicon.words["it"].insert("altre");
    EXPECT_EQ(generate("it").count("csaa"), 1u);
    lexicon.words["fr"].insert("Csaa");  // a name in another language's dictionary
    const auto it = generate("it");
    EXPECT_EQ(it.count("alter"), 0u);  // English word
    EXPECT_EQ(it.count("csaa"), 0u);
}

TEST_F(Fixture, OutputIsBoundedAndRanked) {
    GeneratorOptions options;
    options.entries = 25;
    TypoGenerator generator(lexicon, inputs, KeepRules(), options);
    const auto entries = generator.generate("en");
    ASSERT_EQ(entries.size(), 25u);
    for (std::size_t i = 1; i < entries.size(); ++i) {
        EXPECT_GE(entries[i - 1].score, entries[i].score);
    }
    EXPECT_TRUE(generator.generate("xx").empty());
    EXPECT_EQ(generator.rejectPair("alter", "it"), "known-word");
    EXPECT_EQ(generator.rejectPair("cge", "xx"), "unknown-language");
}

TEST(InputLists, DictionaryRoundTripsThroughTheLoaderInOrder) {
    std::ostringstream out;
    writeDictionary(out, {{"qeusto", "questo", 2}, {"hasu", "Haus", 1}, {"c\"e", "c'è", 0}});
    const std::string doc = out.str();
    EXPECT_LT(doc.find("qeusto"), doc.find("hasu"));
    const auto map = parseTypoMap(doc);
    ASSERT_TRUE(map);
    EXPECT_EQ(map->size(), 3u);
    EXPECT_EQ(map->at("c\"e"), "c'è");
}

TEST(InputLists, MissingOrMalformedListsAreErrorsNotCrashes) {
    const testing::TempFolder temp;
    const std::filesystem::path folder = temp.path();
    std::ofstream(folder / "words.json") << R"(["uno", 2])";
    std::ofstream(folder / "counts.json") << R"([{"word": "you"}])";
    std::ofstream(folder / "broken.json") << R"(["uno", )";
    EXPECT_THROW(readWordArray(folder / "words.json"), InputError);
    EXPECT_THROW(readWordArray(folder / "broken.json"), InputError);
    EXPECT_THROW(readWordArray(folder / "absent.json"), InputError);
    EXPECT_THROW(readWordCounts(folder / "counts.json"), InputError);
    EXPECT_GT(frequencyOfRank(1), frequencyOfRank(2));
    EXPECT_EQ(frequencyOfRank(0), frequencyOfRank(1));
}

}  // namespace
}  // namespace quorix::typogen
