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
    EXPECT_EQ(it.keyMates(U'è'), U"é");
    EXPECT_NE(Keyboard::forLanguage("de").neighbours(U'z').find(U't'), std::u32string::npos);
    EXPECT_NE(Keyboard::forLanguage("fr").neighbours(U'a').find(U'z'), std::u32string::npos);
    EXPECT_TRUE(Keyboard::forLanguage("en").neighbours(U'ß').empty());
}

TEST(EditGenerator, KeyboardSlipsAreDistinctSortedAndNeverTheWord) {
    const auto edits = editsOf("en", "the");
    EXPECT_GT(likelihoodOf(edits, "teh"), 0);   // transposition
    EXPECT_GT(likelihoodOf(edits, "th"), 0);    // omission
    EXPECT_GT(likelihoodOf(edits, "thee"), 0);  // doubling
    EXPECT_GT(likelihoodOf(edits, "thre"), 0);  // adjacent key inserted
    EXPECT_EQ(likelihoodOf(edits, "thp"), 0);   // p is far from e
    EXPECT_EQ(likelihoodOf(edits, "the"), 0);
    EXPECT_TRUE(std::is_sorted(edits.begin(), edits.end(),
                               [](const Edit& a, const Edit& b) { return a.typo < b.typo; }));
    EXPECT_EQ(std::adjacent_find(edits.begin(), edits.end(),
                                 [](const Edit& a, const Edit& b) { return a.typo == b.typo; }),
              edits.end());
    const auto what = editsOf("en", "what");  // first-letter slips are less likely
    EXPECT_LT(likelihoodOf(what, "hwat"), likelihoodOf(what, "waht"));
    const EditGenerator it(Keyboard::forLanguage("it"), "it");  // unmodelled edits: the floor
    EXPECT_EQ(it.likelihood(U"photo", U"psoto"), EditGenerator::kUnmodelledSlip);
}

TEST(EditGenerator, LanguageSlipsOutweighKeyboardSlips) {
    const auto it = editsOf("it", "città");
    EXPECT_GT(likelihoodOf(it, "citta"), likelihoodOf(it, "ctità"));
    EXPECT_GT(likelihoodOf(editsOf("it", "dopo"), "doppo"),
              likelihoodOf(editsOf("en", "dopo"), "doppo"));
    EXPECT_GT(likelihoodOf(editsOf("it", "perché"), "perchè"), 0);  // other letter of the key
    EXPECT_GT(likelihoodOf(editsOf("de", "für"), "fuer"), 0);
    EXPECT_EQ(likelihoodOf(editsOf("fr", "für"), "fuer"), 0);
    // An unaccented capital, and the circumflex on i or u, are accepted French.
    EXPECT_EQ(likelihoodOf(editsOf("fr", "échec"), "echec"), 0);
    EXPECT_EQ(likelihoodOf(editsOf("fr", "goût"), "gout"), 0);
    EXPECT_GT(likelihoodOf(editsOf("fr", "dernière"), "derniere"), 0);
}

}  // namespace
}  // namespace quorix::typogen
