#include "ui/prefs/PrefsStyle.h"

#include <QPalette>

#include "core/config/L10n.h"

namespace quorix::ui::prefs {

QColor rgb(double r, double g, double b, double alpha) {
    return QColor::fromRgbF(static_cast<float>(r), static_cast<float>(g), static_cast<float>(b),
                            static_cast<float>(alpha));
}

QColor windowBackground() {
    return QColor(236, 236, 238);
}
QColor controlBackground() {
    return QColor(255, 255, 255);
}
QColor separator(double alpha) {
    return rgb(0.0, 0.0, 0.0, 0.1 + 0.2 * alpha);
}
QColor primaryText(double alpha) {
    return rgb(0.1, 0.1, 0.11, 0.88 * alpha);
}
QColor secondaryText(double alpha) {
    return rgb(0.24, 0.24, 0.26, 0.62 * alpha);
}
QColor selectedContent(double alpha) {
    return rgb(0.0, 0.39, 0.88, alpha);
}
QColor accentBlue() {
    return rgb(0.0, 0.478, 1.0);
}
QColor accentGreen() {
    return rgb(0.204, 0.78, 0.349);
}
QColor accentPurple() {
    return rgb(0.686, 0.322, 0.871);
}

const std::vector<TabInfo>& tabInfos() {
    static const std::vector<TabInfo> tabs{
        {PrefsTab::stats, "Statistiche", "Statistics",
         "Monitora i refusi corretti all'invio, le parole più frequenti e il tempo risparmiato.",
         "Track blocked typos at send, top replaced words and time saved.", "chart.pie.fill",
         accentBlue()},
        {PrefsTab::general, "Generale", "General",
         "Modalità di invio, feedback acustico, scorciatoia globale e avvio automatico.",
         "Send mode, audio feedback, global hotkey, and launch at login.", "gearshape.fill",
         accentBlue()},
        {PrefsTab::ai, "Motore AI", "AI Engine",
         "Gestisci la tua infrastruttura di correzione e la chiave API personale (BYOK).",
         "Manage correction infrastructure and personal API key (BYOK).", "sparkles",
         accentGreen()},
        {PrefsTab::tone, "Tono & Stile", "Tone & Style",
         "Scegli tra Tono Naturale per chat informali o Tono Formale per lavoro e team.",
         "Choose between Natural for casual chats or Formal for work & teams.", "text.bubble.fill",
         accentPurple()},
        {PrefsTab::whitelist, "Eccezioni", "Exceptions",
         "Personalizza il dizionario delle eccezioni e le applicazioni escluse dallo scudo.",
         "Manage dictionary whitelist and excluded apps from typo shield.", "shield.checkerboard",
         rgb(1.0, 0.584, 0.0)},
        {PrefsTab::updates, "Aggiornamenti", "Updates",
         "Controlla la disponibilità di nuove versioni ed esegui l'aggiornamento sicuro.",
         "Check for new releases and perform secure instant updates.",
         "arrow.triangle.2.circlepath", rgb(0.15, 0.68, 0.88)},
    };
    return tabs;
}

const TabInfo& tabInfo(PrefsTab tab) {
    for (const auto& info : tabInfos()) {
        if (info.tab == tab) {
            return info;
        }
    }
    return tabInfos().front();
}

QFont uiFont(double points, QFont::Weight weight) {
    QFont f;
    f.setPixelSize(qRound(points));  // design points are device-independent pixels
    f.setWeight(weight);
    return f;
}

QString qs(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString tr2(const AppConfig& config, std::string_view it, std::string_view en) {
    return qs(L10n::t(config, it, en));
}

QLabel* makeLabel(const QString& text, double points, QFont::Weight weight, const QColor& colour,
                  bool wrap) {
    auto* label = new QLabel(text);
    label->setFont(uiFont(points, weight));
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    label->setWordWrap(wrap);
    label->setTextFormat(Qt::PlainText);
    return label;
}

}  // namespace quorix::ui::prefs
