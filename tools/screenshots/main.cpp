// screenshots OUTDIR: writes the tray icon in every state and style and the
// open status menu and the preferences pages, in Italian and English, as PNG files named
// <window>-<state>-<lang>.png. Runs on the offscreen Qt platform.
#include <QApplication>
#include <QDir>
#include <QFont>
#include <QMenu>
#include <QPainter>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "NoticeShots.h"
#include "core/config/AppConfig.h"
#include "core/config/AppLogger.h"
#include "core/dispatch/VirtualClock.h"
#include "platform/sim/MemoryFileSystem.h"
#include "platform/sim/SimSystemEnvironment.h"
#include "platform/sim/SimWorkspace.h"
#include "tools/screenshots/PanelShots.h"
#include "tools/screenshots/PreferencesShots.h"
#include "ui/ShellTexts.h"
#include "ui/StatusIconPainter.h"
#include "ui/StatusMenu.h"

namespace {

using namespace quorix;

bool save(const QImage& image, const QString& folder, const QString& name) {
    const QString path = folder + "/" + name + ".png";
    if (!image.save(path)) {
        std::fprintf(stderr, "screenshots: cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

// The icon as a panel shows it (scaled 4×, on a light and a dark strip) with
// its tooltip below.
QImage trayShot(const ui::TrayLook& look, const ui::ShellTexts& texts) {
    constexpr qreal kScale = 4.0;
    QImage light = ui::StatusIconPainter::paint(look, kScale, QColor(20, 20, 20));
    QImage dark = ui::StatusIconPainter::paint(look, kScale, QColor(240, 240, 240));
    light.setDevicePixelRatio(1.0);
    dark.setDevicePixelRatio(1.0);
    QImage shot(300, 150, QImage::Format_ARGB32_Premultiplied);
    shot.fill(QColor(250, 250, 250));
    QPainter p(&shot);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(QRect(0, 0, 150, 100), QColor(236, 236, 236));
    p.fillRect(QRect(150, 0, 150, 100), QColor(40, 40, 44));
    p.drawImage(QPointF(225 - dark.width() / 2.0, 14), dark);
    p.drawImage(QPointF(75 - light.width() / 2.0, 14), light);
    QFont font = p.font();
    font.setPixelSize(14);
    p.setFont(font);
    p.setPen(QColor(30, 30, 30));
    p.drawText(QRect(0, 104, 300, 40), Qt::AlignCenter,
               ui::StatusIconPainter::tooltip(look, texts));
    return shot;
}

const char* styleName(IconStyle style) {
    switch (style) {
        case IconStyle::chatBubble:
            return "chatBubble";
        case IconStyle::keyboard:
            return "keyboard";
        case IconStyle::textAbc:
            return "textAbc";
        case IconStyle::wand:
            return "wand";
        case IconStyle::quorix:
            break;
    }
    return "brand";
}

QImage menuShot(QMenu& menu, const ui::MenuState& state, const ui::ShellTexts& texts,
                bool openAdvanced) {
    ui::StatusMenu::fill(menu, ui::buildStatusMenu(state, texts), [](ui::MenuAction) {});
    menu.adjustSize();
    const QImage main = menu.grab().toImage();
    if (!openAdvanced) {
        return main;
    }
    QMenu* advanced = nullptr;
    int y = 0;
    for (QAction* a : menu.actions()) {
        if (a->menu() != nullptr) {
            advanced = a->menu();
            y = menu.actionGeometry(a).top();
        }
    }
    if (advanced == nullptr) {
        return main;
    }
    advanced->adjustSize();
    const QImage sub = advanced->grab().toImage();
    QImage both(main.width() + sub.width() - 4, std::max(main.height(), y + sub.height()),
                QImage::Format_ARGB32_Premultiplied);
    both.fill(Qt::transparent);
    QPainter p(&both);
    p.drawImage(0, 0, main);
    p.drawImage(main.width() - 4, y, sub);
    return both;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: screenshots OUTDIR\n");
        return 2;
    }
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), 10));
    const QString folder = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "screenshots: cannot create %s\n", argv[1]);
        return 1;
    }
    // A settings store that writes nothing: it only answers the language.
    dispatch::VirtualClock clock;
    platform::SimWorkspace workspace;
    platform::SimSystemEnvironment env;
    platform::MemoryFileSystem files;
    AppLogger logger("/nonexistent", files, clock, nullptr, StorageMode::readOnly);
    AppConfig config("/nonexistent", files, logger, clock, workspace, env, StorageMode::readOnly);
    const ui::ShellTexts texts(config);

    bool ok = true;
    for (const auto& [language, lang] :
         {std::pair{AppLanguage::it, "it"}, std::pair{AppLanguage::en, "en"}}) {
        config.setAppLanguage(language);
        for (IconStyle style : allCases<IconStyle>()) {
            for (const auto& look :
                 {ui::TrayLook{false, true, style}, ui::TrayLook{true, true, style},
                  ui::TrayLook{true, false, style}}) {
                const QString state =
                    QString::fromLatin1(ui::StatusIconPainter::stateName(look.state())) + "-" +
                    QString::fromLatin1(styleName(style));
                ok &= save(trayShot(look, texts), folder,
                           QStringLiteral("tray-%1-%2").arg(state, QString::fromLatin1(lang)));
            }
        }
        QMenu menu;
        ui::MenuState state;
        state.trusted = true;
        state.enabled = true;
        state.totalTyposCorrected = 42;
        state.lastCorrectedOriginalWord = "qeusto";
        state.cacheCount = 12;
        state.canCheckForUpdates = true;
        ok &=
            save(menuShot(menu, state, texts, false), folder, QStringLiteral("menu-%1").arg(lang));
        ok &= save(menuShot(menu, state, texts, true), folder,
                   QStringLiteral("menu-advanced-%1").arg(lang));
        state.trusted = false;
        state.lastCorrectedOriginalWord.reset();
        state.totalTyposCorrected = 0;
        ok &= save(menuShot(menu, state, texts, false), folder,
                   QStringLiteral("menu-untrusted-%1").arg(lang));
        const auto saveShot = [&folder](const QImage& image, const QString& name) {
            return save(image, folder, name);
        };
        ok &= screenshots::noticeShots(config, logger, QString::fromLatin1(lang), saveShot);
        ok &= screenshots::savePopoverShots(config, lang, saveShot);
        ok &= screenshots::saveOnboardingShots(config, lang, saveShot);
    }
    ok &= screenshots::writePreferencesShots(folder);
    return ok ? 0 : 1;
}
