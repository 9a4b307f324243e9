#include "tools/typo-eval/SentenceScore.h"

#include <algorithm>

namespace quorix::typoeval {

namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

}  // namespace

std::vector<LabelledSentence> parseLabelledSentences(std::string_view document) {
    std::vector<LabelledSentence> out;
    std::size_t start = 0;
    while (start < document.size()) {
        std::size_t end = document.find('\n', start);
        if (end == std::string_view::npos) {
            end = document.size();
        }
        std::string_view line = document.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        const std::size_t tab = line.find('\t');
        if (line.empty() || line[0] == '#' || tab == std::string_view::npos ||
            line.find('\t', tab + 1) != std::string_view::npos) {
            continue;
        }
        out.push_back({std::string(line.substr(0, tab)), std::string(line.substr(tab + 1))});
    }
    return out;
}

std::vector<std::string> whiteSpaceWords(std::string_view text) {
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && isSpace(text[i])) {
            ++i;
        }
        const std::size_t begin = i;
        while (i < text.size() && !isSpace(text[i])) {
            ++i;
        }
        if (i > begin) {
            words.emplace_back(text.substr(begin, i - begin));
        }
    }
    return words;
}

void addToSetScore(SetScore& score, const LabelledSentence& sentence, std::string_view output) {
    ++score.sentences;
    if (output == sentence.expected) {
        ++score.fullyCorrected;
    }
    const auto in = whiteSpaceWords(sentence.input);
    const auto want = whiteSpaceWords(sentence.expected);
    const auto got = whiteSpaceWords(output);
    const bool aligned = in.size() == want.size() && in.size() == got.size();
    for (std::size_t i = 0; i < in.size() && i < want.size(); ++i) {
        score.wordsToFix += in[i] != want[i] ? 1 : 0;
    }
    if (!aligned) {
        const std::size_t n = std::max(in.size(), got.size());
        for (std::size_t i = 0; i < n; ++i) {
            const std::string a = i < in.size() ? in[i] : "";
            const std::string b = i < got.size() ? got[i] : "";
            if (a != b) {
                ++score.wordsChanged;
                ++score.wrongChanges[a + " -> " + b + " (unaligned)"];
            }
        }
        return;
    }
    for (std::size_t i = 0; i < in.size(); ++i) {
        if (got[i] == in[i]) {
            if (in[i] != want[i]) {
                ++score.missed[in[i] + " (" + want[i] + ")"];
            }
            continue;
        }
        ++score.wordsChanged;
        if (got[i] == want[i]) {
            ++score.rightChanges;
        } else {
            ++score.wrongChanges[in[i] + " -> " + got[i] + " (" + want[i] + ")"];
        }
    }
}

void addToCleanScore(CleanScore& score, std::string_view input, std::string_view output) {
    ++score.sentences;
    if (input == output) {
        return;
    }
    ++score.changed;
    const auto in = whiteSpaceWords(input);
    const auto got = whiteSpaceWords(output);
    if (in.size() != got.size()) {
        ++score.falseCorrections[std::string(input) + " -> " + std::string(output)];
        return;
    }
    for (std::size_t i = 0; i < in.size(); ++i) {
        if (in[i] != got[i]) {
            ++score.falseCorrections[in[i] + " -> " + got[i]];
        }
    }
}

std::vector<std::pair<std::string, std::size_t>> mostFrequent(
    const std::map<std::string, std::size_t>& counts, std::size_t n) {
    std::vector<std::pair<std::string, std::size_t>> all(counts.begin(), counts.end());
    std::stable_sort(all.begin(), all.end(),
                     [](const auto& a, const auto& b) { return a.second > b.second; });
    if (all.size() > n) {
        all.resize(n);
    }
    return all;
}

}  // namespace quorix::typoeval
