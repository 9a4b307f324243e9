// `quorix daemon` correcting messages in real applications: zenity (GTK) and a
// small Qt chat window, typed into as the user would.

#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <iostream>

#include "DaemonFixture.h"

namespace quorix::e2e {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

long millisSince(Clock::time_point start) {
    return static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

using EntryTest = DaemonFixture;

TEST_F(EntryTest, CorrectsThroughAccessibility) {
    startEntry(true);
    startDaemon();
    driver_->type("ciao cge fai");
    const auto pressed = Clock::now();
    driver_->stroke("Return");
    ASSERT_TRUE(waitUntil([&] { return !desktop_->outputOf("zenity").empty(); }, 20s, 2ms));
    std::cout << "[timing] Return to sent, accessibility path: " << millisSince(pressed) << " ms\n";
    EXPECT_EQ(desktop_->outputOf("zenity"), "ciao che fai\n");
    EXPECT_NE(daemonLog().find("[AX Direct Set]"), std::string::npos);
}

TEST_F(EntryTest, CorrectsThroughTheClipboardAndGivesTheUsersClipboardBack) {
    startEntry(false);
    startDaemon();
    setClipboard("appunti dell'utente");
    driver_->type("ciao cge fai");
    const auto pressed = Clock::now();
    driver_->stroke("Return");
    ASSERT_TRUE(waitUntil([&] { return !desktop_->outputOf("zenity").empty(); }, 20s, 2ms));
    std::cout << "[timing] Return to sent, clipboard path: " << millisSince(pressed) << " ms\n";
    EXPECT_EQ(desktop_->outputOf("zenity"), "ciao che fai\n");
    EXPECT_EQ(daemonLog().find("[AX Direct Set]"), std::string::npos);
    EXPECT_TRUE(waitUntil([&] { return clipboard() == "appunti dell'utente"; }, 10s, 100ms))
        << "clipboard: " << clipboard();
}

TEST_F(EntryTest, AnImageOnTheClipboardSurvivesACorrectionThroughTheClipboard) {
    startEntry(false);
    startDaemon();
    std::string png("\x89PNG\r\n\x1a\n", 8);
    for (int i = 0; i < 5000; ++i)
        png.push_back(static_cast<char>(i * 7 % 256));
    setClipboard(png, "image/png");
    driver_->type("ciao cge fai");
    driver_->stroke("Return");
    ASSERT_TRUE(waitUntil([&] { return !desktop_->outputOf("zenity").empty(); }, 20s, 2ms));
    EXPECT_EQ(desktop_->outputOf("zenity"), "ciao che fai\n");
    EXPECT_TRUE(waitUntil([&] { return clipboard("image/png") == png; }, 10s, 100ms))
        << "the image did not come back";
}

TEST_F(EntryTest, OptionReturnSendsUnchecked) {
    startEntry(true);
    startDaemon();
    driver_->type("ciao cge fai");
    driver_->stroke("Return", "alt");
    ASSERT_TRUE(waitUntil([&] { return !desktop_->outputOf("zenity").empty(); }, 20s));
    EXPECT_EQ(desktop_->outputOf("zenity"), "ciao cge fai\n");
    EXPECT_NE(daemonLog().find("Bypass manuale"), std::string::npos);
}

using ChatTest = DaemonFixture;

TEST_F(ChatTest, ShiftReturnReachesTheApplicationUntouched) {
    if (startChat() < 0)
        GTEST_SKIP() << "the chat window is not built (Qt 6 missing)";
    startDaemon();
    driver_->type("ciao cge fai");
    driver_->stroke("Return", "shift");
    ASSERT_TRUE(waitForSent(1));
    EXPECT_EQ(sentLines(), std::vector<std::string>{"ciao cge fai"});
}

// Sends each message and waits until the daemon is idle again; prints how
// long each took from the physical Return to the message leaving.
class ChatMessages : public DaemonFixture {
  protected:
    void sendAll(const std::vector<std::string>& typed, const std::string& path) {
        const std::size_t before = sentLines().size();
        for (std::size_t i = 0; i < typed.size(); ++i) {
            driver_->type(typed[i]);
            const auto pressed = Clock::now();
            driver_->stroke("Return");
            ASSERT_TRUE(waitForSent(before + i + 1)) << "message " << i;
            std::cout << "[timing] Return to sent, " << path << " path, message " << i + 1 << ": "
                      << millisSince(pressed) << " ms\n";
            ASSERT_TRUE(waitUntilIdle());
        }
    }
};

TEST_F(ChatMessages, SeveralMessagesInARowWithACacheHit) {
    if (startChat() < 0)
        GTEST_SKIP() << "the chat window is not built (Qt 6 missing)";
    startDaemon();
    sendAll({"ciao cge fai", "tutto bene", "ciao cge fai"}, "accessibility");
    EXPECT_EQ(sentLines(),
              (std::vector<std::string>{"ciao che fai", "tutto bene", "ciao che fai"}));
    EXPECT_NE(daemonLog().find("Cache HIT"), std::string::npos);
}

TEST_F(ChatMessages, ThroughTheClipboardWhenAccessibilityIsOff) {
    if (startChat() < 0)
        GTEST_SKIP() << "the chat window is not built (Qt 6 missing)";
    startDaemon({"--no-accessibility"});
    sendAll({"ciao cge fai", "tutto bene", "ciao cge fai"}, "clipboard");
    EXPECT_EQ(sentLines(),
              (std::vector<std::string>{"ciao che fai", "tutto bene", "ciao che fai"}));
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
    sendAll({"ciao cge fai"}, "clipboard");
    EXPECT_TRUE(waitUntil([&] { return clipboard() == "copiato subito"; }, 10s, 100ms))
        << "clipboard: " << clipboard();
}

// SIGTERM after a correction: the daemon lets go of the keyboard and exits at
// once; Return then reaches the chat untouched.
TEST_F(ChatTest, TerminationReleasesTheKeyboardPromptly) {
    if (startChat() < 0)
        GTEST_SKIP() << "the chat window is not built (Qt 6 missing)";
    startDaemon();
    driver_->type("ciao cge fai");
    driver_->stroke("Return");
    ASSERT_TRUE(waitForSent(1));
    ASSERT_TRUE(waitUntilIdle());
    const auto signalled = Clock::now();
    kill(daemon_->pid(), SIGTERM);
    EXPECT_EQ(daemon_->waitExit(10000), 0);
    std::cout << "[timing] SIGTERM to exit: " << millisSince(signalled) << " ms\n";
    driver_->type("ciao cge fai");
    driver_->stroke("Return");
    ASSERT_TRUE(waitForSent(2));
    EXPECT_EQ(sentLines().back(), "ciao cge fai");
}

TEST_F(ChatTest, AiCorrectionAndQuickUndo) {
    provider_ = std::make_unique<FakeProvider>();
    ASSERT_TRUE(provider_->ok());
    // "zqwx" is left to the AI: no local stage settles the message.
    provider_->answer("ho prenotsto il ristornate zqwx", "ho prenotato il ristorante zqwx");
    if (startChat() < 0)
        GTEST_SKIP() << "the chat window is not built (Qt 6 missing)";
    startDaemon();
    driver_->type("ho prenotsto il ristornate zqwx");
    driver_->stroke("Return");
    ASSERT_TRUE(waitForSent(1));
    EXPECT_EQ(sentLines().back(), "ho prenotato il ristorante zqwx");
    EXPECT_GE(provider_->requests(), 1);
    ASSERT_TRUE(waitUntilIdle());

    // Within 5 s, the text as typed comes back into the field; sending it
    // unchecked shows what came back.
    driver_->stroke("z", "alt");
    ASSERT_TRUE(waitForLog("Undo", 5s));
    driver_->stroke("Return", "alt");
    ASSERT_TRUE(waitForSent(2));
    EXPECT_EQ(sentLines().back(), "ho prenotsto il ristornate zqwx");
}

TEST_F(ChatTest, KeysTypedDuringASlowCorrectionFollowTheMessage) {
    provider_ = std::make_unique<FakeProvider>();
    ASSERT_TRUE(provider_->ok());
    provider_->answer("ho prenotsto il ristornate zqwx", "ho prenotato il ristorante zqwx", 2000ms);
    if (startChat() < 0)
        GTEST_SKIP() << "the chat window is not built (Qt 6 missing)";
    startDaemon();
    driver_->type("ho prenotsto il ristornate zqwx");
    driver_->stroke("Return");
    ASSERT_TRUE(waitUntil([&] { return provider_->requests() >= 1; }, 10s, 5ms));
    driver_->type("Poi, xyz");
    ASSERT_TRUE(waitForSent(1));
    EXPECT_EQ(sentLines().back(), "ho prenotato il ristorante zqwx");
    // What was typed during the correction is in the field, in order.
    ASSERT_TRUE(waitUntilIdle());
    ASSERT_TRUE(waitForLog("Reinvio 8 tasti"));
    driver_->type(" ok");
    driver_->stroke("Return", "alt");
    ASSERT_TRUE(waitForSent(2));
    EXPECT_EQ(sentLines().back(), "Poi, xyz ok");
}

using TerminalTest = DaemonFixture;

// A terminal is never covered: Return reaches the program as typed and no
// Ctrl+C interrupts it.
TEST_F(TerminalTest, TypedTextAndReturnReachCatUntouched) {
    const std::string out = desktop_->folder() + "/cat.out";
    const std::string status = desktop_->folder() + "/cat.status";
    if (startTerminal("cat > " + out + "; echo $? > " + status) < 0)
        GTEST_SKIP() << "xterm is not installed";
    startDaemon({"--no-accessibility"});
    driver_->type("ciao cge fai");
    driver_->stroke("Return");
    ASSERT_TRUE(waitUntil([&] { return readFile(out) == "ciao cge fai\n"; }, 20s))
        << "cat got: " << readFile(out);
    driver_->type("seconda riga");
    driver_->stroke("Return");
    ASSERT_TRUE(waitUntil([&] { return readFile(out) == "ciao cge fai\nseconda riga\n"; }, 20s))
        << "cat got: " << readFile(out);
    EXPECT_EQ(readFile(status), "") << "cat ended";
    EXPECT_EQ(daemonLog().find("Intercettato Invio"), std::string::npos);
}

}  // namespace
}  // namespace quorix::e2e
