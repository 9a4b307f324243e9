// The background precheck: debounce in virtual time, cancelling keys, the
// conditions of a store, and the Return that then hits the cache.

#include <gtest/gtest.h>

#include "InterceptorFixture.h"

namespace quorix::testing {
namespace {

namespace k = keys;

const char* const kStored =
    "⚡️ [Pre-Check Locale 0ms] Risolto interamente on-device senza AI: \"ciao grazei\" -> "
    "\"ciao grazie\"";

class Precheck : public InterceptorFixture {
  protected:
    Precheck() { spell.markMisspelled({"grazei", "comunqeu"}); }

    // Moves virtual time and lets a due precheck finish.
    void wait(double seconds) {
        desktop.virtualClock().advance(dispatch::seconds(seconds));
        interceptor->drainPrecheck();
    }
};

// Steady typing keeps postponing it; after a pause it stores what the
// dictionary settles, and the next Return is answered from the cache.
TEST_F(Precheck, RunsAfterAPauseAndTheNextReturnHitsTheCache) {
    startInChat();
    for (const char* ch : {"c", "i", "a", "o", " ", "g", "r", "a", "z", "e", "i"}) {
        desktop.typeText(ch);
        wait(ch == std::string(" ") ? 0.14 : 0.44);
    }
    EXPECT_FALSE(cache.get("ciao grazei").has_value());
    wait(0.01);
    EXPECT_EQ(cache.get("ciao grazei"), "ciao grazie");
    EXPECT_EQ(countMessages(kStored), 1u);
    // The precheck only reads: no key, no clipboard, no field write.
    EXPECT_TRUE(journal({"post", "pb", "ax"}).empty());

    press(k::kReturn);
    const PipelineReport report = finishRun();
    EXPECT_EQ(report.path, "cache");
    EXPECT_TRUE(http.requests().empty());
    EXPECT_EQ(sent(), Lines{"ciao grazie"});
}

// Also in work applications.
TEST_F(Precheck, WordBoundariesShortenThePause) {
    config.setExecutiveWorkApps({"com.example.chat"});
    ASSERT_TRUE(config.isExecutiveApp("com.example.chat", "Chat"));
    auto chat = startInChat();
    desktop.typeText("ciao grazei,");
    wait(0.15);
    EXPECT_EQ(cache.get("ciao grazei,"), "ciao grazie,");

    desktop.setText(chat.field, "comunqeu ok");
    desktop.typeText(" ");  // the field now ends in a blank: trimmed key
    wait(0.15);
    EXPECT_EQ(cache.get("comunqeu ok"), "comunque ok");
}

TEST_F(Precheck, EditingAndArrowsCancelUntilTheNextKey) {
    auto chat = startInChat();
    for (uint16_t key : {k::kLeftArrow, k::kRightArrow, k::kUpArrow, k::kDownArrow, k::kDelete,
                         k::kForwardDelete}) {
        desktop.setText(chat.field, "");
        desktop.typeText("ciao grazei");
        press(key);
        wait(1.0);
        EXPECT_FALSE(cache.get(desktop.text(chat.field)).has_value()) << key;
        EXPECT_FALSE(desktop.virtualClock().nextDeadline().has_value()) << key;
    }
    desktop.setText(chat.field, "ciao grazei");
    press(k::kRightArrow);
    desktop.typeText(" ");
    wait(0.15);
    EXPECT_EQ(cache.get("ciao grazei"), "ciao grazie");
}

TEST_F(Precheck, LeavesAloneWhatItShouldNotStore) {
    auto chat = startInChat();
    auto typeAndPause = [&](const std::string& text) {
        desktop.setText(chat.field, text.substr(0, text.size() - 1));
        desktop.typeText(text.substr(text.size() - 1));
        wait(0.45);
    };
    typeAndPause("gr");  // too short
    EXPECT_EQ(cache.count(), 0u);

    cache.set("ciao grazei", "ciao grazei");  // already settled
    typeAndPause("ciao grazei");
    EXPECT_EQ(cache.get("ciao grazei"), "ciao grazei");

    typeAndPause("ciao bella");  // no typo
    typeAndPause("ciao qwrt");   // a typo the dictionary does not know
    spell.markMisspelled({"qwrt"});
    typeAndPause("grazei qwrt");  // only partly resolved
    EXPECT_EQ(cache.count(), 1u);

    config.setToneStyle(ToneStyle::formal);
    typeAndPause("comunqeu ok");
    EXPECT_EQ(cache.count(), 1u);
    config.setToneStyle(ToneStyle::natural);

    config.excludeApp("Chat");
    typeAndPause("comunqeu ok");
    EXPECT_EQ(cache.count(), 1u);
}

TEST_F(Precheck, AReturnDuringThePauseStopsIt) {
    http.holdAll();
    startInChat();
    desktop.typeText("ciao grazei");
    press(k::kReturn);
    ASSERT_TRUE(interceptor->isWorking());
    // Typing while the run holds the field schedules nothing.
    desktop.typeText("x");
    const PipelineReport report = finishRun();
    EXPECT_EQ(countMessages(kStored), 0u);
    EXPECT_EQ(report.capturedText, "ciao grazei");
}

}  // namespace
}  // namespace quorix::testing
