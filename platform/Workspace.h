#pragma once
// Workspace port: the front application and application lookup.
// Thread: any. Absent answers are nullopt; nothing throws.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quorix::platform {

struct RunningApplication {
    int32_t pid = 0;
    std::optional<std::string> bundleIdentifier;
    std::optional<std::string> localizedName;
};

// An application icon as the adapter can show it: a file whose icon it is, or
// the generic application icon.
struct AppIcon {
    std::string path;  // empty for the generic icon
    bool isGeneric() const { return path.empty(); }
};

class Workspace {
  public:
    virtual ~Workspace() = default;
    virtual std::optional<RunningApplication> frontmostApplication() = 0;
    // Location of the installed application with this bundle identifier.
    virtual std::optional<std::string> applicationPath(const std::string& bundleIdentifier) = 0;
    // Bundle identifier of the application at path (nullopt: not a bundle, or none).
    virtual std::optional<std::string> bundleIdentifier(const std::string& appPath) = 0;
    // Name as the file system shows it (e.g. without ".app").
    virtual std::string displayName(const std::string& path) = 0;
    virtual bool fileExists(const std::string& path) = 0;
    // Names (not paths) of the entries of a folder in the file system's order;
    // nullopt when unlistable.
    virtual std::optional<std::vector<std::string>> listFolder(const std::string& path) = 0;
    // Folders searched for installed applications, in order.
    virtual std::vector<std::string> applicationFolders() = 0;
    virtual AppIcon iconForFile(const std::string& path) = 0;
    // Extension (without the dot) of an installed application's entry in the
    // application folders: "app" for bundles, "desktop" for XDG desktop files.
    virtual std::string applicationFileExtension() { return "app"; }
    // Categories the installed application with this identifier declares
    // ("TerminalEmulator", "Development", "IDE", ...); empty when unknown or
    // where the platform has none.
    virtual std::vector<std::string> applicationCategories(const std::string& bundleIdentifier) {
        (void)bundleIdentifier;
        return {};
    }
};

}  // namespace quorix::platform
