#include "core/knowledge/LocalTypoDictionary.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "KnowledgeFixtures.h"
#include "platform/linux/NuspellSpellChecker.h"

namespace quorix {
namespace {

using testing::DictionaryRig;

TEST(LocalTypoDictionaryLoading, FirstValidFilePerLanguageWinsAndBuiltInsOnlyMarkTyposKnown) {
    DictionaryRig rig;
    auto dict = rig.make();

    // it: the resource folder's Dictionaries beats the development folder.
    EXPECT_EQ(dict->languageCount("it"), 6u);
    EXPECT_EQ(dict->lookupLanguage("it", "cge"), "che");
    // fr: Dictionaries/typos_fr.json holds a number and is rejected whole; the
    // resource folder itself is tried next.
    EXPECT_EQ(dict->languageCount("fr"), 2u);
    EXPECT_EQ(dict->lookupLanguage("fr", "bonjuor"), "bonjour");
    // en from the development folder; de (an array) and es (truncated) are empty.
    EXPECT_EQ(dict->languageCount("en"), 3u);
    EXPECT_EQ(dict->languageCount("de"), 0u);
    EXPECT_EQ(dict->languageCount("es"), 0u);

    // Each language keeps its own correction; the merged map the later language's.
    EXPECT_EQ(dict->lookupLanguage("it", "sharedtypo"), "correzione");
    EXPECT_EQ(dict->lookupLanguage("en", "sharedtypo"), "correction");
    EXPECT_EQ(dict->lookupMerged("sharedtypo"), "correctionfr");

    // 9 distinct file typos + 27 built-ins not listed by any file.
    EXPECT_EQ(dict->mergedCount(), 36u);
    EXPECT_EQ(dict->lookupMerged("quidni"), "quindi");
    EXPECT_EQ(dict->lookupLanguage("it", "quidni"), std::nullopt);
    EXPECT_EQ(dict->tryCorrectLocally("quidni"), std::nullopt);

    ASSERT_FALSE(rig.logMessages().empty());
    EXPECT_EQ(rig.logMessages().front(),
              "📚 [LocalTypoDictionary] Inizializzato con 36 refusi frequenti (lingue: it, en, "
              "de, es, fr).");
    EXPECT_TRUE(std::filesystem::is_directory(rig.config.path() + "/penwarden"));
}

TEST(LocalTypoDictionaryLoading, NoFolderLeavesEmptyMapsAndTheBuiltIns) {
    DictionaryRig rig;
    auto deps = rig.dependencies(rig.offline);
    deps.resourceFolders = {rig.config.path() + "/nowhere", ""};
    deps.developmentFolder = "";
    LocalTypoDictionary dict(deps);
    for (const char* language : {"it", "en", "de", "es", "fr"}) {
        EXPECT_EQ(dict.languageCount(language), 0u) << language;
    }
    EXPECT_EQ(dict.mergedCount(), 29u);
    EXPECT_EQ(dict.tryCorrectLocally("cge fai"), std::nullopt);
    EXPECT_EQ(rig.logMessages().back(),
              "📚 [LocalTypoDictionary] Inizializzato con 29 refusi frequenti (lingue: it, en, "
              "de, es, fr).");
}

class LocalTypoCorrection : public ::testing::Test {
  protected:
    LocalTypoCorrection() : rig("it", {"ciao", "fai", "doppio", "vengo", "te", "oggi"}) {
        rig.writeConfig("learned_typos.json", R"({"x": "per", "oggi": "domani"})");
        dict = rig.make();
    }
    DictionaryRig rig;
    std::unique_ptr<LocalTypoDictionary> dict;
};

TEST_F(LocalTypoCorrection, BlankOrUnchangedTextsGiveNothing) {
    EXPECT_EQ(dict->tryCorrectLocally(""), std::nullopt);
    EXPECT_EQ(dict->tryCorrectLocally(" \n\t "), std::nullopt);
    EXPECT_EQ(dict->tryCorrectLocally("ciao fai"), std::nullopt);
    EXPECT_EQ(dict->tryCorrectLocally("123 ... !!"), std::nullopt);
    // Known, but the replacement differs only in case.
    EXPECT_EQ(dict->tryCorrectLocally("maiuscolo"), std::nullopt);
    // Accepted by the spell checker: the language map is not consulted.
    EXPECT_EQ(dict->tryCorrectLocally("doppio"), std::nullopt);
    // The apostrophe stays part of the token, so "cge" does not match.
    EXPECT_EQ(dict->tryCorrectLocally("cge'"), std::nullopt);
}

TEST_F(LocalTypoCorrection, ReplacesTokensAndTransfersTheFirstLetterCase) {
    EXPECT_EQ(dict->tryCorrectLocally("Cge fai?"), "Che fai?");
    EXPECT_EQ(dict->tryCorrectLocally("CGE"), "Che");
    EXPECT_EQ(dict->tryCorrectLocally("cge"), "che");
    EXPECT_EQ(dict->tryCorrectLocally("Grazei, comunqeu"), "Grazie, comunque");
}

TEST_F(LocalTypoCorrection, KeepsWhiteSpaceAndPunctuationByteForByte) {
    EXPECT_EQ(dict->tryCorrectLocally("  ciao cge fai\n"), "  ciao che fai\n");
    EXPECT_EQ(dict->tryCorrectLocally("cge,cge!!\t\t(cge);\r\n"), "che,che!!\t\t(che);\r\n");
    EXPECT_EQ(dict->tryCorrectLocally("è cge — sì"), "è che — sì");
}

TEST_F(LocalTypoCorrection, LearnedPairsAloneReplaceShortOrAcceptedWords) {
    EXPECT_EQ(dict->tryCorrectLocally("vengo x te"), "vengo per te");
    EXPECT_EQ(dict->tryCorrectLocally("Oggi cge"), "Domani che");
}

struct LookupCase {
    std::string language;
    std::string text;
    std::string expected;
    std::string spellLanguage;
    friend void PrintTo(const LookupCase& c, std::ostream* os) {
        *os << c.language << ": " << c.text;
    }
};

class LocalTypoLookupOrder : public ::testing::TestWithParam<LookupCase> {};

TEST_P(LocalTypoLookupOrder, SearchesLanguageThenItalianAndEnglishOnlyWhenUndetermined) {
    const LookupCase& c = GetParam();
    DictionaryRig rig(c.language);
    auto dict = rig.make();
    EXPECT_EQ(dict->tryCorrectLocally(c.text).value_or("<none>"), c.expected);
    EXPECT_EQ(rig.spell.languagesAsked(), std::set<std::string>{c.spellLanguage});
}

INSTANTIATE_TEST_SUITE_P(
    Languages, LocalTypoLookupOrder,
    ::testing::Values(
        LookupCase{"fr", "bonjuor cge teh sharedtypo", "bonjour che teh correctionfr", "fr"},
        LookupCase{"und", "bonjuor cge teh recieve", "bonjuor che the receive", "it"},
        LookupCase{"en", "sharedtypo cge teh bonjuor", "correction che the bonjuor", "en"},
        LookupCase{"it", "sharedtypo cge teh bonjuor", "correzione che teh bonjuor", "it"},
        LookupCase{"de", "sharedtypo cge teh", "correzione che teh", "de"},
        // Fewer than three words always count as Italian.
        LookupCase{"fr", "bonjuor cge", "bonjuor che", "it"}),
    [](const auto& info) { return info.param.language + std::to_string(info.index); });

TEST(LocalTypoDictionaryNuspell, CorrectsAnItalianMessageWithTheRealSpellChecker) {
    platform::NuspellSpellChecker nuspell;
    if (!nuspell.hasDictionary("it")) {
        GTEST_SKIP() << "no Italian hunspell dictionary";
    }
    DictionaryRig rig;
    LocalTypoDictionary dict(rig.dependencies(rig.offline, &nuspell));
    EXPECT_EQ(dict.tryCorrectLocally("Ciao, cge fai stasera? Comunqeu grazei!"),
              "Ciao, che fai stasera? Comunque grazie!");
    EXPECT_EQ(dict.tryCorrectLocally("Ciao, che fai stasera?"), std::nullopt);
}

}  // namespace
}  // namespace quorix
