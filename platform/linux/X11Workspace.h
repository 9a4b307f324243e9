#pragma once
// Workspace of an X11 session: the front application is the window named by
// the window manager's _NET_ACTIVE_WINDOW, or without a window manager the
// top-level window holding the input focus (under the pointer when the focus
// follows it). Everything else is delegated to the desktop-entry workspace.
//
// Identifier: the GTK application id when the window carries one, else the
// desktop entry id matching WM_CLASS (class, then instance, as given or
// lowercased), else the class lowercased. Name: the desktop entry's Name=,
// else the window title, else the class. Pid: _NET_WM_PID (0 when absent).
//
// Thread: any; calls are serialised on the workspace's own connection.
// Answers are cached per window, so a repeated query costs one round trip. The
// cached window is watched: its destruction (a new client may get the same
// window id) or a change of its _NET_WM_PID, WM_CLASS or application id drops
// the cached answer, so a restarted application is never taken for the old one.

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/Workspace.h"

struct _XDisplay;

namespace quorix::platform {

class X11Workspace final : public Workspace {
  public:
    // files: the workspace answering lookups of installed applications.
    explicit X11Workspace(Workspace& files, std::string displayName = {});
    ~X11Workspace() override;
    X11Workspace(const X11Workspace&) = delete;
    X11Workspace& operator=(const X11Workspace&) = delete;

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

    // The identifier for a window's WM_CLASS and application id, given which
    // desktop entry ids exist (installed(id) true). Exposed for tests.
    static std::string identifierFor(const std::optional<std::string>& applicationId,
                                     const std::string& resName, const std::string& resClass,
                                     const std::function<bool(const std::string&)>& installed);

  private:
    unsigned long activeWindowLocked();
    unsigned long topLevelLocked(unsigned long window);
    RunningApplication describeLocked(unsigned long window);
    std::optional<std::string> stringPropertyLocked(unsigned long window, const char* name);
    // Reads the events of the watched window queued so far; drops the cached
    // answer when the window went or its identity changed.
    void dropStaleLocked();
    void watchLocked(unsigned long window);

    Workspace& files_;
    std::string displayName_;
    std::mutex mutex_;
    _XDisplay* display_ = nullptr;
    bool triedOpen_ = false;
    unsigned long cachedWindow_ = 0;
    std::optional<RunningApplication> cached_;
};

}  // namespace quorix::platform
