#pragma once
// A simulated Workspace: a settable front application, a registry of installed
// applications and a small fake file system of folders and files. Thread-safe.
//
// Paths are plain strings ("/Applications/Slack.app"); a folder lists the names
// of the entries added under it, in insertion order. Defaults mirror a desktop
// with bundles: application folders "/Applications", "/System/Applications" and
// home + "/Applications", entries with extension "app".

#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/Workspace.h"

namespace quorix::platform {

class SimWorkspace final : public Workspace {
  public:
    explicit SimWorkspace(const std::string& home = "/home/sim");

    std::optional<RunningApplication> frontmostApplication() override;
    std::optional<std::string> applicationPath(const std::string& bundleIdentifier) override;
    std::optional<std::string> bundleIdentifier(const std::string& appPath) override;
    std::string displayName(const std::string& path) override;
    bool fileExists(const std::string& path) override;
    std::optional<std::vector<std::string>> listFolder(const std::string& path) override;
    std::vector<std::string> applicationFolders() override;
    AppIcon iconForFile(const std::string& path) override;
    std::string applicationFileExtension() override;
    std::vector<std::string> applicationCategories(const std::string& bundleIdentifier) override;

    void setFrontmostApplication(std::optional<RunningApplication> app);
    // An installed application the workspace knows by bundle identifier; its
    // file is added to the file system. displayName empty: the file name
    // without extension.
    void addApplication(const std::string& bundleIdentifier, const std::string& path,
                        const std::string& displayName = {});
    // A file (e.g. a bundle the registry does not know) with an optional
    // bundle identifier and display name. Missing parent folders are created.
    void addFile(const std::string& path, std::optional<std::string> bundleIdentifier = {},
                 const std::string& displayName = {});
    void addFolder(const std::string& path);
    // An existing folder that cannot be listed.
    void setUnlistable(const std::string& path, bool unlistable = true);
    void setApplicationFolders(std::vector<std::string> folders);
    void setApplicationFileExtension(std::string extension);
    void setApplicationCategories(const std::string& bundleIdentifier,
                                  std::vector<std::string> categories);

  private:
    struct File {
        std::optional<std::string> bundleIdentifier;
        std::string displayName;
    };
    void addFolderLocked(const std::string& path);
    void addEntryLocked(const std::string& path);

    mutable std::mutex mutex_;
    std::optional<RunningApplication> front_;
    std::map<std::string, std::string> pathsByBundleId_;
    std::map<std::string, File> files_;
    std::map<std::string, std::vector<std::string>> folders_;
    std::map<std::string, bool> unlistable_;
    std::vector<std::string> applicationFolders_;
    std::string extension_ = "app";
    std::map<std::string, std::vector<std::string>> categories_;
};

}  // namespace quorix::platform
