#pragma once
// The whole on-device path through the executable: `quorix correct --offline
// TEXT`, run with HOME set to a scratch folder (default configuration), its
// standard output being the text that left (one trailing line break removed).

#include <optional>
#include <string>
#include <string_view>

namespace quorix::typoeval {

class CliCorrector {
  public:
    explicit CliCorrector(std::string executable);
    ~CliCorrector();
    CliCorrector(const CliCorrector&) = delete;
    CliCorrector& operator=(const CliCorrector&) = delete;

    // The sent text; nullopt when the command could not run or failed.
    std::optional<std::string> correct(std::string_view text);

  private:
    std::string executable_;
    std::string home_;
};

}  // namespace quorix::typoeval
