#include "ui/prefs/InstalledApps.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <algorithm>
#include <cstdlib>
#include <set>
#include <sstream>

#include "core/text/Text.h"

namespace quorix::ui::prefs {
namespace {

constexpr qint64 kMaxEntryBytes = 256 * 1024;

std::vector<std::string> splitColons(const std::string& value) {
    std::vector<std::string> out;
    std::istringstream parts(value);
    for (std::string part; std::getline(parts, part, ':');) {
        if (!part.empty() && part.front() == '/') {
            out.push_back(part);
        }
    }
    return out;
}

}  // namespace

std::vector<std::string> InstalledApps::dataDirs() {
    std::vector<std::string> dirs;
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    const char* home = std::getenv("HOME");
    if (dataHome != nullptr && dataHome[0] == '/') {
        dirs.emplace_back(dataHome);
    } else if (home != nullptr && home[0] == '/') {
        dirs.push_back(std::string(home) + "/.local/share");
    }
    const char* dataDirs = std::getenv("XDG_DATA_DIRS");
    auto system = splitColons(
        dataDirs != nullptr && dataDirs[0] != '\0' ? dataDirs : "/usr/local/share:/usr/share");
    dirs.insert(dirs.end(), system.begin(), system.end());
    return dirs;
}

InstalledApp InstalledApps::parse(const std::string& content, const std::string& id,
                                  const std::string& path, const std::string& language) {
    std::istringstream lines(content);
    bool inEntry = false;
    std::string name, localName, icon, type;
    bool hidden = false;
    std::string localKey = "Name[";
    localKey.append(language).append("]=");
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.starts_with("[")) {
            inEntry = line == "[Desktop Entry]";
            continue;
        }
        if (!inEntry) {
            continue;
        }
        const auto eq = line.find('=');
        if (eq == std::string::npos) {
            continue;
        }
        const std::string key = text::trim(line.substr(0, eq));
        const std::string value = text::trim(line.substr(eq + 1));
        if (key == "Name" && name.empty()) {
            name = value;
        } else if (key + "=" == localKey && localName.empty()) {
            localName = value;
        } else if (key == "Icon" && icon.empty()) {
            icon = value;
        } else if (key == "Type") {
            type = value;
        } else if ((key == "NoDisplay" || key == "Hidden") && value == "true") {
            hidden = true;
        }
    }
    const std::string shown = text::sanitizeUtf8(localName.empty() ? name : localName);
    if (hidden || type != "Application" || text::isBlank(shown)) {
        return {};
    }
    return InstalledApp{id, shown, text::sanitizeUtf8(icon), path};
}

std::vector<InstalledApp> InstalledApps::scan(const std::vector<std::string>& dataDirs,
                                              const std::string& language) {
    std::vector<InstalledApp> apps;
    std::set<std::string> seen;
    for (const auto& dir : dataDirs) {
        const QString root = QString::fromStdString(dir) + "/applications";
        QDirIterator it(root, {QStringLiteral("*.desktop")}, QDir::Files | QDir::Readable,
                        QDirIterator::Subdirectories | QDirIterator::FollowSymlinks);
        while (it.hasNext()) {
            const QString file = it.next();
            QString relative = QDir(root).relativeFilePath(file);
            relative.chop(static_cast<int>(sizeof(".desktop") - 1));
            const std::string id = relative.replace('/', '-').toStdString();
            if (!seen.insert(id).second) {
                continue;  // a more important data dir already has it (or hides it)
            }
            QFile entry(file);
            if (!entry.open(QIODevice::ReadOnly)) {
                continue;
            }
            const std::string content = entry.read(kMaxEntryBytes).toStdString();
            InstalledApp app = parse(content, id, file.toStdString(), language);
            if (!app.id.empty()) {
                apps.push_back(std::move(app));
            }
        }
    }
    std::sort(apps.begin(), apps.end(), [](const InstalledApp& a, const InstalledApp& b) {
        const int c = QString::fromStdString(a.name).compare(QString::fromStdString(b.name),
                                                             Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a.id < b.id;
    });
    return apps;
}

}  // namespace quorix::ui::prefs
