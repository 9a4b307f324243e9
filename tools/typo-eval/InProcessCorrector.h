#pragma once
// The on-device correction stage run in this process: LocalTypoDictionary
// over the given dictionaries folder, with nuspell and the hybrid language
// recogniser, a scratch configuration folder and no network. Besides the
// maps alone (correct), it runs the keyboard model alone, the whole local
// stage (maps, then the keyboard model on what they left) and, for
// comparison, the naive corrector that takes nuspell's first suggestion for
// every rejected word.

#include <memory>
#include <string>
#include <string_view>

namespace quorix {
class ContextModel;
class NoisyChannelCorrector;
}  // namespace quorix

namespace quorix::typoeval {

class InProcessCorrector {
  public:
    // `noContextFolder`: where the keyboard models for the runs without
    // context are (calibrated without it); the shipped ones when empty.
    explicit InProcessCorrector(const std::string& dictionariesFolder,
                                const std::string& noContextFolder = {});
    ~InProcessCorrector();
    InProcessCorrector(const InProcessCorrector&) = delete;
    InProcessCorrector& operator=(const InProcessCorrector&) = delete;

    // The text as it would leave: corrected by the typo maps, or unchanged.
    std::string correct(std::string_view text);
    // The keyboard model alone, in the detected language or in `language`.
    std::string keyboard(std::string_view text);
    std::string keyboardIn(std::string_view text, std::string_view language);
    // Maps, then the keyboard model on what they left.
    std::string localStage(std::string_view text);
    // The same two without the context models.
    std::string keyboardWithoutContext(std::string_view text);
    std::string localStageWithoutContext(std::string_view text);
    // Every word nuspell rejects in the detected language (or `language`)
    // replaced by its first suggestion.
    std::string naive(std::string_view text);
    std::string naiveIn(std::string_view text, std::string_view language);
    // Time spent in nuspell's suggestion call, and how many calls.
    double naiveSeconds() const;
    std::size_t naiveWords() const;

    // The keyboard corrector over the shipped models.
    const NoisyChannelCorrector& keyboardCorrector() const;

    // The shipped context model of a language, or null.
    const ContextModel* context(std::string_view language);

    // Whether nuspell accepts the word in any of the five languages.
    bool acceptedAnywhere(std::string_view word);

    // The language the detector gives the text.
    std::string language(std::string_view text);

  private:
    struct Services;
    std::unique_ptr<Services> services_;
};

}  // namespace quorix::typoeval
