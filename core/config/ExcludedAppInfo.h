#pragma once
// Display record of an excluded or work application.

#include <string>

#include "platform/Workspace.h"

namespace quorix {

struct ExcludedAppInfo {
    std::string id;           // the list entry described; identity in lists
    std::string displayName;  // name to show
    std::string detail;       // bundle identifier, bundle file name or the entry itself
    platform::AppIcon icon;   // the application's icon, or the generic one

    bool operator==(const ExcludedAppInfo& o) const {
        return id == o.id && displayName == o.displayName && detail == o.detail &&
               icon.path == o.icon.path;
    }
};

}  // namespace quorix
