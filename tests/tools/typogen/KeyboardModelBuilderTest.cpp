#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "core/knowledge/NoisyChannelModel.h"
#include "tools/typogen/KeyboardModelBuilder.h"
#include "tools/typogen/SlipSampler.h"

namespace quorix::typogen {
namespace {

// Accepts the listed words of each language; also a spell checker.
class ListLexicon final : public Lexicon, public platform::SpellChecker {
  public:
    explicit ListLexicon(std::map<std::string, std::set<std::string>> words)
        : words_(std::move(words)) {}
    bool accepts(std::string_view word, std::string_view language) override {
        const auto it = words_.find(std::string(language));
        return it != words_.end() && it->second.contains(std::string(word));
    }
    bool isMisspelled(std::string_view word, std::string_view language) override {
        return !accepts(word, language);
    }

  private:
    std::map<std::string, std::set<std::string>> words_;
};

// An excluded word (in pieces, like the generator's list).
const std::string kExcluded = std::string("speci") + "fication";

ListLexicon lexicon() {
    return ListLexicon({{"it", {"casa", "cosa", "telefono", "macchina", "la", "è", "Roma"}},
                        {"en", {"the", "house", kExcluded, kExcluded + "s"}},
                        {"de", {"Haus"}}});
}

TEST(KeyboardModelBuilder, LexiconIsFrequencyOrderedAcceptedAndCapitalisedWhereNeeded) {
    ListLexicon lex = lexicon();
    KeyboardModelBuilder builder(lex, lex);
    const LanguageInput it{"it",
                           {{"cosa", 5},
                            {"casa", 9},
                            {"xyzq", 99},
                            {"telefono", 5},
                            {"roma", 3},
                            {"la", 1},
                            {"d'", 50},
                            {"Casa", 2}}};
    EXPECT_EQ(builder.lexiconWords(it),
              (std::vector<std::string>{"casa", "cosa", "telefono", "Roma", "la"}));
    EXPECT_EQ(builder.lexiconWords(it, 2), (std::vector<std::string>{"casa", "cosa"}));
    EXPECT_EQ(builder.keptTokens(
                  {"cmq", "Casa", "bzw", "cmq", "xk", "house", "d'ora", "x" + kExcluded + "x"}),
              (std::vector<std::string>{"bzw", "cmq", "d'ora"}));
    // Excluded words never reach a generated file, in any form.
    EXPECT_EQ(builder.lexiconWords({"en", {{"house", 3}, {kExcluded, 9}, {kExcluded + "s", 8}}}),
              (std::vector<std::string>{"house"}));
}

// English lists split "doesn't" into "doesn" and "t": the negation joins as
// common as its head; a word head only for the negations in use.
TEST(KeyboardModelBuilder, EnglishNegationsJoinAsCommonAsTheirHead) {
    ListLexicon lex({{"en", {"doesn't", "don", "don't", "an", "an't", "the"}}});
    KeyboardModelBuilder builder(lex, lex);
    EXPECT_EQ(builder.lexiconWords({"en", {{"the", 9}, {"don", 5}, {"doesn", 4}, {"an", 3}}}),
              (std::vector<std::string>{"the", "don", "don't", "doesn't", "an"}));
}

// Regular forms the dictionary accepts join after their word's rank times
// the discount; the frequency lists' own forms keep their place.
TEST(KeyboardModelBuilder, WordFormsJoinRankedByTheirWord) {
    ListLexicon lex(
        {{"es",
          {"formatear", "formatea", "formateada", "formateo", "casa", "casas", "hablar", "habla",
           "hablado"}},
         {"it",
          {"eseguire", "esegui", "eseguirlo", "lento", "lenta", "lenti", "lente", "lentissimo"}},
         {"de",
          {"Haus", "Hauses", "erkannt", "erkannte", "erkanntem", "gültig", "gültige", "gültigen"}},
         {"en", {"house", "houses"}}});
    KeyboardModelBuilder builder(lex, lex);
    std::vector<std::string> words = {"formatear", "formateo", "casa", "hablar"};
    for (int i = 0; i < 60; ++i) {
        words.push_back("w" + std::to_string(i));
    }
    const std::vector<std::string> out = builder.withWordForms(words, "es");
    const auto at = [&](const std::string& w) {
        return std::find(out.begin(), out.end(), w) - out.begin();
    };
    ASSERT_EQ(out.size(), words.size() + 5);  // formatea, formateada, casas, habla, hablado
    EXPECT_EQ(at("formateo"), 1);             // listed: not moved, not doubled
    // Rank 1 times 16: right after the 16th word; rank 4 times 16: after the last.
    EXPECT_EQ(at("formatea"), 16);
    EXPECT_EQ(at("formateada"), 17);
    EXPECT_EQ(at("habla"), static_cast<long>(out.size()) - 2);

    // Italian inflects gender and number and the present of verbs, and for
    // its most frequent words the superlative and more verb forms.
    EXPECT_EQ(builder.withWordForms({"lento", "eseguire"}, "it"),
              (std::vector<std::string>{"lento", "eseguire", "lenta", "lenti", "lente",
                                        "lentissimo", "esegui", "eseguirlo"}));
    std::vector<std::string> rare(KeyboardModelBuilder::kInflectedWords, "x");
    rare.push_back("lento");
    rare.push_back("eseguire");
    const std::vector<std::string> rareForms = builder.withWordForms(rare, "it");
    EXPECT_EQ(std::vector<std::string>(rareForms.end() - 4, rareForms.end()),
              (std::vector<std::string>{"lenta", "lenti", "lente", "esegui"}));
    // Spanish inflects gender and number of its most frequent words too;
    // German declines adjectives and participles from any of their forms,
    // not nouns.
    EXPECT_EQ(builder.withWordForms({"casa"}, "es"), (std::vector<std::string>{"casa", "casas"}));
    rare.back() = "casa";
    EXPECT_EQ(builder.withWordForms(rare, "es").back(), "casa");
    EXPECT_EQ(builder.withWordForms({"Haus", "erkannte", "gültig"}, "de"),
              (std::vector<std::string>{"Haus", "erkannte", "gültig", "erkannt", "erkanntem",
                                        "gültige", "gültigen"}));
    EXPECT_EQ(builder.withWordForms({"house"}, "en"), (std::vector<std::string>{"house"}));
}

// Words of the documentation join the lexicon where their count places
// them; only those the language's or the English dictionary accepts.
TEST(KeyboardModelBuilder, DocumentationWordsJoinTheLexiconByTheirCount) {
    ListLexicon lex({{"it", {"casa", "cosa", "telefono", "Roma", "la", "Milano", "descrittore"}},
                     {"en", {"commit", "branch"}},
                     {"de", {"Haus"}}});
    KeyboardModelBuilder builder(lex, lex);
    const std::vector<std::string> words = {"casa", "cosa", "telefono", "Roma", "la"};
    const std::vector<std::pair<std::string, uint64_t>> documentation = {
        {"commit", 1000000}, {"descrittore", 1}, {"milano", 2}, {"branch", 0}, {"haus", 50},
        {"xyzq", 500},       {"casa", 70},       {"roma", 9},   {"la'", 9},    {kExcluded, 90}};
    // "commit" ties with the most frequent word and follows it; "milano" is
    // written as accepted; a word only German accepts, one no dictionary
    // accepts, one the lexicon holds in any case, a count of zero, an
    // apostrophe and an excluded word stay out.
    const std::vector<std::string> expected = {"casa", "commit", "cosa",   "telefono",
                                               "Roma", "la",     "Milano", "descrittore"};
    EXPECT_EQ(builder.withDocumentationWords(words, documentation, 1000, "it"), expected);
    EXPECT_EQ(builder.withDocumentationWords(words, {}, 1000, "it"), words);
}

TEST(KeyboardModelBuilder, SlipsAndCalibrationAreDeterministic) {
    ListLexicon lex = lexicon();
    const std::vector<std::string> sentences = {"la casa è la cosa", "telefono la macchina",
                                                "casa telefono cosa", "la macchina la casa"};
    const auto run = [&] {
        KeyboardModelBuilder builder(lex, lex);
        SlipSampler sampler("it", 7,
                            [&](std::string_view w) { return builder.acceptedAnywhere(w); });
        std::string out;
        for (const auto& s : sentences) {
            if (const auto slipped = sampler.slip(s)) {
                EXPECT_EQ(slipped->expected, s);
                EXPECT_NE(slipped->input, s);
                out += slipped->input + "|";
            }
        }
        CalibrationCounts counts;
        const std::vector<std::string> words = {"casa", "cosa", "telefono", "macchina"};
        const ModelThresholds t = builder.calibrate("it", words, {}, sentences, counts);
        return out + NoisyChannelModel::serialize("it", t, words, {});
    };
    const std::string first = run();
    EXPECT_EQ(run(), first);
    EXPECT_NE(first.find("quorix-keyboard-model 2"), std::string::npos);
}

// What the English corrector reads as one word ("can't") slips as one.
TEST(KeyboardModelBuilder, AnEnglishNegationSlipsAsOneWord) {
    ListLexicon lex({{"en", {"can't", "I"}}});
    SlipSampler sampler("en", 7, [&](std::string_view w) { return lex.accepts(w, "en"); });
    for (int i = 0; i < 20; ++i) {
        const auto slipped = sampler.slip("I can't");
        ASSERT_TRUE(slipped);
        EXPECT_EQ(slipped->word, "can't");
        EXPECT_EQ(slipped->input, "I " + slipped->typo);
    }
}

TEST(KeyboardModelBuilder, CatalogHalvesSplitEachLanguageByRow) {
    const std::string doc = "# comment\nit\tuno\nen\tone\nit\tdue\nit\ttre\nen\ttwo\n";
    EXPECT_EQ(catalogSentences(doc, "it", 0), (std::vector<std::string>{"uno", "tre"}));
    EXPECT_EQ(catalogSentences(doc, "it", 1), (std::vector<std::string>{"due"}));
    EXPECT_EQ(catalogSentences(doc, "en", 1), (std::vector<std::string>{"two"}));
    EXPECT_EQ(catalogSentences(doc, "it", kAllRows),
              (std::vector<std::string>{"uno", "due", "tre"}));
    EXPECT_TRUE(catalogSentences(doc, "de", kAllRows).empty());
}

}  // namespace
}  // namespace quorix::typogen
