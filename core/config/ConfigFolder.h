#pragma once
// The per-user configuration folder and the files in it.

#include <string>

namespace quorix {

inline std::string configFolderPath(const std::string& homeDirectory) {
    if (!homeDirectory.empty() && homeDirectory.back() == '/') {
        return homeDirectory + ".config/penwarden";
    }
    return homeDirectory + "/.config/penwarden";
}

}  // namespace quorix
