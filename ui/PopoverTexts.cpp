#include "ui/PopoverTexts.h"

#include "core/config/L10n.h"

namespace quorix::ui {

QString PopoverTexts::t(std::string_view it, std::string_view en) const {
    return QString::fromStdString(L10n::t(config_, it, en));
}

QString PopoverTexts::statusLabel(bool active) const {
    return active ? t("ATTIVO", "ACTIVE") : t("IN PAUSA", "PAUSED");
}
QString PopoverTexts::statusTooltip(bool active) const {
    return active ? QStringLiteral("Fai clic per mettere in pausa Quorix")
                  : QStringLiteral("Fai clic per riattivare Quorix");
}
QString PopoverTexts::preferencesTooltip() const {
    return QStringLiteral("Preferenze...");
}
QString PopoverTexts::typosFixed() const {
    return t("Refusi evitati", "Typos fixed");
}
QString PopoverTexts::fastAnswer() const {
    return QStringLiteral("Risposta ultra-rapida");
}
QString PopoverTexts::lastCorrectionTitle() const {
    return QStringLiteral("ULTIMA CORREZIONE");
}
QString PopoverTexts::before() const {
    return QStringLiteral("PRIMA");
}
QString PopoverTexts::after() const {
    return QStringLiteral("DOPO");
}
QString PopoverTexts::excludeWord(const QString& word) const {
    return QStringLiteral("Non è un refuso: escludi \"%1\"").arg(word);
}
QString PopoverTexts::placeholderTitle(bool enabled) const {
    return enabled ? t("Quorix è attivo in background", "Quorix is active in background")
                   : t("Quorix è in pausa", "Quorix is paused");
}
QString PopoverTexts::placeholderSubtitle(bool enabled) const {
    return enabled ? t("Scrivi normalmente · I testi sono verificati all'Invio",
                       "Type normally · Text is checked on Enter")
                   : t("Fai clic su IN PAUSA per riattivare", "Click PAUSED to resume");
}
QString PopoverTexts::toneTitle() const {
    return t("TONO DI SCRITTURA", "WRITING TONE");
}
QString PopoverTexts::toneLabel(ToneStyle tone) const {
    return tone == ToneStyle::formal ? t("Email & Lavoro", "Work & Formal")
                                     : t("Chat & Naturale", "Chat & Casual");
}
QString PopoverTexts::toneExample(ToneStyle tone) const {
    if (tone == ToneStyle::formal) {
        return t(
            "Mail/Outlook: \"resto a disp x info\" ➔ \"resto a disposizione per informazioni\"",
            "Mail/Outlook: \"thx for info\" ➔ \"Thank you for the information\"");
    }
    return t("WhatsApp/Slack: \"domai ci sentiamo\" ➔ \"domani ci sentiamo\"",
             "WhatsApp/Slack: \"se you tomorrow\" ➔ \"see you tomorrow\"");
}
QString PopoverTexts::soundTooltip() const {
    return t("Attiva/Disattiva suono", "Toggle sound");
}
QString PopoverTexts::settings() const {
    return t("Preferenze...", "Settings...");
}
QString PopoverTexts::quit() const {
    return t("Esci", "Quit");
}
QString PopoverTexts::updates() const {
    return t("Aggiornamenti", "Updates");
}

}  // namespace quorix::ui
