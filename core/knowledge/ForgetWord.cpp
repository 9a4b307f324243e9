#include "core/knowledge/ForgetWord.h"

#include "core/text/Text.h"

namespace quorix {

std::optional<ForgottenWord> forgetWord(std::string_view word, LocalTypoDictionary& dictionary,
                                        AppConfig& config, TypoCache& cache) {
    ForgottenWord forgotten{text::toLower(text::trim(word)), std::nullopt};
    if (forgotten.word.empty()) {
        return std::nullopt;
    }
    forgotten.learnedCorrection = dictionary.forgetLearned(forgotten.word);
    config.addWordToWhitelist(forgotten.word);
    cache.clear();
    return forgotten;
}

}  // namespace quorix
