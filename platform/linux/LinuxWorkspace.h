#pragma once
// Workspace over the XDG desktop entries: an installed application is a
// ".desktop" file in /usr/share/applications or ~/.local/share/applications; its
// bundle identifier is the desktop file id (file name without ".desktop") and
// its display name the entry's Name=. The front application is not known yet.

#include <optional>
#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/Workspace.h"
#include "platform/posix/PosixFileSystem.h"

namespace quorix::platform {

class LinuxWorkspace final : public Workspace {
  public:
    // Folders holding desktop entries, system-wide first.
    explicit LinuxWorkspace(std::vector<std::string> applicationFolders,
                            FileSystem& fs = PosixFileSystem::instance());
    // /usr/share/applications and home + "/.local/share/applications".
    static LinuxWorkspace forHome(const std::string& home,
                                  FileSystem& fs = PosixFileSystem::instance());

    std::optional<RunningApplication> frontmostApplication() override;
    // The user's entry wins over a system-wide one of the same id.
    std::optional<std::string> applicationPath(const std::string& bundleIdentifier) override;
    std::optional<std::string> bundleIdentifier(const std::string& appPath) override;
    std::string displayName(const std::string& path) override;
    bool fileExists(const std::string& path) override;
    std::optional<std::vector<std::string>> listFolder(const std::string& path) override;
    std::vector<std::string> applicationFolders() override;
    AppIcon iconForFile(const std::string& path) override;
    std::string applicationFileExtension() override;
    // Categories= of the application's desktop entry.
    std::vector<std::string> applicationCategories(const std::string& bundleIdentifier) override;

    // Name= of the [Desktop Entry] group, if any.
    static std::optional<std::string> desktopEntryName(const std::string& content);
    // Categories= of the [Desktop Entry] group, split at ';', empty parts dropped.
    static std::vector<std::string> desktopEntryCategories(const std::string& content);

  private:
    std::vector<std::string> folders_;
    FileSystem* fs_;
};

}  // namespace quorix::platform
