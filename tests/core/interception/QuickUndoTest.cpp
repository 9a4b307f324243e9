// ⌥Z after an AI correction: the text as typed comes back through the
// clipboard, the corrected word is protected and the cache emptied.

#include <gtest/gtest.h>

#include "InterceptorFixture.h"

namespace quorix::testing {
namespace {

namespace k = keys;

class QuickUndo : public InterceptorFixture {
  protected:
    // The state an AI correction leaves behind, `ago` seconds back.
    void armUndo(const std::string& original, std::optional<std::string> word, double ago = 1.0) {
        config.setLastOriginalFullText(original);
        config.setLastCorrectedOriginalWord(std::move(word));
        config.setLastCorrectionDate(desktop.clock().wallNow() - dispatch::seconds(ago));
    }
};

TEST_F(QuickUndo, RestoresTheTypedTextAndProtectsTheWord) {
    auto chat = startInChat();
    cache.set("ci vediamo domai", "ci vediamo domani");
    armUndo("ci vediamo domai", "domai");

    EXPECT_TRUE(press(k::kZ, k::kOption));
    EXPECT_EQ(journal(),
              (Lines{"key ⌥Z swallow", "notice toast \"↩️ Ripristinato & \"domai\" protetto\" 2.2s",
                     "sound Pop", "pb.clear", "pb.set \"ci vediamo domai\"", "sleep 15ms"} +
               post("⌘A") + Lines{"sleep 25ms"} + post("⌘V")));
    EXPECT_EQ(desktop.text(chat.field), "ci vediamo domai");
    EXPECT_TRUE(desktop.sentMessages().empty());  // no Return
    EXPECT_EQ(desktop.pasteboard().string(), "ci vediamo domai");

    EXPECT_TRUE(config.isWordWhitelisted("domai"));
    EXPECT_NE(readFile(config.whitelistURL()).find("domai"), std::string::npos);
    EXPECT_EQ(cache.count(), 0u);
    EXPECT_FALSE(config.lastOriginalFullText().has_value());
    EXPECT_FALSE(config.lastCorrectedOriginalWord().has_value());

    // Consumed: a second ⌥Z reaches the application, and nothing restores
    // the clipboard afterwards.
    EXPECT_FALSE(press(k::kZ, k::kOption));
    advance(dispatch::seconds(1));
    EXPECT_EQ(desktop.pasteboard().string(), "ci vediamo domai");
}

TEST_F(QuickUndo, WithoutAWordNothingIsProtectedAndTheSoundFallsBack) {
    startInChat();
    cache.set("ciao", "ciao");
    const auto whitelistBefore = config.whitelistWords();
    armUndo("ciao a tutti", std::string(), 4.9);
    config.setSoundName("NoSuchSound");

    EXPECT_TRUE(press(k::kZ, k::kOption));
    EXPECT_EQ(journal({"notice", "sound"}),
              (Lines{"notice toast \"↩️ Testo originale ripristinato\" 2.2s", "sound Pop"}));
    EXPECT_EQ(cache.count(), 1u);
    EXPECT_EQ(config.whitelistWords(), whitelistBefore);

    armUndo("ciao", std::nullopt);
    config.setSoundEnabled(false);
    desktop.journal().clear();
    EXPECT_TRUE(press(k::kZ, k::kOption));
    EXPECT_TRUE(journal({"sound"}).empty());
}

}  // namespace
}  // namespace quorix::testing
