// The correction outcome: the first changed word, and the feedback sound with
// its fallbacks, observed through cached corrections on the simulated desktop.

#include <gtest/gtest.h>

#include "InterceptorFixture.h"
#include "core/interception/CorrectionOutcome.h"

namespace quorix::testing {
namespace {

TEST(FirstChangedWord, ComparesWordsByPosition) {
    struct Case {
        const char* typed;
        const char* corrected;
        std::optional<std::string> expected;
    };
    const Case cases[] = {
        {"ciao cme stai", "ciao come stai", "cme"},
        // Punctuation is trimmed from the reported word.
        {"ciao, cme? stai", "ciao, come? stai", "cme"},
        // Words shorter than 2 characters after trimming are skipped.
        {"e x cme", "è y come", "cme"},
        {"a b", "à c", std::nullopt},
        // An inserted word shifts every later position: the first shift counts.
        {"ciao come stai", "Ehi ciao come stai", "ciao"},
        // Canonically equal words (NFC vs NFD) are not changes.
        {"perch\u00e9 no", "perche\u0301 no", std::nullopt},
        {"uguale uguale", "uguale uguale", std::nullopt},
        // Only positions present in both lists are compared.
        {"ciao", "ciao a tutti", std::nullopt},
        {"", "ciao", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CorrectionOutcome::firstChangedWord(c.typed, c.corrected), c.expected)
            << c.typed << " -> " << c.corrected;
    }
}

using Outcome = InterceptorFixture;

TEST_F(Outcome, FeedbackSoundIsTheConfiguredOneOrPopOrNone) {
    struct Case {
        const char* name;
        bool enabled;
        Lines expected;
    };
    const Case cases[] = {
        {"Tink", true, {"sound Tink"}}, {"NonEsiste", true, {"sound Pop"}}, {"Tink", false, {}}};
    const auto chat = startInChat();
    for (const auto& c : cases) {
        config.setSoundName(c.name);
        config.setSoundEnabled(c.enabled);
        cache.set("ciao cge fai", "ciao che fai");
        desktop.setText(chat.field, "ciao cge fai");
        desktop.journal().clear();
        EXPECT_EQ(sendNow().path, "cache");
        EXPECT_EQ(journal({"sound"}), c.expected) << c.name << " enabled=" << c.enabled;
    }
}

TEST_F(Outcome, CachedCorrectionWithoutChangedWordKeepsTheLastOne) {
    config.setLastCorrectedOriginalWord("prima");
    cache.set("ciao   fai", "ciao fai");
    startInChat("ciao   fai");
    const PipelineReport report = sendNow();
    EXPECT_EQ(report.path, "cache");
    EXPECT_EQ(report.changedWord, std::nullopt);
    EXPECT_EQ(config.lastCorrectedOriginalWord(), "prima");
    EXPECT_EQ(journal({"notice"}), Lines{"notice hide \"Corretto ✓\""});
}

}  // namespace
}  // namespace quorix::testing
