// The daemon reads and writes fields through accessibility in every accessible
// application, also in ones started after it, several open at once, and after
// one of them closed; an application without accessibility falls back to the
// clipboard for itself only.

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "DaemonFixture.h"

namespace quorix::e2e {
namespace {

using namespace std::chrono_literals;

const std::string kAxCapture = "Testo prelevato istantaneamente via Accessibility API";
const std::string kCapture = "📋 Testo prelevato: ";
const std::string kAxWrite = "[AX Direct Set]";

class AcrossApps : public DaemonFixture {
  protected:
    // Types a message into the focused zenity dialog `name` and waits for it
    // to print what it received.
    void sendInEntry(const std::string& name, const std::string& typed,
                     const std::string& expected) {
        driver_->type(typed);
        driver_->stroke("Return");
        ASSERT_TRUE(waitUntil([&] { return !desktop_->outputOf(name).empty(); }, 20s, 5ms)) << name;
        EXPECT_EQ(desktop_->outputOf(name), expected + "\n") << name;
        ASSERT_TRUE(waitUntilIdle());
    }
    void sendInChat(const std::string& typed, const std::string& expected) {
        const std::size_t before = sentLines().size();
        driver_->type(typed);
        driver_->stroke("Return");
        ASSERT_TRUE(waitForSent(before + 1));
        EXPECT_EQ(sentLines().back(), expected);
        ASSERT_TRUE(waitUntilIdle());
    }

    // Three dialogs in turn, then the chat window and a dialog open at once
    // with the focus moving between them; the second dialog has accessibility
    // only when secondAccessible. Six messages, four of them corrected.
    void runScenario(bool secondAccessible) {
        startDaemon();
        startEntry(true, "entry1");
        sendInEntry("entry1", "ci vediamo", "ci vediamo");
        startEntry(secondAccessible, "entry2");
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
    }
};

TEST_F(AcrossApps, EveryAccessibleApplicationUsesAccessibility) {
    runScenario(true);
    EXPECT_EQ(logCount(kCapture), 6u);
    EXPECT_EQ(logCount(kAxCapture), 6u);
    EXPECT_EQ(logCount(kAxWrite), 4u);
}

TEST_F(AcrossApps, OnlyTheApplicationWithoutAccessibilityUsesTheClipboard) {
    runScenario(false);
    EXPECT_EQ(logCount(kCapture), 6u);
    EXPECT_EQ(logCount(kAxCapture), 5u);
    EXPECT_EQ(logCount(kAxWrite), 3u);
    // Why is said once, for that application.
    EXPECT_EQ(logCount("♿️ [AT-SPI] Campo non leggibile"), 1u) << daemonLog();
}

}  // namespace
}  // namespace quorix::e2e
