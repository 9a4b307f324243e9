#pragma once
// Word-level scores of a corrector's outputs: on a hand-checked set (input,
// expected) and on clean sentences that must come back unchanged. Words are
// the white-space separated pieces; they are compared position by position
// when input, expected and output have the same number of words, otherwise
// the sentence counts as wrong and every differing word as a wrong change.

#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace quorix::typoeval {

struct LabelledSentence {
    std::string input;
    std::string expected;
};

// Lines "input<TAB>expected"; empty lines and lines starting with '#' are
// skipped, as are lines without exactly one tab.
std::vector<LabelledSentence> parseLabelledSentences(std::string_view document);

std::vector<std::string> whiteSpaceWords(std::string_view text);

struct SetScore {
    std::size_t sentences = 0;
    std::size_t fullyCorrected = 0;                   // output == expected
    std::size_t wordsToFix = 0;                       // input word != expected word
    std::size_t wordsChanged = 0;                     // output word != input word
    std::size_t rightChanges = 0;                     // ... and == expected word
    std::map<std::string, std::size_t> wrongChanges;  // "input -> output (expected)"
    std::map<std::string, std::size_t> missed;        // "input (expected)", left unchanged

    double fullShare() const { return sentences == 0 ? 0 : double(fullyCorrected) / sentences; }
    double precision() const { return wordsChanged == 0 ? 1 : double(rightChanges) / wordsChanged; }
    double recall() const { return wordsToFix == 0 ? 1 : double(rightChanges) / wordsToFix; }
};

void addToSetScore(SetScore& score, const LabelledSentence& sentence, std::string_view output);

struct CleanScore {
    std::size_t sentences = 0;
    std::size_t changed = 0;
    std::map<std::string, std::size_t> falseCorrections;  // "word -> replacement"

    double changedShare() const { return sentences == 0 ? 0 : double(changed) / sentences; }
};

void addToCleanScore(CleanScore& score, std::string_view input, std::string_view output);

// The `n` most frequent entries, most frequent first (ties by key).
std::vector<std::pair<std::string, std::size_t>> mostFrequent(
    const std::map<std::string, std::size_t>& counts, std::size_t n);

}  // namespace quorix::typoeval
