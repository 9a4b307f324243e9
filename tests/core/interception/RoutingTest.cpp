// Key routing: the synthetic marker, the master switch, the one-at-a-time guard,
// the shortcuts, both send modes and the pass-through cases of Return.

#include <gtest/gtest.h>

#include "InterceptorFixture.h"

namespace quorix::testing {
namespace {

namespace k = keys;
using platform::KeyDecision;
using platform::KeyEvent;

const char* const kBypass =
    "⚡️ [Bypass manuale (⌥+⏎)] Invio immediato del testo originale senza verifica.";
const char* const kDebounce =
    "⏳ [Debounce Invio] Intercettazione già in corso, sopprimo Invio simultaneo.";

using Routing = InterceptorFixture;

// --- Lifecycle

TEST_F(Routing, StartNeedsTrustAndAnInstalledHook) {
    desktop.setProcessTrusted(false);
    EXPECT_FALSE(interceptor->start());
    EXPECT_FALSE(desktop.keyboard().isInstalled());
    EXPECT_TRUE(logged("⚠️ Accessibility non ancora autorizzata da macOS."));

    desktop.setProcessTrusted(true);
    desktop.keyboard().setRefusesHook(true);
    EXPECT_FALSE(interceptor->start());
    EXPECT_TRUE(logged("⚠️ CGEvent.tapCreate ha restituito nil."));
    EXPECT_FALSE(interceptor->isRunning());

    desktop.keyboard().setRefusesHook(false);
    EXPECT_TRUE(interceptor->start());
    EXPECT_TRUE(interceptor->start());  // already installed: nothing more
    EXPECT_EQ(countMessages("✅ EventInterceptor agganciato e attivo!"), 1u);
    EXPECT_TRUE(interceptor->isRunning());

    // Trust withdrawn: the hook is still there but does not count as running.
    desktop.setProcessTrusted(false);
    EXPECT_FALSE(interceptor->isRunning());
    desktop.setProcessTrusted(true);

    interceptor->stop();
    interceptor->stop();
    EXPECT_EQ(countMessages("🛑 EventInterceptor disattivato."), 1u);
    EXPECT_FALSE(desktop.keyboard().isInstalled());
    EXPECT_FALSE(interceptor->isRunning());
}

TEST_F(Routing, DestroyingTheInterceptorRemovesItsHook) {
    startInChat("ciao");
    interceptor.reset();
    EXPECT_FALSE(desktop.keyboard().isInstalled());
    EXPECT_FALSE(press(k::kReturn));
    EXPECT_EQ(desktop.sentMessages().size(), 1u);
}

// --- Return in autoSend mode

// The run sends once; isWorking is cleared only by the main queue.
TEST_F(Routing, PlainReturnIsHeldBackAndTheRunSendsOnce) {
    startInChat("ciao a tutti");
    EXPECT_TRUE(press(k::kReturn));
    EXPECT_TRUE(interceptor->isWorking());
    EXPECT_TRUE(logged("⌨️ Intercettato Invio in 'Chat' (com.example.chat)"));
    for (int i = 0; i < 5000 && pendingReports() == 0; ++i)
        std::this_thread::sleep_for(1ms);
    dispatcher.drainGlobal();
    EXPECT_TRUE(interceptor->isWorking());

    const PipelineReport report = finishRun();
    EXPECT_EQ(report.path, "E7");
    EXPECT_EQ(report.capturedText, "ciao a tutti");
    EXPECT_FALSE(interceptor->isWorking());
    EXPECT_EQ(journal({"key", "post", "send", "hook"}),
              (Lines{"key ⏎ swallow", "post ⏎ down", "send \"ciao a tutti\"", "post ⏎ up"}));
}

TEST_F(Routing, KeypadEnterBehavesLikeReturnButPostsReturn) {
    auto chat = startInChat("ciao");
    EXPECT_TRUE(press(k::kKeypadEnter));
    EXPECT_EQ(finishRun().path, "E7");
    EXPECT_EQ(journal({"key", "post", "send"}),
              (Lines{"key ⌤ swallow", "post ⏎ down", "send \"ciao\"", "post ⏎ up"}));

    desktop.setText(chat.field, "di nuovo");
    desktop.journal().clear();
    EXPECT_TRUE(press(k::kKeypadEnter, k::kOption));
    EXPECT_EQ(journal(), (Lines{"key ⌥⌤ swallow"} + post("⏎") + Lines{"send \"di nuovo\""}));
}

TEST_F(Routing, UnnamedFrontApplicationIsLoggedAsUnknown) {
    desktop.addApplication({202, "org.example.noname", std::nullopt, false});
    const auto window = desktop.addWindow(202, "w");
    desktop.focus(desktop.addTextField(window, "ciao"));
    desktop.activate(202);
    ASSERT_TRUE(interceptor->start());
    EXPECT_TRUE(press(k::kReturn));
    EXPECT_TRUE(logged("⌨️ Intercettato Invio in 'Sconosciuta' (org.example.noname)"));
    finishRun();
}

// --- The send-mode matrix

enum class Expect { intercept, bypass, pass };
struct ModeCase {
    CorrectionMode mode;
    uint64_t flags;
    Expect expect;
    const char* label;  // journal name of the user's key
};

class SendModes : public InterceptorFixture, public ::testing::WithParamInterface<ModeCase> {};

TEST_P(SendModes, DecideAsTheModeSays) {
    const ModeCase c = GetParam();
    config.setMode(c.mode);
    startInChat("ciao");
    const bool swallowed = press(k::kReturn, c.flags);
    switch (c.expect) {
        case Expect::intercept:
            EXPECT_TRUE(swallowed);
            EXPECT_EQ(finishRun().path, "E7");
            EXPECT_EQ(desktop.sentMessages().size(), 1u);
            break;
        case Expect::bypass:
            EXPECT_TRUE(swallowed);
            EXPECT_FALSE(interceptor->isWorking());
            EXPECT_TRUE(logged(kBypass));
            EXPECT_EQ(journal(), (Lines{std::string("key ") + c.label + " swallow"} + post("⏎") +
                                  Lines{"send \"ciao\""}));
            break;
        case Expect::pass:
            EXPECT_FALSE(swallowed);
            EXPECT_FALSE(interceptor->isWorking());
            EXPECT_EQ(journal({"key", "post"}), Lines{std::string("key ") + c.label + " pass"});
            break;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Routing, SendModes,
    ::testing::Values(
        ModeCase{CorrectionMode::autoSend, 0, Expect::intercept, "⏎"},
        ModeCase{CorrectionMode::autoSend, k::kOption, Expect::bypass, "⌥⏎"},
        ModeCase{CorrectionMode::autoSend, k::kControl, Expect::bypass, "⌃⏎"},
        ModeCase{CorrectionMode::autoSend, k::kShift, Expect::pass, "⇧⏎"},
        ModeCase{CorrectionMode::autoSend, k::kCommand, Expect::pass, "⌘⏎"},
        ModeCase{CorrectionMode::ctrlEnter, k::kControl, Expect::intercept, "⌃⏎"},
        ModeCase{CorrectionMode::ctrlEnter, 0, Expect::pass, "⏎"},
        ModeCase{CorrectionMode::ctrlEnter, k::kOption, Expect::bypass, "⌥⏎"},
        ModeCase{CorrectionMode::ctrlEnter, k::kOption | k::kControl, Expect::bypass, "⌃⌥⏎"},
        ModeCase{CorrectionMode::ctrlEnter, k::kControl | k::kShift, Expect::pass, "⌃⇧⏎"}));

// --- Return that must reach the application

TEST_F(Routing, ReturnPassesWhereNoCorrectionBelongs) {
    auto chat = startInChat("ciao");

    config.excludeApp("Chat");
    EXPECT_FALSE(press(k::kReturn));
    config.unexcludeApp("Chat");

    desktop.setText(chat.field, "ciao");
    desktop.activate(std::nullopt);
    EXPECT_FALSE(press(k::kReturn));

    EXPECT_FALSE(interceptor->isWorking());
    EXPECT_EQ(pendingReports(), 0u);
}

TEST_F(Routing, ReturnPassesInTheAddressBarAndOpenCompletionLists) {
    auto browser =
        platform::addBrowser(desktop, 300, "com.google.Chrome", "Google Chrome", "Inbox - Gmail");
    ASSERT_TRUE(interceptor->start());
    desktop.focus(browser.addressBar);
    EXPECT_FALSE(press(k::kReturn));
    EXPECT_TRUE(logged(
        "⚡️ [Browser Barra Indirizzi/Omnibox] Lascio passare Invio per navigazione o selezione "
        "sito."));

    desktop.focus(browser.textArea);
    desktop.setText(browser.textArea, "ciao @mar");
    EXPECT_FALSE(press(k::kReturn));
    EXPECT_TRUE(logged(
        "⚡️ [Autocomplete/Tendina attiva (Menzione: @mar)] Lascio passare Invio per confermare "
        "la selezione."));
    EXPECT_FALSE(interceptor->isWorking());
}

// --- Guard, marker, master switch

TEST_F(Routing, WhileWorkingEveryUserKeyIsSwallowedButOwnKeysPass) {
    spell.markMisspelled({"domai"});
    http.holdAll();  // the AI never answers: the run waits in virtual time
    auto chat = startInChat("ci vediamo domai");
    ASSERT_TRUE(press(k::kReturn));

    EXPECT_EQ(desktop.typeText("ok"), 2u);
    EXPECT_TRUE(press(k::kReturn));
    EXPECT_EQ(interceptor->handleEvent(KeyEvent{k::kReturn, 0, k::kSyntheticMarker}),
              KeyDecision::pass);
    EXPECT_EQ(countMessages(kDebounce), 3u);
    EXPECT_EQ(desktop.text(chat.field), "ci vediamo domai");

    const PipelineReport report = finishRun();
    EXPECT_EQ(report.path, "E11");
    EXPECT_TRUE(report.returnPosted);
    EXPECT_FALSE(interceptor->isWorking());
    // After the run the keyboard is the user's again.
    EXPECT_FALSE(press(k::kLeftArrow));
}

TEST_F(Routing, MasterSwitchOffLetsEverythingPassWithoutPrecheck) {
    startInChat("ciao");
    config.setIsEnabled(false);
    config.setLastOriginalFullText("prima");
    config.setLastCorrectionDate(desktop.clock().wallNow());
    EXPECT_FALSE(press(k::kReturn));
    EXPECT_FALSE(press(k::kZ, k::kOption));
    EXPECT_FALSE(press(k::kU, k::kOption));
    EXPECT_EQ(desktop.typeText("abc "), 0u);
    EXPECT_FALSE(desktop.virtualClock().nextDeadline().has_value());
    EXPECT_EQ(desktop.sentMessages().size(), 1u);
    EXPECT_EQ(popoverToggles.load(), 0);
    EXPECT_EQ(interceptor->handleEvent({k::kReturn, 0, k::kSyntheticMarker}), KeyDecision::pass);
}

// --- Shortcuts

TEST_F(Routing, OptionZActsOnlyWithinFiveSecondsOfACorrection) {
    auto chat = startInChat();
    const auto now = desktop.clock().wallNow();
    config.setLastOriginalFullText("ciao domai");

    config.setLastCorrectionDate(now - dispatch::seconds(5.0));
    EXPECT_FALSE(press(k::kZ, k::kOption));
    config.setLastCorrectionDate(now - dispatch::seconds(4.9));
    EXPECT_FALSE(press(k::kZ, k::kOption | k::kCommand));
    EXPECT_FALSE(press(k::kZ, k::kOption | k::kControl));
    EXPECT_TRUE(press(k::kZ, k::kOption | k::kShift));
    EXPECT_TRUE(logged("↩️ [Undo Rapido (⌥+Z)] Ripristino testo originale: \"ciao domai\""));
    EXPECT_EQ(desktop.text(chat.field), "ciao domai");
    // The stored text is consumed: a second ⌥Z reaches the application.
    EXPECT_FALSE(press(k::kZ, k::kOption));
}

TEST_F(Routing, OptionUTogglesThePopoverOnTheMainQueue) {
    startInChat();
    EXPECT_TRUE(press(k::kU, k::kOption));
    EXPECT_TRUE(logged("⚡️ [Scorciatoia Globale (⌥+U)] Toggle popover barra dei menu."));
    EXPECT_EQ(popoverToggles.load(), 0);
    mainQueue.runUntilIdle();
    EXPECT_EQ(popoverToggles.load(), 1);

    EXPECT_FALSE(press(k::kU, k::kOption | k::kCommand));

    config.setGlobalHotkeyEnabled(false);
    EXPECT_FALSE(press(k::kU, k::kOption));
    mainQueue.runUntilIdle();
    EXPECT_EQ(popoverToggles.load(), 1);
    EXPECT_TRUE(desktop.virtualClock().nextDeadline().has_value());  // a precheck is armed
}

TEST_F(Routing, OptionUWithoutAShellIsSwallowedQuietly) {
    EventInterceptor bare(InterceptorServices{
        config, logger, cache, dictionary, ai, detector, spell, desktop.keyboard(),
        desktop.keyboard(), desktop.accessibility(), desktop.pasteboard(), workspace,
        desktop.sounds(), *notice, dispatcher, nullptr});
    EXPECT_EQ(bare.handleEvent({k::kU, k::kOption, 0}), KeyDecision::swallow);
    EXPECT_EQ(mainQueue.runUntilIdle(), 1u);
    EXPECT_EQ(popoverToggles.load(), 0);
}

}  // namespace
}  // namespace quorix::testing
