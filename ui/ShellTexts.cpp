#include "ui/ShellTexts.h"

#include "core/config/L10n.h"
#include "ui/StatusIconPainter.h"

namespace quorix::ui {

std::string ShellTexts::t(std::string_view it, std::string_view en) const {
    return L10n::t(config_, it, en);
}

QString ShellTexts::trayTooltip(TrayState state) const {
    switch (state) {
        case TrayState::active:
            return QString::fromStdString(t("Quorix: Attivo", "Quorix: Active"));
        case TrayState::paused:
            return QString::fromStdString(t("Quorix: In pausa", "Quorix: Paused"));
        case TrayState::notTrusted:
            break;
    }
    return QString::fromStdString(
        t("Quorix: Accessibilità necessaria", "Quorix: Accessibility required"));
}

std::string ShellTexts::menuHeader(int64_t total) const {
    if (total < 1) {
        return "Quorix";
    }
    const std::string count = std::to_string(total);
    return t("Quorix · " + count + " refusi evitati", "Quorix · " + count + " typos avoided");
}

std::string ShellTexts::menuActive() const {
    return t("✓  Quorix Attivo", "✓  Quorix Active");
}
std::string ShellTexts::menuPaused() const {
    return t("⏸  Quorix in Pausa", "⏸  Quorix Paused");
}
std::string ShellTexts::menuAccessibilityMissing() const {
    return t("⚠️ Accessibilità non concessa...", "⚠️ Accessibility not granted...");
}
std::string ShellTexts::menuIgnoreWord(const std::string& word) const {
    return t("Non correggere più \"" + word + "\"", "Stop correcting \"" + word + "\"");
}
std::string ShellTexts::menuPreferences() const {
    return t("Preferenze...", "Preferences...");
}
std::string ShellTexts::menuOnboarding() const {
    return t("Guida introduttiva...", "Getting Started...");
}
std::string ShellTexts::menuAdvanced() const {
    return t("Avanzate", "Advanced");
}
std::string ShellTexts::menuTestCorrection() const {
    return t("Test correzione rapida", "Quick correction test");
}
std::string ShellTexts::menuTestConfetti() const {
    return t("Test coriandoli milestone", "Milestone confetti test");
}
std::string ShellTexts::menuOpenLog() const {
    return t("Apri file di registro (debug.log)...", "Open log file (debug.log)...");
}
std::string ShellTexts::menuCopyLog() const {
    return t("Copia registro negli appunti", "Copy log to clipboard");
}
std::string ShellTexts::menuClearCache(std::size_t entries) const {
    const std::string count = std::to_string(entries);
    return t("Svuota cache (" + count + " voci)", "Clear cache (" + count + " entries)");
}
std::string ShellTexts::menuCheckUpdates() const {
    return t("Verifica aggiornamenti...", "Check for Updates...");
}
std::string ShellTexts::menuAbout() const {
    return t("Informazioni su Quorix", "About Quorix");
}
std::string ShellTexts::menuQuit() const {
    return t("Esci da Quorix", "Quit Quorix");
}

std::string ShellTexts::ok() const {
    return "OK";
}
std::string ShellTexts::accessibilityGrantedTitle() const {
    return t("Accessibilità già concessa", "Accessibility already granted");
}
std::string ShellTexts::accessibilityGrantedText() const {
    return t("Quorix dispone dei permessi necessari per l'intercettazione dei tasti.",
             "Quorix has the permissions it needs to intercept keys.");
}
std::string ShellTexts::accessibilityHelpTitle() const {
    return t("Attivazione Accessibilità", "Enabling Accessibility");
}
std::string ShellTexts::accessibilityHelpText() const {
    return t(
        "Per intercettare i refusi su Telegram, Slack e altre app:\n"
        "\n"
        "1. Clicca su \"Apri Impostazioni di Sistema\".\n"
        "2. In Privacy e Sicurezza > Accessibilità:\n"
        "   • Se vedi \"Quorix\", rimuovilo con il tasto \"-\" e riaggiungilo, oppure attiva "
        "l'interruttore.\n"
        "3. Appena attivo, l'icona nella barra dei menu si aggiornerà automaticamente.",
        "To catch typos in Telegram, Slack and other apps:\n"
        "\n"
        "1. Click \"Open System Settings\".\n"
        "2. In Privacy & Security > Accessibility:\n"
        "   • If you see \"Quorix\", remove it with the \"-\" button and add it again, or turn "
        "its switch on.\n"
        "3. As soon as it is active, the icon in the menu bar updates by itself.");
}
std::string ShellTexts::openSystemSettings() const {
    return t("Apri Impostazioni di Sistema", "Open System Settings");
}
std::string ShellTexts::cancel() const {
    return t("Annulla", "Cancel");
}
std::string ShellTexts::testCorrectionTitle() const {
    return t("Verifica Correzione Rapida", "Quick Correction Test");
}
std::string ShellTexts::testCorrectionPrompt() const {
    return t("Testo di prova da verificare:", "Sample text to check:");
}
std::string ShellTexts::testCorrectionSample() const {
    return "tipo qeusto o tipo quetso";
}
std::string ShellTexts::verify() const {
    return t("Verifica", "Check");
}
std::string ShellTexts::close() const {
    return t("Chiudi", "Close");
}
std::string ShellTexts::resultTitle() const {
    return t("Risultato", "Result");
}
std::string ShellTexts::resultText(const std::string& original,
                                   const std::string& corrected) const {
    return t("Originale:", "Original:") + "\n\"" + original + "\"\n\n" +
           t("Corretto:", "Corrected:") + "\n\"" + corrected + "\"";
}
std::string ShellTexts::connectionErrorTitle() const {
    return t("Errore di connessione", "Connection error");
}
std::string ShellTexts::milestoneToast() const {
    return "🎉 Quorix: 50° Refuso evitato!";
}
std::string ShellTexts::aboutTitle() const {
    return t("Informazioni su Quorix", "About Quorix");
}
std::string ShellTexts::aboutText(const std::string& version) const {
    return "Quorix\n" + t("Versione ", "Version ") + version + "\n\n" +
           t("Corregge i refusi al momento dell'invio. Software libero, senza garanzia.",
             "Corrects typos as you send. Free software, without warranty.");
}

std::string ShellTexts::updateAvailableTitle() const {
    return t("Nuova versione disponibile", "A newer version is available");
}
std::string ShellTexts::updateAvailableText(const std::string& version,
                                            const std::string& url) const {
    return t("È disponibile Quorix " + version + ". Scaricala da:\n" + url,
             "Quorix " + version + " is available. Download it from:\n" + url);
}
std::string ShellTexts::upToDateTitle() const {
    return t("Nessun aggiornamento", "No update");
}
std::string ShellTexts::upToDateText(const std::string& version) const {
    return t("Quorix " + version + " è la versione più recente.",
             "Quorix " + version + " is the latest version.");
}
std::string ShellTexts::openDownloadPage() const {
    return t("Apri pagina di download", "Open download page");
}

}  // namespace quorix::ui
