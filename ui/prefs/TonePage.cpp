#include "ui/prefs/TonePage.h"

#include <QHBoxLayout>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "ui/prefs/ConfigWatch.h"
#include "ui/prefs/EntryList.h"
#include "ui/prefs/PageTools.h"
#include "ui/prefs/PrefsStyle.h"
#include "ui/prefs/SettingsCard.h"
#include "ui/prefs/ToneCard.h"

namespace quorix::ui::prefs {

TonePage::TonePage(PreferencesServices& services, AppIconManager& icons, QWidget* parent)
    : QWidget(parent),
      s_(services),
      natural_(new ToneCard(
          accentBlue(), "bubble.left.and.text.bubble.right.fill", qs("Chat & Naturale"),
          qs("Ideale per WhatsApp, Telegram e Slack. Preserva slang ('scammata', 'flexare', "
             "'cringe'), espressioni informali e minuscole."),
          qs("Esempio: \"domai ci sentiamo bro\" ➔ \"domani ci sentiamo bro\""))),
      formal_(new ToneCard(
          accentPurple(), "briefcase.fill", qs("Email & Lavoro"),
          qs("Ideale per Mail, Outlook e documenti. Sistema maiuscole, accenti corretti ed "
             "espande abbreviazioni ('resto a disp')."),
          qs("Esempio: \"resto a disp x info\" ➔ \"resto a disposizione per info\""))),
      list_(new EntryList(EntryList::Kind::app, &icons, QStringLiteral("Executive"),
                          qs("Rimuovi dalle app di lavoro"))),
      empty_(makeLabel(qs("Nessuna app di lavoro selezionata. Quorix userà la modalità naturale "
                          "ovunque."),
                       12, QFont::Normal, secondaryText(), true)) {
    natural_->setObjectName("tone.natural");
    formal_->setObjectName("tone.formal");
    list_->setObjectName("workApps");
    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(0, 0, 0, 0);
    page->setSpacing(14);
    auto* tones = new QHBoxLayout;
    tones->setSpacing(14);
    tones->addWidget(natural_, 1);
    tones->addWidget(formal_, 1);
    page->addLayout(tones);

    auto* card = new SettingsCard;
    QHBoxLayout* header =
        cardHeader("briefcase.fill", accentPurple(), qs("App di Lavoro (Dirav Aroveridide)"));
    QPushButton* add = smallButton(qs("Aggiungi app..."), "plus");
    add->setObjectName("addWorkApp");
    add->setToolTip(
        qs("Seleziona un'applicazione di lavoro su cui attivare la modalità Executive"));
    header->addWidget(add);
    card->content()->addLayout(header);
    card->content()->addWidget(makeLabel(
        qs("Quorix sistema solo i refusi di default. Su queste app lavorative selezionate attiva "
           "anche il tono professionale e lo dirav aroveridide."),
        11.5, QFont::Normal, secondaryText(), true));
    card->content()->addWidget(empty_);
    card->content()->addWidget(list_);
    page->addWidget(card);
    page->addStretch(1);

    list_->resolve = [this](const std::string& id) { return appEntry(s_.config, id); };
    list_->onRemove = [this](const std::string& id) { s_.config.toggleExecutiveApp(id); };
    connect(add, &QPushButton::clicked, this, [this] { addWorkApps(); });
    auto choose = [this](ToneStyle tone) {
        s_.config.setToneStyle(tone);
        s_.config.save();
        sync();
    };
    connect(natural_, &QAbstractButton::clicked, this, [choose] { choose(ToneStyle::natural); });
    connect(formal_, &QAbstractButton::clicked, this, [choose] { choose(ToneStyle::formal); });
    new ConfigWatch(
        s_.config, {ConfigField::toneStyle, ConfigField::executiveWorkApps}, [this] { sync(); },
        this);
    sync();
}

void TonePage::sync() {
    const ToneStyle tone = s_.config.toneStyle();
    {
        const QSignalBlocker a(natural_), b(formal_);
        natural_->setChecked(tone == ToneStyle::natural);
        formal_->setChecked(tone == ToneStyle::formal);
    }
    const auto apps = s_.config.executiveWorkApps();
    list_->setEntries(appEntries(apps));
    empty_->setVisible(apps.empty());
}

void TonePage::addWorkApps() {
    for (const PickedApp& picked : pickApps(s_, PickerPurpose::workApp, this)) {
        if (!picked.desktopFile.empty()) {
            s_.config.addExecutiveApp(picked.desktopFile);
        } else if (!s_.config.isExecutiveAppEnabled(picked.windowClass)) {
            s_.config.toggleExecutiveApp(picked.windowClass);
        }
    }
}

}  // namespace quorix::ui::prefs
