#include "core/knowledge/NoisyChannelCorrector.h"

#include <algorithm>

#include "core/knowledge/CompoundCorrector.h"
#include "core/knowledge/ElisionHeads.h"
#include "core/knowledge/WordShape.h"
#include "core/text/Text.h"

namespace quorix {

using namespace wordshape;

namespace {

constexpr std::size_t kLongestElision = 6;      // "quest'", "dell'", "nell'"
constexpr char32_t kLastLatin = 0x24F;          // end of Latin Extended-B
constexpr std::size_t kLongestHyphenAffix = 3;  // "co-", "pre-", "no-"

// Punctuation that may surround a word without making it a tag, a path or code.
bool isWrappingPunctuation(char32_t c) {
    static constexpr std::u32string_view kNotWrapping = U"@#/\\_&*%=<>{}[]|~^$+";
    return text::isPunctuation(c) && kNotWrapping.find(c) == std::u32string_view::npos;
}

// What follows the apostrophe of an English word: a clitic ("commit's",
// "you're": the word is before it), the "t" of a negation ("can't",
// "doesn't": the lexicon holds them whole), or neither.
enum class EnglishApostrophe { none, clitic, negation };

EnglishApostrophe englishApostrophe(std::u32string_view after) {
    static constexpr std::array<std::u32string_view, 6> kClitics{U"s",  U"d",  U"ll",
                                                                 U"re", U"ve", U"m"};
    const std::u32string lower = text::toUtf32(text::toLower(text::fromUtf32(after)));
    if (lower == U"t") {
        return EnglishApostrophe::negation;
    }
    return std::find(kClitics.begin(), kClitics.end(), lower) != kClitics.end()
               ? EnglishApostrophe::clitic
               : EnglishApostrophe::none;
}

bool isWordLetter(char32_t c) {
    return text::isLetter(c) || text::isApostrophe(c);
}

// The lower-case word of `token` next to a word on its `right` (else on its
// left) that `context` knows: its letters up to the white space, the whole
// elided form when known, else the part facing the word ("dell'"
// "ufficio"). Empty when punctuation stands between them.
std::u32string neighbourWord(const ContextModel& context, std::u32string_view token, bool right) {
    if (token.empty() || !text::isLetter(right ? token.back() : token.front())) {
        return {};
    }
    std::size_t n = 0;
    while (n < token.size() && isWordLetter(right ? token[token.size() - 1 - n] : token[n])) {
        ++n;
    }
    std::u32string word = text::toUtf32(text::toLower(
        text::fromUtf32(right ? token.substr(token.size() - n) : token.substr(0, n))));
    if (context.id(word) != ContextModel::kNone) {
        return word;
    }
    const std::size_t apostrophe = right ? word.find_last_of(U"'’") : word.find_first_of(U"'’");
    if (apostrophe == std::u32string::npos) {
        return word;
    }
    return right ? word.substr(apostrophe + 1) : word.substr(0, apostrophe + 1);
}

struct PlainWord {
    std::string typed;
    std::string lower;
};

// The words of `text` that any spell checker can judge: letters only once
// the wrapping punctuation is off, two letters or more, not an acronym or a
// camelCase name; at most the first kVoteWords.
constexpr std::size_t kVoteWords = 40;
std::vector<PlainWord> plainWords(std::u32string_view all) {
    std::vector<PlainWord> out;
    std::size_t pos = 0;
    while (pos < all.size() && out.size() < kVoteWords) {
        while (pos < all.size() && text::isWhiteSpace(all[pos])) {
            ++pos;
        }
        std::size_t end = pos;
        while (end < all.size() && !text::isWhiteSpace(all[end])) {
            ++end;
        }
        std::u32string_view token = all.substr(pos, end - pos);
        pos = end;
        while (!token.empty() && isWrappingPunctuation(token.front())) {
            token.remove_prefix(1);
        }
        while (!token.empty() && isWrappingPunctuation(token.back())) {
            token.remove_suffix(1);
        }
        if (token.size() < 2 || hasInnerCapital(token) || hasTwoCapitals(token) ||
            !std::all_of(token.begin(), token.end(),
                         [](char32_t c) { return text::isLetter(c) && c <= kLastLatin; })) {
            continue;
        }
        std::string typed = text::fromUtf32(token);
        std::string lower = text::toLower(typed);
        out.push_back({std::move(typed), std::move(lower)});
    }
    return out;
}

std::size_t languageSlot(std::string_view language) {
    const auto& all = NoisyChannelCorrector::kLanguages;
    return static_cast<std::size_t>(std::find(all.begin(), all.end(), language) - all.begin());
}

// The one of the five a detector's guess outside them most often stands
// for: Spanish for Portuguese and Galician ("aviso: no exite"); else none.
std::string_view nearestOfTheFive(std::string_view detected) {
    return detected == "pt" || detected == "gl" ? "es" : "";
}

}  // namespace

NoisyChannelCorrector::NoisyChannelCorrector(platform::SpellChecker& spell, ModelReader reader,
                                             std::function<bool(std::string_view)> isPersonalWord,
                                             ModelReader contextReader)
    : spell_(spell),
      reader_(std::move(reader)),
      contextReader_(std::move(contextReader)),
      isPersonalWord_(std::move(isPersonalWord)) {}

std::string NoisyChannelCorrector::fileName(std::string_view language) {
    return "keyboard_" + std::string(language) + ".txt";
}

std::string NoisyChannelCorrector::contextFileName(std::string_view language) {
    return "context_" + std::string(language) + ".txt";
}

const ContextModel* NoisyChannelCorrector::context(std::string_view language) const {
    const std::size_t i = languageSlot(language);
    return i < slots_.size() && model(language) != nullptr ? slots_[i].context.get() : nullptr;
}

const NoisyChannelModel* NoisyChannelCorrector::model(std::string_view language) const {
    const std::size_t i = languageSlot(language);
    if (i >= slots_.size()) {
        return nullptr;
    }
    Slot& slot = slots_[i];
    std::call_once(slot.once, [&] {
        if (!reader_) {
            return;
        }
        if (const auto data = reader_(kLanguages[i])) {
            auto parsed = NoisyChannelModel::parse(*data);
            if (parsed && parsed->language() == kLanguages[i]) {
                slot.model = std::move(parsed);
            }
        }
        if (const auto data =
                slot.model && contextReader_ ? contextReader_(kLanguages[i]) : std::nullopt) {
            auto parsed = ContextModel::parse(*data);
            if (parsed && parsed->language() == kLanguages[i]) {
                slot.context = std::move(parsed);
            }
        }
    });
    return slot.model.get();
}

std::string_view NoisyChannelCorrector::languageOf(std::string_view text,
                                                   std::string_view detected) const {
    return vote(text, detected, nullptr);
}

std::string_view NoisyChannelCorrector::vote(std::string_view text, std::string_view detected,
                                             std::vector<std::string>* rejected) const {
    const std::size_t home = languageSlot(detected.empty() || detected == "und" ? "it" : detected);
    const std::vector<PlainWord> words = plainWords(text::toUtf32(text));
    const std::size_t n = words.size();
    std::array<std::vector<std::string>, kLanguages.size()> rejects;
    const auto acceptedIn = [&](std::size_t slot) {
        const NoisyChannelModel* lexicon = slot == home ? model(kLanguages[slot]) : nullptr;
        for (const PlainWord& w : words) {
            if ((lexicon == nullptr || !lexicon->contains(text::toUtf32(w.lower))) &&
                spell_.isMisspelled(w.typed, kLanguages[slot])) {
                rejects[slot].push_back(w.typed);
            }
        }
        return n - rejects[slot].size();
    };
    // The chosen language, handing over what it rejects.
    const auto chosen = [&](std::size_t slot) {
        if (rejected != nullptr) {
            *rejected = std::move(rejects[slot]);
        }
        return kLanguages[slot];
    };
    const bool known = home < kLanguages.size();
    if (known && n <= 1) {
        return kLanguages[home];
    }
    const std::size_t homeAccepted = known ? acceptedIn(home) : 0;
    // With one rejected word, a language accepting more accepts that word
    // too: it is never changed whichever model reads it.
    if (known && homeAccepted + 1 >= n) {
        return chosen(home);
    }
    const std::size_t mostRejected = std::max<std::size_t>(1, n / 4);
    // A detected language that rejects most of the words is no guide: half
    // accepted is enough to overrule it.
    const bool homeLost = known && 2 * homeAccepted < n;
    // A tie goes to the language nearest to an undetected one, if it is tied.
    const std::size_t nearest = languageSlot(nearestOfTheFive(detected));
    std::size_t best = kLanguages.size();
    std::size_t bestAccepted = homeAccepted;
    bool tied = false;
    bool nearestTied = false;
    for (std::size_t slot = 0; slot < kLanguages.size(); ++slot) {
        if (slot == home) {
            continue;
        }
        const std::size_t accepted = acceptedIn(slot);
        if ((accepted + mostRejected < n && !(homeLost && 2 * accepted >= n)) ||
            accepted <= homeAccepted) {
            continue;
        }
        if (accepted > bestAccepted) {
            best = slot;
            bestAccepted = accepted;
            tied = false;
            nearestTied = slot == nearest;
        } else if (accepted == bestAccepted) {
            tied = true;
            nearestTied = nearestTied || slot == nearest;
        }
    }
    if (best < kLanguages.size() && (!tied || nearestTied)) {
        return chosen(tied ? nearest : best);
    }
    return known ? chosen(home) : std::string_view();
}

ModelPass NoisyChannelCorrector::correct(std::string_view text, std::string_view language,
                                         bool correctAccents) const {
    ModelPass pass;
    std::vector<std::string> rejected;
    const std::string_view lang = vote(text, language, &rejected);
    // A rejected word holding a letter the language does not write ("não"
    // in a text read as Spanish): the text is in another language.
    if (lang.empty() || std::any_of(rejected.begin(), rejected.end(), [&](const std::string& w) {
            return hasForeignLetter(text::toUtf32(text::toLower(w)), lang);
        })) {
        return pass;
    }
    const std::string_view home = language.empty() || language == "und" ? "it" : language;
    const NoisyChannelModel* detectedModel = home != lang ? model(home) : nullptr;
    const NoisyChannelModel* loaded = nullptr;
    std::string result;
    bool changed = false;
    bool sentenceStart = true;
    const std::u32string all = text::toUtf32(text);
    // Runs of white space and of the rest, alternating.
    std::vector<std::u32string_view> tokens;
    for (std::size_t pos = 0, end = 0; pos < all.size(); pos = end) {
        const bool space = text::isWhiteSpace(all[pos]);
        while (end < all.size() && text::isWhiteSpace(all[end]) == space) {
            ++end;
        }
        tokens.push_back(std::u32string_view(all).substr(pos, end - pos));
    }
    std::u32string left;  // the previous word token as it leaves
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const std::string token = text::fromUtf32(tokens[i]);
        std::optional<std::string> replacement;
        const bool space = text::isWhiteSpace(tokens[i].front());
        if (space && token.find('\n') != std::string::npos) {
            sentenceStart = true;
        } else if (!space) {
            if (loaded == nullptr) {
                loaded = model(lang);
                if (loaded == nullptr) {
                    return pass;
                }
            }
            const Around around{context(lang), detectedModel, &rejected, left,
                                i + 2 < tokens.size() ? tokens[i + 2] : std::u32string_view()};
            replacement = correctToken(token, *loaded, lang, correctAccents, sentenceStart,
                                       pass.words, around);
            left = replacement ? text::toUtf32(*replacement) : std::u32string(tokens[i]);
            const char32_t last = tokens[i].back();
            sentenceStart = last == U'.' || last == U'!' || last == U'?' || last == U'…';
        }
        changed = changed || replacement.has_value();
        result += replacement.value_or(token);
    }
    if (changed) {
        pass.text = std::move(result);
    }
    return pass;
}

std::optional<std::string> NoisyChannelCorrector::correctToken(
    std::string_view tokenText, const NoisyChannelModel& model, std::string_view language,
    bool correctAccents, bool sentenceStart, std::vector<WordDecision>& decisions,
    const Around& around) const {
    const std::u32string token = text::toUtf32(tokenText);
    // "name()": a call in code, whatever wraps it.
    if (token.size() > kLongestWord || token.find(U"()") != std::u32string::npos) {
        return std::nullopt;
    }
    const auto isLetter = [](char32_t c) { return text::isLetter(c); };
    const std::size_t first = static_cast<std::size_t>(
        std::find_if(token.begin(), token.end(), isLetter) - token.begin());
    if (first == token.size()) {
        return std::nullopt;
    }
    const std::size_t last = static_cast<std::size_t>(
        token.rend() - std::find_if(token.rbegin(), token.rend(), isLetter));
    const std::u32string_view all(token);
    const std::u32string_view lead = all.substr(0, first);
    const std::u32string_view trail = all.substr(last);
    const std::u32string_view core = all.substr(first, last - first);
    // "Änderungs- und", "pre- and post-": part of a word, not a word.
    if (!std::all_of(lead.begin(), lead.end(), isWrappingPunctuation) ||
        !std::all_of(trail.begin(), trail.end(), isWrappingPunctuation) ||
        (!lead.empty() && lead.back() == U'-') || (!trail.empty() && trail.front() == U'-')) {
        return std::nullopt;
    }
    // A letter the language does not write: a word of another language
    // (only letters past ASCII can be; most words are lowered for nothing).
    if (std::any_of(core.begin(), core.end(), [](char32_t c) { return c >= 0x80; }) &&
        hasForeignLetter(text::toUtf32(text::toLower(text::fromUtf32(core))), language)) {
        return std::nullopt;
    }
    if (core.find(U'-') != std::u32string_view::npos) {
        const auto parts = correctHyphenated(core, model, language, correctAccents, sentenceStart,
                                             decisions, around);
        if (!parts) {
            return std::nullopt;
        }
        return text::fromUtf32(lead) + *parts + text::fromUtf32(trail);
    }
    std::size_t apostrophes = 0;
    std::size_t apostrophe = 0;
    for (std::size_t i = 0; i < core.size(); ++i) {
        const char32_t c = core[i];
        if (text::isApostrophe(c)) {
            ++apostrophes;
            apostrophe = i;
        } else if (!text::isLetter(c) || c > kLastLatin) {
            return std::nullopt;
        }
    }
    std::u32string_view head;
    std::u32string_view clitic;
    std::u32string_view word = core;
    const EnglishApostrophe english = language == "en" && apostrophes == 1
                                          ? englishApostrophe(core.substr(apostrophe + 1))
                                          : EnglishApostrophe::none;
    if (english == EnglishApostrophe::clitic) {
        word = core.substr(0, apostrophe);
        clitic = core.substr(apostrophe);
    } else if (english == EnglishApostrophe::negation) {
        word = core;
    } else if (apostrophes == 1) {
        if (apostrophe > kLongestElision) {
            return std::nullopt;
        }
        head = core.substr(0, apostrophe + 1);
        word = core.substr(apostrophe + 1);
        if (auto fixed = correctElidedHead(core, apostrophe, model, language, decisions)) {
            return text::fromUtf32(lead) + *fixed + text::fromUtf32(trail);
        }
    } else if (apostrophes > 1) {
        return std::nullopt;
    }
    // A word without vowels is read only as a vowel struck amiss, from
    // kShortestSlipWithoutVowel letters (shorter ones are abbreviations; the
    // model keeps the known longer ones) and not in English, whose technical
    // text is full of them ("pkgs", "msgs").
    // "cqn't": a negation, whatever its head lacks.
    const bool noVowel = english != EnglishApostrophe::negation && hasNoVowel(word);
    if (word.size() < kShortestWord || hasInnerCapital(word) || hasTwoCapitals(word) ||
        (noVowel && (word.size() < kShortestSlipWithoutVowel || language == "en")) ||
        isElongated(word)) {
        return std::nullopt;
    }
    // Inside a sentence a capital marks a name ("Vettel", "Lisboa"), except
    // in German, where every noun has one.
    if (!sentenceStart && isUpper(word.front()) && language != "de") {
        return std::nullopt;
    }
    const std::string typed = text::fromUtf32(word);
    const std::string lower = text::toLower(typed);
    const std::string lowerCore = text::toLower(text::fromUtf32(core));
    const auto kept = [&](std::string_view w) {
        return model.isKept(w) || (around.detected != nullptr && around.detected->isKept(w));
    };
    if (kept(lower) || kept(lowerCore) ||
        (isPersonalWord_ && (isPersonalWord_(lower) || isPersonalWord_(lowerCore)))) {
        return std::nullopt;
    }
    // Cheapest first: lexicon words are accepted words; the other languages'
    // spell checkers are asked only about a word the model would change.
    // The lexicon writes apostrophes plain; the typed one goes back in.
    std::u32string lowerLetters = text::toUtf32(lower);
    std::replace(lowerLetters.begin(), lowerLetters.end(), U'\u2019', U'\'');
    if (model.contains(lowerLetters)) {
        return std::nullopt;
    }
    // A spell checker accepts the capitalised form of each lower-case word
    // (bar the few a dictionary keeps in their case, such as units), and
    // `typed` is lower-case or capitalised: one check settles it.
    const auto accepted = [&](std::string_view in) { return !spell_.isMisspelled(typed, in); };
    const bool knownRejected = around.rejected != nullptr &&
                               std::find(around.rejected->begin(), around.rejected->end(), typed) !=
                                   around.rejected->end();
    if (!knownRejected && accepted(language)) {
        return std::nullopt;
    }
    ContextModel::Neighbours neighbours;
    if (around.context != nullptr) {
        const ContextModel& c = *around.context;
        const std::u32string before = !lead.empty() ? std::u32string()
                                      : head.empty()
                                          ? neighbourWord(c, around.left, true)
                                          : text::toUtf32(text::toLower(text::fromUtf32(head)));
        const std::u32string after =
            trail.empty() && clitic.empty() ? neighbourWord(c, around.right, false) : U"";
        neighbours = c.neighbours(before, after);
    }
    WordDecision decision{typed, model.suggest(lowerLetters, model.thresholds(), neighbours),
                          false};
    const ModelSuggestion& s = decision.suggestion;
    decision.applied =
        s.confident && (correctAccents || text::withoutAccents(text::toLower(s.candidate)) !=
                                              text::withoutAccents(lower));
    // A German compound outside the lexicon.
    if (!decision.applied && language == "de") {
        const CompoundCorrector compound(
            model, [&](std::string_view w) { return !spell_.isMisspelled(w, language); });
        ModelSuggestion c = compound.suggest(lowerLetters, s, isUpper(word.front()));
        if (!c.candidate.empty() && (c.confident || s.candidate.empty())) {
            decision.applied = c.confident && (correctAccents ||
                                               text::withoutAccents(text::toLower(c.candidate)) !=
                                                   text::withoutAccents(lower));
            decision.suggestion = std::move(c);
            decision.compound = true;
        }
    }
    // Cheapest spell checker first: the first that accepts the word settles
    // it. A word so settled, typed without its apostrophe, a French capital
    // written without its accent ("Echec", "Etat": common French typography),
    // a German or English agent noun (onlyAgentEndingChanged,
    // onlyAgentPluralEndingLost) or a German word whose umlauts alone would
    // go (typed on keys of their own: "Problemlöser") is no decision.
    static constexpr std::array<std::string_view, kLanguages.size()> kByCost{"en", "it", "es", "de",
                                                                             "fr"};
    const auto lowerCandidate = [&] {
        return text::toUtf32(text::toLower(decision.suggestion.candidate));
    };
    if (noVowel && !onlyOneVowelStruckAmiss(lowerLetters, lowerCandidate(), model.errors())) {
        return std::nullopt;
    }
    if (decision.applied &&
        ((language == "fr" && isUpper(word.front()) &&
          onlyInitialAccentAdded(lowerLetters, lowerCandidate())) ||
         (language == "de" && (onlyAgentEndingChanged(lowerLetters, lowerCandidate()) ||
                               onlyAccentsRemoved(lowerLetters, lowerCandidate()))) ||
         (language == "en" && (onlyAgentEndingChanged(lowerLetters, lowerCandidate()) ||
                               onlyAgentPluralEndingLost(lowerLetters, lowerCandidate()))) ||
         std::any_of(
             kByCost.begin(), kByCost.end(),
             [&](std::string_view other) { return other != language && accepted(other); }) ||
         lacksApostrophe(lower, language))) {
        return std::nullopt;
    }
    if (const auto typedApostrophe = std::find_if(word.begin(), word.end(), text::isApostrophe);
        typedApostrophe != word.end() && *typedApostrophe != U'\'') {
        std::u32string letters = text::toUtf32(decision.suggestion.candidate);
        std::replace(letters.begin(), letters.end(), U'\'', *typedApostrophe);
        decision.suggestion.candidate = text::fromUtf32(letters);
    }
    const bool applied = decision.applied;
    std::string candidate = decision.suggestion.candidate;
    decisions.push_back(std::move(decision));
    if (!applied) {
        return std::nullopt;
    }
    if (isUpper(word.front())) {
        const std::string firstLetter = text::firstCharacter(candidate);
        candidate = text::toUpper(firstLetter) + candidate.substr(firstLetter.size());
    }
    return text::fromUtf32(lead) + text::fromUtf32(head) + candidate + text::fromUtf32(clitic) +
           text::fromUtf32(trail);
}

bool NoisyChannelCorrector::isGermanStem(std::u32string_view part, std::u32string_view next) const {
    static constexpr std::array<std::u32string_view, 7> kLinks{U"s",  U"es", U"n",  U"en",
                                                               U"er", U"e",  U"ens"};
    const std::string joined = text::fromUtf32(part) + text::toLower(text::fromUtf32(next));
    // "Adress-", "Sprach-": a noun's final e falls in a compound.
    if ((!next.empty() && !spell_.isMisspelled(joined, "de")) ||
        !spell_.isMisspelled(text::fromUtf32(part) + "e", "de")) {
        return true;
    }
    return std::any_of(kLinks.begin(), kLinks.end(), [&](std::u32string_view link) {
        return part.size() >= link.size() + kShortestWord && part.ends_with(link) &&
               !spell_.isMisspelled(text::fromUtf32(part.substr(0, part.size() - link.size())),
                                    "de");
    });
}

std::optional<std::string> NoisyChannelCorrector::correctHyphenated(
    std::u32string_view core, const NoisyChannelModel& model, std::string_view language,
    bool correctAccents, bool sentenceStart, std::vector<WordDecision>& decisions,
    const Around& around) const {
    const std::string whole = text::fromUtf32(core);
    const std::string lower = text::toLower(whole);
    if (model.isKept(lower) || (around.detected != nullptr && around.detected->isKept(lower)) ||
        (isPersonalWord_ && isPersonalWord_(lower)) ||
        std::any_of(kLanguages.begin(), kLanguages.end(), [&](std::string_view in) {
            return !spell_.isMisspelled(lower, in) || !spell_.isMisspelled(whole, in);
        })) {
        return std::nullopt;
    }
    std::string out;
    bool changed = false;
    std::size_t from = 0;
    while (from <= core.size()) {
        const std::size_t to = std::min(core.find(U'-', from), core.size());
        const std::u32string_view part = core.substr(from, to - from);
        // "a--b", "-x": not a hyphenated word.
        if (part.empty() || !std::all_of(part.begin(), part.end(), isWordLetter)) {
            return std::nullopt;
        }
        // German joins stems ("Adress-Auflöser", "Änderungs-Hook"): a part
        // before the last is a word unless it is a stem or a name. A part of three
        // letters or fewer is an affix or the piece of a name or option
        // ("co-", "no-iri"), not a word to correct.
        const std::u32string_view next = to < core.size()
                                             ? core.substr(to + 1, core.find(U'-', to + 1) - to - 1)
                                             : std::u32string_view();
        // Lower case before a noun is a name ("iconv-Module", "ssh-Schlüssel").
        const bool word = part.size() > kLongestHyphenAffix &&
                          (language != "de" || to == core.size() ||
                           (!isGermanStem(part, next) &&
                            !(!isUpper(part.front()) && !next.empty() && isUpper(next.front()))));
        const auto replaced =
            word ? correctToken(text::fromUtf32(part), model, language, correctAccents,
                                sentenceStart && from == 0, decisions,
                                Around{around.context, around.detected, nullptr, {}, {}})
                 : std::nullopt;
        changed = changed || replaced.has_value();
        out += replaced.value_or(text::fromUtf32(part));
        if (to < core.size()) {
            out += '-';
        }
        from = to + 1;
    }
    return changed ? std::optional(out) : std::nullopt;
}

}  // namespace quorix
