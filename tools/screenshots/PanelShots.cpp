#include "tools/screenshots/PanelShots.h"

#include <QLayout>
#include <QPainter>
#include <string>

#include "core/config/AppConfig.h"
#include "ui/OnboardingWindow.h"
#include "ui/PopoverView.h"
#include "ui/PopoverWindow.h"

namespace quorix::screenshots {
namespace {

// The panel as it appears on screen, with a soft shadow on a neutral backdrop.
QImage framed(QWidget& window) {
    window.ensurePolished();
    if (window.layout() != nullptr) {
        window.layout()->activate();
    }
    const QImage shot = window.grab().toImage();
    constexpr int kMargin = 18;
    QImage out(shot.width() + 2 * kMargin, shot.height() + 2 * kMargin,
               QImage::Format_ARGB32_Premultiplied);
    out.fill(QColor(214, 219, 226));
    QPainter p(&out);
    p.setRenderHint(QPainter::Antialiasing);
    for (int k = 6; k > 0; --k) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 10));
        p.drawRoundedRect(
            QRectF(kMargin - k, kMargin - k + 3, shot.width() + 2 * k, shot.height() + 2 * k),
            k + 2, k + 2);
    }
    p.drawImage(kMargin, kMargin, shot);
    return out;
}

QImage popoverShot(AppConfig& config) {
    ui::PopoverWindow window;
    window.setContent(new ui::PopoverView(config, {}));
    return framed(window);
}

}  // namespace

bool savePopoverShots(AppConfig& config, const QString& lang, const SaveShot& save) {
    bool ok = true;
    config.setTotalTyposCorrected(1284);
    config.setIsEnabled(true);
    config.setToneStyle(ToneStyle::natural);
    config.setLastOriginalFullText(std::nullopt);
    config.setLastCorrectedFullText(std::nullopt);
    config.setLastCorrectedOriginalWord(std::nullopt);
    ok &= save(popoverShot(config), "popover-active-" + lang);
    config.setIsEnabled(false);
    config.setSoundEnabled(false);
    ok &= save(popoverShot(config), "popover-paused-" + lang);
    config.setIsEnabled(true);
    config.setSoundEnabled(true);
    config.setLastOriginalFullText("ci vedimao stasera per il debrief");
    config.setLastCorrectedFullText("ci vediamo stasera per il debrief");
    config.setLastCorrectedOriginalWord("vedimao");
    ok &= save(popoverShot(config), "popover-correction-" + lang);
    config.setToneStyle(ToneStyle::formal);
    config.setLastOriginalFullText(
        "Buongiorno a tutti, come anticipato nella riunione di ieri vi mando il risepilogo "
        "dele attivita svolte e delle prossime scadenze del progetto, fatemi sapere se "
        "qualcosa non torna 🙏");
    config.setLastCorrectedFullText(
        "Buongiorno a tutti, come anticipato nella riunione di ieri vi mando il riepilogo "
        "delle attività svolte e delle prossime scadenze del progetto, fatemi sapere se "
        "qualcosa non torna 🙏");
    config.setLastCorrectedOriginalWord("risepilogo");
    ok &= save(popoverShot(config), "popover-long-correction-" + lang);
    // Right-to-left text with emoji: read right to left, cut by whole clusters.
    config.setToneStyle(ToneStyle::natural);
    const std::string rtl = "נתראה מחר בבוקר ליד המשרד 👩‍👩‍👧";
    const std::string rest = " אל תשכחו את המצגת החדשה";
    config.setLastOriginalFullText(rtl + rest);
    config.setLastCorrectedFullText(rtl + rest + "!");
    config.setLastCorrectedOriginalWord("החדשה");
    ok &= save(popoverShot(config), "popover-rtl-" + lang);
    return ok;
}

bool saveOnboardingShots(AppConfig& config, const QString& lang, const SaveShot& save) {
    bool ok = true;
    for (const bool trusted : {false, true}) {
        ui::OnboardingWindow window(config, {.isTrusted = [trusted] { return trusted; },
                                             .openSettings = [] { return false; },
                                             .dialogs = nullptr,
                                             .timeScale = 1.0});
        if (!trusted) {
            window.goToStep(0, false);
            ok &= save(framed(window), "onboarding-intro-" + lang);
            window.goToStep(2, false);
            ok &= save(framed(window), "onboarding-exceptions-" + lang);
        }
        window.goToStep(1, false);
        ok &= save(
            framed(window),
            (trusted ? "onboarding-permission-granted-" : "onboarding-permission-waiting-") + lang);
    }
    return ok;
}

}  // namespace quorix::screenshots
