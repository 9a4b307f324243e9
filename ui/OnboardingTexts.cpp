#include "ui/OnboardingTexts.h"

#include "core/config/L10n.h"

namespace quorix::ui {

QString OnboardingTexts::t(std::string_view it, std::string_view en) const {
    return QString::fromStdString(L10n::t(config_, it, en));
}

QString OnboardingTexts::step(int step, int total) const {
    return t("%1 di %2", "%1 of %2").arg(step).arg(total);
}
QString OnboardingTexts::continueButton() const {
    return t("Continua →", "Continue →");
}
QString OnboardingTexts::backButton() const {
    return t("← Indietro", "← Back");
}

QString OnboardingTexts::introTitle() const {
    return t("Correzione trasparente all'Invio", "Seamless correction on Enter");
}
QString OnboardingTexts::demoApps() const {
    return QStringLiteral("Telegram / Slack / WhatsApp / Browser");
}
QString OnboardingTexts::demoTypo() const {
    return t("ci vedimao stasera per il debrief", "see you tonigth for the debrief");
}
QString OnboardingTexts::demoFixed() const {
    return t("ci vediamo stasera per il debrief", "see you tonight for the debrief");
}
QString OnboardingTexts::returnKey() const {
    return t("⏎ Invio", "⏎ Enter");
}
QString OnboardingTexts::introSubtitle() const {
    return t("Quorix corregge i refusi di battitura in background prima che il messaggio parta.",
             "Quorix fixes typing mistakes in the background before the message leaves.");
}
QString OnboardingTexts::introText() const {
    return t(
        "Nessuna scorciatoia da memorizzare. Continua a scrivere normalmente: quando premi "
        "Invio, il testo viene corretto e inviato istantaneamente.",
        "No shortcut to learn. Keep typing as usual: when you press Enter, the text is "
        "corrected and sent instantly.");
}

QString OnboardingTexts::permissionTitle() const {
    return t("Autorizzazione di Accessibilità", "Accessibility Permission");
}
QString OnboardingTexts::settingsPath() const {
    return t("Impostazioni di Sistema › Accessibilità", "System Settings › Accessibility");
}
QString OnboardingTexts::appLine() const {
    return t("Consenti all'app di intercettare il tasto Invio per la correzione",
             "Allow the app to intercept the Enter key for correction");
}
QString OnboardingTexts::checking() const {
    return t("Controllo autorizzazione...", "Checking permission...");
}
QString OnboardingTexts::granted() const {
    return t("Autorizzazione concessa ✓", "Permission granted ✓");
}
QString OnboardingTexts::waiting() const {
    return t("In attesa di autorizzazione...", "Waiting for permission...");
}
QString OnboardingTexts::openSettings() const {
    return t("Apri Impostazioni di Sistema", "Open System Settings");
}
QString OnboardingTexts::authorized() const {
    return t("Autorizzato ✓", "Authorized ✓");
}

QString OnboardingTexts::exceptionsTitle() const {
    return t("Controllo ed eccezioni", "Control and exceptions");
}
QString OnboardingTexts::exceptionsText() const {
    return t(
        "Se Quorix modifica una parola che non volevi (es. un brand o gergo), usa il menu "
        "nella barra dei menu: con un solo click puoi aggiungerla al tuo dizionario personale.",
        "If Quorix changes a word you meant (a brand or slang, say), use the menu in the menu "
        "bar: one click adds it to your personal dictionary.");
}
QString OnboardingTexts::demoIncoming() const {
    return t("Confermi la call di stasera?", "Are we still on for tonight's call?");
}
QString OnboardingTexts::demoReply() const {
    return t("Sì, alle 18 😊", "Yes, at 6 pm 😊");
}
QString OnboardingTexts::finishButton() const {
    return t("Completa configurazione", "Finish setup");
}

QString OnboardingTexts::helpTitle() const {
    return t("Attivazione Accessibilità", "Enabling Accessibility");
}

QString OnboardingTexts::helpText(bool trusted, bool settingsOpened) const {
    QString text = trusted ? t("Quorix può già osservare e inviare i tasti su questo display.",
                               "Quorix can already observe and send keys on this display.")
                           : t("Quorix non può ancora usare questo display per osservare i tasti.",
                               "Quorix cannot use this display to observe keys yet.");
    text += u"\n\n";
    text +=
        t("Per leggere e scrivere il testo dei campi senza passare dagli appunti, le "
          "applicazioni devono rendere disponibile l'accessibilità:\n"
          "• GTK: attiva di serie con GNOME; altrove\n"
          "   gsettings set org.gnome.desktop.interface toolkit-accessibility true\n"
          "• Qt: avvia l'app con QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1\n"
          "• Chromium, Chrome ed Electron: avviali con --force-renderer-accessibility\n"
          "• Firefox: avvialo con GNOME_ACCESSIBILITY=1, o attiva l'accessibilità come per GTK",
          "To read and write the text of fields without going through the clipboard, "
          "applications must expose accessibility:\n"
          "• GTK: on by default under GNOME; elsewhere\n"
          "   gsettings set org.gnome.desktop.interface toolkit-accessibility true\n"
          "• Qt: start the app with QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1\n"
          "• Chromium, Chrome and Electron: start them with --force-renderer-accessibility\n"
          "• Firefox: start it with GNOME_ACCESSIBILITY=1, or turn accessibility on as for GTK");
    text += u"\n\n";
    text += settingsOpened
                ? t("Le impostazioni di Accessibilità del desktop sono state aperte.",
                    "The desktop's Accessibility settings have been opened.")
                : t("Questo desktop non ha una pagina di impostazioni nota: bastano i passi qui "
                    "sopra.",
                    "This desktop has no known settings page: the steps above are all it "
                    "takes.");
    return text;
}

}  // namespace quorix::ui
