// What the correction flow must never do: teach itself to change correct
// words, send a reply that is another message, apply an accent the user did
// not ask for, or hold a message back because something failed.

#include <gtest/gtest.h>

#include "InterceptorFixture.h"
#include "core/interception/AnswerDivergence.h"

namespace quorix::testing {
namespace {

using PipelineSafety = InterceptorFixture;

TEST_F(PipelineSafety, AFormalRewriteTeachesNothingAndLaterChatsKeepTheirWords) {
    config.setToneStyle(ToneStyle::formal);
    spell.markMisspelled({"reprot", "grazei"});
    http.answerCorrected("Il documento necessita revisione");
    EXPECT_EQ(sendFromChat("questo reprot fa cagare").path, "ai");
    dispatcher.drainGlobal();
    EXPECT_EQ(dictionary.learnedCount(), 0u);

    // Natural tone, a known typo elsewhere: only that typo changes.
    config.setToneStyle(ToneStyle::natural);
    const PipelineReport report = sendAgain("questo weekend ci sto, grazei");
    EXPECT_EQ(report.path, "local");
    EXPECT_EQ(sent().back(), "questo weekend ci sto, grazie");

    // A slip corrected by the AI in the natural tone is learned.
    spell.markMisspelled({"attendo"});
    http.answerCorrected("ti attento qui");
    EXPECT_EQ(sendAgain("ti attendo qui").path, "ai");
    dispatcher.drainGlobal();
    EXPECT_EQ(dictionary.lookupLearned("attendo"), "attento");
}

TEST(AnswerDivergenceRule, SlipsAreCorrectionsAnotherMessageIsNot) {
    struct Case {
        const char* text;
        const char* answer;
        bool tooDifferent;
    };
    const Case cases[] = {
        {"ciao cge fai stasera", "Ciao, che fai stasera?", false},
        {"cge", "che", false},
        {"ci vediamo dopo la riunoine", "ci vediamo dopo la riunione", false},
        {"ciao come stai", "Buongiorno, ecco il riepilogo della riunione di oggi", true},
        {"ok a dopo allora ciao", "va bene ci sentiamo ciao", true},  // words changed
        {"ci vediamo dopo pranzo", "ci vediamo", true},               // length halved
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AnswerDivergence::measure(c.text, c.answer).isTooDifferent(), c.tooDifferent)
            << c.text << " -> " << c.answer;
    }
}

TEST_F(PipelineSafety, ANaturalToneAnswerThatIsAnotherMessageIsAFailedAnswer) {
    spell.markMisspelled({"xyz"});
    const std::string other = "Buongiorno, ecco il riepilogo della riunione di oggi";
    http.answerCorrected(other);
    const PipelineReport report = sendFromChat("ciao xyz come stai");
    EXPECT_EQ(report.path, "E11");
    EXPECT_EQ(sent(), Lines{"ciao xyz come stai"});
    EXPECT_TRUE(
        logged("⚠️ Risultato AI troppo diverso dal messaggio (8 parole cambiate su 4, 52 vs 18 "
               "car). Scartato."));
    EXPECT_FALSE(cache.get("ciao xyz come stai").has_value());
    dispatcher.drainGlobal();
    EXPECT_EQ(dictionary.learnedCount(), 0u);

    // The formal tone keeps accepting rewrites.
    config.setToneStyle(ToneStyle::formal);
    EXPECT_EQ(sendAgain("ciao xyz come stai").path, "ai");
    EXPECT_EQ(sent().back(), other);
}

TEST_F(PipelineSafety, AccentOnlyPairsActOnlyWithAccentsCorrected) {
    spell.markMisspelled({"citta", "grazei", "xyz"});
    dictionary.learnFromCorrection("in citta", "in città");
    ASSERT_EQ(dictionary.lookupLearned("citta"), "città");
    http.failAll();

    // Local stage, then the offline fallback: "citta" stays as typed.
    EXPECT_EQ(sendFromChat("stasera in citta c'e festa, grazei xyz").path, "offline");
    EXPECT_EQ(sent().back(), "stasera in citta c'e festa, grazie xyz");

    config.setCorrectAccents(true);
    cache.clear();
    EXPECT_EQ(sendAgain("stasera in citta c'e festa, grazei xyz").path, "offline");
    EXPECT_EQ(sent().back(), "stasera in città c'e festa, grazie xyz");
}

TEST_F(PipelineSafety, AnExceptionInTheRunSendsTheTextAsTyped) {
    spell.throwOn("boom");
    chat_ = startInChat("ciao boom");
    EXPECT_TRUE(press(keys::kReturn));
    // No report reaches the observer: wait for the run to end instead.
    for (int i = 0; i < 2000 && interceptor->isWorking(); ++i) {
        dispatcher.drainGlobal();
        mainQueue.runUntilIdle();
        std::this_thread::sleep_for(1ms);
    }
    EXPECT_FALSE(interceptor->isWorking());
    EXPECT_EQ(sent(), Lines{"ciao boom"});
    EXPECT_TRUE(logged("❌ [Pipeline] Correzione interrotta: spell checker failed on 'boom'"));
    EXPECT_TRUE(logged("📤 [Pipeline] Invio del testo così come è stato scritto."));
}

TEST_F(PipelineSafety, SpellDictionariesStartLoadingWhenTheInterceptorIsBuilt) {
    dispatcher.drainGlobal();
    EXPECT_EQ(spell.preloads.load(), 1);
}

}  // namespace
}  // namespace quorix::testing
