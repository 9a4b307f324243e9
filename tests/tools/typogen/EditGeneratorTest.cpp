#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "core/text/Text.h"
#include "tools/typogen/EditGenerator.h"
#include "tools/typogen/Keyboard.h"

namespace quorix::typogen {
namespace {

double likelihoodOf(const std::vector<Edit>& edits, const std::string& typo) {
    const std::u32string t = text::toUtf32(typo);
    const auto it =
        std::find_if(edits.begin(), edits.end(), [&](const Edit& e) { return e.typo == t; });
    return it == edits.end() ? 0 : it->likelihood;
}

std::vector<Edit> editsOf(const std::string& language, const std::string& word) {
    return EditGenerator(Keyboard::forLanguage(language), language).edits(text::toUtf32(word));
}

TEST(Keyboard, NeighboursFollowEachNationalLayout) {
    const Keyboard it = Keyboard::forLanguage("it");
    EXPECT_NE(it.neighbours(U'l').find(U'ò'), std::u32string::npos);
    EXPECT_NE(it.neighbours(U's').find(U'w'), std::u32string::npos);
    EXPECT_NE(it.neighbours(U's').find(U'z'), std::u32string::npos);
    EXPECT_EQ(it.neighbours(U's').find(U'r'), std::u32string::npos);
    EXPECT_EQ(it.keyMates(U'è'), U"é");

    const Keyboard de = Keyboard::forLanguage("de");
    EXPECT_NE(de.neighbours(U'z').find(U't'), std::u32string::npos);  // QWERTZ
    EXPECT_NE(de.neighbours(U'p').find(U'ü'), std::u32string::npos);
    EXPECT_NE(de.neighbours(U'p').find(U'ß'), std::u32string::npos);

    const Keyboard fr = Keyboard::forLanguage("fr");
    EXPECT_NE(fr.neighbours(U'a').find(U'z'), std::u32string::npos);  // AZERTY
    EXPECT_NE(fr.neighbours(U'a').find(U'q'), std::u32string::npos);
    EXPECT_NE(fr.neighbours(U'z').find(U'é'), std::u32string::npos);

    EXPECT_NE(Keyboard::forLanguage("es").neighbours(U'l').find(U'ñ'), std::u32string::npos);
    EXPECT_TRUE(Keyboard::forLanguage("en").neighbours(U'ß').empty());
}

TEST(EditGenerator, KeyboardSlipsAreDistinctSortedAndNeverTheWord) {
    const auto edits = editsOf("en", "the");
    EXPECT_GT(likelihoodOf(edits, "teh"), 0);   // transposition
    EXPECT_GT(likelihoodOf(edits, "th"), 0);    // omission
    EXPECT_GT(likelihoodOf(edits, "thee"), 0);  // doubling
    EXPECT_GT(likelihoodOf(edits, "thr"), 0);   // adjacent key
    EXPECT_GT(likelihoodOf(edits, "thre"), 0);  // adjacent key inserted
    EXPECT_EQ(likelihoodOf(edits, "thp"), 0);   // p is far from e
    EXPECT_EQ(likelihoodOf(edits, "the"), 0);
    EXPECT_TRUE(std::is_sorted(edits.begin(), edits.end(),
                               [](const Edit& a, const Edit& b) { return a.typo < b.typo; }));
    EXPECT_EQ(std::adjacent_find(edits.begin(), edits.end(),
                                 [](const Edit& a, const Edit& b) { return a.typo == b.typo; }),
              edits.end());
}

TEST(EditGenerator, FirstLetterSlipsAreLessLikely) {
    const auto edits = editsOf("en", "what");
    EXPECT_LT(likelihoodOf(edits, "hwat"), likelihoodOf(edits, "waht"));
}

TEST(EditGenerator, LanguageSlipsOutweighKeyboardSlips) {
    const auto it = editsOf("it", "città");
    EXPECT_GT(likelihoodOf(it, "citta"), likelihoodOf(it, "ctità"));
    EXPECT_GT(likelihoodOf(it, "cità"), likelihoodOf(it, "cittàa"));  // doubled consonant dropped

    const auto doppo = editsOf("it", "dopo");
    EXPECT_GT(likelihoodOf(doppo, "doppo"), likelihoodOf(editsOf("en", "dopo"), "doppo"));

    const auto perche = editsOf("it", "perché");
    EXPECT_GT(likelihoodOf(perche, "perchè"), 0);  // other letter of the same key

    const auto fur = editsOf("de", "für");
    EXPECT_GT(likelihoodOf(fur, "fuer"), 0);
    EXPECT_GT(likelihoodOf(editsOf("de", "heiß"), "heiss"), 0);
    EXPECT_GT(likelihoodOf(editsOf("de", "dass"), "daß"), 0);
    EXPECT_EQ(likelihoodOf(editsOf("fr", "für"), "fuer"), 0);

    EXPECT_GT(likelihoodOf(editsOf("fr", "été"), "ete"), 0);  // every accent at once
    EXPECT_GT(likelihoodOf(editsOf("es", "año"), "ano"), 0);
}

TEST(EditGenerator, FrenchSpellingsWithoutAccentsThatFrenchAcceptsAreNoSlips) {
    // An unaccented capital, and the circumflex on i or u, are accepted French.
    EXPECT_EQ(likelihoodOf(editsOf("fr", "échec"), "echec"), 0);
    EXPECT_EQ(likelihoodOf(editsOf("fr", "chaîne"), "chaine"), 0);
    EXPECT_EQ(likelihoodOf(editsOf("fr", "goût"), "gout"), 0);
    EXPECT_GT(likelihoodOf(editsOf("fr", "dernière"), "derniere"), 0);
    EXPECT_GT(likelihoodOf(editsOf("fr", "élève"), "eleve"), 0);
    EXPECT_GT(likelihoodOf(editsOf("es", "índice"), "indice"), 0);
}

TEST(EditGenerator, LikelihoodOfAnUnmodelledEditIsTheFloor) {
    const EditGenerator it(Keyboard::forLanguage("it"), "it");
    EXPECT_EQ(it.likelihood(U"posto", U"psoto"), 1.0 * 1);                         // transposition
    EXPECT_EQ(it.likelihood(U"photo", U"psoto"), EditGenerator::kUnmodelledSlip);  // h → s
}

}  // namespace
}  // namespace quorix::typogen
