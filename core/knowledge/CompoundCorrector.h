#pragma once
// Corrects a slip in a German compound that the lexicon does not hold as a
// whole ("Sicherheitekontext", "Rohflrmat", "Kofnigurationsdatei"): the word
// is cut into a head and a tail, one of which is a lexicon word as typed;
//  - the other part is corrected by the model (its own candidates, scoring
//    and thresholds) when it is confident, or
//  - both parts are lexicon words and the slip is the linking element
//    between them (one of "", "s", "es", "n", "en", "e" dropped, added or
//    changed).
// The head may end in a linking element ("Sicherheits|kontext"). Each
// rebuilt word counts only when the spell checker of the language accepts
// it (in lower case, else capitalised, as German nouns are); a
// suggestion is confident when exactly one distinct word is accepted.
// A word made of a lexicon word, a linking element it takes and a word the
// spell checker accepts or the model keeps is left as typed ("Kindprozess",
// "auschecken"): a compound the dictionary lacks, not a slip.
// Cheapest first: lexicon lookups decide which rebuilt words exist at all;
// the spell checker sees at most kMostChecked of them.
// Thread: any (no state beyond the model, which is immutable).

#include <functional>
#include <string>
#include <string_view>

#include "core/knowledge/NoisyChannelModel.h"

namespace quorix {

class CompoundCorrector {
  public:
    // Shortest typed word searched (letters).
    static constexpr std::size_t kShortestWord = 8;
    // Shortest part taken as typed, and shortest part the model corrects.
    static constexpr std::size_t kShortestExactPart = 3;
    static constexpr std::size_t kShortestCorrectedPart = 4;
    // Least confidence of the model's candidate for the whole word that makes
    // it a rival of the rebuilt words.
    static constexpr double kRivalConfidence = 0.5;
    // Least confidence and margin of the model's correction of a part, on top
    // of the part's own gate: a gate calibrated on whole words may be lenient
    // where the lexicon's neighbours make a slip clear, and a part has no
    // such neighbours ("trenner" is not a slip of "trennen").
    static constexpr double kPartConfidence = 0.5;
    static constexpr double kPartMargin = 8;
    // Distinct rebuilt words given to the spell checker at most; more is
    // ambiguous anyway.
    static constexpr std::size_t kMostChecked = 6;

    // Whether the language's spell checker accepts a word as written.
    using Accepts = std::function<bool(std::string_view word)>;

    CompoundCorrector(const NoisyChannelModel& model, Accepts accepts);

    // The compound `lowerTyped` (lower case letters) stands for. `candidate`
    // is the accepted spelling, `confidence` the corrected part's (1 for a
    // linking slip), `runnerUp` a second accepted word (then not confident).
    // No candidate when nothing is found.
    // `whole`: the model's suggestion for the whole word; its candidate, when
    // fair, is a rival. `capitalised`: the word was typed with a capital
    // (only the capitalised form is checked).
    ModelSuggestion suggest(std::u32string_view lowerTyped, const ModelSuggestion& whole,
                            bool capitalised) const;

  private:
    struct Rebuilt {
        std::u32string word;  // lower case
        double confidence = 0;
    };
    // The rebuilt words of `typed` into `out` (none when it is two lexicon
    // words joined soundly), and into `typedTails` the tails that follow a
    // sound head (then accepted as typed, the word is as meant).
    void collect(std::u32string_view typed, std::vector<Rebuilt>& out,
                 std::vector<std::u32string_view>& typedTails) const;
    // The accepted spelling of `lower` (as it stands unless `capitalised`,
    // else capitalised), or empty.
    std::string acceptedForm(const std::u32string& lower, bool capitalised) const;

    const NoisyChannelModel& model_;
    Accepts accepts_;
};

}  // namespace quorix
