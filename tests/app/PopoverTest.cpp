// The popover: heights per state, the word diff and its exclusion button,
// redraws from the settings observers, the buttons, hover and placement.
#include <gtest/gtest.h>

#include <QEnterEvent>
#include <QKeyEvent>
#include <limits>
#include <thread>

#include "app/DesktopShellWindows.h"
#include "tests/app/ShellHarness.h"
#include "ui/PanelStyle.h"
#include "ui/PopoverFooter.h"
#include "ui/PopoverHeader.h"
#include "ui/PopoverLastCorrection.h"
#include "ui/PopoverPlacement.h"
#include "ui/PopoverStatsCard.h"
#include "ui/PopoverTone.h"

namespace quorix::ui {
namespace {

using testing::waitUntil;

struct PopoverTest : ::testing::Test {
    testing::ShellHarness h;
    std::vector<std::string> calls;

    PopoverActions actions() {
        return {[this](PrefsTab tab) { calls.push_back("prefs:" + std::string(rawValue(tab))); },
                [this] { calls.push_back("updates"); }, [this] { calls.push_back("quit"); },
                [this] { calls.push_back("clearCache"); },
                [this](const std::string& name) { calls.push_back("sound:" + name); }};
    }
    void SetUp() override { h.config->setAppLanguage(AppLanguage::it); }
};

TEST_F(PopoverTest, HeightAndCardFollowTheStoredTexts) {
    struct Case {
        std::optional<std::string> before, after, word;
        bool enabled;
        int height;
        bool correction, excludeRow;
        const char* placeholder;
    };
    const Case cases[] = {
        {std::nullopt, std::nullopt, std::nullopt, true, 376, false, false,
         "Quorix è attivo in background"},
        {std::nullopt, std::nullopt, std::nullopt, false, 376, false, false, "Quorix è in pausa"},
        {"", "x", std::nullopt, true, 376, false, false, "Quorix è attivo in background"},
        // A text before correction without the corrected one.
        {"ciao", std::nullopt, std::nullopt, true, 442, false, false,
         "Quorix è attivo in background"},
        {"a x b", "a y b", std::nullopt, true, 442, true, false, ""},
        {"a x b", "a y b", "", true, 442, true, false, ""},
        {"a x b", "a y b", "x", true, 442, true, true, ""},
    };
    for (const Case& c : cases) {
        h.config->setLastOriginalFullText(c.before);
        h.config->setLastCorrectedFullText(c.after);
        h.config->setLastCorrectedOriginalWord(c.word);
        h.config->setIsEnabled(c.enabled);
        PopoverView view(*h.config, actions());
        view.show();
        const PopoverLastCorrection* last = view.lastCorrection();
        EXPECT_EQ(view.size(), QSize(360, c.height)) << c.height;
        EXPECT_EQ(last->showsCorrection(), c.correction);
        EXPECT_EQ(last->excludeButton()->isVisibleTo(&view), c.excludeRow);
        if (!c.correction) {
            EXPECT_EQ(last->placeholderTitle()->displayedText().toStdString(), c.placeholder);
        }
    }
}

TEST_F(PopoverTest, ShowsTheSnippetAndExcludesTheWord) {
    h.config->setLastOriginalFullText("ci vedimao stasera per il debrief");
    h.config->setLastCorrectedFullText("ci vediamo stasera per il debrief");
    h.config->setLastCorrectedOriginalWord("vedimao");
    h.cache.set("ci vedimao", "ci vediamo");
    app::DesktopShellWindows windows(h.services(), {});
    windows.togglePopover(QRect(700, 0, 22, 22));
    PopoverView* view = windows.popover().view();
    ASSERT_TRUE(windows.popover().isShown());
    PopoverLastCorrection* last = view->lastCorrection();
    EXPECT_EQ(last->beforeLine()->displayedText(), "ci vedimao stasera per il…");
    EXPECT_EQ(last->afterLine()->displayedText(), "ci vediamo stasera per il…");
    EXPECT_EQ(last->changeFrom()->displayedText(), "\"vedimao\"");
    EXPECT_EQ(last->excludeButton()->text(), "Non è un refuso: escludi \"vedimao\"");

    last->excludeButton()->click();
    EXPECT_TRUE(h.config->isWordWhitelisted("vedimao"));
    EXPECT_EQ(h.cache.count(), 0u);
    EXPECT_FALSE(h.config->lastCorrectedOriginalWord().has_value());
    EXPECT_EQ(h.sounds.played(), std::vector<std::string>{"Pop"});
    EXPECT_TRUE(waitUntil([&] { return !last->excludeButton()->isVisibleTo(view); }));
}

TEST_F(PopoverTest, RedrawsOnTheMainThreadAfterWritesFromOtherThreads) {
    app::DesktopShellWindows windows(h.services(), {});
    windows.togglePopover(QRect());
    PopoverView* view = windows.popover().view();
    std::thread writer([this] {
        h.config->setTotalTyposCorrected(7);
        h.config->setIsEnabled(false);
        h.config->setAppLanguage(AppLanguage::en);
        h.config->setLastOriginalFullText("ok 👍🏽 grazie");
        h.config->setLastCorrectedFullText("ok 👍🏿 grazie");
    });
    writer.join();
    EXPECT_TRUE(waitUntil([&] { return view->size().height() == 442; }));
    EXPECT_EQ(windows.popover().window().size(), QSize(360, 442));
    EXPECT_EQ(view->stats()->count()->displayedText(), "7");
    EXPECT_EQ(view->header()->pill()->text(), "PAUSED");
    EXPECT_TRUE(
        waitUntil([&] { return view->lastCorrection()->changeTo()->displayedText() == "\"👍🏿\""; }));
}

TEST_F(PopoverTest, ButtonsChangeSettingsAndHandOver) {
    h.config->setSoundEnabled(true);
    h.config->setIsEnabled(true);
    PopoverController popover(*h.config, actions());
    popover.togglePopover(QRect(0, 0, 20, 20));
    PopoverView* view = popover.view();

    view->header()->pill()->click();
    EXPECT_FALSE(h.config->isEnabled());
    EXPECT_FALSE(h.base.make()->isEnabled());  // saved
    view->tone()->button(ToneStyle::formal)->click();
    EXPECT_EQ(h.config->toneStyle(), ToneStyle::formal);
    view->footer()->sound()->click();
    EXPECT_FALSE(h.config->soundEnabled());
    view->header()->pill()->click();  // no sound: switched off
    EXPECT_EQ(calls, std::vector<std::string>{"sound:Pop"});
    EXPECT_TRUE(waitUntil([&] { return view->tone()->button(ToneStyle::formal)->isSelected(); }));
    EXPECT_TRUE(view->tone()->example()->text().startsWith("Mail/Outlook:"));

    // Each hand-over closes the popover first.
    using Click = std::function<void(PopoverView*)>;
    for (auto [button, call] :
         {std::pair<Click, std::string>{[](PopoverView* v) { v->header()->gear()->click(); },
                                        "prefs:general"},
          {[](PopoverView* v) { v->stats()->click(); }, "prefs:stats"},
          {[](PopoverView* v) { v->footer()->preferences()->click(); }, "prefs:general"},
          {[](PopoverView* v) { v->footer()->updates()->click(); }, "updates"},
          {[](PopoverView* v) { v->footer()->quit()->click(); }, "quit"}}) {
        if (!popover.isShown()) {
            popover.togglePopover(QRect());
        }
        calls.clear();
        button(popover.view());
        EXPECT_EQ(calls, std::vector<std::string>{call});
        EXPECT_FALSE(popover.isShown()) << call;
    }
}

TEST_F(PopoverTest, FooterHoverAndClosingAlsoByAClickOnTheIcon) {
    PopoverController popover(*h.config, actions());
    popover.togglePopover(QRect());
    PopoverView* view = popover.view();
    HoverButton* quit = view->footer()->quit();
    const QColor idle = quit->currentColor();
    QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
    QCoreApplication::sendEvent(quit, &enter);
    EXPECT_EQ(view->hoveredButton(), "quit");
    EXPECT_EQ(quit->currentColor(), PanelStyle::red());
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(quit, &leave);
    EXPECT_FALSE(view->hoveredButton().has_value());
    EXPECT_EQ(quit->currentColor(), idle);

    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(&popover.window(), &escape);
    EXPECT_FALSE(popover.isShown());
    // A fresh view (empty hover state) at every opening.
    popover.togglePopover(QRect());
    EXPECT_NE(popover.view(), view);
    popover.togglePopover(QRect());
    EXPECT_FALSE(popover.isShown());

    // A click on the icon that closed it does not reopen it.
    const QRect icon(700, 0, 22, 22);
    popover.togglePopover(icon);
    ASSERT_TRUE(popover.isShown());
    const QPoint onIcon = icon.center();
    QMouseEvent press(QEvent::MouseButtonPress, popover.window().mapFromGlobal(onIcon).toPointF(),
                      onIcon.toPointF(), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&popover.window(), &press);
    EXPECT_FALSE(popover.isShown());
    popover.togglePopover(icon);  // the icon's activation for that same click
    EXPECT_FALSE(popover.isShown());
    popover.togglePopover(QRect(0, 0, 22, 22));  // elsewhere: a new request
    EXPECT_TRUE(popover.isShown());
}

TEST_F(PopoverTest, LinesCutContextBeforeTheChangeAndNeverTheCount) {
    const std::string words = "uno due tre quattro cinque sei sette otto nove dieci ";
    h.config->setLastOriginalFullText(words + "centosettantacinque " + words);
    h.config->setLastCorrectedFullText(words + "centosettantasei " + words);
    h.config->setTotalTyposCorrected(std::numeric_limits<int64_t>::max());
    PopoverView view(*h.config, actions());
    view.show();
    ASSERT_TRUE(waitUntil([&] { return view.lastCorrection()->beforeLine()->width() > 100; }));
    const QString before = view.lastCorrection()->beforeLine()->displayedText();
    const QString changed = QStringLiteral("centosettantacinque");
    EXPECT_TRUE(before.contains(changed)) << before.toStdString();
    EXPECT_TRUE(before.startsWith(u'…'));
    EXPECT_TRUE(view.lastCorrection()->beforeLine()->isElided());
    // The narrow line drops the context first; the changed word stays whole.
    EXPECT_LT(before.size(),
              QStringLiteral("…otto nove dieci centosettantacinque uno due tre…").size());
    EXPECT_EQ(view.stats()->count()->displayedText(), "9223372036854775807");
}

TEST(PopoverPlacement, HangsFromTheIconAndStaysOnScreen) {
    const QRect screen(0, 0, 1920, 1080);
    const QRect below(0, 28, 1920, 1052);  // a top panel
    const QSize size(360, 442);
    struct Case {
        QRect anchor;
        QPoint pointer;
        QRect screen, available;
        QPoint expected;
    };
    const Case cases[] = {
        {{1000, 2, 24, 24}, {}, screen, below, {831, 30}},                   // under a top panel
        {{1890, 2, 24, 24}, {}, screen, below, {1560, 30}},                  // pushed left
        {{1000, 1054, 24, 24}, {}, screen, {0, 0, 1920, 1052}, {831, 608}},  // above a bottom one
        {{}, {10, 500}, screen, screen, {0, 505}},                           // at the pointer
        {{}, {1900, 900}, screen, screen, {1560, 454}},                      // pointer low right
        {{2920, 2, 24, 24}, {}, {1920, 0, 1280, 800}, {1920, 0, 1280, 800}, {2751, 30}},
        {{10, 10, 20, 20}, {}, {0, 0, 300, 300}, {0, 0, 300, 300}, {0, 0}},  // larger than it
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PopoverPlacement::topLeft(size, c.anchor, c.pointer, c.screen, c.available),
                  c.expected)
            << c.anchor.x() << "," << c.pointer.x();
    }
}

TEST(TextLine, CutsWholeClustersAndKeepsRightToLeftText) {
    const QString family = QStringLiteral("👩‍👩‍👧");
    const QString accent = QStringLiteral("e\u0301");
    struct Case {
        QString unit;
        int repeat;
        bool rtl;
    };
    for (const Case& c :
         {Case{family, 400, false}, Case{accent, 3000, false},
          Case{QStringLiteral("שלום "), 200, true}, Case{QStringLiteral("مرحبا "), 200, true}}) {
        const QString text = c.unit.repeated(c.repeat);
        TextLine line;
        line.setText(text, PanelStyle::font(11), Qt::black);
        line.resize(200, 20);
        EXPECT_EQ(line.isRightToLeft(), c.rtl);
        const QString shown = line.displayedText();
        ASSERT_TRUE(line.isElided());
        ASSERT_TRUE(shown.endsWith(u'…'));
        const QString kept = shown.chopped(1);
        EXPECT_GT(kept.size(), 0);
        EXPECT_TRUE(text.startsWith(kept));
        // A cut inside a cluster would leave a partial unit.
        const QString tail = kept.mid((kept.size() / c.unit.size()) * c.unit.size());
        EXPECT_TRUE(c.unit.startsWith(tail));
        if (c.unit == family || c.unit == accent) {
            EXPECT_EQ(kept.size() % c.unit.size(), 0);
        }
    }
}

}  // namespace
}  // namespace quorix::ui
