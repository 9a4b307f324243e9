#pragma once
// Facts about the running system and the program's bundle.
// Thread: any. Values are read afresh on every call (preferences can change).

#include <string>
#include <vector>

namespace quorix::platform {

class SystemEnvironment {
  public:
    virtual ~SystemEnvironment() = default;
    // The user's home folder (no trailing slash).
    virtual std::string homeDirectory() = 0;
    // Preferred interface languages, most preferred first (e.g. "it-IT").
    virtual std::vector<std::string> preferredLanguages() = 0;
    // The program's short version string (e.g. "1.4.0").
    virtual std::string appVersion() = 0;
    // Name of the operating system the program runs on, as shown to users and
    // sent in the platform header (e.g. "Linux", "macOS").
    virtual std::string platformName() = 0;
    // Folders holding the program's resources, most specific first.
    virtual std::vector<std::string> resourceFolders() = 0;
};

}  // namespace quorix::platform
