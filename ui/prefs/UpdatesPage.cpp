#include "ui/prefs/UpdatesPage.h"

#include <QDateTime>
#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

#include "ui/prefs/PageTools.h"
#include "ui/prefs/PrefsStyle.h"
#include "ui/prefs/PrefsSymbols.h"
#include "ui/prefs/SettingRow.h"
#include "ui/prefs/SettingsCard.h"
#include "ui/prefs/ToggleSwitch.h"

namespace quorix::ui::prefs {
namespace {

class AppTile : public QWidget {
  public:
    AppTile() { setFixedSize(56, 56); }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        PrefsSymbols::drawTile(p, QRectF(2, 2, 52, 52), 13, accentBlue(), "bolt.shield.fill", 24);
    }
};

}  // namespace

UpdatesPage::UpdatesPage(PreferencesServices& services, QWidget* parent)
    : QWidget(parent),
      s_(services),
      check_(smallButton({}, "arrow.triangle.2.circlepath")),
      autoCheck_(new ToggleSwitch),
      autoDownload_(new ToggleSwitch),
      lastCheck_(makeLabel({}, 11, QFont::Normal, secondaryText())) {
    const AppConfig& config = s_.config;
    auto t = [&config](std::string_view it, std::string_view en) { return tr2(config, it, en); };
    const UpdaterControls& u = s_.updater;
    const bool canCheck = u.canCheckForUpdates && u.canCheckForUpdates();
    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(0, 0, 0, 0);
    page->setSpacing(14);

    auto* card = new SettingsCard;
    auto* head = new QHBoxLayout;
    head->setSpacing(14);
    head->addWidget(new AppTile);
    auto* texts = new QVBoxLayout;
    texts->setSpacing(3);
    texts->addWidget(makeLabel(qs("Quorix per Linux"), 16, QFont::Bold, primaryText()));
    texts->addWidget(
        makeLabel(QStringLiteral("v%1 (Build %2)")
                      .arg(qs(s_.version.empty() ? std::string_view("1.0.5") : s_.version),
                           qs(s_.build.empty() ? s_.version : s_.build)),
                  11.5, QFont::Medium, secondaryText()));
    auto* channel = new QHBoxLayout;
    auto* dot = new QWidget;
    dot->setFixedSize(8, 8);
    dot->setStyleSheet(QStringLiteral("background: %1; border-radius: 4px;")
                           .arg((canCheck ? accentGreen() : secondaryText(0.6)).name()));
    channel->addWidget(dot, 0, Qt::AlignVCenter);
    channel->addWidget(
        makeLabel(canCheck
                      ? t("Canale ufficiale attivo · Aggiornamenti automatici abilitati",
                          "Official release channel · Automatic updates enabled")
                      : t("Questa build non ha un canale di aggiornamento: aggiorna con il gestore "
                          "pacchetti",
                          "This build has no update channel: update through your package manager"),
                  11, QFont::Medium, secondaryText(), true),
        1);
    texts->addLayout(channel);
    head->addLayout(texts, 1);
    check_->setObjectName("checkUpdates");
    check_->setEnabled(canCheck);
    head->addWidget(check_, 0, Qt::AlignVCenter);
    card->content()->addLayout(head);
    page->addWidget(card);

    card = new SettingsCard;
    autoCheck_->setObjectName("automaticallyChecksForUpdates");
    autoDownload_->setObjectName("automaticallyDownloadsUpdates");
    card->content()->addWidget(new SettingRow(
        t("Controlla automaticamente gli aggiornamenti", "Check for updates automatically"),
        t("Quorix verificherà la presenza di nuove versioni in background",
          "Quorix will periodically check for new releases in the background"),
        autoCheck_));
    card->addDivider();
    card->content()->addWidget(new SettingRow(
        t("Scarica automaticamente in background", "Automatically download updates in background"),
        t("Scarica l'aggiornamento appena disponibile e avvisa solo per riavviare",
          "Download new versions silently and notify when ready to restart"),
        autoDownload_));
    card->addDivider();
    lastCheck_->setObjectName("lastCheck");
    card->content()->addWidget(lastCheck_);
    page->addWidget(card);

    card = new SettingsCard;
    card->content()->addWidget(
        makeLabel(t("NOVITÀ RECENTI", "RECENT CHANGES"), 11, QFont::Bold, secondaryText()));
    for (const auto& [it, en] :
         {std::pair{"Nuova scheda Aggiornamenti: controlla il canale delle versioni e ti avvisa "
                    "delle novità.",
                    "New Updates tab: checks the release channel and tells you what's new."},
          std::pair{"Dizionari locali per 5 lingue (IT, EN, DE, FR, ES) offline a 0ms.",
                    "Local offline dictionaries for 5 languages (IT, EN, DE, FR, ES) at 0ms "
                    "latency."}}) {
        auto* item = new QHBoxLayout;
        item->addWidget(symbolView("checkmark.circle.fill", accentGreen(), 14), 0, Qt::AlignTop);
        item->addWidget(makeLabel(t(it, en), 12, QFont::Normal, primaryText(), true), 1);
        card->content()->addLayout(item);
    }
    page->addWidget(card);
    page->addStretch(1);

    checking_.setSingleShot(true);
    checking_.setInterval(kCheckingMs);
    connect(&checking_, &QTimer::timeout, this, [this] { sync(); });
    connect(check_, &QPushButton::clicked, this, [this] {
        if (s_.updater.checkForUpdates) {
            s_.updater.checkForUpdates();
        }
        check_->setEnabled(false);
        check_->setText(tr2(s_.config, "Verifica in corso...", "Checking..."));
        checking_.start();
    });
    connect(autoCheck_, &QAbstractButton::toggled, this, [this](bool on) {
        if (s_.updater.setAutomaticallyChecksForUpdates) {
            s_.updater.setAutomaticallyChecksForUpdates(on);
        }
        sync();
    });
    connect(autoDownload_, &QAbstractButton::toggled, this, [this](bool on) {
        if (s_.updater.setAutomaticallyDownloadsUpdates) {
            s_.updater.setAutomaticallyDownloadsUpdates(on);
        }
        sync();
    });
    sync();
}

void UpdatesPage::sync() {
    const UpdaterControls& u = s_.updater;
    const bool canCheck = u.canCheckForUpdates && u.canCheckForUpdates();
    if (!checking_.isActive()) {
        check_->setEnabled(canCheck);
        check_->setText(tr2(s_.config, "Verifica Aggiornamenti", "Check for Updates"));
    }
    autoCheck_->setCheckedQuietly(u.automaticallyChecksForUpdates &&
                                  u.automaticallyChecksForUpdates());
    autoDownload_->setCheckedQuietly(u.automaticallyDownloadsUpdates &&
                                     u.automaticallyDownloadsUpdates());
    autoCheck_->setEnabled(canCheck);
    autoDownload_->setEnabled(canCheck);
    const auto last = u.lastUpdateCheckDate ? u.lastUpdateCheckDate() : std::nullopt;
    const QString when = last ? QLocale(s_.config.isItalian() ? QLocale::Italian : QLocale::English)
                                    .toString(QDateTime::fromSecsSinceEpoch(*last),
                                              QStringLiteral("d MMMM yyyy, HH:mm"))
                              : tr2(s_.config, "mai", "never");
    lastCheck_->setText(tr2(s_.config, "Ultimo controllo: ", "Last check: ") + when);
}

}  // namespace quorix::ui::prefs
