#include <gtest/gtest.h>

#include <memory>

#include "core/knowledge/MergedTypos.h"

namespace quorix {
namespace {

TypoMapPtr mapOf(TypoMap pairs) {
    return std::make_shared<const TypoMap>(std::move(pairs));
}

std::string at(const MergedTypos& merged, std::string_view typo) {
    const std::string* found = merged.find(typo);
    return found == nullptr ? "<none>" : *found;
}

TEST(MergedTypos, LaterLanguagesWinAndBuiltInsComeLast) {
    const MergedTypos merged({mapOf({{"cge", "che"}, {"teh", "the-it"}}),
                              mapOf({{"teh", "the"}, {"adn", "and"}}), nullptr},
                             mapOf({{"cge", "built-in"}, {"perchè", "perché"}}));
    EXPECT_EQ(at(merged, "teh"), "the");
    EXPECT_EQ(at(merged, "cge"), "che");
    EXPECT_EQ(at(merged, "perchè"), "perché");
    EXPECT_EQ(at(merged, "nope"), "<none>");
    EXPECT_EQ(merged.size(), 4u);  // cge, teh, adn, perchè: each once
}

TEST(MergedTypos, PairsSetLaterSitOnTopWithoutTouchingEarlierValues) {
    const MergedTypos loaded({mapOf({{"cge", "che"}})}, nullptr);
    const MergedTypos synced = loaded.with({{"cge", "chs"}, {"qui", "quì"}}, /*overwrite=*/true);
    const MergedTypos learned =
        synced.with({{"cge", "ignored"}, {"attendo", "attento"}}, /*overwrite=*/false);

    EXPECT_EQ(at(loaded, "cge"), "che");  // the earlier value is unchanged
    EXPECT_EQ(loaded.size(), 1u);
    EXPECT_EQ(at(synced, "cge"), "chs");
    EXPECT_EQ(synced.size(), 2u);
    EXPECT_EQ(at(learned, "cge"), "chs");  // known typos are not relearned
    EXPECT_EQ(at(learned, "attendo"), "attento");
    EXPECT_EQ(learned.size(), 3u);
}

}  // namespace
}  // namespace quorix
