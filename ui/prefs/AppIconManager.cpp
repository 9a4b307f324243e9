#include "ui/prefs/AppIconManager.h"

#include <QFileInfo>
#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>
#include <array>
#include <string_view>

#include "core/text/Text.h"
#include "ui/prefs/PrefsStyle.h"

namespace quorix::ui::prefs {
namespace {

struct Candidates {
    std::string_view word;
    std::vector<std::string_view> desktopIds;
};

// Desktop ids under which the usual builds of these applications install.
const std::vector<Candidates>& candidateTable() {
    static const std::vector<Candidates> table{
        {"meet", {"google-chrome", "com.google.Chrome"}},
        {"whatsapp", {"whatsapp-desktop", "com.github.eneshecan.WhatsAppForLinux", "whatsapp"}},
        {"telegram", {"org.telegram.desktop", "telegramdesktop", "telegram-desktop"}},
        {"slack", {"slack", "com.slack.Slack"}},
        {"chrome", {"google-chrome", "com.google.Chrome", "chromium"}},
        {"safari", {"org.gnome.Epiphany"}},
        {"note", {"org.gnome.TextEditor", "gnote"}},
        {"mail", {"org.mozilla.Thunderbird", "thunderbird", "org.gnome.Evolution"}},
        {"messages", {"org.gnome.Fractal"}},
        {"messaggi", {"org.gnome.Fractal"}},
        {"discord", {"discord", "com.discordapp.Discord"}},
        {"teams", {"teams-for-linux", "com.github.IsmaelMartinez.teams_for_linux"}},
        {"arc", {"firefox", "org.mozilla.firefox"}},
        {"textedit", {"org.gnome.gedit", "org.gnome.TextEditor"}},
    };
    return table;
}

QIcon firstIcon(const std::vector<InstalledApp>& apps, const std::vector<std::string_view>& ids) {
    for (std::string_view id : ids) {
        for (const auto& app : apps) {
            if (app.id == id) {
                if (QIcon icon = AppIconManager::themeIcon(app.icon); !icon.isNull()) {
                    return icon;
                }
            }
        }
    }
    return {};
}

}  // namespace

AppIconManager::AppIconManager(AppSource installed) : source_(std::move(installed)) {}

const std::vector<InstalledApp>& AppIconManager::installed() {
    if (!apps_) {
        ++scans_;
        apps_ = source_ ? source_() : std::vector<InstalledApp>{};
    }
    return *apps_;
}

QIcon AppIconManager::themeIcon(const std::string& iconValue) {
    if (iconValue.empty()) {
        return {};
    }
    const QString value = qs(iconValue);
    if (value.startsWith('/')) {
        return QFileInfo::exists(value) ? QIcon(value) : QIcon();
    }
    return QIcon::hasThemeIcon(value) ? QIcon::fromTheme(value) : QIcon();
}

QIcon AppIconManager::genericIcon() {
    static const QIcon icon = [] {
        QPixmap pixmap(64, 64);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        QLinearGradient g(0, 0, 0, 64);
        g.setColorAt(0, QColor(176, 180, 190));
        g.setColorAt(1, QColor(120, 126, 138));
        p.setPen(Qt::NoPen);
        p.setBrush(g);
        p.drawRoundedRect(QRectF(2, 2, 60, 60), 14, 14);
        p.setBrush(QColor(255, 255, 255, 225));
        for (int row = 0; row < 2; ++row) {
            for (int col = 0; col < 2; ++col) {
                p.drawRoundedRect(QRectF(16 + col * 18, 16 + row * 18, 14, 14), 3.5, 3.5);
            }
        }
        return QIcon(pixmap);
    }();
    return icon;
}

const AppIconManager::Entry& AppIconManager::lookup(const std::string& name) {
    const std::string key = text::trim(name);
    if (auto it = cache_.find(key); it != cache_.end()) {
        return it->second;
    }
    const std::string lower = text::toLower(key);
    QIcon found;
    for (const auto& rule : candidateTable()) {
        if (text::contains(lower, rule.word)) {
            found = firstIcon(installed(), rule.desktopIds);
            break;
        }
    }
    if (found.isNull() && !lower.empty()) {
        for (const auto& app : installed()) {
            if (text::toLower(app.name) == lower || text::toLower(app.id) == lower) {
                found = themeIcon(app.icon);
                if (!found.isNull()) {
                    break;
                }
            }
        }
    }
    if (found.isNull() && !lower.empty()) {
        found = themeIcon(lower);
    }
    Entry entry{found.isNull() ? genericIcon() : found, found.isNull()};
    return cache_.emplace(key, std::move(entry)).first->second;
}

QIcon AppIconManager::icon(const std::string& name) {
    return lookup(name).icon;
}

bool AppIconManager::isGeneric(const std::string& name) {
    return lookup(name).generic;
}

}  // namespace quorix::ui::prefs
