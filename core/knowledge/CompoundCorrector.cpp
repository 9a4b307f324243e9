#include "core/knowledge/CompoundCorrector.h"

#include <algorithm>
#include <array>

#include "core/text/Text.h"

namespace quorix {

namespace {

// The linking elements of German compounds ("Arbeit|s|platz",
// "Tag|es|zeit", "Seite|n|rand", "Sonne|n|schein"... "Hund|e|hütte").
constexpr std::array<std::u32string_view, 6> kLinks{U"", U"s", U"es", U"n", U"en", U"e"};

bool endsWith(std::u32string_view s, std::u32string_view end) {
    return s.size() >= end.size() && s.substr(s.size() - end.size()) == end;
}

// Whether a head ending in `last` takes `link`: after a vowel only "n" and
// "s" ("Seite|n|rand", "Auto|s"), after a consonant all but "n".
bool takesLink(char32_t last, std::u32string_view link) {
    static constexpr std::u32string_view kVowels = U"aeiouyäöü";
    const bool vowel = kVowels.find(last) != std::u32string_view::npos;
    return link.empty() || (vowel ? link == U"n" || link == U"s" : link != U"n");
}

// Heads that always take "s" ("Sicherheit|s|kontext", "Bereitstellung|s|datei"):
// only after them is a missing linking element a slip; elsewhere a compound
// without one may be meant ("Kindprozess").
bool needsS(std::u32string_view head) {
    static constexpr std::array<std::u32string_view, 8> kSuffixes{
        U"heit", U"keit", U"ung", U"schaft", U"ion", U"tät", U"ling", U"tum"};
    return std::any_of(kSuffixes.begin(), kSuffixes.end(),
                       [&](std::u32string_view suffix) { return endsWith(head, suffix); });
}

std::u32string lowerLetters(const std::string& word) {
    return text::toUtf32(text::toLower(word));
}

}  // namespace

CompoundCorrector::CompoundCorrector(const NoisyChannelModel& model, Accepts accepts)
    : model_(model), accepts_(std::move(accepts)) {}

void CompoundCorrector::collect(std::u32string_view typed, std::vector<Rebuilt>& out,
                                std::vector<std::u32string_view>& typedTails) const {
    const std::size_t n = typed.size();
    const std::size_t firstCut = kShortestExactPart;
    const std::size_t lastCut = n - kShortestExactPart;
    // inHead[i]: typed[0, i) is a lexicon word; inTail[i]: typed[i, n) is.
    std::vector<char> inHead(n + 1, 0);
    std::vector<char> inTail(n + 1, 0);
    for (std::size_t i = firstCut; i <= lastCut; ++i) {
        inHead[i] = model_.contains(typed.substr(0, i)) ? 1 : 0;
        inTail[i] = model_.contains(typed.substr(i)) ? 1 : 0;
    }
    // typed[0, i) is a lexicon word followed by a linking element.
    const auto headEndsAt = [&](std::size_t i) {
        return std::any_of(kLinks.begin(), kLinks.end(), [&](std::u32string_view link) {
            return i >= link.size() + firstCut && inHead[i - link.size()] != 0 &&
                   endsWith(typed.substr(0, i), link);
        });
    };
    // typed[0, i) is a lexicon word followed by a linking element it takes:
    // the typed word may be a sound compound.
    const auto soundHeadEndsAt = [&](std::size_t i) {
        return std::any_of(kLinks.begin(), kLinks.end(), [&](std::u32string_view link) {
            if (i < link.size() + firstCut || inHead[i - link.size()] == 0 ||
                !endsWith(typed.substr(0, i), link)) {
                return false;
            }
            const std::u32string_view head = typed.substr(0, i - link.size());
            return needsS(head) ? link == U"s" : takesLink(head.back(), link);
        });
    };
    for (std::size_t i = firstCut; i <= lastCut; ++i) {
        if (soundHeadEndsAt(i)) {
            // "Kind|prozess", "aus|checken": two words (or a kept token), as meant.
            if (inTail[i] != 0 || model_.isKept(text::fromUtf32(std::u32string(typed.substr(i))))) {
                return;
            }
            if (typed.size() - i >= kShortestCorrectedPart) {
                typedTails.push_back(typed.substr(i));
            }
        }
    }
    const auto add = [&](std::u32string word, double confidence) {
        const auto same =
            std::find_if(out.begin(), out.end(), [&](const Rebuilt& r) { return r.word == word; });
        if (same == out.end()) {
            out.push_back({std::move(word), confidence});
        } else {
            same->confidence = std::max(same->confidence, confidence);
        }
    };
    // Only a part the model settles on its own counts.
    const auto addPart = [&](const ModelSuggestion& s, const auto& rebuild) {
        if (s.confident && s.confidence >= kPartConfidence && s.margin >= kPartMargin) {
            add(rebuild(s.candidate), s.confidence);
        }
    };
    for (std::size_t i = firstCut; i <= lastCut; ++i) {
        const std::u32string_view head = typed.substr(0, i);
        const std::u32string_view tail = typed.substr(i);
        const bool headKnown = headEndsAt(i);
        // The slip in the tail: "roh|flrmat".
        if (headKnown && inTail[i] == 0 && tail.size() >= kShortestCorrectedPart) {
            addPart(model_.suggest(tail), [&](const std::string& fixedPart) {
                return std::u32string(head) + lowerLetters(fixedPart);
            });
        }
        // The slip in the head, before its linking element: "kofniguration|s|datei".
        if (!headKnown && inTail[i] != 0) {
            for (const std::u32string_view link : kLinks) {
                if (i < link.size() + kShortestCorrectedPart || !endsWith(head, link)) {
                    continue;
                }
                const std::u32string_view part = head.substr(0, i - link.size());
                addPart(model_.suggest(part), [&](const std::string& fixedPart) {
                    return lowerLetters(fixedPart) + std::u32string(link) + std::u32string(tail);
                });
            }
        }
        // The slip is the linking element: "kompatibilität|e|modus".
        if (inHead[i] != 0) {
            for (const std::u32string_view typedLink : kLinks) {
                const std::size_t rest = i + typedLink.size();
                if (rest > lastCut || inTail[rest] == 0 ||
                    tail.substr(0, typedLink.size()) != typedLink) {
                    continue;
                }
                for (const std::u32string_view link : kLinks) {
                    const bool dropped = typedLink.empty();
                    if (link != typedLink && takesLink(head.back(), link) &&
                        (!dropped || (link == U"s" && needsS(head)))) {
                        add(std::u32string(head) + std::u32string(link) +
                                std::u32string(typed.substr(rest)),
                            1.0);
                    }
                }
            }
        }
    }
}

std::string CompoundCorrector::acceptedForm(const std::u32string& lower, bool capitalised) const {
    const std::string word = text::fromUtf32(lower);
    if (!capitalised && accepts_(word)) {
        return word;
    }
    const std::string noun = text::capitalized(word);
    return accepts_(noun) ? noun : std::string();
}

ModelSuggestion CompoundCorrector::suggest(std::u32string_view lowerTyped,
                                           const ModelSuggestion& whole, bool capitalised) const {
    ModelSuggestion out;
    if (lowerTyped.size() < kShortestWord ||
        !std::all_of(lowerTyped.begin(), lowerTyped.end(),
                     [](char32_t c) { return text::isLetter(c); })) {
        return out;
    }
    std::vector<Rebuilt> rebuilt;
    std::vector<std::u32string_view> typedTails;
    collect(lowerTyped, rebuilt, typedTails);
    if (rebuilt.empty() || rebuilt.size() > kMostChecked) {
        return out;
    }
    // "aus|checken": a lexicon word and an accepted one, as meant.
    if (std::any_of(typedTails.begin(), typedTails.end(), [&](std::u32string_view tail) {
            return !acceptedForm(std::u32string(tail), false).empty();
        })) {
        return out;
    }
    // The model's own candidate for the whole word, when it is a fair one,
    // competes as an accepted word.
    const bool rival = !whole.candidate.empty() && whole.confidence >= kRivalConfidence &&
                       std::none_of(rebuilt.begin(), rebuilt.end(), [&](const Rebuilt& r) {
                           return r.word == lowerLetters(whole.candidate);
                       });
    for (const Rebuilt& r : rebuilt) {
        if (rival && !out.candidate.empty()) {
            break;
        }
        std::string form = acceptedForm(r.word, capitalised);
        if (form.empty()) {
            continue;
        }
        if (out.candidate.empty()) {
            out.candidate = std::move(form);
            out.confidence = r.confidence;
        } else {
            out.runnerUp = std::move(form);
            out.runnerUpConfidence = r.confidence;
            break;
        }
    }
    if (rival && !out.candidate.empty()) {
        out.runnerUp = whole.candidate;
        out.runnerUpConfidence = whole.confidence;
    }
    out.confident = !out.candidate.empty() && out.runnerUp.empty();
    out.margin = out.confident ? 1e9 : 1;
    return out;
}

}  // namespace quorix
