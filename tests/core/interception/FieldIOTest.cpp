// Capture, write-back, key posting and the clipboard restore, asserted on the
// simulated desktop's journal. The interceptor is not started: posted keys go
// straight to the front application.

#include <gtest/gtest.h>

#include "InterceptorFixture.h"

namespace quorix::testing {
namespace {

namespace k = keys;
using Lines = std::vector<std::string>;
using Outcome = FieldIO::Capture::Outcome;

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
        return io().capture(app, desktop.pasteboard().changeCount(), desktop.pasteboard().string());
    }

    platform::RunningApplication app;
};

TEST_F(FieldIOTest, PostKeyMarksBothEventsAndWaitsAfterEach) {
    openChat("");
    io().postKey(k::kA, k::kCommand);
    EXPECT_EQ(journal(), (Lines{"post ⌘A down", "sleep 6ms", "post ⌘A up", "sleep 6ms"}));

    desktop.journal().clear();
    desktop.keyboard().setPostingFails(true);
    io().postKey(k::kReturn);
    EXPECT_TRUE(journal().empty());  // nothing posted, nothing waited
}

TEST_F(FieldIOTest, FocusedTextReadsStringsAndAttributedStrings) {
    auto chat = openChat("ciao");
    auto read = io().getFocusedElementAndText(app);
    EXPECT_NE(read.element, nullptr);
    EXPECT_EQ(read.text, "ciao");

    desktop.setValueExposure(chat.field, platform::ValueExposure::attributed);
    EXPECT_EQ(io().getFocusedElementAndText(app).text, "ciao");

    desktop.setValueExposure(chat.field, platform::ValueExposure::empty);
    read = io().getFocusedElementAndText(app);
    EXPECT_NE(read.element, nullptr);
    EXPECT_FALSE(read.text.has_value());

    desktop.setHidesFocusedElement(app.pid, true);
    read = io().getFocusedElementAndText(app);
    EXPECT_EQ(read.element, nullptr);
    EXPECT_FALSE(read.text.has_value());
    EXPECT_TRUE(journal({"pb", "post"}).empty());  // accessibility only
}

TEST_F(FieldIOTest, CaptureThroughAccessibilityTouchesNothing) {
    openChat("  ciao a tutti ");
    const auto cap = capture();
    EXPECT_EQ(cap.outcome, Outcome::text);
    EXPECT_EQ(cap.text, "  ciao a tutti ");  // as captured, not trimmed
    EXPECT_FALSE(cap.usedClipboard);
    EXPECT_TRUE(journal().empty());
    EXPECT_TRUE(logged(
        "⚡️ [AXUIElement] Testo prelevato istantaneamente via Accessibility API (0ms): \" "
        " ciao "
        "a tutti \""));
    EXPECT_TRUE(logged("📋 Testo prelevato: \"  ciao a tutti \""));
}

TEST_F(FieldIOTest, EmptyValueFallsBackToSelectAllAndCopy) {
    auto chat = openChat("ciao a tutti");
    desktop.setValueExposure(chat.field, platform::ValueExposure::empty);
    const auto cap = capture();
    EXPECT_EQ(cap.outcome, Outcome::text);
    EXPECT_EQ(cap.text, "ciao a tutti");
    EXPECT_TRUE(cap.usedClipboard);
    EXPECT_NE(cap.element, nullptr);  // kept for the write-back
    EXPECT_EQ(journal(), (Lines{"post ⌘A down", "sleep 6ms", "post ⌘A up", "sleep 6ms",
                                "sleep 25ms", "post ⌘C down", "pb.copy \"ciao a tutti\"",
                                "sleep 6ms", "post ⌘C up", "sleep 6ms"}));
}

TEST_F(FieldIOTest, IgnoredCopyPollsTwelveTimesThenSendsAsTyped) {
    auto chat = openChat("ciao");
    desktop.setValueExposure(chat.field, platform::ValueExposure::hidden);
    desktop.setIgnoresCopy(app.pid, true);
    desktop.pasteboard().setString("user clip");
    const auto cap = capture();
    EXPECT_EQ(cap.outcome, Outcome::clipboardUnchanged);

    Lines expected{"post ⌘A down", "sleep 6ms", "post ⌘A up", "sleep 6ms", "sleep 25ms",
                   "post ⌘C down", "sleep 6ms", "post ⌘C up", "sleep 6ms"};
    for (int i = 0; i < 12; ++i)
        expected.push_back("sleep 10ms");
    for (const char* line :
         {"post → down", "sleep 6ms", "post → up", "sleep 6ms", "sleep 10ms", "post ⏎ down",
          "send \"ciao\"", "sleep 6ms", "post ⏎ up", "sleep 6ms"}) {
        expected.push_back(line);
    }
    EXPECT_EQ(journal(), expected);
    EXPECT_TRUE(
        logged("📋 Nessun nuovo testo copiato (appunti invariati o campo vuoto). Invia originale."));
    advance(dispatch::seconds(1));
    EXPECT_EQ(desktop.pasteboard().string(), "user clip");
}

TEST_F(FieldIOTest, BlankCopyIsSentAsTypedAndTheClipboardComesBack) {
    auto chat = openChat("   ");
    desktop.setValueExposure(chat.field, platform::ValueExposure::hidden);
    desktop.pasteboard().setString("user clip");
    const auto cap = capture();
    EXPECT_EQ(cap.outcome, Outcome::noText);
    EXPECT_TRUE(logged("📋 Nessun testo trovato. Invia originale."));
    EXPECT_EQ(journal({"post", "pb"}),
              (Lines{"post ⌘A down", "post ⌘A up", "post ⌘C down", "pb.copy \"   \"", "post ⌘C up",
                     "post ⏎ down", "post ⏎ up"}));
    desktop.journal().clear();
    advance(dispatch::seconds(0.6));
    EXPECT_EQ(journal({"pb"}), (Lines{"pb.clear", "pb.set \"user clip\""}));
}

TEST_F(FieldIOTest, AccessibilityWriteBackThenReturn) {
    auto chat = openChat("ciao domai");
    desktop.journal().clear();
    io().replaceTextAndSend(io().getFocusedElementAndText(app).element, "ciao domani", "clip",
                            false);
    EXPECT_EQ(journal(), (Lines{"ax.set ok \"ciao domani\"", "post ⏎ down", "send \"ciao domani\"",
                                "sleep 6ms", "post ⏎ up", "sleep 6ms"}));
    EXPECT_TRUE(logged("⚡️ [AX Direct Set] Testo rimpiazzato via Accessibility API in 0.2ms!"));
    (void)chat;
}

TEST_F(FieldIOTest, RefusedSetAndBrowsersPaste) {
    auto chat = openChat("ciao domai");
    desktop.setValueSetBehaviour(chat.field, platform::ValueSetBehaviour::refuse);
    const auto element = io().getFocusedElementAndText(app).element;
    desktop.journal().clear();
    io().replaceTextAndSend(element, "ciao domani", std::nullopt, false);
    EXPECT_EQ(journal(), (Lines{"ax.set failure \"ciao domani\"", "pb.clear",
                                "pb.set \"ciao domani\"", "post ⌘A down", "sleep 6ms", "post ⌘A up",
                                "sleep 6ms", "sleep 15ms", "post ⌘V down", "sleep 6ms",
                                "post ⌘V up", "sleep 6ms", "sleep 25ms", "post ⏎ down",
                                "send \"ciao domani\"", "sleep 6ms", "post ⏎ up", "sleep 6ms"}));

    // A browser never tries the set and waits longer after the paste.
    desktop.setText(chat.field, "ciao domai");
    desktop.journal().clear();
    io().replaceTextAndSend(element, "ciao domani", std::nullopt, true);
    const Lines lines = journal({"ax", "sleep"});
    EXPECT_EQ(lines.front(), "sleep 6ms");
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "sleep 40ms"), 1);
    EXPECT_EQ(desktop.sentMessages().back().text, "ciao domani");

    // No element: paste as well.
    desktop.setText(chat.field, "x");
    desktop.journal().clear();
    io().writeBackAndSend(nullptr, "y", std::nullopt, true, dispatch::micros(25'000));
    EXPECT_EQ(journal({"ax", "pb"}), (Lines{"pb.clear", "pb.set \"y\""}));
}

TEST_F(FieldIOTest, OnlyTheLastOfTwoQuickRestoresActs) {
    auto chat = openChat("uno");
    const auto element = io().getFocusedElementAndText(app).element;
    desktop.setValueSetBehaviour(chat.field, platform::ValueSetBehaviour::refuse);

    io().replaceTextAndSend(element, "primo", "clip A", false);
    advance(dispatch::seconds(0.3));
    desktop.setText(chat.field, "due");
    io().replaceTextAndSend(element, "secondo", "clip B", false);
    desktop.journal().clear();

    advance(dispatch::seconds(0.3));  // the first restore's time: superseded
    EXPECT_TRUE(journal({"pb"}).empty());
    advance(dispatch::seconds(0.3));
    EXPECT_EQ(journal({"pb"}), (Lines{"pb.clear", "pb.set \"clip B\""}));
    EXPECT_EQ(desktop.pasteboard().string(), "clip B");
    EXPECT_EQ(io().clipboardRestoreGeneration(), 2);
}

TEST_F(FieldIOTest, NoPreviousTextRestoresNothingAndSupersedes) {
    openChat("");
    io().scheduleClipboardRestore("clip A");
    io().scheduleClipboardRestore(std::nullopt);
    desktop.pasteboard().setString("corrected");
    desktop.journal().clear();
    advance(dispatch::seconds(1));
    EXPECT_TRUE(journal({"pb"}).empty());
    EXPECT_EQ(desktop.pasteboard().string(), "corrected");
}

}  // namespace
}  // namespace quorix::testing
