#include "ui/prefs/ExceptionsPage.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "core/text/Text.h"
#include "ui/prefs/ConfigWatch.h"
#include "ui/prefs/EntryList.h"
#include "ui/prefs/PageTools.h"
#include "ui/prefs/PrefsStyle.h"
#include "ui/prefs/SettingsCard.h"

namespace quorix::ui::prefs {
namespace {

QLineEdit* field(const char* name, const QString& placeholder) {
    auto* edit = new QLineEdit;
    edit->setObjectName(name);
    edit->setPlaceholderText(placeholder);
    edit->setFont(uiFont(12.5));
    edit->setMinimumHeight(30);
    edit->setStyleSheet(QStringLiteral(
        "QLineEdit { background: white; border: 1px solid rgba(0,0,0,0.18); border-radius: 7px;"
        " padding: 2px 8px; }"
        "QLineEdit:focus { border: 1.5px solid rgba(0,122,255,0.8); }"));
    return edit;
}

}  // namespace

ExceptionsPage::ExceptionsPage(PreferencesServices& services, AppIconManager& icons,
                               QWidget* parent)
    : QWidget(parent),
      s_(services),
      apps_(new EntryList(EntryList::Kind::app, &icons, qs("Disattivato"),
                          qs("Rimuovi dalle esclusioni (riattiva Quorix per questa app)"))),
      noApps_(new QWidget),
      newWord_(field("newWord", qs("Es. 'Quorix', 'Linear', 'Supabase', 'Raycast'..."))),
      search_(field("searchWords", qs("Cerca parole..."))),
      wordCount_(makeLabel({}, 12, QFont::DemiBold, primaryText())),
      words_(new EntryList(EntryList::Kind::word, nullptr, {}, qs("Rimuovi dal dizionario"))),
      noWords_(makeLabel(qs("Nessuna parola nel dizionario personale."), 12, QFont::Normal,
                         secondaryText())) {
    apps_->setObjectName("excludedApps");
    words_->setObjectName("words");
    words_->setVisibleRows(10);
    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(0, 0, 0, 0);
    page->setSpacing(14);

    auto* card = new SettingsCard;
    QHBoxLayout* header = cardHeader("app.badge", rgb(1.0, 0.584, 0.0), {}, &appsTitle_);
    QPushButton* add = smallButton(qs("Aggiungi"), "plus");
    add->setObjectName("excludeApp");
    add->setToolTip(qs("Sfoglia le applicazioni installate per scegliere un'app da escludere"));
    header->addWidget(add);
    card->content()->addLayout(header);
    card->content()->addWidget(
        makeLabel(qs("Quorix non intercetterà la digitazione e non "
                     "effettuerà alcuna modifica all'interno di queste app."),
                  11.5, QFont::Normal, secondaryText(), true));
    auto* emptyRow = new QHBoxLayout(noApps_);
    emptyRow->setContentsMargins(4, 6, 4, 6);
    emptyRow->setSpacing(12);
    emptyRow->addWidget(symbolView("checkmark.shield.fill", accentGreen(), 28));
    auto* emptyTexts = new QVBoxLayout;
    emptyTexts->setSpacing(2);
    emptyTexts->addWidget(
        makeLabel(qs("Nessuna app esclusa manualmente"), 12.5, QFont::DemiBold, primaryText()));
    emptyTexts->addWidget(
        makeLabel(qs("Quorix è attivo su tutte le app compatibili. (Terminale, Xcode e VSCode sono "
                     "esclusi di default)."),
                  11, QFont::Normal, secondaryText(), true));
    emptyRow->addLayout(emptyTexts, 1);
    card->content()->addWidget(noApps_);
    card->content()->addWidget(apps_);
    page->addWidget(card);

    card = new SettingsCard;
    card->content()->addLayout(cardHeader("character.book.closed.fill", accentBlue(),
                                          qs("Dizionario Personale & Parole Escluse")));
    card->content()->addWidget(
        makeLabel(qs("Aggiungi parole, brand, gergo tecnico o cognomi che Quorix non deve mai "
                     "modificare."),
                  11.5, QFont::Normal, secondaryText(), true));
    auto* addRow = new QHBoxLayout;
    addRow->addWidget(newWord_, 1);
    QPushButton* addWordButton = smallButton(qs("Aggiungi"), "plus");
    addWordButton->setObjectName("addWord");
    addRow->addWidget(addWordButton);
    card->content()->addLayout(addRow);
    auto* listHeader = new QHBoxLayout;
    listHeader->addWidget(wordCount_);
    listHeader->addStretch(1);
    search_->setFixedWidth(220);
    search_->setClearButtonEnabled(true);
    listHeader->addWidget(search_);
    card->content()->addLayout(listHeader);
    card->content()->addWidget(noWords_);
    card->content()->addWidget(words_);
    page->addWidget(card);
    page->addStretch(1);

    connect(add, &QPushButton::clicked, this, [this] { excludeApps(); });
    connect(addWordButton, &QPushButton::clicked, this, [this] { addWord(); });
    connect(newWord_, &QLineEdit::returnPressed, this, [this] { addWord(); });
    connect(search_, &QLineEdit::textChanged, this, [this] { syncWords(); });
    apps_->resolve = [this](const std::string& id) { return appEntry(s_.config, id); };
    apps_->onRemove = [this](const std::string& id) { s_.config.unexcludeApp(id); };
    words_->onRemove = [this](const std::string& word) {
        s_.config.removeWordFromWhitelist(word);
        s_.cache.clear();
    };
    new ConfigWatch(
        s_.config, {ConfigField::customBlacklistedApps}, [this] { syncApps(); }, this);
    new ConfigWatch(
        s_.config, {ConfigField::whitelistWords}, [this] { syncWords(); }, this);
    syncApps();
    syncWords();
}

void ExceptionsPage::syncApps() {
    const auto apps = s_.config.customBlacklistedApps();
    appsTitle_->setText(QStringLiteral("Applicazioni Escluse (%1)").arg(apps.size()));
    apps_->setEntries(appEntries(apps));
    noApps_->setVisible(apps.empty());
}

void ExceptionsPage::syncWords() {
    const std::set<std::string> all = s_.config.whitelistWords();
    wordCount_->setText(QStringLiteral("Parole Salvate (%1)").arg(all.size()));
    const QString needle = search_->text();
    std::vector<ListEntry> shown;
    shown.reserve(all.size());
    for (const auto& word : all) {  // std::set: ascending order
        if (needle.isEmpty() || qs(word).contains(needle, Qt::CaseInsensitive)) {
            shown.push_back({word, word, {}});
        }
    }
    words_->setEntries(shown);
    noWords_->setVisible(all.empty());
}

void ExceptionsPage::addWord() {
    const std::string word = text::toLower(text::trim(newWord_->text().toStdString()));
    if (word.empty()) {
        return;
    }
    s_.config.addWordToWhitelist(word);
    s_.cache.clear();
    newWord_->clear();
}

void ExceptionsPage::excludeApps() {
    for (const PickedApp& picked : pickApps(s_, PickerPurpose::exclude, this)) {
        if (!picked.desktopFile.empty()) {
            s_.config.excludeAppAt(picked.desktopFile);
        } else {
            s_.config.excludeApp(picked.windowClass);
        }
    }
}

}  // namespace quorix::ui::prefs
