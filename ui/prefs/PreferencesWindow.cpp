#include "ui/prefs/PreferencesWindow.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QScreen>
#include <QShortcut>
#include <QVBoxLayout>

#include "ui/prefs/AiEnginePage.h"
#include "ui/prefs/AppIconManager.h"
#include "ui/prefs/ConfigWatch.h"
#include "ui/prefs/ExceptionsPage.h"
#include "ui/prefs/GeneralPage.h"
#include "ui/prefs/PageHeader.h"
#include "ui/prefs/PrefsSidebar.h"
#include "ui/prefs/PrefsStyle.h"
#include "ui/prefs/StatisticsPage.h"
#include "ui/prefs/TonePage.h"
#include "ui/prefs/UpdatesPage.h"

namespace quorix::ui::prefs {

PreferencesWindow::PreferencesWindow(PreferencesServices services, QWidget* parent)
    : QWidget(parent, Qt::Window),
      s_(std::move(services)),
      icons_(std::make_unique<AppIconManager>(s_.installedApps)),
      sidebar_(new PrefsSidebar(s_.config, s_.version)),
      header_(new PageHeader(s_.config)),
      scroll_(new QScrollArea) {
    setObjectName("preferences");
    setWindowTitle(QString::fromUtf8("Quorix — Preferenze"));
    resize(kSize);
    setMinimumSize(kMinimumSize);
    // Ctrl+W closes the window like any other document window.
    auto* closeShortcut = new QShortcut(QKeySequence::Close, this);
    connect(closeShortcut, &QShortcut::activated, this, &QWidget::close);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, windowBackground().lighter(103));
    palette.setColor(QPalette::Base, controlBackground());
    palette.setColor(QPalette::WindowText, primaryText());
    palette.setColor(QPalette::Text, primaryText());
    palette.setColor(QPalette::Button, controlBackground());
    palette.setColor(QPalette::ButtonText, primaryText());
    palette.setColor(QPalette::Highlight, accentBlue());
    setPalette(palette);
    setAutoFillBackground(true);
    setStyleSheet(QStringLiteral(
        "QScrollBar:vertical { background: transparent; width: 10px; margin: 2px; }"
        "QScrollBar::handle:vertical { background: rgba(0,0,0,0.22); border-radius: 3px;"
        " min-height: 24px; }"
        "QScrollBar::handle:vertical:hover { background: rgba(0,0,0,0.35); }"
        "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }"
        "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: none; }"));

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addWidget(sidebar_);
    auto* line = new QWidget;
    line->setFixedWidth(1);
    line->setAutoFillBackground(true);
    QPalette linePalette = line->palette();
    linePalette.setColor(QPalette::Window, separator(0.4));
    line->setPalette(linePalette);
    row->addWidget(line);
    auto* column = new QVBoxLayout;
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(header_);
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setWidgetResizable(true);
    scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    column->addWidget(scroll_, 1);
    row->addLayout(column, 1);

    sidebar_->onSelect = [this](PrefsTab tab) { selectTab(tab); };
    new ConfigWatch(
        s_.config, {ConfigField::appLanguage, ConfigField::isEnabled},
        [this] {
            sidebar_->update();
            header_->update();
        },
        this);
    // A new language rebuilds the page's texts; the page's own controls
    // already follow the setting.
    new ConfigWatch(
        s_.config, {ConfigField::appLanguage},
        [this] {
            if (page_ != nullptr && dynamic_cast<AiEnginePage*>(page_) == nullptr) {
                buildPage();
            }
        },
        this);
}

PreferencesWindow::~PreferencesWindow() {
    delete page_;  // pages first: they hold references into this window
    page_ = nullptr;
}

void PreferencesWindow::show(PrefsTab tab) {
    selectTab(tab);
    if (!isVisible()) {
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            const QRect area = screen->availableGeometry();
            move(area.center() - QPoint(width() / 2, height() / 2));
        }
    }
    QWidget::show();
    setWindowState(windowState() & ~Qt::WindowMinimized);
    if (QGuiApplication::platformName() != QStringLiteral("offscreen")) {
        raise();
        activateWindow();
    }
}

void PreferencesWindow::selectTab(PrefsTab tab) {
    if (tab == selected_ && page_ != nullptr) {
        return;
    }
    selected_ = tab;
    sidebar_->setSelected(tab);
    header_->setTab(tab);
    buildPage();
}

void PreferencesWindow::buildPage() {
    QWidget* old = scroll_->takeWidget();
    delete old;
    page_ = nullptr;
    auto* holder = new QWidget;
    holder->setAutoFillBackground(false);
    auto* layout = new QVBoxLayout(holder);
    layout->setContentsMargins(32, 0, 32, 28);
    switch (selected_) {
        case PrefsTab::stats:
            page_ = new StatisticsPage(s_, *icons_, engine_);
            break;
        case PrefsTab::general:
            page_ = new GeneralPage(s_);
            break;
        case PrefsTab::ai:
            page_ = new AiEnginePage(s_, engine_);
            break;
        case PrefsTab::tone:
            page_ = new TonePage(s_, *icons_);
            break;
        case PrefsTab::whitelist:
            page_ = new ExceptionsPage(s_, *icons_);
            break;
        case PrefsTab::updates:
            page_ = new UpdatesPage(s_);
            break;
    }
    layout->addWidget(page_);
    scroll_->setWidget(holder);
    holder->setPalette(palette());
    scroll_->viewport()->setPalette(palette());
}

void PreferencesWindow::updaterChanged() {
    if (auto* updates = dynamic_cast<UpdatesPage*>(page_)) {
        updates->sync();
    }
}

void PreferencesWindow::closeEvent(QCloseEvent* event) {
    // Hidden, not destroyed; the page goes (and wipes the key field).
    delete scroll_->takeWidget();
    page_ = nullptr;
    hide();
    event->ignore();
}

}  // namespace quorix::ui::prefs
