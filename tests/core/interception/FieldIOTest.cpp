// Capture, write-back, key posting and the clipboard restore, asserted on the
// simulated desktop's journal. The interceptor is not started: posted keys go
// straight to the front application.

#include <gtest/gtest.h>

#include <algorithm>

#include "InterceptorFixture.h"

namespace quorix::testing {
namespace {

namespace k = keys;
using Outcome = FieldIO::Capture::Outcome;
using Clip = platform::PasteboardContents;

class FieldIOTest : public InterceptorFixture {
  protected:
    platform::SimChatApp openChat(const std::string& text) {
        auto chat = platform::addChatApp(desktop, 101, "com.example.chat", "Chat", text);
        app = *workspace.frontmostApplication();
        return chat;
    }
    FieldIO& io() { return interceptor->fieldIO(); }
    FieldIO::Capture capture() {
        desktop.journal().clear();
        return io().capture(app, desktop.pasteboard().changeCount(), io().saveClipboard());
    }

    platform::RunningApplication app;
};

TEST_F(FieldIOTest, FailedPostingWaitsForNothing) {
    openChat("");
    desktop.keyboard().setPostingFails(true);
    io().postKey(k::kReturn);
    EXPECT_TRUE(journal().empty());
}

// Ctrl+A, Ctrl+C would interrupt the terminal's program: the Return goes
// alone, whatever the coverage lists say.
TEST_F(FieldIOTest, CaptureNeverCopiesInATerminal) {
    workspace.setApplicationCategories("com.example.Shell", {"TerminalEmulator"});
    for (const std::string id : {"xterm", "org.kde.konsole", "com.example.Shell"}) {
        SCOPED_TRACE(id);
        desktop.quitApplication(101);
        auto shell = platform::addChatApp(desktop, 101, id, "Shell", "cat");
        app = *workspace.frontmostApplication();
        desktop.setValueExposure(shell.field, platform::ValueExposure::hidden);
        const auto cap = capture();
        EXPECT_EQ(cap.outcome, Outcome::terminal);
        EXPECT_EQ(journal(), sendReturn("cat"));
    }
}

TEST_F(FieldIOTest, CaptureReadsAccessibilityElseSelectsAllAndCopies) {
    auto chat = openChat("  ciao a tutti ");
    desktop.setValueExposure(chat.field, platform::ValueExposure::attributed);
    auto cap = capture();
    EXPECT_EQ(cap.text, "  ciao a tutti ");  // as captured, not trimmed
    EXPECT_FALSE(cap.usedClipboard);
    EXPECT_TRUE(journal().empty());
    EXPECT_TRUE(
        logged("⚡️ [AXUIElement] Testo prelevato istantaneamente via Accessibility API (0ms): \" "
               " ciao "
               "a tutti \""));

    desktop.setValueExposure(chat.field, platform::ValueExposure::empty);
    cap = capture();
    EXPECT_EQ(cap.outcome, Outcome::text);
    EXPECT_TRUE(cap.usedClipboard);
    EXPECT_NE(cap.element, nullptr);  // kept for the write-back
    EXPECT_EQ(journal(), copyCapture("  ciao a tutti "));

    desktop.setHidesFocusedElement(app.pid, true);
    EXPECT_EQ(io().getFocusedElementAndText(app).element, nullptr);
}

// A browser's accessibility value may lag the keys typed before Return (seen
// with Firefox): its text is copied, which the page handles after those keys.
TEST_F(FieldIOTest, BrowserTextIsCopiedEvenWhenAccessibilityReadsIt) {
    auto browser = platform::addBrowser(desktop, 202, "firefox-esr", "Firefox", "Chat");
    desktop.setText(browser.textArea, "ciao cge fai");
    app = *workspace.frontmostApplication();
    const auto cap = capture();
    EXPECT_TRUE(cap.usedClipboard);
    EXPECT_EQ(cap.text, "ciao cge fai");
    EXPECT_NE(cap.element, nullptr);  // still there for the write-back
    EXPECT_EQ(journal(), copyCapture("ciao cge fai"));

    // Its copy may take longer to reach the clipboard: 30 polls, not 12.
    desktop.setIgnoresCopy(app.pid, true);
    EXPECT_EQ(capture().outcome, Outcome::clipboardUnchanged);
    const auto lines = journal();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "sleep 10ms"), 30 + 1);  // + before Return
}

TEST_F(FieldIOTest, IgnoredCopyPollsTwelveTimesThenSendsAsTyped) {
    auto chat = openChat("ciao");
    desktop.setValueExposure(chat.field, platform::ValueExposure::hidden);
    desktop.setIgnoresCopy(app.pid, true);
    desktop.pasteboard().setString("user clip");
    const auto cap = capture();
    EXPECT_EQ(cap.outcome, Outcome::clipboardUnchanged);

    EXPECT_EQ(journal(), post("⌘A") + Lines{"sleep 25ms"} + post("⌘C") + Lines(12, "sleep 10ms") +
                             post("→") + Lines{"sleep 10ms"} + sendReturn("ciao"));
    EXPECT_TRUE(
        logged("📋 Nessun nuovo testo copiato (appunti invariati o campo vuoto). Invia originale."));
    advance(dispatch::seconds(1));
    EXPECT_EQ(desktop.pasteboard().string(), "user clip");

    // The application wakes up and performs the queued copy: undone.
    desktop.pasteboard().appCopy("ciao", app.pid);
    advance(dispatch::seconds(0.1));
    EXPECT_EQ(desktop.pasteboard().string(), "user clip");
    // Once the first change is undone, or the watch has passed, the user's
    // own copies stay.
    desktop.pasteboard().appCopy("copied by the user", app.pid);
    advance(FieldIO::kLateCopyWatch);
    EXPECT_EQ(desktop.pasteboard().string(), "copied by the user");
}

// Another program takes the clipboard while the application ignores ⌘C: its
// text is not the message, which leaves as typed; the user's clipboard returns.
TEST_F(FieldIOTest, AnotherProgramsCopyDuringTheCaptureIsNotTheMessage) {
    auto chat = openChat("ciao");
    desktop.setValueExposure(chat.field, platform::ValueExposure::hidden);
    desktop.setIgnoresCopy(app.pid, true);
    desktop.pasteboard().setString("user clip");
    const auto saved = io().saveClipboard();
    const int64_t before = desktop.pasteboard().changeCount();
    desktop.pasteboard().setString("another program's text");
    desktop.journal().clear();
    const auto cap = io().capture(app, before, saved);
    EXPECT_EQ(cap.outcome, Outcome::clipboardUnchanged);
    const Lines keys = journal();
    EXPECT_EQ(Lines(keys.end() - 5, keys.end()), sendReturn("ciao"));
    EXPECT_TRUE(
        logged("📋 Gli appunti sono stati presi da un altro programma durante la copia. "
               "Invia originale."));
    // Another program's copy is not taken for the application's late one.
    advance(dispatch::seconds(0.1));
    EXPECT_EQ(desktop.pasteboard().string(), "another program's text");
}

TEST_F(FieldIOTest, BlankCopyIsSentAsTypedAndTheClipboardComesBack) {
    auto chat = openChat("   ");
    desktop.setValueExposure(chat.field, platform::ValueExposure::hidden);
    desktop.pasteboard().setString("user clip");
    EXPECT_EQ(capture().outcome, Outcome::noText);
    EXPECT_TRUE(logged("📋 Nessun testo trovato. Invia originale."));
    EXPECT_EQ(journal({"post"}).back(), "post ⏎ up");  // Return posted
    advance(dispatch::seconds(0.6));
    EXPECT_EQ(desktop.pasteboard().string(), "user clip");
}

// A correction whose window lost the front (another window came forward, the
// application quit) pastes and sends nothing into whatever is in front now.
TEST_F(FieldIOTest, NothingIsPostedOnceTheMessagesApplicationLeftTheFront) {
    for (const bool quits : {false, true}) {
        SCOPED_TRACE(quits ? "quits" : "another window");
        desktop.quitApplication(101);
        desktop.quitApplication(102);
        openChat("ciao cge fai");
        const auto element = io().getFocusedElementAndText(app).element;
        const FieldIO::TargetScope target(io(), app.pid);
        if (quits) {
            desktop.quitApplication(101);
        } else {
            platform::addChatApp(desktop, 102, "com.example.other", "Other", "");
        }
        desktop.journal().clear();
        io().writeBackAndSend(element, "ciao che fai", {}, !quits, dispatch::micros(25'000));
        EXPECT_EQ(journal({"post"}), Lines{});
        EXPECT_TRUE(
            logged("⚠️ [Focus] L'applicazione del messaggio non è più in primo piano: "
                   "il testo resta nel suo campo e non invio nulla."));
    }
}

// A second correction within 0.6 s: the user's clipboard is the one the first
// correction's pending restore keeps, and that restore never lands in the
// second one's paste.
TEST_F(FieldIOTest, CorrectionsInQuickSuccessionKeepTheUsersClipboard) {
    openChat("");
    desktop.pasteboard().setString("user clip");
    io().writeBackAndSend(nullptr, "first", io().saveClipboard(), false, dispatch::micros(0));
    advance(dispatch::seconds(0.3));
    io().restorePendingClipboardNow();  // as every correction starts
    const auto saved = io().saveClipboard();
    desktop.pasteboard().setString("second");
    advance(dispatch::seconds(0.4));
    EXPECT_EQ(desktop.pasteboard().string(), "second");
    io().scheduleClipboardRestore(saved);
    advance(dispatch::seconds(0.6));
    EXPECT_EQ(desktop.pasteboard().string(), "user clip");
}

// Another program takes the clipboard between the write and the paste: the
// paste is redone, and the corrected text is what leaves. Also when the
// application reads the clipboard only after the paste wait (a loaded
// desktop): Return waits for that read.
TEST_F(FieldIOTest, APasteWhoseClipboardWasTakenIsRedone) {
    for (const int lagMs : {0, 40, 300}) {
        SCOPED_TRACE(lagMs);
        desktop.quitApplication(101);
        openChat("ciao cge fai");
        desktop.setPasteLag(101, dispatch::micros(lagMs * 1000));
        desktop.pasteboard().setString("user clip");
        const auto saved = io().saveClipboard();
        desktop.pasteboard().takeAfterNextSets("another program's text", 1);
        const std::size_t sentBefore = desktop.sentMessages().size();
        io().writeBackAndSend(nullptr, "ciao che fai", saved, false, dispatch::micros(25'000));
        ASSERT_EQ(desktop.sentMessages().size(), sentBefore + 1);
        EXPECT_EQ(desktop.sentMessages().back().text, "ciao che fai");
        EXPECT_TRUE(
            logged("📋 Gli appunti sono cambiati durante l'incolla (un altro programma): "
                   "incollo di nuovo."));
        advance(dispatch::seconds(0.6));
        EXPECT_EQ(desktop.pasteboard().string(), "user clip");
    }
}

// A set counts only when the field reads the new text back; otherwise, and
// without an element, the write-back pastes.
TEST_F(FieldIOTest, WriteBackPastesUnlessTheSetReadsBack) {
    using platform::ValueExposure;
    using platform::ValueSetBehaviour;
    auto chat = openChat("ciao cge fai");
    const auto element = io().getFocusedElementAndText(app).element;
    const struct {
        const char* what;
        bool withElement;
        ValueSetBehaviour set;
        ValueExposure exposure;
    } cases[] = {{"no element", false, ValueSetBehaviour::accept, ValueExposure::plain},
                 {"set without effect", true, ValueSetBehaviour::ignore, ValueExposure::plain},
                 {"value not readable", true, ValueSetBehaviour::accept, ValueExposure::hidden}};
    for (const auto& c : cases) {
        desktop.setText(chat.field, "ciao cge fai");
        desktop.setValueSetBehaviour(chat.field, c.set);
        desktop.setValueExposure(chat.field, c.exposure);
        desktop.journal().clear();
        io().writeBackAndSend(c.withElement ? element : nullptr, "ciao che fai", {}, true,
                              dispatch::micros(25'000));
        const Lines set = c.withElement ? Lines{"ax.set ok \"ciao che fai\""} : Lines{};
        EXPECT_EQ(journal(), set + paste("ciao che fai", "25ms") + sendReturn("ciao che fai"))
            << c.what;
    }
    EXPECT_FALSE(logged("⚡️ [AX Direct Set] Testo rimpiazzato via Accessibility API in 0.2ms!"));
}

// A restore still waiting when the next correction starts is done then and
// never later: landing between that correction's copy or paste and the
// application reading the clipboard, it would have its text sent instead.
TEST_F(FieldIOTest, AWaitingRestoreIsDoneAtOnceAndNeverLater) {
    auto chat = openChat("uno");
    const auto element = io().getFocusedElementAndText(app).element;
    desktop.setValueSetBehaviour(chat.field, platform::ValueSetBehaviour::refuse);
    io().replaceTextAndSend(element, "primo", Clip::text("user clip"), false);
    advance(dispatch::seconds(0.3));
    desktop.journal().clear();
    io().restorePendingClipboardNow();
    EXPECT_EQ(journal({"pb"}), (Lines{"pb.clear", "pb.set \"user clip\""}));

    desktop.pasteboard().setString("the next correction");
    io().restorePendingClipboardNow();
    advance(dispatch::seconds(1));
    EXPECT_EQ(desktop.pasteboard().string(), "the next correction");
}

// A copy made by another program after the send and before the restore is
// the user's newest clipboard: neither the delayed restore nor the next
// correction's early one puts the saved clipboard over it.
TEST_F(FieldIOTest, ACopyMadeBeforeTheRestoreStays) {
    for (const bool nextCorrectionStarts : {false, true}) {
        SCOPED_TRACE(nextCorrectionStarts);
        desktop.quitApplication(101);
        openChat("ciao cge fai");
        io().writeBackAndSend(nullptr, "ciao che fai", Clip::text("user clip"), false,
                              dispatch::micros(25'000));
        advance(dispatch::seconds(0.3));
        desktop.pasteboard().appCopy("copied after the send", 202);
        if (nextCorrectionStarts) {
            io().restorePendingClipboardNow();
        }
        advance(dispatch::seconds(1));
        EXPECT_EQ(desktop.pasteboard().string(), "copied after the send");
        EXPECT_TRUE(logged(FieldIO::kClipboardKept));
    }
}

TEST_F(FieldIOTest, OnlyTheLastOfTwoQuickRestoresActs) {
    auto chat = openChat("uno");
    const auto element = io().getFocusedElementAndText(app).element;
    desktop.setValueSetBehaviour(chat.field, platform::ValueSetBehaviour::refuse);

    io().replaceTextAndSend(element, "primo", Clip::text("clip A"), false);
    advance(dispatch::seconds(0.3));
    desktop.setText(chat.field, "due");
    io().replaceTextAndSend(element, "secondo", Clip::text("clip B"), false);
    desktop.journal().clear();

    advance(dispatch::seconds(0.3));  // the first restore's time: superseded
    EXPECT_TRUE(journal({"pb"}).empty());
    advance(dispatch::seconds(0.3));
    EXPECT_EQ(journal({"pb"}), (Lines{"pb.clear", "pb.set \"clip B\""}));
    EXPECT_EQ(io().clipboardRestoreGeneration(), 2);

    // A restore of nothing supersedes too, and restores nothing.
    io().scheduleClipboardRestore(Clip::text("clip A"));
    io().scheduleClipboardRestore({});
    desktop.pasteboard().setString("corrected");
    desktop.journal().clear();
    advance(dispatch::seconds(1));
    EXPECT_TRUE(journal({"pb"}).empty());
    EXPECT_EQ(desktop.pasteboard().string(), "corrected");
}

}  // namespace
}  // namespace quorix::testing
