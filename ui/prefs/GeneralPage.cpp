#include "ui/prefs/GeneralPage.h"

#include <QHBoxLayout>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <functional>

#include "ui/prefs/ChoiceRow.h"
#include "ui/prefs/ConfigWatch.h"
#include "ui/prefs/PrefsStyle.h"
#include "ui/prefs/SettingRow.h"
#include "ui/prefs/SettingsCard.h"
#include "ui/prefs/ToggleSwitch.h"

namespace quorix::ui::prefs {
namespace {

// The ⌥ U key cap after the shortcut's title.
QWidget* keyCap() {
    auto* cap = new QFrame;
    cap->setObjectName("keyCap");
    cap->setStyleSheet(QStringLiteral(
        "#keyCap { background: rgba(0,0,0,0.06); border: 0.8px solid rgba(0,0,0,0.22);"
        " border-radius: 4px; }"));
    auto* row = new QHBoxLayout(cap);
    row->setContentsMargins(5, 1, 5, 1);
    row->setSpacing(2);
    row->addWidget(makeLabel(QStringLiteral("⌥"), 10, QFont::DemiBold, primaryText()));
    row->addWidget(makeLabel(QStringLiteral("U"), 10, QFont::DemiBold, primaryText()));
    return cap;
}

}  // namespace

ToggleSwitch* GeneralPage::addSwitch(const char* objectName) {
    auto* toggle = new ToggleSwitch;
    toggle->setObjectName(objectName);
    return toggle;
}

GeneralPage::GeneralPage(PreferencesServices& services, QWidget* parent)
    : QWidget(parent),
      s_(services),
      language_(new QComboBox),
      soundName_(new QComboBox),
      enabled_(addSwitch("isEnabled")),
      launch_(addSwitch("launchAtLogin")),
      sound_(addSwitch("soundEnabled")),
      accents_(addSwitch("correctAccents")),
      punctuation_(addSwitch("autoFixPunctuation")),
      hotkey_(addSwitch("globalHotkeyEnabled")),
      autoSend_(nullptr),
      ctrlEnter_(nullptr) {
    AppConfig& config = s_.config;
    auto t = [&config](std::string_view it, std::string_view en) { return tr2(config, it, en); };
    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(0, 0, 0, 0);
    page->setSpacing(14);

    language_->setObjectName("appLanguage");
    language_->setFixedWidth(220);
    for (AppLanguage l : allCases<AppLanguage>()) {
        language_->addItem(qs(displayName(l, config.systemLanguageIsItalian())), qs(rawValue(l)));
    }
    auto* card = new SettingsCard;
    card->content()->addWidget(
        new SettingRow(t("Lingua dell'app", "App Language"),
                       t("Prende la lingua di sistema di macOS oppure seleziona manualmente",
                         "Matches macOS system language or choose manually")
                           .replace(QStringLiteral("macOS"), QStringLiteral("Linux")),
                       language_));
    page->addWidget(card);

    card = new SettingsCard;
    card->content()->addWidget(
        new SettingRow(t("Abilita Quorix", "Enable Quorix"),
                       t("Intercetta e corregge silenziosamente i refusi al tasto Invio",
                         "Silently catches and corrects typos on Enter keypress"),
                       enabled_));
    card->addDivider();
    card->content()->addWidget(
        new SettingRow(t("Avvia Quorix al login", "Launch Quorix at login"),
                       t("Mantiene attivo il controllo automaticamente all'avvio del computer",
                         "Automatically keeps typo correction active when your computer starts"),
                       launch_));
    page->addWidget(card);

    card = new SettingsCard;
    card->content()->addWidget(
        new SettingRow(t("Suono di correzione", "Correction sound"),
                       t("Riproduce un sottile effetto sonoro discreto a ogni refuso corretto",
                         "Plays a subtle, discrete pop sound when a typo is fixed"),
                       sound_));
    soundName_->setObjectName("soundName");
    soundName_->setFixedWidth(160);
    for (const auto& name : s_.soundNames) {
        soundName_->addItem(qs(name), qs(name));
    }
    card->addDivider();
    card->content()->addWidget(new SettingRow(
        t("Suono", "Sound"), t("Si sente appena lo scegli", "Plays when chosen"), soundName_));
    page->addWidget(card);

    card = new SettingsCard;
    card->content()->addWidget(new SettingRow(
        t("Correggi accenti nelle parole", "Fix word accents"),
        t("Aggiunge accenti (es. 'perche' ➔ 'perché', 'piu' ➔ 'più'). Lascialo disattivato per "
          "chat informali",
          "Adds missing accents (e.g. 'perche' ➔ 'perché'). Keep disabled for fast informal chats"),
        accents_));
    page->addWidget(card);

    card = new SettingsCard;
    card->content()->addWidget(new SettingRow(
        t("Spaziatura e punteggiatura intelligente", "Smart spacing & punctuation"),
        t("Rimuove doppi spazi e corregge spazi errati prima o dopo virgole e punti (es. 'ciao , "
          "come stai' ➔ 'ciao, come stai')",
          "Cleans extra spaces and fixes spacing around commas and periods"),
        punctuation_));
    page->addWidget(card);

    card = new SettingsCard;
    card->content()->addWidget(new SettingRow(
        t("Scorciatoia globale popover", "Global popover shortcut"),
        t("Premi ⌥ + U da qualsiasi app per aprire o chiudere al volo il pannello Quorix",
          "Press ⌥ + U from any app to quickly open or close the Quorix panel"),
        hotkey_, keyCap()));
    page->addWidget(card);

    card = new SettingsCard;
    card->content()->addWidget(
        makeLabel(t("Modalità di invio", "Send mode"), 13, QFont::DemiBold, primaryText()));
    autoSend_ = new ChoiceRow(
        t("Invio istantaneo corretto (Consigliata)", "Instant auto-send (Recommended)"),
        t("Sostituisce il refuso e invia il messaggio in tempo reale",
          "Replaces the typo and sends the message in real time"));
    autoSend_->setObjectName("mode.autoSend");
    ctrlEnter_ = new ChoiceRow(t("Scorciatoia: Ctrl + Invio", "Shortcut: Ctrl + Enter"),
                               t("Corregge e invia solo quando premi la combinazione di tasti",
                                 "Only corrects and sends when key combination is pressed"));
    ctrlEnter_->setObjectName("mode.ctrlEnter");
    card->content()->addWidget(autoSend_);
    card->content()->addWidget(ctrlEnter_);
    page->addWidget(card);
    page->addStretch(1);

    sync();

    auto bind = [this](ToggleSwitch* toggle, std::function<void(AppConfig&, bool)> set) {
        connect(toggle, &QAbstractButton::toggled, this, [this, set](bool on) {
            set(s_.config, on);
            s_.config.save();
        });
    };
    bind(sound_, [](AppConfig& c, bool on) { c.setSoundEnabled(on); });
    bind(accents_, [](AppConfig& c, bool on) { c.setCorrectAccents(on); });
    bind(punctuation_, [](AppConfig& c, bool on) { c.setAutoFixPunctuation(on); });
    bind(hotkey_, [](AppConfig& c, bool on) { c.setGlobalHotkeyEnabled(on); });
    connect(enabled_, &QAbstractButton::toggled, this, [this](bool on) {
        s_.config.setIsEnabled(on);
        s_.config.save();
        if (s_.updateStatusAppearance) {
            s_.updateStatusAppearance();
        }
    });
    connect(launch_, &QAbstractButton::toggled, this, [this](bool on) {
        if (s_.setLaunchAtLogin) {
            s_.setLaunchAtLogin(on);
        }
        // The switch shows what the session will do, also when writing failed.
        launch_->setCheckedQuietly(s_.isLaunchAtLoginEnabled && s_.isLaunchAtLoginEnabled());
    });
    connect(language_, &QComboBox::activated, this, [this](int index) {
        const auto language =
            fromRawValue<AppLanguage>(language_->itemData(index).toString().toStdString());
        if (language) {
            s_.config.setAppLanguage(*language);
            s_.config.save();
        }
    });
    connect(soundName_, &QComboBox::activated, this, [this](int index) {
        const std::string name = soundName_->itemData(index).toString().toStdString();
        s_.config.setSoundName(name);
        s_.config.save();
        if (s_.playSound) {
            s_.playSound(name);
        }
    });
    auto bindMode = [this](ChoiceRow* row, CorrectionMode mode) {
        connect(row, &QAbstractButton::clicked, this, [this, mode] {
            s_.config.setMode(mode);
            s_.config.save();
            sync();
        });
    };
    bindMode(autoSend_, CorrectionMode::autoSend);
    bindMode(ctrlEnter_, CorrectionMode::ctrlEnter);

    new ConfigWatch(
        config,
        {ConfigField::isEnabled, ConfigField::soundEnabled, ConfigField::correctAccents,
         ConfigField::autoFixPunctuation, ConfigField::globalHotkeyEnabled, ConfigField::mode,
         ConfigField::appLanguage},
        [this] { sync(); }, this);
}

void GeneralPage::sync() {
    const ConfigState state = s_.config.snapshot();
    enabled_->setCheckedQuietly(state.isEnabled);
    sound_->setCheckedQuietly(state.soundEnabled);
    accents_->setCheckedQuietly(state.correctAccents);
    punctuation_->setCheckedQuietly(state.autoFixPunctuation);
    hotkey_->setCheckedQuietly(state.globalHotkeyEnabled);
    launch_->setCheckedQuietly(s_.isLaunchAtLoginEnabled && s_.isLaunchAtLoginEnabled());
    {
        const QSignalBlocker blocker(language_);
        language_->setCurrentIndex(language_->findData(qs(rawValue(state.appLanguage))));
    }
    {
        const QSignalBlocker blocker(soundName_);
        int index = soundName_->findData(qs(state.soundName));
        if (index < 0) {
            // A hand-edited name the player does not know: shown, and kept until changed.
            soundName_->addItem(qs(state.soundName), qs(state.soundName));
            index = soundName_->count() - 1;
        }
        soundName_->setCurrentIndex(index);
        soundName_->setEnabled(state.soundEnabled);
    }
    {
        const QSignalBlocker a(autoSend_), b(ctrlEnter_);
        autoSend_->setChecked(state.mode == CorrectionMode::autoSend);
        ctrlEnter_->setChecked(state.mode == CorrectionMode::ctrlEnter);
    }
}

}  // namespace quorix::ui::prefs
