#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <set>
#include <string>

#include "core/knowledge/NoisyChannelCorrector.h"
#include "tests/core/knowledge/WordListSpellChecker.h"

namespace quorix {
namespace {

// A small German model; the spell checker (case-sensitive) accepts its words,
// a few compounds of them, as German dictionaries do, and "checken";
// "Formatdatej" in English; "Sicherheitenkontext" when told.
struct CompoundRig {
    explicit CompoundRig(bool secondLink = false) {
        std::set<std::string> german(words.begin(), words.end());
        german.insert({"Rohformat", "Konfigurationsdatei", "Sicherheitskontext",
                       "Kompatibilitätsmodus", "Dateinamen", "hellblau", "Hellblau", "checken",
                       "Aushecken", "Kindesprozess"});
        if (secondLink) {
            german.insert("Sicherheitenkontext");
        }
        spell.accept(german, "de");
        spell.accept({"Formatdatej"}, "en");
        data =
            NoisyChannelModel::serialize("de", {0.5, 2.0, 1e-9}, words, {"rohflrmatt", "heckem"});
        corrector = std::make_unique<NoisyChannelCorrector>(
            spell, [this](std::string_view) { return std::optional(data); },
            [](std::string_view w) { return w == "kofnigurationsdatei"; });
    }
    ModelPass correct(const std::string& text) { return corrector->correct(text, "de"); }

    std::vector<std::string> words = {
        "Sicherheit",     "Kontext", "roh",     "Format", "Datei", "Konfiguration", "Modus",
        "Kompatibilität", "Namen",   "Nahen",   "das",    "hell",  "blau",          "aus",
        "hecken",         "Kind",    "Prozess", "Adresse"};
    testing::WordListSpellChecker spell{{}, /*strict=*/true, /*foldCase=*/false};
    std::string data;
    std::unique_ptr<NoisyChannelCorrector> corrector;
};

struct Case {
    const char* in;
    const char* out;  // nullptr: unchanged
};

void expectCorrections(CompoundRig& rig, std::initializer_list<Case> cases) {
    for (const Case& c : cases) {
        const ModelPass pass = rig.correct(c.in);
        EXPECT_EQ(pass.text.value_or("(unchanged)"), c.out ? c.out : "(unchanged)") << c.in;
    }
}

TEST(CompoundCorrector, FixesOnePartOrTheJoinOnlyWhenOneAcceptedWordExplainsIt) {
    CompoundRig rig;
    expectCorrections(
        rig, {
                 {"Rohflrmat", "Rohformat"},            // the slip in the tail
                 {"das Rohflrmat.", "das Rohformat."},  // inside a sentence, punctuation kept
                 {"rohflrmat", "Rohformat"},            // a noun keeps its capital
                 {"Konfigurqtionsdatei", "Konfigurationsdatei"},  // in the head, before "s"
                 {"Sicherheitekontext", "Sicherheitskontext"},    // the linking element changed
                 {"Sicherheitkontext", "Sicherheitskontext"},     // the linking element dropped
                 {"Kompatibilitätemodus", "Kompatibilitätsmodus"},
                 {"hellblsu", "hellblau"},  // not a noun: lower case stays
                 {"Hellblsu", "Hellblau"},
                 {"Rohformat", nullptr},            // accepted
                 {"Formatdatej", nullptr},          // accepted in another language
                 {"Kofnigurationsdatei", nullptr},  // a personal word
                 {"Rohflrmatt", nullptr},           // a kept token
                 {"Modusflrmat", nullptr},          // the rebuilt word is not accepted
                 {"Dateinajen", nullptr},           // "Namen" or "Nahen": the part is ambiguous
                 {"Auschecken", nullptr},           // "checken" is accepted: no slip in the tail
                 {"Ausheckem", nullptr},            // nor in a kept token
                 {"Kindprozess", nullptr},          // a missing "es" may be meant
                 {"Rohflr", nullptr},               // too short to be searched
             });
}

// A part before a German hyphen is a word to correct unless it is a stem.
TEST(CompoundCorrector, AHyphenatedHeadIsCorrectedUnlessItIsAStem) {
    CompoundRig rig;
    expectCorrections(
        rig, {
                 {"die Fomrat-Datei", "die Format-Datei"},
                 {"die Fomrat-Dstei", "die Format-Datei"},
                 {"der Konfigurations-Modus", nullptr},  // "Konfiguration" and a linking "s"
                 {"der Sicherheits-Kontext", nullptr},   // "Sicherheitskontext" accepted
                 {"die Adress-Datei", nullptr},          // "Adresse" drops its e
                 {"die fomrat-Datei", nullptr},          // lower case before a noun: a name
                 {"die fomrat-datei", "die Format-datei"},
                 {"die fomrat--Datei", nullptr},  // not a hyphenated word
             });
}

TEST(CompoundCorrector, TwoAcceptedRebuiltWordsAreReportedButNotChanged) {
    CompoundRig rig(/*secondLink=*/true);
    const ModelPass pass = rig.correct("Sicherheitekontext");
    EXPECT_FALSE(pass.text);
    ASSERT_EQ(pass.words.size(), 1u);
    EXPECT_TRUE(pass.words[0].compound);
    EXPECT_FALSE(pass.words[0].applied);
    EXPECT_FALSE(pass.words[0].suggestion.runnerUp.empty());

    const ModelPass fixed = CompoundRig().correct("Rohflrmat");
    ASSERT_EQ(fixed.words.size(), 1u);
    EXPECT_TRUE(fixed.words[0].compound && fixed.words[0].applied);
    EXPECT_EQ(fixed.words[0].suggestion.candidate, "Rohformat");
}

}  // namespace
}  // namespace quorix
