// The correction pipeline end to end on the simulated desktop: every exit that
// sends (or holds) the text as typed, the cache, the local dictionary, the AI
// with its 5 s limit and the validation of its answer. Whole journals are
// asserted: posted keys, sleeps, pasteboard writes, value sets, sounds,
// notices and sent messages.

#include <gtest/gtest.h>

#include "InterceptorFixture.h"
#include "core/interception/CorrectionOutcome.h"

namespace quorix::testing {
namespace {

const Lines kHeldReturn{"key ⏎ swallow"};
const char* const kWorking = "notice show \"Correzione in corso...\"";
const char* const kHideNow = "notice hide -";

class Pipeline : public InterceptorFixture {
  protected:
    // Starts the interceptor in a browser whose page field holds `text`.
    platform::SimBrowser startInBrowser(const std::string& bundleId, const std::string& text) {
        auto browser = platform::addBrowser(desktop, 202, bundleId, "Browser", "Chat");
        desktop.setText(browser.textArea, text);
        EXPECT_TRUE(interceptor->start());
        desktop.journal().clear();
        return browser;
    }
};

// --- Exits before the cache

TEST_F(Pipeline, CaptureExitsAreReported) {
    chat_ = startInChat("ciao");
    desktop.setValueExposure(chat_.field, platform::ValueExposure::hidden);
    desktop.setIgnoresCopy(chat_.pid, true);
    const PipelineReport unchanged = sendNow();
    EXPECT_EQ(unchanged.path, "E1");
    EXPECT_TRUE(unchanged.returnPosted);

    desktop.setIgnoresCopy(chat_.pid, false);
    desktop.setValueExposure(chat_.field, platform::ValueExposure::plain);
    EXPECT_EQ(sendAgain("   ").path, "E2");
    EXPECT_EQ(journal({"notice", "sound", "ax"}), Lines{});
}

TEST_F(Pipeline, UnfinishedTokenHoldsTheMessageBackWithoutReturn) {
    // The caret sits before the mention, so routing sees no open completion;
    // the captured text still ends in one.
    chat_ = startInChat("ciao @anna");
    desktop.setSelection(chat_.field, 0);
    const PipelineReport report = sendNow();
    EXPECT_EQ(report.path, "E3");
    EXPECT_FALSE(report.returnPosted);
    EXPECT_EQ(journal(), kHeldReturn);
    EXPECT_TRUE(
        logged("⚡️ [Autocomplete Fallback (Menzione: @anna)] Testo copiato termina con "
               "completamento in corso. Annullamento invio automatico."));

    // Captured through the clipboard: the selection is collapsed, the
    // clipboard given back, the text kept in the field.
    desktop.pasteboard().setString("appunti");
    desktop.setValueExposure(chat_.field, platform::ValueExposure::hidden);
    desktop.journal().clear();
    EXPECT_EQ(sendAgain("@anna").path, "E3");
    advance(dispatch::seconds(0.6));
    EXPECT_EQ(journal(), kHeldReturn + copyCapture("@anna") + post("→") + restore("appunti"));
    EXPECT_TRUE(sent().empty());
    EXPECT_EQ(desktop.text(chat_.field), "@anna");
}

TEST_F(Pipeline, ASecondReturnOnTheSameHeldBackTextSendsItAsTyped) {
    chat_ = startInChat();
    desktop.setValueExposure(chat_.field, platform::ValueExposure::hidden);
    for (const std::string text : {"grazie mille :D", "sono arrivato #1", "scrivimi @"}) {
        SCOPED_TRACE(text);
        const std::size_t before = sent().size();
        EXPECT_FALSE(sendAgain(text).returnPosted);
        // Once the window has passed, the same text is held back afresh.
        advance(dispatch::seconds(HeldBackMessage::kRepeatWindowSeconds));
        EXPECT_FALSE(sendNow().returnPosted);
        EXPECT_EQ(sent().size(), before);

        desktop.journal().clear();
        const PipelineReport report = sendNow();
        EXPECT_EQ(report.path, "E3");
        EXPECT_TRUE(report.returnPosted);
        // The restore the held-back run left waiting is done before the copy.
        EXPECT_EQ(journal(), kHeldReturn + restore("grazie mille :D") + copyCapture(text) +
                                 post("→") + sendReturn(text));
        EXPECT_EQ(sent().back(), text);
        advance(dispatch::seconds(1));
    }
    EXPECT_EQ(countMessages("⚡️ [Autocomplete Fallback (Menzione: @)] Secondo Invio sullo stesso "
                            "testo entro 3 s: invio il testo così com'è."),
              1U);
}

TEST_F(Pipeline, LinkLeavesUnchangedEvenWithACacheEntry) {
    const std::string link = "https://example.com/pagina?id=3";
    cache.set(link, "qualcos'altro");
    EXPECT_EQ(sendFromChat(link).path, "E4");
    EXPECT_EQ(journal(), kHeldReturn + sendReturn(link));
    EXPECT_TRUE(logged("⚡️ [URL/Link Bypass] Rilevato link web o URL ('" + link +
                       "'). Invio immediato a 0ms per preservarlo intatto al 100%."));

    // Captured through the clipboard: Right Arrow, 15 ms, Return, then the restore.
    desktop.pasteboard().setString("appunti");
    desktop.setValueExposure(chat_.field, platform::ValueExposure::hidden);
    desktop.journal().clear();
    EXPECT_EQ(sendAgain("www.example.com").path, "E4");
    advance(dispatch::seconds(0.6));
    EXPECT_EQ(journal(),
              (kHeldReturn + copyCapture("www.example.com") + post("→") + Lines{"sleep 15ms"} +
               sendReturn("www.example.com") + restore("appunti")));
}

TEST_F(Pipeline, LoneTagsLeaveUnchangedButATagInASentenceGoesOn) {
    EXPECT_EQ(sendFromChat("@anna!").path, "E5");
    EXPECT_TRUE(
        logged("🏷️ [Tag Token] Rilevato tag o menzione singola ('@anna!'). Salto correzione per "
               "preservare il tag intatto."));
    EXPECT_EQ(sendAgain("  [nota]\n").path, "E5");
    EXPECT_EQ(sendAgain("<b>").path, "E5");
    EXPECT_EQ(sendAgain("@anna ciao").path, "E7");
    EXPECT_EQ(sent(), (Lines{"@anna!", "  [nota]\n", "<b>", "@anna ciao"}));
    EXPECT_EQ(journal({"notice", "sound", "ax"}), Lines{});
}

// --- Cache

TEST_F(Pipeline, CacheSayingCorrectSendsWithoutTheSpellChecker) {
    spell.markMisspelled({"xyz"});
    cache.set("ciao xyz", "ciao xyz");
    const PipelineReport report = sendFromChat("ciao xyz");

    EXPECT_EQ(report.path, "E6");
    EXPECT_EQ(journal(), kHeldReturn + sendReturn("ciao xyz"));
    EXPECT_TRUE(
        logged("⚡️ [Cache HIT] Frase verificata corretta in cache (0ms). Invio istantaneo!"));
    EXPECT_FALSE(logged("🔍 [NSSpellChecker] Refuso rilevato su 'xyz'. Chiamo Gemini..."));
}

TEST_F(Pipeline, CachedCorrectionIsAppliedWithoutTheAIAndTheSoundFallsBack) {
    cache.set("ciao cge fai", "ciao che fai");
    const PipelineReport report = sendFromChat("ciao cge fai");

    EXPECT_EQ(report.path, "cache");
    EXPECT_EQ(report.appliedText, "ciao che fai");
    EXPECT_EQ(report.changedWord, "cge");
    EXPECT_EQ(journal(), (kHeldReturn +
                          Lines{"notice hide \"Corretto ✓\" \"cge\"", "sound Pop",
                                "ax.set ok \"ciao che fai\""} +
                          sendReturn("ciao che fai")));
    EXPECT_TRUE(logged("⚡️ [Cache HIT] Correzione istantanea da cache (0ms): \"ciao che fai\""));
    EXPECT_TRUE(http.requests().empty());
    EXPECT_EQ(config.lastCorrectedOriginalWord(), "cge");
    // Only AI corrections count and arm the quick undo.
    EXPECT_EQ(config.totalTyposCorrected(), 0);
    EXPECT_FALSE(config.lastOriginalFullText().has_value());

    // Without a changed word the last one stays; an unknown sound falls back
    // to Pop, and a switched-off sound plays nothing.
    config.setSoundName("NonEsiste");
    cache.set("ciao   fai", "ciao fai");
    desktop.journal().clear();
    const PipelineReport spacing = sendAgain("ciao   fai");
    EXPECT_EQ(spacing.path, "cache");
    EXPECT_EQ(spacing.changedWord, std::nullopt);
    EXPECT_EQ(config.lastCorrectedOriginalWord(), "cge");
    EXPECT_EQ(journal({"notice", "sound"}), (Lines{"notice hide \"Corretto ✓\"", "sound Pop"}));
    config.setSoundEnabled(false);
    desktop.journal().clear();
    EXPECT_EQ(sendAgain("ciao   fai").path, "cache");
    EXPECT_TRUE(journal({"sound"}).empty());
}

// An image and a file list on the clipboard survive the copy of the capture
// and the paste of the write-back; only the plain text is kept of a
// clipboard over the size limit.
TEST_F(Pipeline, TheWholeClipboardComesBackAfterCopyAndPaste) {
    const std::vector<platform::PasteboardItem> userClipboard{
        {"image/png", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)},
        {"text/uri-list", "file:///home/sim/foto.png\r\n"},
        {platform::kPlainTextType, "/home/sim/foto.png"}};
    cache.set("ciao cge fai", "ciao che fai");
    chat_ = startInChat("ciao cge fai");
    desktop.setValueExposure(chat_.field, platform::ValueExposure::hidden);
    desktop.setValueSetBehaviour(chat_.field, platform::ValueSetBehaviour::refuse);
    desktop.pasteboard().setContents(userClipboard);
    desktop.journal().clear();
    EXPECT_EQ(sendNow().path, "cache");
    EXPECT_EQ(sent(), Lines{"ciao che fai"});
    advance(dispatch::seconds(0.6));
    EXPECT_EQ(journal({"pb"}).back(),
              "pb.items image/png text/uri-list " + std::string(platform::kPlainTextType));
    EXPECT_EQ(desktop.pasteboard().contents(FieldIO::kClipboardByteLimit).items, userClipboard);

    desktop.pasteboard().setContents({{"image/png", std::string(FieldIO::kClipboardByteLimit, 'x')},
                                      {platform::kPlainTextType, "didascalia"}});
    EXPECT_EQ(sendAgain("ciao cge fai").path, "cache");
    advance(dispatch::seconds(0.6));
    EXPECT_EQ(desktop.pasteboard().contents(FieldIO::kClipboardByteLimit).items,
              (std::vector<platform::PasteboardItem>{{platform::kPlainTextType, "didascalia"}}));
    EXPECT_TRUE(
        logged("📋 Appunti oltre 32 MiB: conservo e ripristino soltanto il testo semplice."));
}

// --- Spell-check scan

TEST_F(Pipeline, CorrectMessageWithLinkAndMentionLeavesAtOnce) {
    spell.setStrict(true);
    spell.accept({"ciao", "guarda", "qui"});
    const std::string text = "ciao @anna guarda qui https://example.com/x";
    const PipelineReport report = sendFromChat(text);

    EXPECT_EQ(report.path, "E7");
    EXPECT_EQ(journal(), kHeldReturn + sendReturn(text));
    EXPECT_TRUE(logged("⚡️ [Tutte parole valide] Frase corretta al 100% ('" + text +
                       "'). Invio istantaneo a 0ms!"));
    EXPECT_FALSE(cache.get(text).has_value());
}

// --- Local dictionary and offline fallback

TEST_F(Pipeline, LocalStagesSettleKnownTyposWithoutTheAI) {
    spell.markMisspelled({"grazei"});
    const PipelineReport report = sendFromChat("grazei mille");

    EXPECT_EQ(report.path, "local");
    EXPECT_EQ(report.changedWord, "grazei");
    EXPECT_EQ(journal(), (kHeldReturn +
                          Lines{kWorking, "notice hide \"Corretto ✓\" \"grazei\"", "sound Pop",
                                "ax.set ok \"grazie mille\""} +
                          sendReturn("grazie mille")));
    EXPECT_TRUE(logged("🔍 [NSSpellChecker] Refuso rilevato su 'grazei'. Chiamo Gemini..."));
    EXPECT_TRUE(
        logged("⚡️ [LocalTypoDictionary] Risolto interamente in locale a 0ms (senza AI): \"grazie "
               "mille\""));
    EXPECT_TRUE(http.requests().empty());
    EXPECT_EQ(cache.get("grazei mille"), "grazie mille");
    EXPECT_FALSE(config.lastCorrectedOriginalWord().has_value());
    EXPECT_EQ(config.totalTyposCorrected(), 0);

    // The keyboard model settles what the maps left, as the last local step:
    // tests/data/knowledge/dev/keyboard_it.txt knows "appuntamento"; no map does.
    spell.markMisspelled({"all'apputamento", "apputamento"});
    const PipelineReport model = sendAgain("grazei, ci vediamo all'apputamento");
    EXPECT_EQ(model.path, "local");
    EXPECT_EQ(model.appliedText, "grazie, ci vediamo all'appuntamento");
    EXPECT_TRUE(logged("🧠 [Correttore tastiera] 'apputamento' → 'appuntamento' (fiducia 1.00)"));
    EXPECT_TRUE(
        logged("⚡️ [Correttore tastiera] Risolto interamente in locale a 0ms (senza AI): "
               "\"grazie, ci vediamo all'appuntamento\""));
    EXPECT_TRUE(http.requests().empty());

    // Its result is vouched for in every language consulted: an English word
    // the Italian checker rejects does not send the message on to the AI.
    spell.setStrict(true);
    spell.accept({"ci", "vediamo", "per", "il", "appuntamento", "all'appuntamento"}, "it");
    spell.accept({"meeting"}, "en");
    const PipelineReport mixed = sendAgain("ci vediamo all'apputamento per il meeting");
    EXPECT_EQ(mixed.path, "local");
    EXPECT_EQ(mixed.appliedText, "ci vediamo all'appuntamento per il meeting");
    EXPECT_TRUE(http.requests().empty());
}

TEST_F(Pipeline, NoNetworkWithAPartialLocalCorrectionLeavesCorrectedOffline) {
    spell.markMisspelled({"grazei", "xyz"});
    http.failAll();
    const PipelineReport report = sendFromChat("grazei mille xyz");

    EXPECT_EQ(report.path, "offline");
    EXPECT_EQ(report.appliedText, "grazie mille xyz");
    EXPECT_EQ(journal(), (kHeldReturn +
                          Lines{kWorking, "notice hide \"Offline ✓\"", "sound Pop",
                                "ax.set ok \"grazie mille xyz\""} +
                          sendReturn("grazie mille xyz")));
    const Lines expectedOrder{
        "🔍 [LocalTypoDictionary] Correzione parziale trovata, ma rimangono altri refusi non "
        "coperti dal dizionario. Procedo con AI per correggerli tutti...",
        "❌ Errore risposta Gemini: API Key Gemini mancante.",
        "✈️ [Offline Fallback] Rete/AI non disponibile. Applicata correzione on-device da 160k "
        "parole: \"grazie mille xyz\""};
    Lines seen;
    for (const auto& m : messages()) {
        if (std::find(expectedOrder.begin(), expectedOrder.end(), m) != expectedOrder.end()) {
            seen.push_back(m);
        }
    }
    EXPECT_EQ(seen, expectedOrder);
    EXPECT_EQ(cache.get("grazei mille xyz"), "grazie mille xyz");

    // The clean-up applies to the text written and cached, not to the log line.
    config.setAutoFixPunctuation(true);
    const PipelineReport cleaned = sendAgain("grazei ,mille  xyz");
    EXPECT_EQ(cleaned.path, "offline");
    EXPECT_EQ(cleaned.appliedText, "grazie, mille xyz");
    EXPECT_TRUE(logged(
        "✈️ [Offline Fallback] Rete/AI non disponibile. Applicata correzione on-device da 160k "
        "parole: \"grazie ,mille  xyz\""));
    EXPECT_EQ(cache.get("grazei ,mille  xyz"), "grazie, mille xyz");
    EXPECT_EQ(sent().back(), "grazie, mille xyz");
}

TEST_F(Pipeline, WorkContextAsksTheAIFirstAndUsesTheDictionaryOnlyAsFallback) {
    config.setToneStyle(ToneStyle::formal);
    spell.markMisspelled({"grazei"});
    http.failAll();
    const PipelineReport report = sendFromChat("grazei mille");

    EXPECT_EQ(report.path, "offline");
    EXPECT_FALSE(http.requests().empty());
    EXPECT_FALSE(
        logged("⚡️ [LocalTypoDictionary] Risolto interamente in locale a 0ms (senza AI): \"grazie "
               "mille\""));
    EXPECT_EQ(journal(),
              (kHeldReturn +
               Lines{"notice show \"Dirav Aroveridide in azione...\"", "notice hide \"Offline ✓\"",
                     "sound Pop", "ax.set ok \"grazie mille\""} +
               sendReturn("grazie mille")));
}

TEST_F(Pipeline, AIFailureWithoutOfflineCorrectionSendsAsTyped) {
    spell.markMisspelled({"xyz"});
    http.failAll();
    desktop.pasteboard().setString("appunti");
    const PipelineReport report = sendFromChat("ciao xyz", true);
    advance(dispatch::seconds(0.6));

    EXPECT_EQ(report.path, "E11");
    EXPECT_EQ(journal(),
              (kHeldReturn + copyCapture("ciao xyz") + Lines{kWorking, kHideNow} + post("→") +
               Lines{"sleep 15ms"} + sendReturn("ciao xyz") + restore("appunti")));
    EXPECT_TRUE(logged("ℹ️ Nessuna correzione offline applicabile. Invio testo originale."));
}

// --- The AI and its answer

TEST(FirstChangedWord, ComparesWordsByPosition) {
    struct Case {
        const char* typed;
        const char* corrected;
        std::optional<std::string> expected;
    };
    const Case cases[] = {
        // Punctuation is trimmed; words shorter than 2 characters are skipped.
        {"e x, cme? stai", "è y, come? stai", "cme"},
        {"a b", "à c", std::nullopt},
        // An inserted word shifts every later position: the first shift counts.
        {"ciao come stai", "Ehi ciao come stai", "ciao"},
        // Canonically equal words (NFC vs NFD) are not changes.
        {"perch\u00e9 no", "perche\u0301 no", std::nullopt},
        // Only positions present in both lists are compared.
        {"ciao", "ciao a tutti", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CorrectionOutcome::firstChangedWord(c.typed, c.corrected), c.expected)
            << c.typed << " -> " << c.corrected;
    }
}

TEST_F(Pipeline, AIWaitEndsAfterFiveSecondsAndALateAnswerIsIgnored) {
    spell.markMisspelled({"xyz"});
    config.setApiKey("gemini-key-123");
    http.holdAll();
    const PipelineReport report = sendFromChat("ciao xyz");  // finishRun steps to the limit

    EXPECT_EQ(report.path, "E11");
    EXPECT_TRUE(logged("⏱️ TIMEOUT di sicurezza scattato dopo 5.00s!"));
    EXPECT_EQ(journal(), (kHeldReturn + Lines{kWorking, kHideNow} + sendReturn("ciao xyz")));
    EXPECT_EQ(journal({"send"}).size(), 1u);

    // The held request completes now; nobody reads its slots any more.
    const Lines before = journal();
    http.answerCorrected("ciao xyzzy");
    // The run is over: its exchange was abandoned and no provider is tried after it.
    ASSERT_EQ(http.requests().size(), 1u);
    ASSERT_TRUE(http.requests()[0].cancellation);
    EXPECT_TRUE(http.requests()[0].cancellation->isCancelled());
    http.releaseHeld();
    advance(dispatch::seconds(1));
    EXPECT_EQ(journal(), before);
    EXPECT_EQ(http.requests().size(), 1u);
    EXPECT_FALSE(cache.get("ciao xyz").has_value());
}

TEST_F(Pipeline, LocalStagesOutOfTimeSendTheTextAsTyped) {
    // Every spell check costs 1 ms of virtual time; the words are all correct.
    std::string text;
    for (int i = 0; i < 1000; ++i) {
        text += "parola" + std::to_string(i) + " ";
    }
    std::atomic<int> checks{0};
    spell.onCheck = [&] {
        ++checks;
        desktop.virtualClock().advance(std::chrono::milliseconds(1));
    };
    const PipelineReport report = sendFromChat(text);

    EXPECT_EQ(report.path, "E12");
    EXPECT_EQ(sent(), (std::vector<std::string>{text}));
    EXPECT_TRUE(
        logged("⏱️ [Limite locale] Controlli locali oltre 250 ms. Invio del testo originale."));
    EXPECT_LE(checks.load(), 260);
    EXPECT_TRUE(http.requests().empty());
}

TEST_F(Pipeline, LongRunsOfLettersAndBracketsLeaveWithoutQuadraticWork) {
    // Each of these held a message for seconds to minutes in the heuristics'
    // patterns; now they leave through the ordinary exits.
    const std::string ah = [] {
        std::string s;
        for (int i = 0; i < 25'000; ++i) {
            s += "ah";
        }
        return s;
    }();
    spell.setStrict(false);
    EXPECT_EQ(sendFromChat(ah).path, "E7");
    EXPECT_EQ(sendAgain(std::string(50'000, '[') + " ciao").path, "E7");
    EXPECT_EQ(sendAgain("ciao " + std::string(50'000, '<')).path, "E7");
    EXPECT_EQ(sent().size(), 3u);
}

TEST_F(Pipeline, BlankAndTruncatedAnswersAreRejected) {
    // The formal tone: a natural-tone answer this far from the text fails anyway.
    config.setToneStyle(ToneStyle::formal);
    const std::string working = "notice show \"Dirav Aroveridide in azione...\"";
    spell.markMisspelled({"xyz", "xyzzy"});
    struct Case {
        std::string text, answer, path;
    };
    const Case cases[] = {
        {"ciao xyz", "  ", "E9"},
        {"ciao xyz fai", "abc", "E8"},  // 12 characters: at least 4 needed
        {"ciao xyz fai", "abcd", "ai"},
        {"xyzzy", "a", "E8"},  // 5 characters or fewer: at least 2 needed
        {"xyzzy", "ab", "ai"},
    };
    chat_ = startInChat();
    for (const auto& c : cases) {
        http.answerCorrected(c.answer);
        desktop.journal().clear();
        const PipelineReport report = sendAgain(c.text);
        EXPECT_EQ(report.path, c.path) << c.text << " -> " << c.answer;
        if (c.path != "ai") {
            EXPECT_EQ(journal(), (kHeldReturn + Lines{working, kHideNow} + sendReturn(c.text)));
        }
        EXPECT_EQ(sent().back(), c.path == "ai" ? c.answer : c.text);
    }
    EXPECT_TRUE(logged("⚠️ Risultato AI vuoto. Invio testo originale."));
    EXPECT_TRUE(logged("⚠️ Risultato AI troncato (3 vs 12 car). Invio originale."));
    EXPECT_TRUE(logged("⚠️ Risultato AI troncato (1 vs 5 car). Invio originale."));
}

TEST_F(Pipeline, SpacingOnlyAnswerIsAppliedOnlyInWorkContext) {
    spell.markMisspelled({"xyz"});
    http.answerCorrected("ciao xyz fai");
    config.setLastCorrectedOriginalWord("prima");
    desktop.pasteboard().setString("appunti");
    const PipelineReport report = sendFromChat("ciao xyz  fai");
    advance(dispatch::seconds(0.6));

    EXPECT_EQ(report.path, "E10");
    // Accessibility capture: no Right Arrow, yet the restore always follows.
    EXPECT_EQ(journal(), (kHeldReturn + Lines{kWorking, kHideNow} + sendReturn("ciao xyz  fai") +
                          restore("appunti")));
    EXPECT_TRUE(logged("✅ Nessun refuso sostanziale corretto dall'AI (Gemini). Invio testo."));
    EXPECT_FALSE(config.lastCorrectedOriginalWord().has_value());
    // A misspelled word was seen: the verdict is not cached.
    EXPECT_FALSE(cache.get("ciao xyz  fai").has_value());

    config.setToneStyle(ToneStyle::formal);
    const PipelineReport work = sendAgain("ciao xyz  fai");
    EXPECT_EQ(work.path, "ai");
    EXPECT_EQ(work.changedWord, std::nullopt);
    EXPECT_EQ(sent().back(), "ciao xyz fai");
    EXPECT_EQ(cache.get("ciao xyz  fai"), "ciao xyz fai");
}

TEST_F(Pipeline, OnlyWhatLeftIsCachedAndATrailingBreakStillMatchesAVerdict) {
    // An answer differing only in spacing is not applied; what is cached is
    // the verdict on the text as it left, so the next send is not rewritten.
    // The repeated word makes the text suspicious although no word is misspelled.
    http.answerCorrected("ci  ci vediamo dopo");
    EXPECT_EQ(sendFromChat("ci ci vediamo dopo").path, "E10");
    EXPECT_TRUE(
        logged("🔍 [Contesto Sospetto / Executive] Rilevato testo da verificare con Gemini..."));
    EXPECT_EQ(cache.get("ci ci vediamo dopo"), "ci ci vediamo dopo");
    const std::size_t requests = http.requests().size();
    EXPECT_EQ(sendAgain("ci ci vediamo dopo").path, "E6");
    EXPECT_EQ(http.requests().size(), requests);
    EXPECT_EQ(sent(), (Lines{"ci ci vediamo dopo", "ci ci vediamo dopo"}));

    // Keys are trimmed: a trailing line break still reads the verdict as such.
    desktop.journal().clear();
    EXPECT_EQ(sendAgain("ci ci vediamo dopo\n").path, "E6");
    EXPECT_EQ(journal({"notice", "ax", "send"}), (Lines{"send " + q("ci ci vediamo dopo\n")}));
}

TEST_F(Pipeline, AICorrectionRecordsEverythingAndSends) {
    spell.markMisspelled({"xyz"});
    http.answerCorrected("ciao xy fai");
    const PipelineReport report = sendFromChat("ciao xyz fai");
    dispatcher.drainGlobal();

    EXPECT_EQ(report.path, "ai");
    EXPECT_EQ(report.changedWord, "xyz");
    EXPECT_EQ(journal(), (kHeldReturn +
                          Lines{kWorking, "notice hide \"Corretto ✓\" \"xyz\"", "sound Pop",
                                "ax.set ok \"ciao xy fai\""} +
                          sendReturn("ciao xy fai")));
    const Lines tail{"🪄 [0.00s] Refuso corretto:", "   Originale: \"ciao xyz fai\"",
                     "   Corretto:  \"ciao xy fai\"",
                     "⚡️ [AX Direct Set] Testo rimpiazzato via Accessibility API in 0.2ms!",
                     "🚀 Messaggio corretto inviato con successo!"};
    // Learning runs on the utility queue and logs whenever it is done.
    Lines all;
    for (const auto& m : messages()) {
        if (!m.starts_with("🧠 [Self-Learning]")) {
            all.push_back(m);
        }
    }
    ASSERT_GE(all.size(), tail.size());
    EXPECT_EQ(Lines(all.end() - static_cast<std::ptrdiff_t>(tail.size()), all.end()), tail);

    EXPECT_EQ(cache.get("ciao xyz fai"), "ciao xy fai");
    EXPECT_EQ(config.lastCorrectedOriginalWord(), "xyz");
    EXPECT_EQ(config.lastOriginalFullText(), "ciao xyz fai");
    EXPECT_EQ(config.lastCorrectedFullText(), "ciao xy fai");
    // Recorded before the Return was posted (12 ms of key waits).
    EXPECT_EQ(config.lastCorrectionDate(),
              desktop.clock().wallNow() - std::chrono::milliseconds(12));
    EXPECT_EQ(config.totalTyposCorrected(), 1);
    EXPECT_EQ(config.appTypoCounts(), (std::map<std::string, int64_t>{{"Chat", 1}}));
    EXPECT_EQ(dictionary.lookupLearned("xyz"), "xy");
}

TEST_F(Pipeline, MilestonePlaysGlassThenTheFeedbackSoundAndShowsItsText) {
    config.setTotalTyposCorrected(9);
    config.setSoundName("Tink");
    spell.markMisspelled({"xyz"});
    http.answerCorrected("ciao xy fai");
    sendFromChat("ciao xyz fai");

    const std::string milestone = *AppConfig::milestoneText(10);
    EXPECT_EQ(
        journal({"notice", "sound"}),
        (Lines{kWorking, "sound Glass", "notice hide " + q(milestone) + " \"xyz\"", "sound Tink"}));
}

// A page field may answer success to a set it ignores: browsers get the paste,
// for a cached correction as for the AI's, and the clipboard comes back.
TEST_F(Pipeline, CorrectionsInABrowserPasteWith40msAndRestoreTheClipboard) {
    cache.set("ciao cge fai", "ciao che fai");
    spell.markMisspelled({"xyz"});
    http.answerCorrected("ciao xy fai");
    desktop.pasteboard().setString("appunti");
    const auto browser = startInBrowser("com.brave.Browser", "ciao cge fai");
    EXPECT_EQ(sendNow().path, "cache");
    advance(dispatch::seconds(0.6));
    EXPECT_EQ(journal(),
              (kHeldReturn + copyCapture("ciao cge fai") +
               Lines{"notice hide \"Corretto ✓\" \"cge\"", "sound Pop"} +
               paste("ciao che fai", "40ms") + sendReturn("ciao che fai") + restore("appunti")));

    desktop.setText(browser.textArea, "ciao xyz fai");
    desktop.journal().clear();
    EXPECT_EQ(sendNow().path, "ai");
    advance(dispatch::seconds(0.6));
    EXPECT_EQ(journal(),
              (kHeldReturn + copyCapture("ciao xyz fai") +
               Lines{kWorking, "notice hide \"Corretto ✓\" \"xyz\"", "sound Pop"} +
               paste("ciao xy fai", "40ms") + sendReturn("ciao xy fai") + restore("appunti")));
}

}  // namespace
}  // namespace quorix::testing
