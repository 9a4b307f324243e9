#pragma once
// The on-device correction stage run in this process: LocalTypoDictionary
// over the given dictionaries folder, with nuspell and the hybrid language
// recogniser, a scratch configuration folder and no network.

#include <memory>
#include <string>
#include <string_view>

namespace quorix::typoeval {

class InProcessCorrector {
  public:
    explicit InProcessCorrector(const std::string& dictionariesFolder);
    ~InProcessCorrector();
    InProcessCorrector(const InProcessCorrector&) = delete;
    InProcessCorrector& operator=(const InProcessCorrector&) = delete;

    // The text as it would leave: corrected, or unchanged.
    std::string correct(std::string_view text);

    // The language the detector gives the text.
    std::string language(std::string_view text);

  private:
    struct Services;
    std::unique_ptr<Services> services_;
};

}  // namespace quorix::typoeval
