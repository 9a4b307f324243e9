#pragma once
// SystemEnvironment of a Linux session: $HOME, the locale variables, the build's
// version, and the resource folders beside the executable and in the source tree.

#include <optional>
#include <string>
#include <vector>

#include "platform/SystemEnvironment.h"

namespace quorix::platform {

class LinuxSystemEnvironment final : public SystemEnvironment {
  public:
    // $HOME, else the password database's home folder.
    std::string homeDirectory() override;
    // $LANGUAGE (colon list), else the first set of LC_ALL, LC_MESSAGES, LANG;
    // "it_IT.UTF-8" becomes "it-IT"; "C" and "POSIX" name no language.
    std::vector<std::string> preferredLanguages() override;
    std::string appVersion() override;
    std::string platformName() override;
    // <exe dir>/../share/quorix, then the source tree's resources folder.
    std::vector<std::string> resourceFolders() override;

    // A POSIX locale name as a language tag; nullopt for C, POSIX and empty.
    static std::optional<std::string> languageTag(const std::string& locale);
};

}  // namespace quorix::platform
