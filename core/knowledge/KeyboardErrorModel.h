#pragma once
// P(typed | intended) for one word: the keyboard slips of a national layout
// (neighbouring keys, doubled and dropped letters, transpositions) and the
// spelling slips of a language (dropped or swapped accents, Italian single and
// double consonants, German umlauts and ß spelled out), each with the
// relative likelihood the typo generator gives it. The most likely alignment
// of at most a few edits is taken (optimal string alignment: no edit touches
// a letter twice); a German umlaut spelled with two letters is one edit, and
// so are all the accents of a word dropped at once ("specifiee").
// Immutable after construction; safe to share between threads.

#include <string>
#include <string_view>
#include <vector>

#include "core/knowledge/KeyboardLayout.h"

namespace quorix {

class KeyboardErrorModel {
  public:
    // What one edit did, for tests and diagnostics.
    enum class Edit {
        transposition,
        omission,
        doubledConsonantDropped,  // Italian: "apuntamento"
        doubling,
        consonantDoubled,  // Italian: "doppo"
        neighbourSubstitution,
        otherSubstitution,
        neighbourInsertion,
        otherInsertion,
        accentDropped,
        accentSwapped,
        umlautSpelled,  // German: "fuer" for "für"
        sharpSSpelled,  // German: "heiss" for "heiß"
        sharpSForSs,    // German: "daß" for "dass"
    };
    static constexpr std::size_t kEditKinds = static_cast<std::size_t>(Edit::sharpSForSs) + 1;

    // Relative likelihood of one edit (before the first-letter factor).
    static double weight(Edit edit);
    // Edits at the first letter are this much less likely.
    static constexpr double kFirstLetterFactor = 0.3;
    // Probability scale of one edit of weight 1.
    static constexpr double kEditRate = 0.02;

    // `language` selects the layout and the language slips.
    explicit KeyboardErrorModel(std::string_view language);

    // log P(typed | intended) of the most likely alignment, both lower case;
    // 0 for equal words; -infinity past `maxEdits` edits.
    double logLikelihood(std::u32string_view intended, std::u32string_view typed,
                         int maxEdits = 2) const;

    // An upper bound of logLikelihood(intended, typed) for two different
    // words `distance` edits apart (boundedDistance, at least 1). `plain`:
    // both words are ASCII (no accent, umlaut or ß move applies, so every
    // edit of the distance is paid); `firstLetterEdited`: their first
    // letters differ (some edit pays the first-letter factor), counted only
    // when plain.
    double logLikelihoodBound(int distance, bool plain, bool firstLetterEdited) const;

    // Edit distance (insertions, deletions, substitutions, adjacent
    // transpositions; optimal string alignment) when at most `max`, else
    // max + 1. Cheap: a band of three rows with an early exit.
    static int boundedDistance(std::u32string_view a, std::u32string_view b, int max);

    // Whether `b` is on a key touching the key of `a`.
    bool isNeighbour(char32_t a, char32_t b) const { return related(neighbours_, a, b); }

    // The kind of a single edit turning `intended` into `typed`; false when
    // they are not one edit apart.
    bool classify(std::u32string_view intended, std::u32string_view typed, Edit& edit) const;

  private:
    double substitutionWeight(char32_t intended, char32_t typed, Edit& kind) const;
    double insertionWeight(std::u32string_view intended, std::size_t at, char32_t typed,
                           Edit& kind) const;
    double omissionWeight(std::u32string_view intended, std::size_t at, Edit& kind) const;

    // Key relations of the letters below kSpan as bit sets (a * kSpan + b),
    // so that the alignment never searches the layout.
    static constexpr char32_t kSpan = 0x250;
    bool related(const std::vector<uint64_t>& bits, char32_t a, char32_t b) const {
        if (a >= kSpan || b >= kSpan) {
            return false;
        }
        const std::size_t i = static_cast<std::size_t>(a) * kSpan + b;
        return (bits[i / 64] >> (i % 64)) & 1u;
    }

    double logMostLikelyEdit_;       // log of the likeliest edit of any kind
    double logMostLikelyPlainEdit_;  // same among the edits of ASCII letters
    std::vector<uint64_t> neighbours_;
    std::vector<uint64_t> mates_;
    bool italian_;
    bool german_;
};

}  // namespace quorix
