// The personal dictionary and whitelist.txt.
#include <gtest/gtest.h>

#include "ConfigTestSupport.h"

namespace quorix {
namespace {

using testing::ConfigHarness;
using testing::readFile;
using testing::writeFile;

TEST(Whitelist, MissingFileIsCreatedWithTheDefaultWordsSorted) {
    ConfigHarness h;
    auto config = h.make();
    EXPECT_EQ(config->whitelistWords().size(), 9u);
    EXPECT_EQ(readFile(h.whitelistPath()),
              "brevix\nchatgpt\nfigma\ngithub\ngroq\nlinear\nnextjs\nraycast\nsupabase");
}

TEST(Whitelist, ReadingSkipsCommentsAndBlankLinesAndLowercases) {
    ConfigHarness h;
    std::filesystem::create_directories(h.folder);
    writeFile(h.whitelistPath(), "# my words\r\n\n   Figma \t\n#Zoom\u2028ÉCOLE\rAlpha");
    auto config = h.make();
    EXPECT_EQ(config->whitelistWords(), (std::set<std::string>{"figma", "école", "alpha"}));
    EXPECT_EQ(readFile(h.whitelistPath()), "# my words\r\n\n   Figma \t\n#Zoom\u2028ÉCOLE\rAlpha")
        << "loading never rewrites an existing file";
}

TEST(Whitelist, UnreadableFileLeavesTheDictionaryEmptyAndTheFileAlone) {
    ConfigHarness h;
    std::filesystem::create_directories(h.whitelistPath());  // a folder: cannot be read as text
    auto config = h.make();
    EXPECT_TRUE(config->whitelistWords().empty());
    EXPECT_TRUE(std::filesystem::is_directory(h.whitelistPath()));
}

TEST(Whitelist, AddRemoveAndLookupNormaliseTheWord) {
    ConfigHarness h;
    std::filesystem::create_directories(h.folder);
    writeFile(h.whitelistPath(), "");
    auto config = h.make();
    config->addWordToWhitelist("Quorix!");
    config->addWordToWhitelist("«Zeta»");
    config->addWordToWhitelist(" (x) ");  // blanks first: the brackets stay
    config->addWordToWhitelist("quorix");
    config->addWordToWhitelist("?!");
    EXPECT_TRUE(config->isWordWhitelisted("QUORIX,"));
    EXPECT_TRUE(config->isWordWhitelisted("zeta"));
    EXPECT_FALSE(config->isWordWhitelisted("quor"));
    EXPECT_EQ(readFile(h.whitelistPath()), "(x)\nquorix\nzeta");

    config->removeWordFromWhitelist("ZETA.");
    config->removeWordFromWhitelist("absent");
    EXPECT_EQ(readFile(h.whitelistPath()), "(x)\nquorix");
    EXPECT_EQ(h.logMessages(), (std::vector<std::string>{
                                   "✅ Parola 'quorix' aggiunta al dizionario personale.",
                                   "✅ Parola 'zeta' aggiunta al dizionario personale.",
                                   "✅ Parola '(x)' aggiunta al dizionario personale.",
                                   "✅ Parola 'quorix' aggiunta al dizionario personale.",
                                   "🗑️ Parola 'zeta' rimossa dal dizionario personale.",
                                   "🗑️ Parola 'absent' rimossa dal dizionario personale.",
                               }));
}

}  // namespace
}  // namespace quorix
