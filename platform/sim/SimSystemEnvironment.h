#pragma once
// A settable SystemEnvironment. Thread-safe.

#include <mutex>
#include <string>
#include <vector>

#include "platform/SystemEnvironment.h"

namespace quorix::platform {

class SimSystemEnvironment final : public SystemEnvironment {
  public:
    explicit SimSystemEnvironment(std::string home = "/home/sim",
                                  std::vector<std::string> preferredLanguages = {"en-US"});

    std::string homeDirectory() override;
    std::vector<std::string> preferredLanguages() override;
    std::string appVersion() override;
    std::string platformName() override;
    std::vector<std::string> resourceFolders() override;

    void setHomeDirectory(std::string home);
    void setPreferredLanguages(std::vector<std::string> languages);
    void setAppVersion(std::string version);
    void setResourceFolders(std::vector<std::string> folders);

  private:
    mutable std::mutex mutex_;
    std::string home_;
    std::vector<std::string> languages_;
    std::string version_ = "1.0.0";
    std::vector<std::string> resourceFolders_;
};

}  // namespace quorix::platform
