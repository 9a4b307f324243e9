#pragma once
// Builds keyboard_<lang>.txt, the on-device corrector's model of a language:
// the lexicon (words the spell checker accepts, most frequent first), the
// kept tokens (written on purpose, unknown to every spell checker), and the
// confidence thresholds calibrated on generated slips of clean sentences.
// Equal inputs give equal bytes.

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

#include "core/knowledge/NoisyChannelModel.h"
#include "platform/SpellChecker.h"
#include "tools/typogen/TypoGenerator.h"

namespace quorix::typogen {

struct CalibrationCounts {
    std::size_t slips = 0;
    std::size_t fixed = 0;
    std::size_t wrong = 0;         // slips changed into another word
    std::size_t cleanChanged = 0;  // correct words changed
    std::size_t sentences = 0;
};

class KeyboardModelBuilder {
  public:
    static constexpr std::size_t kLexiconWords = 100000;
    static constexpr std::size_t kNamesPerList = 10000;
    static constexpr uint32_t kCalibrationSeed = 20261206;
    static constexpr double kDocumentationDiscount = 32.0;
    static constexpr double kWordFormDiscount = 16.0;
    static constexpr std::size_t kInflectedWords = 20000;

    KeyboardModelBuilder(Lexicon& lexicon, platform::SpellChecker& spell);

    // Lexicon words of `input`: letters and inner apostrophes, 2 to 39
    // letters, accepted in lower case or capitalised (then written so), most
    // frequent first (ties by word), at most `limit`. English negations join
    // as common as their head ("doesn" -> "doesn't").
    std::vector<std::string> lexiconWords(const LanguageInput& input,
                                          std::size_t limit = kLexiconWords);

    // `words` (most frequent first) joined by the regular forms of their
    // words that the frequency lists lack: Spanish and French verb forms
    // ("formateada", "desactivados", "compressées"), Italian gender and
    // number ("aritmetici", "duplicati"), and for the kInflectedWords most
    // frequent words more Spanish verb forms, Spanish gender and number
    // ("implícitas", "disparadores"), the Italian superlative and verb forms
    // ("gentilissima", "prenotiamo", "destinarsi") and the declension of
    // German adjectives and participles ("unerwartetem", "voreingestellter").
    // Each form `language`'s dictionary accepts takes the rank of its word
    // times kWordFormDiscount. English: `words`.
    std::vector<std::string> withWordForms(const std::vector<std::string>& words,
                                           const std::string& language);

    // `words` (most frequent first) joined by the words a language's
    // documentation uses on purpose and its frequency lists lack ("commit",
    // "descrittore", "newline"): `documentation` holds them in lower case with
    // their counts in `tokens` words of text. Each takes the place its count
    // would give it by Zipf's law over the lexicon, as if
    // kDocumentationDiscount times rarer (technical text is not chat); it is
    // written capitalised when only that form is accepted in `language`.
    // Ties keep the frequency-list word first; equal inputs, equal order.
    std::vector<std::string> withDocumentationWords(
        const std::vector<std::string>& words,
        const std::vector<std::pair<std::string, uint64_t>>& documentation, uint64_t tokens,
        const std::string& language);

    // `tokens` lowered, of at least three letters, that no language accepts;
    // sorted, unique.
    std::vector<std::string> keptTokens(const std::vector<std::string>& tokens);

    // Thresholds under which the most slips of `sentences` are fixed with at
    // most 0.75% of changes wrong (English: 0.5%) and at most two clean words
    // in a thousand sentences changed: an outside mass and each gate's pair,
    // the budget shared by all gates. `counts` receives the figures at the chosen thresholds.
    // `context`: the context model file the corrector uses, if any.
    ModelThresholds calibrate(const std::string& language, const std::vector<std::string>& words,
                              const std::vector<std::string>& keep,
                              const std::vector<std::string>& sentences, CalibrationCounts& counts,
                              const std::string& context = {});

    bool acceptedAnywhere(std::string_view word);

  private:
    Lexicon& lexicon_;
    platform::SpellChecker& spell_;
};

// Sentences of `language` in a "language<TAB>sentence" file; `half` 0 keeps
// the even-numbered ones (calibration), 1 the odd ones (held out), kAllRows
// every one.
constexpr int kAllRows = -1;
std::vector<std::string> catalogSentences(const std::string& document, std::string_view language,
                                          int half);

}  // namespace quorix::typogen
