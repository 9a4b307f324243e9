// `quorix daemon` correcting messages in real applications: zenity (GTK), a
// small Qt chat window and xterm, typed into as the user would.

#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>

#include "DaemonFixture.h"

namespace quorix::e2e {
namespace {

using namespace std::chrono_literals;
// Sends a message with Return (plus modifiers) in the focused zenity dialog
// `name` or in the chat window, checks what left and waits until the daemon
// is idle again.
class Messages : public DaemonFixture {
  protected:
    void sendInEntry(const std::string& name, const std::string& typed, const std::string& expected,
                     const std::string& modifiers = "") {
        driver_->type(typed);
        driver_->stroke("Return", modifiers);
        ASSERT_TRUE(waitUntil([&] { return !desktop_->outputOf(name).empty(); }, 20s, 5ms)) << name;
        EXPECT_EQ(desktop_->outputOf(name), expected + "\n") << name;
        ASSERT_TRUE(waitUntilIdle());
    }
    void sendInChat(const std::string& typed, const std::string& expected,
                    const std::string& modifiers = "") {
        const std::size_t before = sentLines().size();
        driver_->type(typed);
        driver_->stroke("Return", modifiers);
        ASSERT_TRUE(waitForSent(before + 1));
        EXPECT_EQ(sentLines().back(), expected);
        ASSERT_TRUE(waitUntilIdle());
    }
};
using EntryTest = Messages;

// The user's clipboard, text and then an image, comes back after a
// correction made through the clipboard; Option+Return sends unchecked.
// (Corrections through accessibility in zenity: AcrossApps.)
TEST_F(EntryTest, ClipboardPathGivesTheUsersClipboardBackAndOptionReturnSendsUnchecked) {
    startEntry(false);
    startDaemon();
    setClipboard("appunti dell'utente");
    sendInEntry("zenity", "ciao cge fai", "ciao che fai");
    EXPECT_EQ(daemonLog().find("[AX Direct Set]"), std::string::npos);
    EXPECT_TRUE(waitUntil([&] { return clipboard() == "appunti dell'utente"; }, 10s, 100ms))
        << "clipboard: " << clipboard();

    startEntry(false, "zenity2");
    std::string png("\x89PNG\r\n\x1a\n", 8);
    for (int i = 0; i < 5000; ++i) {
        png.push_back(static_cast<char>(i * 7 % 256));
    }
    setClipboard(png, "image/png");
    sendInEntry("zenity2", "ci vedimao stsera", "ci vediamo stasera");
    EXPECT_TRUE(waitUntil([&] { return clipboard("image/png") == png; }, 10s, 100ms))
        << "the image did not come back";

    startEntry(false, "zenity3");
    sendInEntry("zenity3", "ciao cge fai", "ciao cge fai", "alt");
    EXPECT_NE(daemonLog().find("Bypass manuale"), std::string::npos);
}

// The chat window, focused before the daemon starts.
class ChatTest : public Messages {
  protected:
    void SetUp() override {
        DaemonFixture::SetUp();
        if (!IsSkipped() && !HasFatalFailure() && startChat() < 0) {
            GTEST_SKIP() << "the chat window is not built (Qt 6 missing)";
        }
    }
};

// Shift+Return reaches the application untouched; three messages in a row,
// the third a cache hit; SIGTERM then lets go of the keyboard and exits at
// once, and Return reaches the chat untouched.
TEST_F(ChatTest, ShiftReturnMessagesInARowAndTermination) {
    startDaemon();
    sendInChat("ciao cge fai", "ciao cge fai", "shift");
    sendInChat("ciao cge fai", "ciao che fai");
    sendInChat("tutto bene", "tutto bene");
    sendInChat("ciao cge fai", "ciao che fai");
    EXPECT_EQ(sentLines().size(), 4u);
    EXPECT_NE(daemonLog().find("Cache HIT"), std::string::npos);

    kill(daemon_->pid(), SIGTERM);
    EXPECT_EQ(daemon_->waitExit(10000), 0);
    sendInChat("ciao cge fai", "ciao cge fai");
}

// Without accessibility the clipboard carries every correction; a terminal is
// never covered: Return reaches the program as typed and no Ctrl+C interrupts it.
TEST_F(ChatTest, ThroughTheClipboardWhenAccessibilityIsOffAndNeverInATerminal) {
    startDaemon({"--no-accessibility"});
    sendInChat("ciao cge fai", "ciao che fai");
    sendInChat("tutto bene", "tutto bene");
    sendInChat("ciao cge fai", "ciao che fai");
    EXPECT_EQ(sentLines().size(), 3u);
    EXPECT_EQ(daemonLog().find("[AX Direct Set]"), std::string::npos);

    // A copy made right after a send, before the clipboard comes back, is the
    // user's newest: the restore leaves it. A later correction gives it back.
    setClipboard("copiato subito");
    waitUntil(
        [&] {
            return clipboard() != "copiato subito" ||
                   daemonLog().find("dopo l'invio: li lascio così") != std::string::npos;
        },
        3s, 50ms);
    EXPECT_EQ(clipboard(), "copiato subito");
    sendInChat("ciao cge fai", "ciao che fai");
    EXPECT_TRUE(waitUntil([&] { return clipboard() == "copiato subito"; }, 10s, 100ms))
        << "clipboard: " << clipboard();

    const std::string out = desktop_->folder() + "/cat.out";
    const std::string status = desktop_->folder() + "/cat.status";
    if (startTerminal("cat > " + out + "; echo $? > " + status) < 0) {
        GTEST_SKIP() << "xterm is not installed";
    }
    const std::size_t intercepted = logCount("Intercettato Invio");
    driver_->type("ciao cge fai");
    driver_->stroke("Return");
    ASSERT_TRUE(waitUntil([&] { return readFile(out) == "ciao cge fai\n"; }, 20s))
        << "cat got: " << readFile(out);
    driver_->type("seconda riga");
    driver_->stroke("Return");
    ASSERT_TRUE(waitUntil([&] { return readFile(out) == "ciao cge fai\nseconda riga\n"; }, 20s))
        << "cat got: " << readFile(out);
    EXPECT_EQ(readFile(status), "") << "cat ended";
    EXPECT_EQ(logCount("Intercettato Invio"), intercepted);
}

// "zqwx" is left to the AI: no local stage settles either message.
TEST_F(ChatTest, AiCorrectionQuickUndoAndKeysTypedDuringASlowCorrection) {
    provider_ = std::make_unique<FakeProvider>();
    ASSERT_TRUE(provider_->ok());
    provider_->answer("ho prenotsto il ristornate zqwx", "ho prenotato il ristorante zqwx");
    provider_->answer("ho prenotsto la cena zqwx", "ho prenotato la cena zqwx", 2000ms);
    startDaemon();
    sendInChat("ho prenotsto il ristornate zqwx", "ho prenotato il ristorante zqwx");
    EXPECT_GE(provider_->requests(), 1);

    // Within 5 s, the text as typed comes back into the field; sending it
    // unchecked shows what came back.
    driver_->stroke("z", "alt");
    ASSERT_TRUE(waitForLog("Undo", 5s));
    driver_->stroke("Return", "alt");
    ASSERT_TRUE(waitForSent(2));
    EXPECT_EQ(sentLines().back(), "ho prenotsto il ristornate zqwx");
    ASSERT_TRUE(waitUntilIdle());

    const int before = provider_->requests();
    driver_->type("ho prenotsto la cena zqwx");
    driver_->stroke("Return");
    ASSERT_TRUE(waitUntil([&] { return provider_->requests() > before; }, 10s, 5ms));
    driver_->type("Poi, xyz");
    ASSERT_TRUE(waitForSent(3));
    EXPECT_EQ(sentLines().back(), "ho prenotato la cena zqwx");
    // What was typed during the correction is in the field, in order.
    ASSERT_TRUE(waitUntilIdle());
    ASSERT_TRUE(waitForLog("Reinvio 8 tasti"));
    driver_->type(" ok");
    driver_->stroke("Return", "alt");
    ASSERT_TRUE(waitForSent(4));
    EXPECT_EQ(sentLines().back(), "Poi, xyz ok");
}

// The daemon reads and writes fields through accessibility in every accessible
// application, also in ones started after it, several open at once, and after
// one of them closed; an application without accessibility falls back to the
// clipboard for itself only.
const std::string kAxCapture = "Testo prelevato istantaneamente via Accessibility API";
const std::string kCapture = "📋 Testo prelevato: ";
const std::string kAxWrite = "[AX Direct Set]";

using AcrossApps = Messages;

// Three dialogs in turn, then the chat window and a dialog open at once with
// the focus moving between them; the second dialog has no accessibility. Six
// messages, four of them corrected: every accessible application, also the
// ones after it, uses accessibility.
TEST_F(AcrossApps, OnlyTheApplicationWithoutAccessibilityUsesTheClipboard) {
    startDaemon();
    startEntry(true, "entry1");
    sendInEntry("entry1", "ci vediamo", "ci vediamo");
    startEntry(false, "entry2");
    sendInEntry("entry2", "ciao cge fai", "ciao che fai");
    startEntry(true, "entry3");
    sendInEntry("entry3", "ciao cge fai", "ciao che fai");

    const pid_t chat = startChat();
    ASSERT_GT(chat, 0) << "the chat window is not built (Qt 6 missing)";
    const pid_t entry = startEntry(true, "entry4");
    ASSERT_TRUE(focusWindowOf(chat));
    sendInChat("ci vediamo", "ci vediamo");
    ASSERT_TRUE(focusWindowOf(entry));
    sendInEntry("entry4", "ciao cge fai", "ciao che fai");
    // The dialog has closed; the chat window is still there.
    ASSERT_TRUE(focusWindowOf(chat));
    sendInChat("ciao cge fai", "ciao che fai");

    EXPECT_EQ(logCount(kCapture), 6u);
    EXPECT_EQ(logCount(kAxCapture), 5u);
    EXPECT_EQ(logCount(kAxWrite), 3u);
    // Why is said once, for that application.
    EXPECT_EQ(logCount("♿️ [AT-SPI] Campo non leggibile"), 1u) << daemonLog();
}

}  // namespace
}  // namespace quorix::e2e
