#include "core/interception/AnswerDivergence.h"

#include <algorithm>
#include <string>
#include <vector>

#include "core/knowledge/TypoEdit.h"
#include "core/text/Text.h"

namespace quorix {

namespace {

std::vector<std::string> foldedWords(std::string_view s) {
    std::vector<std::string> words;
    for (const auto& piece : text::splitWords(s)) {
        std::string w = text::nfc(text::toLower(text::trimPunctuation(piece)));
        if (!w.empty()) {
            words.push_back(std::move(w));
        }
    }
    return words;
}

bool sameOrSlip(const std::string& a, const std::string& b) {
    return a == b || isTypoEdit(a, b);
}

}  // namespace

AnswerDivergence AnswerDivergence::measure(std::string_view text, std::string_view answer) {
    const auto before = foldedWords(text);
    const auto after = foldedWords(answer);
    std::vector<std::size_t> previous(after.size() + 1), current(after.size() + 1);
    for (std::size_t j = 0; j <= after.size(); ++j) {
        previous[j] = j;
    }
    for (std::size_t i = 1; i <= before.size(); ++i) {
        current[0] = i;
        for (std::size_t j = 1; j <= after.size(); ++j) {
            const std::size_t replace = sameOrSlip(before[i - 1], after[j - 1]) ? 0 : 1;
            current[j] = std::min({previous[j] + 1, current[j - 1] + 1, previous[j - 1] + replace});
        }
        previous.swap(current);
    }
    AnswerDivergence d;
    d.changedWords = previous[after.size()];
    d.wordCount = before.size();
    d.answerLength = text::characterCount(text::trim(answer));
    d.textLength = text::characterCount(text::trim(text));
    return d;
}

bool AnswerDivergence::isTooDifferent() const {
    const std::size_t lengthGap =
        answerLength > textLength ? answerLength - textLength : textLength - answerLength;
    return changedWords * 2 > wordCount || lengthGap * 2 > textLength;
}

}  // namespace quorix
