// Key routing: the synthetic marker, the master switch, the one-at-a-time guard,
// the shortcuts, both send modes and the pass-through cases of Return.

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

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

class Routing : public InterceptorFixture {
  protected:
    // Return on a message whose AI answer never comes: the run waits in
    // virtual time until finishRun() steps it to the limit.
    platform::SimChatApp startSlowCorrection() {
        spell.markMisspelled({"domai"});
        http.holdAll();
        auto chat = startInChat("ci vediamo domai");
        EXPECT_TRUE(press(k::kReturn));
        return chat;
    }
};

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

    // Destroying the interceptor removes its hook.
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
    for (int i = 0; i < 5000 && pendingReports() == 0; ++i) {
        std::this_thread::sleep_for(1ms);
    }
    dispatcher.drainGlobal();
    EXPECT_TRUE(interceptor->isWorking());

    const PipelineReport report = finishRun();
    EXPECT_EQ(report.path, "E7");
    EXPECT_EQ(report.capturedText, "ciao a tutti");
    EXPECT_FALSE(interceptor->isWorking());
    EXPECT_EQ(sent(), Lines{"ciao a tutti"});
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

TEST_F(Routing, SendModesDecideWhichReturnIsCheckedBypassedOrPassed) {
    enum class Expect { intercept, bypass, pass };
    struct Case {
        CorrectionMode mode;
        uint64_t flags;
        Expect expect;
        const char* label;  // journal name of the user's key
        uint16_t key = k::kReturn;
    };
    const auto autoSend = CorrectionMode::autoSend;
    const auto ctrlEnter = CorrectionMode::ctrlEnter;
    // Keypad Enter behaves like Return; what is posted is always Return.
    const Case cases[] = {{autoSend, k::kOption, Expect::bypass, "⌥⏎"},
                          {autoSend, k::kControl, Expect::bypass, "⌃⏎"},
                          {autoSend, k::kShift, Expect::pass, "⇧⏎"},
                          {autoSend, k::kCommand, Expect::pass, "⌘⏎"},
                          {autoSend, 0, Expect::intercept, "⌤", k::kKeypadEnter},
                          {autoSend, k::kOption, Expect::bypass, "⌥⌤", k::kKeypadEnter},
                          {ctrlEnter, k::kControl, Expect::intercept, "⌃⏎"},
                          {ctrlEnter, 0, Expect::pass, "⏎"},
                          {ctrlEnter, k::kOption | k::kControl, Expect::bypass, "⌃⌥⏎"},
                          {ctrlEnter, k::kControl | k::kShift, Expect::pass, "⌃⇧⏎"}};
    auto chat = startInChat();
    for (const auto& c : cases) {
        config.setMode(c.mode);
        desktop.setText(chat.field, "ciao");
        desktop.journal().clear();
        const std::size_t sentBefore = desktop.sentMessages().size();
        const bool swallowed = press(c.key, c.flags);
        EXPECT_EQ(swallowed, c.expect != Expect::pass) << c.label;
        const Lines key{std::string("key ") + c.label + (swallowed ? " swallow" : " pass")};
        switch (c.expect) {
            case Expect::intercept:
                EXPECT_EQ(finishRun().path, "E7") << c.label;
                if (c.key == k::kKeypadEnter) {
                    EXPECT_EQ(journal({"post"}).front(), "post ⏎ down");
                }
                break;
            case Expect::bypass:
                EXPECT_EQ(journal(), key + post("⏎") + Lines{"send \"ciao\""}) << c.label;
                break;
            case Expect::pass:
                EXPECT_EQ(journal({"key", "post"}), key) << c.label;
                break;
        }
        EXPECT_FALSE(interceptor->isWorking()) << c.label;
        if (c.expect != Expect::pass) {
            EXPECT_EQ(desktop.sentMessages().size(), sentBefore + 1) << c.label;
        }
    }
    EXPECT_EQ(countMessages(kBypass), 4u);
}

// --- Return that must reach the application

TEST_F(Routing, ReturnPassesWhereNoCorrectionBelongs) {
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

    desktop.setText(browser.textArea, "ciao");
    config.excludeApp("Google Chrome");
    EXPECT_FALSE(press(k::kReturn));
    config.unexcludeApp("Google Chrome");
    desktop.activate(std::nullopt);
    EXPECT_FALSE(press(k::kReturn));
    EXPECT_FALSE(interceptor->isWorking());
    EXPECT_EQ(pendingReports(), 0u);
}

// A browser whose focused element cannot be read may have its address bar
// focused: Return passes as typed, and how to turn accessibility on is said
// once. Other applications keep the clipboard path.
TEST_F(Routing, UnreadableBrowserLetsReturnPassAndSaysOnceHowToFixIt) {
    const std::string hint =
        "🌐 [Browser] Campo non leggibile via Accessibility API in 'Chromium': non distinguo la "
        "pagina dalla barra degli indirizzi, lascio passare Invio senza correggere. Attiva "
        "l'accessibilità del browser.";
    auto browser = platform::addBrowser(desktop, 300, "org.chromium.Chromium", "Chromium", "Chat");
    desktop.setHidesFocusedElement(300, true);
    ASSERT_TRUE(interceptor->start());
    for (const char* typed : {"ci vedimao", "ciao cge fai"}) {
        desktop.setText(browser.textArea, typed);
        desktop.journal().clear();
        EXPECT_FALSE(press(k::kReturn)) << typed;
        EXPECT_EQ(journal({"key", "post", "pb"}), Lines{"key ⏎ pass"}) << typed;
    }
    EXPECT_EQ(sent(), (std::vector<std::string>{"ci vedimao", "ciao cge fai"}));
    EXPECT_EQ(countMessages(hint), 1u);
    EXPECT_EQ(pendingReports(), 0u);

    cache.set("ciao cge fai", "ciao che fai");
    platform::addChatApp(desktop, 101, "com.example.chat", "Chat", "ciao cge fai");
    desktop.setHidesFocusedElement(101, true);
    desktop.journal().clear();
    EXPECT_TRUE(press(k::kReturn));
    EXPECT_EQ(finishRun().path, "cache");
    EXPECT_EQ(sent().back(), "ciao che fai");
    EXPECT_EQ(journal({"pb"}).at(0), "pb.copy \"ciao cge fai\"");
}

// --- Guard, marker, master switch

TEST_F(Routing, WhileWorkingEveryUserKeyIsSwallowedButOwnKeysPass) {
    auto chat = startSlowCorrection();

    EXPECT_EQ(desktop.typeText("ok"), 2u);
    EXPECT_TRUE(press(k::kReturn));
    EXPECT_EQ(interceptor->handleEvent(KeyEvent{k::kReturn, 0, k::kSyntheticMarker}),
              KeyDecision::pass);
    EXPECT_EQ(countMessages(kDebounce), 3u);
    EXPECT_EQ(desktop.text(chat.field), "ci vediamo domai");

    const PipelineReport report = finishRun();
    EXPECT_EQ(report.path, "E11");
    EXPECT_TRUE(report.returnPosted);
    // The keys typed meanwhile follow the message; their Return is routed
    // afresh and sends "ok" through its own run.
    EXPECT_EQ(finishRun().path, "E7");
    EXPECT_EQ(sent(), (Lines{"ci vediamo domai", "ok"}));
    EXPECT_FALSE(interceptor->isWorking());
    // After the run the keyboard is the user's again.
    EXPECT_FALSE(press(k::kLeftArrow));
}

// A fast typer starts the next message while a slow answer is awaited.
TEST_F(Routing, KeysTypedDuringASlowCorrectionAreReplayedAfterItsReturn) {
    auto chat = startSlowCorrection();
    EXPECT_EQ(desktop.typeText("Ok, a"), 5u);
    EXPECT_TRUE(press(k::kLeftArrow, k::kShift));
    EXPECT_TRUE(interceptor->handleEvent(KeyEvent{.keyCode = 56, .isModifierKey = true}) ==
                KeyDecision::swallow);
    // A key the application already received is not replayed.
    EXPECT_EQ(interceptor->handleEvent(KeyEvent{.keyCode = 0, .alreadyDelivered = true}),
              KeyDecision::pass);
    EXPECT_EQ(finishRun().path, "E11");
    EXPECT_EQ(sent(), Lines{"ci vediamo domai"});
    EXPECT_EQ(desktop.text(chat.field), "Ok, a");
    const Lines all = journal({"post", "send"});
    const auto sentAt = std::find(all.begin(), all.end(), "send \"ci vediamo domai\"");
    ASSERT_NE(sentAt, all.end());
    EXPECT_EQ(Lines(sentAt + 2, all.end()),
              (Lines{"post ⇧O down", "post ⇧O up", "post K down", "post K up", "post , down",
                     "post , up", "post ␣ down", "post ␣ up", "post A down", "post A up",
                     "post ⇧← down", "post ⇧← up"}));
    EXPECT_TRUE(
        logged("⌨️ [Tasti durante la correzione] Reinvio 6 tasti digitati durante la correzione."));
}

TEST_F(Routing, KeysTypedWhileTheReplayIsPostedFollowIt) {
    auto chat = startSlowCorrection();
    desktop.typeText("ab");
    desktop.keyboard().setReplayObserver([this, typed = false](const KeyEvent&) mutable {
        if (!std::exchange(typed, true)) {
            EXPECT_EQ(desktop.typeText("c"), 1u);
        }
    });
    EXPECT_EQ(finishRun().path, "E11");
    EXPECT_EQ(desktop.text(chat.field), "abc");
    EXPECT_FALSE(interceptor->isWorking());
    EXPECT_TRUE(
        logged("⌨️ [Tasti durante la correzione] Reinvio 1 tasti digitati durante la correzione."));
}

TEST_F(Routing, EscapeDuringACorrectionDiscardsWhatWasTypedMeanwhile) {
    auto chat = startSlowCorrection();
    desktop.typeText("ab");
    EXPECT_TRUE(press(53));
    desktop.typeText("c");
    EXPECT_EQ(finishRun().path, "E11");
    EXPECT_EQ(desktop.text(chat.field), "");
    EXPECT_EQ(journal({"post"}), (Lines{"post ⏎ down", "post ⏎ up"}));
    EXPECT_TRUE(logged("⎋ [Tasti durante la correzione] Esc premuto: 4 tasti scartati."));
}

TEST_F(Routing, MasterSwitchOffLetsEverythingPassWithoutPrecheck) {
    startInChat("ciao");
    config.setIsEnabled(false);
    config.setLastOriginalFullText("prima");
    config.setLastCorrectionDate(desktop.clock().wallNow());
    EXPECT_FALSE(press(k::kReturn));
    EXPECT_FALSE(press(k::kZ, k::kOption));
    EXPECT_FALSE(press(k::kU, k::kOption));
    spell.markMisspelled({"grazei"});
    EXPECT_EQ(desktop.typeText(" grazei"), 0u);
    desktop.virtualClock().advance(dispatch::seconds(1.0));
    interceptor->drainPrecheck();
    EXPECT_FALSE(cache.get("ciao grazei").has_value());  // no precheck ran
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
    EventInterceptor bare(services::interceptorServices(
        core(), services::simDesktopPorts(desktop, workspace), *notice, nullptr));
    EXPECT_EQ(bare.handleEvent({k::kU, k::kOption, 0}), KeyDecision::swallow);
    EXPECT_EQ(mainQueue.runUntilIdle(), 1u);
    EXPECT_EQ(popoverToggles.load(), 0);
}

}  // namespace
}  // namespace quorix::testing
