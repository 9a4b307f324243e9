#include "core/knowledge/NoisyChannelCorrector.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "core/knowledge/ElisionHeads.h"
#include "core/knowledge/KeyboardErrorModel.h"
#include "core/knowledge/WordShape.h"
#include "core/text/Text.h"

namespace quorix {

namespace {

// How much likelier than any other head that the spell checker accepts the
// word with a slipped head must be read as.
constexpr double kHeadMargin = 10.0;

// The letters an elided head stands before: vowels and h, either case.
bool startsElidable(char32_t c) {
    static constexpr std::u32string_view kElidable = U"aeiouhàâäéèêëîïôöùûüAEIOUHÀÂÄÉÈÊËÎÏÔÖÙÛÜ";
    return kElidable.find(c) != std::u32string_view::npos;
}

}  // namespace

bool NoisyChannelCorrector::lacksApostrophe(std::string_view lower,
                                            std::string_view language) const {
    // Where the apostrophe goes: before an English ending ("n't" before the
    // "t"), after an Italian or French elided head.
    static constexpr std::array<std::u32string_view, 7> kEnglishEndings{U"nt", U"re", U"ve", U"ll",
                                                                        U"s",  U"d",  U"m"};
    const std::u32string w = text::toUtf32(lower);
    if (w.size() < 3 || std::any_of(w.begin(), w.end(), text::isApostrophe)) {
        return false;
    }
    const auto acceptedWith = [&](std::size_t p, std::string_view in) {
        return !spell_.isMisspelled(text::fromUtf32(w.substr(0, p) + U"'" + w.substr(p)), in);
    };
    // English contractions in any language (a short English message is
    // often read as another one), then the language's own elisions.
    for (const std::u32string_view e : kEnglishEndings) {
        if (w.size() > e.size() + 1 && w.ends_with(e) &&
            acceptedWith(e == U"nt" ? w.size() - 1 : w.size() - e.size(), "en")) {
            return true;
        }
    }
    std::vector<std::size_t> at;
    for (const std::u32string_view h : ElisionHeads::of(language)) {
        if (w.size() > h.size() + 1 && w.starts_with(h)) {
            at.push_back(h.size());
        }
    }
    return std::any_of(at.begin(), at.end(),
                       [&](std::size_t p) { return acceptedWith(p, language); });
}

std::optional<std::string> NoisyChannelCorrector::correctElidedHead(
    std::u32string_view core, std::size_t apostrophe, const NoisyChannelModel& model,
    std::string_view language, std::vector<WordDecision>& decisions) const {
    const std::u32string_view typedHead = core.substr(0, apostrophe);
    const std::u32string_view word = core.substr(apostrophe + 1);
    if (typedHead.size() < 2 || word.empty() || !startsElidable(word.front())) {
        return std::nullopt;
    }
    const std::u32string lowerHead = text::toUtf32(text::toLower(text::fromUtf32(typedHead)));
    const std::vector<ElisionHeads::Reading> readings =
        ElisionHeads::readings(lowerHead, language, model.errors());
    if (readings.empty()) {
        return std::nullopt;
    }
    const std::string typed = text::fromUtf32(core);
    const std::string lower = text::toLower(typed);
    if (model.isKept(lower) || (isPersonalWord_ && isPersonalWord_(lower)) ||
        std::any_of(kLanguages.begin(), kLanguages.end(),
                    [&](std::string_view in) { return !spell_.isMisspelled(typed, in); })) {
        return std::nullopt;
    }
    // The readings whose word the language's spell checker accepts; the
    // likeliest must stand clearly ahead of the next.
    const std::string rest = text::fromUtf32(word);
    std::vector<const ElisionHeads::Reading*> accepted;
    for (const ElisionHeads::Reading& r : readings) {
        if (!spell_.isMisspelled(text::fromUtf32(r.head) + "'" + rest, language)) {
            accepted.push_back(&r);
        }
    }
    if (accepted.empty()) {
        return std::nullopt;
    }
    const double margin = accepted.size() > 1
                              ? std::exp(accepted[0]->logLikelihood - accepted[1]->logLikelihood)
                              : std::numeric_limits<double>::infinity();
    WordDecision decision;
    decision.word = typed;
    ModelSuggestion& s = decision.suggestion;
    std::u32string head(accepted[0]->head);
    if (wordshape::isUpper(typedHead.front())) {
        head = text::toUtf32(text::capitalized(text::fromUtf32(head)));
    }
    s.candidate = text::fromUtf32(head) + text::fromUtf32(core.substr(apostrophe));
    s.margin = margin;
    s.edits = KeyboardErrorModel::boundedDistance(accepted[0]->head, lowerHead, 2);
    double total = 0;
    for (const ElisionHeads::Reading* r : accepted) {
        total += std::exp(r->logLikelihood);
    }
    s.score = std::exp(accepted[0]->logLikelihood);
    s.total = total;
    s.confidence = s.score / total;
    if (accepted.size() > 1) {
        s.runnerUp = text::fromUtf32(accepted[1]->head) + "'" + rest;
        s.runnerUpConfidence = std::exp(accepted[1]->logLikelihood) / total;
    }
    s.confident = margin >= kHeadMargin;
    decision.applied = s.confident;
    std::string candidate = s.candidate;
    decisions.push_back(std::move(decision));
    if (!decisions.back().applied) {
        return std::nullopt;
    }
    return candidate;
}

}  // namespace quorix
