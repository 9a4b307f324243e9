#include "core/knowledge/LocalTypoDictionary.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "KnowledgeFixtures.h"
#include "language/NuspellSpellChecker.h"

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
    // en from the development folder; de (an array) and es (truncated) are empty.
    EXPECT_EQ(dict->languageCount("en"), 3u);
    EXPECT_EQ(dict->languageCount("de"), 0u);
    EXPECT_EQ(dict->languageCount("es"), 0u);

    // Each language keeps its own correction; the merged map the later language's.
    EXPECT_EQ(dict->lookupLanguage("en", "sharedtypo"), "correction");
    EXPECT_EQ(dict->lookupMerged("sharedtypo"), "correctionfr");

    // 9 distinct file typos + 27 built-ins not listed by any file.
    EXPECT_EQ(dict->mergedCount(), 36u);
    EXPECT_EQ(dict->lookupMerged("quidni"), "quindi");
    EXPECT_EQ(dict->tryCorrectLocally("quidni"), std::nullopt);
    EXPECT_EQ(rig.logMessages().at(0),
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
    EXPECT_EQ(dict.languageCount("it") + dict.languageCount("en"), 0u);
    EXPECT_EQ(dict.mergedCount(), 29u);
    EXPECT_EQ(dict.tryCorrectLocally("cge fai"), std::nullopt);
}

// Loading on a queue: the constructor returns at once; a call made meanwhile
// waits for the load, but never longer than kLoadWait.
TEST(LocalTypoDictionaryLoading, InTheBackgroundCallsWaitForItWithinTheLimit) {
    const auto blockedCall = [](DictionaryRig& rig, LocalTypoDictionary& dict,
                                std::optional<std::string>& out) {
        std::thread caller([&] { out = dict.tryCorrectLocally("cge fai"); });
        while (rig.clock.waiterCount() == 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return caller;
    };

    DictionaryRig rig;
    dispatch::ManualQueue loader(rig.clock);
    auto deps = rig.dependencies(rig.offline);
    deps.loadQueue = &loader;
    LocalTypoDictionary dict(deps);
    EXPECT_FALSE(dict.isLoaded());
    EXPECT_TRUE(rig.logMessages().empty());
    std::optional<std::string> corrected;
    std::thread caller = blockedCall(rig, dict, corrected);
    loader.runUntilIdle();
    caller.join();
    EXPECT_EQ(corrected, "che fai");
    EXPECT_TRUE(dict.isLoaded());

    DictionaryRig stalledRig;
    dispatch::ManualQueue never(stalledRig.clock);
    auto stalledDeps = stalledRig.dependencies(stalledRig.offline);
    stalledDeps.loadQueue = &never;
    LocalTypoDictionary stalled(stalledDeps);
    std::optional<std::string> gaveUp = "pending";
    std::thread late = blockedCall(stalledRig, stalled, gaveUp);
    stalledRig.clock.advance(LocalTypoDictionary::kLoadWait);
    late.join();
    EXPECT_EQ(gaveUp, std::nullopt);
}

TEST(LocalTypoCorrection, ReplacesKnownTyposKeepingEverythingElseByteForByte) {
    DictionaryRig rig("it", {"ciao", "fai", "doppio", "vengo", "te", "oggi"});
    rig.writeConfig("learned_typos.json", R"({"x": "per", "oggi": "domani"})");
    auto dict = rig.make();
    const std::vector<std::pair<std::string, std::optional<std::string>>> cases{
        {"", std::nullopt},
        {"ciao fai", std::nullopt},
        {"maiuscolo", std::nullopt},  // known, but the replacement differs only in case
        {"doppio", std::nullopt},     // accepted: the language map is not consulted
        {"cge'", std::nullopt},       // the apostrophe stays part of the token
        // The first letter's case is transferred.
        {"CGE", "Che"},
        {"  ciao Grazei, comunqeu\n", "  ciao Grazie, comunque\n"},
        {"cge,cge!!\t\t(cge);\r\n", "che,che!!\t\t(che);\r\n"},
        {"è cge — sì", "è che — sì"},
        // Not even a learned pair replaces a short or an accepted word.
        {"vengo x te", std::nullopt},
        {"Oggi cge", "Oggi che"},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(dict->tryCorrectLocally(text), expected) << text;
    }
}

TEST(LocalTypoLookupOrder, SearchesLanguageThenItalianAndEnglishOnlyWhenUndetermined) {
    struct Case {
        std::string language, text, expected, spellLanguage;
    };
    const std::vector<Case> cases{
        {"fr", "bonjuor cge teh sharedtypo", "bonjour che teh correctionfr", "fr"},
        {"und", "bonjuor cge teh recieve", "bonjuor che the receive", "it"},
        {"en", "sharedtypo cge teh bonjuor", "correction che the bonjuor", "en"},
        {"de", "sharedtypo cge teh", "correzione che teh", "de"},
        // Fewer than three words always count as Italian.
        {"fr", "bonjuor cge", "bonjuor che", "it"},
    };
    for (const Case& c : cases) {
        DictionaryRig rig(c.language);
        auto dict = rig.make();
        EXPECT_EQ(dict->tryCorrectLocally(c.text).value_or("<none>"), c.expected) << c.text;
        EXPECT_EQ(rig.spell.languagesAsked(), std::set<std::string>{c.spellLanguage}) << c.text;
    }
}

TEST(LocalTypoDictionaryNuspell, CorrectsAnItalianMessageWithTheRealSpellChecker) {
    language::NuspellSpellChecker nuspell;
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
