// The floating notice on the offscreen platform, in virtual time: pill
// geometry, every dismissal rule, hovering, saving a word, confetti, eliding
// and a burst of calls from an engine thread.
#include <gtest/gtest.h>

#include <QEnterEvent>
#include <QTextBoundaryFinder>
#include <functional>
#include <thread>

#include "ShellHarness.h"
#include "VirtualNoticeTime.h"
#include "ui/ConfettiOverlay.h"
#include "ui/FloatingNotice.h"
#include "ui/NoticeText.h"

namespace quorix::testing {
namespace {

using ui::NoticeArrangement;
using ui::NoticeLayout;

TEST(NoticeLayoutTest, PillAndButtonWidths) {
    const std::optional<QString> none;
    struct Row {
        const char* text;
        int graphemes;
        double t;
        std::optional<QString> word;
        double m;
        double pill, button;
        NoticeArrangement arrangement;
    } rows[] = {
        {"Corretto ✓", 14, 60, none, 0, 175, 0, NoticeArrangement::result},
        {"Corretto ✓", 14, 150, none, 0, 218, 0, NoticeArrangement::result},
        {"Correzione in corso...", 15, 100, none, 0, 230, 0, NoticeArrangement::result},
        {"Correzione in corso...", 15, 200, none, 0, 276, 0, NoticeArrangement::result},
        {"Corretto ✓", 10, 70, QString(), 0, 340, 0, NoticeArrangement::result},
        {"Corretto ✓", 10, 70, QString("qeusto"), 50, 340, 140, NoticeArrangement::offer},
        {"Corretto ✓", 10, 70, QString("w"), 400, 494, 360, NoticeArrangement::offer},
        {"Corretto ✓", 10, 200, QString("w"), 200, 488, 224, NoticeArrangement::offer},
        {"🎉 100 errori", 12, 100, none, 0, 175, 0, NoticeArrangement::lead},
        {"↩️ Ripristinato", 14, 100, none, 0, 175, 0, NoticeArrangement::lead},
        {"Bravo 🎉", 7, 100, none, 0, 175, 0, NoticeArrangement::result},
        {"very long", 900, 2000, none, 0, 780, 0, NoticeArrangement::result},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string(r.text) + " t=" + std::to_string(r.t));
        const auto l =
            NoticeLayout::compute(QString::fromUtf8(r.text), r.graphemes, r.t, true, r.word, r.m);
        EXPECT_DOUBLE_EQ(l.pillWidth, r.pill);
        EXPECT_DOUBLE_EQ(l.buttonWidth, r.button);
        EXPECT_EQ(l.arrangement, r.arrangement);
        EXPECT_LE(l.label.right(), l.pillWidth);
        if (r.arrangement == NoticeArrangement::offer) {
            EXPECT_DOUBLE_EQ(l.button.right(), l.pillWidth - 12);
        }
    }
    EXPECT_EQ(NoticeLayout::compute("x", 1, 10, false, none, 0).arrangement,
              NoticeArrangement::working);
}

class FloatingNoticeTest : public ::testing::Test {
  public:
    ShellHarness h;
    VirtualNoticeTime time;
    bool compositor = true;
    ui::ConfettiOverlay confetti{&h.base.logger, [this] { return compositor; }};
    ui::FloatingNotice notice{{*h.config, h.cache, h.sounds}, &confetti, time.timers()};

    // Runs one call and the queued work it posted.
    void run(const std::function<void()>& call) {
        call();
        time.advance(0);
    }
    bool shown() { return notice.panel().isVisible(); }
    // Seconds until the notice is gone (sinking included), at most limit.
    double secondsUntilHidden(double limit = 20) {
        const double start = time.now();
        while (shown() && time.now() - start < limit) {
            time.advance(0.01);
        }
        return time.now() - start;
    }
};

TEST_F(FloatingNoticeTest, EveryDismissalRule) {
    struct Row {
        const char* name;
        std::function<void(FloatingNoticeTest&)> steps;
        double expected;  // seconds from the end of steps until hidden, sink included
    } rows[] = {
        {"show alone", [](auto& f) { f.run([&] { f.notice.show("Correzione in corso..."); }); },
         3.5},
        {"result",
         [](auto& f) {
             f.notice.show("Correzione in corso...");
             f.run([&] { f.notice.hide("Corretto ✓", std::nullopt); });
         },
         2.0},
        {"result with a word",
         [](auto& f) {
             f.notice.show("x");
             f.run([&] { f.notice.hide("Corretto ✓", "qeusto"); });
         },
         3.8},
        {"result with an empty word",
         [](auto& f) {
             f.notice.show("x");
             f.run([&] { f.notice.hide("Corretto ✓", ""); });
         },
         3.8},
        {"celebration",
         [](auto& f) {
             f.notice.show("x");
             f.run([&] { f.notice.hide("🎉 100 errori corretti!", std::nullopt); });
         },
         3.8},
        {"toast", [](auto& f) { f.run([&] { f.notice.showToast("Ciao", 2.8); }); }, 2.8},
        {"show again restarts",
         [](auto& f) {
             f.run([&] { f.notice.show("a"); });
             f.time.advance(3.0);
             f.run([&] { f.notice.show("b"); });
         },
         3.5},
        {"hover extends",
         [](auto& f) {
             f.run([&] { f.notice.show("a"); });
             f.time.advance(3.4);
             QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
             QCoreApplication::sendEvent(&f.notice.pill(), &enter);
         },
         7.0},
        {"leave shortens",
         [](auto& f) {
             f.run([&] { f.notice.hide(std::nullopt, std::nullopt); });
             f.run([&] { f.notice.showToast("a", 30); });
             QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
             QCoreApplication::sendEvent(&f.notice.pill(), &enter);
             QEvent leave(QEvent::Leave);
             QCoreApplication::sendEvent(&f.notice.pill(), &leave);
         },
         1.4},
        {"a new notice during the sink stays up",
         [](auto& f) {
             f.run([&] { f.notice.show("a"); });
             f.run([&] { f.notice.hide(std::nullopt, std::nullopt); });
             f.time.advance(0.1);
             f.run([&] { f.notice.show("b"); });
             f.time.advance(1.0);
         },
         2.5},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        r.steps(*this);
        ASSERT_TRUE(shown());
        EXPECT_NEAR(secondsUntilHidden(), r.expected + 0.22, 0.021);
        EXPECT_EQ(notice.runningTimers(), 0);
        EXPECT_DOUBLE_EQ(notice.panel().windowOpacity(), 1.0);
    }
}

TEST_F(FloatingNoticeTest, HideWithoutTextWhileHiddenShowsNothing) {
    run([&] { notice.hide(std::nullopt, std::nullopt); });
    run([&] { notice.hide("Corretto ✓", std::nullopt); });
    EXPECT_FALSE(shown());
    time.advance(2.5);
    EXPECT_EQ(notice.runningTimers(), 0);
}

TEST_F(FloatingNoticeTest, SaveWordExemptsItAndClosesSoon) {
    h.cache.set("qeusto è", "questo è");
    h.config->setLastCorrectedOriginalWord("qeusto");
    run([&] { notice.show("x"); });
    run([&] { notice.hide("Corretto ✓", "qeusto"); });
    ASSERT_TRUE(notice.pill().saveButton().isVisible());
    EXPECT_EQ(notice.pill().saveButton().text().toStdString(), "Don't correct \"qeusto\"");
    notice.pill().saveButton().click();
    EXPECT_TRUE(h.config->isWordWhitelisted("qeusto"));
    EXPECT_EQ(h.cache.count(), 0u);
    EXPECT_FALSE(h.config->lastCorrectedOriginalWord().has_value());
    EXPECT_EQ(h.sounds.played(), std::vector<std::string>{"Pop"});
    EXPECT_EQ(notice.pill().saveButton().text().toStdString(), "Saved to the dictionary ✓");
    EXPECT_NEAR(secondsUntilHidden(), 0.7 + 0.22, 0.021);
}

TEST_F(FloatingNoticeTest, ConfettiForCelebrationsOnlyWithACompositor) {
    run([&] { notice.showToast("👑 Re", 2); });
    EXPECT_EQ(confetti.burstCount(), 0);
    run([&] { notice.hide("👑 Re", std::nullopt); });
    EXPECT_EQ(confetti.burstCount(), 1);
    EXPECT_TRUE(confetti.isVisible());
    EXPECT_EQ(confetti.current()->particles().size(), 6u * (7 + 4));  // 0.22 s of births
    time.advance(2.6);
    EXPECT_FALSE(confetti.isVisible());
    compositor = false;
    run([&] { notice.showToast("🎉 a", 2); });
    run([&] { notice.showToast("🎉 b", 2); });
    EXPECT_EQ(confetti.burstCount(), 1);
    EXPECT_EQ(h.log().find("Nessun compositore"), h.log().rfind("Nessun compositore"));
    EXPECT_NE(h.log().find("Nessun compositore"), std::string::npos);
}

TEST_F(FloatingNoticeTest, LongTextsAreElidedByGraphemeInsideThePanel) {
    for (const char* piece :
         {"ليس هناك خطأ في هذه الرسالة ", "👩‍👩‍👧‍👦🏳️‍🌈 ", "éñ̃ǘ "}) {
        QString text;
        for (int i = 0; i < 60; ++i) {
            text += QString::fromUtf8(piece);
        }
        run([&] { notice.showToast(text.toStdString(), 2); });
        const auto& l = notice.pill().layout();
        const QString shown = notice.pill().text();
        EXPECT_DOUBLE_EQ(l.pillWidth, NoticeLayout::kMaxPillWidth);
        ASSERT_TRUE(shown.endsWith(QChar(0x2026)));
        EXPECT_LE(QFontMetricsF(ui::NoticeText::labelFont()).horizontalAdvance(shown),
                  l.label.width());
        QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, text);
        graphemes.setPosition(shown.size() - 1);
        EXPECT_TRUE(text.startsWith(shown.chopped(1)) && graphemes.isAtBoundary());
    }
}

TEST_F(FloatingNoticeTest, ABurstFromAnEngineThreadEndsInTheLastState) {
    std::thread engine([&] {
        for (int i = 0; i < 99; ++i) {
            switch (i % 3) {
                case 0:
                    notice.show("working " + std::to_string(i));
                    break;
                case 1:
                    notice.hide("done " + std::to_string(i), "w" + std::to_string(i));
                    break;
                default:
                    notice.hide(std::nullopt, std::nullopt);
            }
        }
        notice.hide("Corretto ✓", "qeusto");
    });
    engine.join();
    time.advance(0.5);
    EXPECT_TRUE(shown());
    EXPECT_EQ(notice.pill().text().toStdString(), "Corretto ✓");
    EXPECT_EQ(notice.pill().layout().arrangement, NoticeArrangement::offer);
    EXPECT_EQ(notice.wordToSave(), QString("qeusto"));
    EXPECT_NEAR(secondsUntilHidden(), 3.3 + 0.22, 0.021);
    EXPECT_EQ(notice.runningTimers(), 0);
}

}  // namespace
}  // namespace quorix::testing
