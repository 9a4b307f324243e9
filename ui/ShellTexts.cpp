#include "ui/ShellTexts.h"

#include "core/config/L10n.h"
#include "ui/StatusIconPainter.h"

namespace quorix::ui::ShellTexts {

using L10n::t;

QString trayTooltip(TrayState state) {
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

std::string menuHeader(int64_t total) {
    if (total < 1) {
        return "Quorix";
    }
    const std::string count = std::to_string(total);
    return t("Quorix · " + count + " refusi evitati", "Quorix · " + count + " typos avoided");
}

std::string menuActive() {
    return t("✓  Quorix Attivo", "✓  Quorix Active");
}
std::string menuPaused() {
    return t("⏸  Quorix in Pausa", "⏸  Quorix Paused");
}
std::string menuAccessibilityMissing() {
    return t("⚠️ Accessibilità non concessa...", "⚠️ Accessibility not granted...");
}
std::string menuIgnoreWord(const std::string& word) {
    return t("Non correggere più \"" + word + "\"", "Stop correcting \"" + word + "\"");
}
std::string menuPreferences() {
    return t("Preferenze...", "Preferences...");
}
std::string menuOnboarding() {
    return t("Guida introduttiva...", "Getting Started...");
}
std::string menuAdvanced() {
    return t("Avanzate", "Advanced");
}
std::string menuTestCorrection() {
    return t("Test correzione rapida", "Quick correction test");
}
std::string menuTestConfetti() {
    return t("Test coriandoli milestone", "Milestone confetti test");
}
std::string menuOpenLog() {
    return t("Apri file di registro (debug.log)...", "Open log file (debug.log)...");
}
std::string menuCopyLog() {
    return t("Copia registro negli appunti", "Copy log to clipboard");
}
std::string menuClearCache(std::size_t entries) {
    const std::string count = std::to_string(entries);
    return t("Svuota cache (" + count + " voci)", "Clear cache (" + count + " entries)");
}
std::string menuCheckUpdates() {
    return t("Verifica aggiornamenti...", "Check for Updates...");
}
std::string menuAbout() {
    return t("Informazioni su Quorix", "About Quorix");
}
std::string menuQuit() {
    return t("Esci da Quorix", "Quit Quorix");
}

std::string ok() {
    return "OK";
}
std::string accessibilityGrantedTitle() {
    return t("Accessibilità già concessa", "Accessibility already granted");
}
std::string accessibilityGrantedText() {
    return t("Quorix dispone dei permessi necessari per l'intercettazione dei tasti.",
             "Quorix has the permissions it needs to intercept keys.");
}
std::string accessibilityHelpTitle() {
    return t("Attivazione Accessibilità", "Enabling Accessibility");
}
std::string accessibilityHelpText() {
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
std::string openSystemSettings() {
    return t("Apri Impostazioni di Sistema", "Open System Settings");
}
std::string cancel() {
    return t("Annulla", "Cancel");
}
std::string testCorrectionTitle() {
    return t("Verifica Correzione Rapida", "Quick Correction Test");
}
std::string testCorrectionPrompt() {
    return t("Testo di prova da verificare:", "Sample text to check:");
}
std::string testCorrectionSample() {
    return "tipo qeusto o tipo quetso";
}
std::string verify() {
    return t("Verifica", "Check");
}
std::string close() {
    return t("Chiudi", "Close");
}
std::string resultTitle() {
    return t("Risultato", "Result");
}
std::string resultText(const std::string& original, const std::string& corrected) {
    return t("Originale:", "Original:") + "\n\"" + original + "\"\n\n" +
           t("Corretto:", "Corrected:") + "\n\"" + corrected + "\"";
}
std::string connectionErrorTitle() {
    return t("Errore di connessione", "Connection error");
}
std::string milestoneToast() {
    return "🎉 Quorix: 50° Refuso evitato!";
}
std::string aboutTitle() {
    return t("Informazioni su Quorix", "About Quorix");
}
std::string aboutText(const std::string& version) {
    return "Quorix\n" + t("Versione ", "Version ") + version + "\n\n" +
           t("Corregge i refusi al momento dell'invio. Software libero, senza garanzia.",
             "Corrects typos as you send. Free software, without warranty.");
}

std::string updateAvailableTitle() {
    return t("Nuova versione disponibile", "A newer version is available");
}
std::string updateAvailableText(const std::string& version, const std::string& url) {
    return t("È disponibile Quorix " + version + ". Scaricala da:\n" + url,
             "Quorix " + version + " is available. Download it from:\n" + url);
}
std::string upToDateTitle() {
    return t("Nessun aggiornamento", "No update");
}
std::string upToDateText(const std::string& version) {
    return t("Quorix " + version + " è la versione più recente.",
             "Quorix " + version + " is the latest version.");
}
std::string openDownloadPage() {
    return t("Apri pagina di download", "Open download page");
}

}  // namespace quorix::ui::ShellTexts
