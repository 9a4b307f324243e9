#include "core/interception/TextHeuristics.h"

#include <algorithm>
#include <iterator>

#include "core/ai/AIClient.h"
#include "core/interception/HeuristicLists.h"
#include "core/text/Text.h"

namespace quorix {

namespace {

constexpr std::string_view kPlaceholderPrefix = "__QUORIX_";
constexpr std::string_view kUrlPlaceholderPrefix = "__QUORIX_URL_";

template <std::size_t N>
std::unordered_set<std::string> makeSet(const std::string_view (&entries)[N]) {
    std::unordered_set<std::string> set;
    for (std::string_view entry : entries) {
        set.emplace(entry);
    }
    return set;
}

// Lowercased and NFC-normalised: the form in which words meet the lists.
std::string folded(std::string_view s) {
    return text::nfc(text::toLower(s));
}

bool containsBlank(std::string_view s) {
    return s.find(' ') != std::string_view::npos || s.find('\t') != std::string_view::npos;
}

bool startsWithAny(std::string_view s, std::initializer_list<std::string_view> prefixes) {
    return std::any_of(prefixes.begin(), prefixes.end(),
                       [&](std::string_view p) { return s.starts_with(p); });
}

bool containsAny(std::string_view s, std::initializer_list<std::string_view> needles) {
    return std::any_of(needles.begin(), needles.end(),
                       [&](std::string_view n) { return s.find(n) != std::string_view::npos; });
}

bool isWrappedIn(std::string_view s, std::string_view open, std::string_view close) {
    return s.size() >= open.size() + close.size() && s.starts_with(open) && s.ends_with(close);
}

bool isApostrophe(char32_t c) {
    return c == U'\'' || c == U'\u2019' || c == U'`' || c == U'\u2018';
}

std::string trimApostrophes(std::string_view s) {
    const std::u32string cps = text::toUtf32(s);
    std::size_t begin = 0;
    std::size_t end = cps.size();
    while (begin < end && isApostrophe(cps[begin])) {
        ++begin;
    }
    while (end > begin && isApostrophe(cps[end - 1])) {
        --end;
    }
    return text::fromUtf32(std::u32string_view(cps).substr(begin, end - begin));
}

// Pieces of the text between white space that begin with "@", trimmed of
// punctuation and folded.
std::unordered_set<std::string> mentionsOf(std::string_view text) {
    std::unordered_set<std::string> mentions;
    for (const auto& piece : text::splitWords(text)) {
        if (piece.starts_with('@')) {
            mentions.insert(folded(text::trimPunctuation(piece)));
        }
    }
    return mentions;
}

bool isPathOrIdentifierMark(char32_t c) {
    return c == U'_' || c == U'/' || c == U'\\';
}

bool isAsciiLowerOrDigit(char32_t c) {
    return (c >= U'a' && c <= U'z') || (c >= U'0' && c <= U'9');
}

// A word kept whole by the splits below: an inner "_", "/" or "\\", or a "."
// between two letters ("user_idd", "src/main.cpp", "config.yml").
bool isCompoundWord(std::string_view word) {
    const std::u32string cps = text::toUtf32(word);
    for (std::size_t i = 1; i + 1 < cps.size(); ++i) {
        if (isPathOrIdentifierMark(cps[i]) ||
            (cps[i] == U'.' && text::isLetter(cps[i - 1]) && text::isLetter(cps[i + 1]))) {
            return true;
        }
    }
    return false;
}

// A compound word that is code: an identifier or path, or a name ending in an
// extension of one to four lowercase letters or digits. "Ciao.Come" is not.
bool isCompoundCodeWord(std::string_view word) {
    if (!isCompoundWord(word)) {
        return false;
    }
    const std::u32string cps = text::toUtf32(word);
    if (std::any_of(cps.begin() + 1, cps.end() - 1, isPathOrIdentifierMark)) {
        return true;
    }
    const std::size_t dot = cps.rfind(U'.');
    const std::size_t extension = cps.size() - dot - 1;
    return extension >= 1 && extension <= 4 &&
           std::all_of(cps.begin() + static_cast<std::ptrdiff_t>(dot) + 1, cps.end(),
                       isAsciiLowerOrDigit);
}

// Splits at white space; a piece that is a compound word (trimmed of its outer
// punctuation) stays whole, any other is split further at `isSeparator`.
template <typename Pred>
std::vector<std::string> splitKeepingCompounds(std::string_view s, Pred isSeparator) {
    std::vector<std::string> out;
    for (auto& piece : text::splitWhere(s, [](char32_t c) { return text::isWhiteSpace(c); })) {
        std::string core = text::trimPunctuation(piece);
        if (isCompoundWord(core)) {
            out.push_back(std::move(core));
            continue;
        }
        auto split = text::splitWhere(piece, isSeparator);
        out.insert(out.end(), std::make_move_iterator(split.begin()),
                   std::make_move_iterator(split.end()));
    }
    return out;
}

std::string substring(std::u16string_view s, text::Range r) {
    return text::fromUtf16(
        s.substr(static_cast<std::size_t>(r.location), static_cast<std::size_t>(r.length)));
}

std::string applyCleanUp(std::string_view text) {
    static const text::Regex blankRuns = text::Regex::compile("[ \\t]{2,}");
    static const text::Regex blanksBeforePunctuation = text::Regex::compile("[ \\t]+([,.:;?!])");
    static const text::Regex gluedCommaOrSemicolon = text::Regex::compile("([,;])([A-Za-zÀ-ÿ])");
    std::string out = blankRuns.replaceAll(text, " ");
    out = blanksBeforePunctuation.replaceAll(out, "$1");
    return gluedCommaOrSemicolon.replaceAll(out, "$1 $2");
}

}  // namespace

TextHeuristics::TextHeuristics(AppConfig& config, LanguageDetector& detector,
                               platform::SpellChecker& spell)
    : config_(config),
      detector_(detector),
      spell_(spell),
      shellCommands_(makeSet(heuristics::kShellCommands)),
      devJargon_(makeSet(heuristics::kDevJargon)),
      italianFunctionWords_(makeSet(heuristics::kItalianFunctionWords)),
      elidedForms_(makeSet(heuristics::kElidedForms)),
      unaccentedWords_(makeSet(heuristics::kUnaccentedWords)),
      // Searched, "[a-z]+[A-Z][a-zA-Z0-9]*" matches exactly where a lower-case
      // letter is followed by a capital; the short form needs no backtracking.
      camelCase_(text::Regex::compile("[a-z][A-Z]")),
      elongation_(text::Regex::compile("([a-zA-Z])\\1{2,}")),
      unfinishedMention_(text::Regex::compile("(?:^|\\s)@[A-Za-z0-9_.-]{0,32}$")),
      unfinishedEmoji_(text::Regex::compile("(?:^|\\s):[A-Za-z0-9_+-]{1,32}$")),
      unfinishedCommand_(text::Regex::compile("^\\/[A-Za-z0-9_]{1,32}$")),
      unfinishedHashtag_(text::Regex::compile("(?:^|\\s)#[A-Za-z0-9_]{1,32}$")),
      placeholder_(text::Regex::compile("__QUORIX_(?:URL|TAG)_[0-9]+__")) {}

bool TextHeuristics::isPureURLOrNavigation(std::string_view text) const {
    const std::string t = text::trim(text);
    if (t.empty()) {
        return false;
    }
    if (startsWithAny(t, {"http://", "https://", "www."}) && !containsBlank(t)) {
        return true;
    }
    const bool wrapped =
        isWrappedIn(t, "<", ">") || isWrappedIn(t, "(", ")") || isWrappedIn(t, "[", "]");
    if (wrapped && containsAny(t, {"://", "www."}) && !containsBlank(t)) {
        return true;
    }
    if (startsWithAny(t, {"/", "~/", "./"}) && !containsBlank(t)) {
        return true;
    }
    return containsAny(t, {" \u2013 ", " \u2014 "});
}

bool TextHeuristics::isCodeOrDevToken(std::string_view word) const {
    if (startsWithAny(word, {"http://", "https://", "www.", kUrlPlaceholderPrefix}) ||
        text::contains(word, "://")) {
        return true;
    }
    if (startsWithAny(word, {"@", "#"}) || isWrappedIn(word, "[", "]") ||
        isWrappedIn(word, "<", ">")) {
        return true;
    }
    const std::string t = text::trimPunctuation(word);
    if (t.empty()) {
        return false;
    }
    if (text::contains(word, "_") || camelCase_.search(word)) {
        return true;
    }
    const std::string lowered = folded(t);
    if (shellCommands_.contains(lowered)) {
        return true;
    }
    if (std::any_of(std::begin(heuristics::kFileEndings), std::end(heuristics::kFileEndings),
                    [&](std::string_view ending) { return word.ends_with(ending); })) {
        return true;
    }
    if (startsWithAny(word, {"/", "./", "../", "~/"}) ||
        containsAny(word, {"()", "(", ")", "=>", "::"}) || word.starts_with('<') ||
        word.ends_with('>')) {
        return true;
    }
    return devJargon_.contains(lowered);
}

bool TextHeuristics::isElongation(std::string_view lowered) const {
    const std::string t = text::trimPunctuation(lowered);
    return text::characterCount(t) >= 3 && elongation_.search(t);
}

bool TextHeuristics::hasPotentialTypo(std::string_view text,
                                      const dispatch::Deadline& deadline) const {
    const auto mentions = mentionsOf(text);
    const auto pieces = splitKeepingCompounds(
        text, [](char32_t c) { return text::isWhiteSpace(c) || text::isPunctuation(c); });
    for (const auto& piece : pieces) {
        if (deadline.passed()) {
            return true;
        }
        if (text::characterCount(piece) <= 1) {
            continue;
        }
        const std::string w = folded(piece);
        if (mentions.contains(w) || isCodeOrDevToken(piece) || isCompoundCodeWord(piece) ||
            isElongation(w) || config_.isWordWhitelisted(w)) {
            continue;
        }
        if (spell_.isMisspelled(w, "it")) {
            return true;
        }
    }
    return false;
}

bool TextHeuristics::isFreeOfMisspellings(std::string_view text,
                                          const dispatch::Deadline& deadline) const {
    const SpellScan scan = findMisspelledWord(text, false, deadline);
    return !scan.misspelledWord && !scan.outOfTime && !deadline.passed();
}

bool TextHeuristics::hasContextualSuspicion(std::string_view text,
                                            const std::vector<std::string>& words,
                                            bool isExecutive) const {
    const std::string lowered = folded(text);
    if (isExecutive) {
        const auto contained = [&](std::string_view term) { return text::contains(lowered, term); };
        if (std::any_of(std::begin(heuristics::kToneCheckTerms),
                        std::end(heuristics::kToneCheckTerms), contained)) {
            return true;
        }
        if (std::any_of(words.begin(), words.end(),
                        [](const std::string& w) { return folded(w) == "x"; })) {
            return true;
        }
    }
    for (std::size_t i = 1; i < words.size(); ++i) {
        const std::string previous = folded(words[i - 1]);
        if (previous == folded(words[i]) && text::characterCount(previous) > 1) {
            return true;
        }
    }
    std::vector<std::string_view> phrases(std::begin(heuristics::kWrongPhrases),
                                          std::end(heuristics::kWrongPhrases));
    if (config_.correctAccents()) {
        phrases.insert(phrases.end(), std::begin(heuristics::kAccentWrongPhrases),
                       std::end(heuristics::kAccentWrongPhrases));
    }
    for (std::string_view phrase : phrases) {
        if (!text::contains(lowered, phrase)) {
            continue;
        }
        if (phrase != heuristics::kStattiPhrase) {
            return true;
        }
        const bool legitimate =
            std::any_of(std::begin(heuristics::kLegitimateStattiPhrases),
                        std::end(heuristics::kLegitimateStattiPhrases),
                        [&](std::string_view legit) { return text::contains(lowered, legit); });
        if (!legitimate) {
            return true;
        }
    }
    return false;
}

AutocompleteToken TextHeuristics::isUnfinishedAutocompleteToken(std::string_view text) const {
    // Every newline (CRLF counted once) becomes one blank.
    std::string joined;
    const auto lines = text::splitLines(text);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) {
            joined += ' ';
        }
        joined += lines[i];
    }
    const std::u16string units = text::toUtf16(joined);

    struct Step {
        const text::Regex& regex;
        std::string_view label;
        bool trimmed;
    };
    const Step steps[] = {
        {unfinishedMention_, "Menzione: ", true},
        {unfinishedEmoji_, "Emoji: ", true},
        {unfinishedCommand_, "Comando: ", false},
        {unfinishedHashtag_, "Hashtag: ", true},
    };
    for (const auto& step : steps) {
        if (auto match = step.regex.firstMatch(units)) {
            std::string matched = substring(units, match->range());
            if (step.trimmed) {
                matched = text::trim(matched);
            }
            return {true, std::string(step.label) + matched};
        }
    }
    return {};
}

std::string TextHeuristics::cleanPunctuationAndSpacing(std::string_view text) {
    // Links are masked while the rules run, so that a comma or semicolon inside
    // a link's path or query never gets a blank after it. A text that already
    // holds a link placeholder cannot be masked unambiguously and is cleaned
    // as a whole.
    if (text::contains(text, kUrlPlaceholderPrefix)) {
        return applyCleanUp(text);
    }
    const MaskResult masked = AIClient::maskURLs(text);
    const std::string cleaned = applyCleanUp(masked.maskedText);
    if (masked.map.empty()) {
        return cleaned;
    }
    return AIClient::unmaskURLs(cleaned, masked.map);
}

std::vector<std::string> TextHeuristics::splitCandidates(std::string_view maskedText) const {
    const auto isSeparator = [](char32_t c) {
        return text::isWhiteSpace(c) || (text::isPunctuation(c) && !isApostrophe(c));
    };
    // Placeholders are made of punctuation and letters; each one is kept as a
    // single piece instead of being split at its underscores.
    std::vector<std::string> pieces;
    const std::u16string units = text::toUtf16(maskedText);
    int32_t cursor = 0;
    const auto splitSegment = [&](int32_t end) {
        const std::string segment = text::fromUtf16(std::u16string_view(units).substr(
            static_cast<std::size_t>(cursor), static_cast<std::size_t>(end - cursor)));
        auto split = splitKeepingCompounds(segment, isSeparator);
        pieces.insert(pieces.end(), std::make_move_iterator(split.begin()),
                      std::make_move_iterator(split.end()));
    };
    for (const auto& match : placeholder_.findAll(std::u16string_view(units))) {
        const text::Range r = match.range();
        splitSegment(r.location);
        pieces.push_back(substring(units, r));
        cursor = r.end();
    }
    splitSegment(static_cast<int32_t>(units.size()));

    std::vector<std::string> candidates;
    for (auto& piece : pieces) {
        if (text::characterCount(piece) >= 2 && !piece.starts_with(kPlaceholderPrefix)) {
            candidates.push_back(std::move(piece));
        }
    }
    return candidates;
}

bool TextHeuristics::isMisspelledIn(const std::string& word,
                                    const std::vector<std::string>& languages) const {
    return std::all_of(languages.begin(), languages.end(), [&](const std::string& language) {
        return spell_.isMisspelled(word, language);
    });
}

SpellScan TextHeuristics::findMisspelledWord(std::string_view text, bool /*isExecutive*/,
                                             const dispatch::Deadline& deadline) const {
    SpellScan scan;
    const MaskResult urls = AIClient::maskURLs(text);
    const MaskResult tags = AIClient::maskTags(urls.maskedText);
    scan.candidateWords = splitCandidates(tags.maskedText);

    const auto mentions = mentionsOf(text);
    const bool italianContext = std::any_of(
        scan.candidateWords.begin(), scan.candidateWords.end(), [&](const std::string& w) {
            return deadline.passed() || italianFunctionWords_.contains(folded(w));
        });
    const bool correctAccents = config_.correctAccents();

    // Languages in the order consulted; a language already asked is not asked
    // again. The detector runs at most once, and only when a word needs it.
    std::vector<std::string> languages;
    const auto consultedLanguages = [&]() -> const std::vector<std::string>& {
        if (languages.empty()) {
            const std::vector<std::string> order =
                italianContext
                    ? std::vector<std::string>{"it", "en"}
                    : std::vector<std::string>{detector_.detectLanguage(text), "en", "it"};
            for (const auto& language : order) {
                if (std::find(languages.begin(), languages.end(), language) == languages.end()) {
                    languages.push_back(language);
                }
            }
        }
        return languages;
    };

    for (const auto& candidate : scan.candidateWords) {
        if (deadline.passed()) {
            scan.outOfTime = true;
            break;
        }
        const std::string w = folded(trimApostrophes(candidate));
        if (text::characterCount(w) < 2 || elidedForms_.contains(w) || mentions.contains(w) ||
            isCodeOrDevToken(candidate) || isCompoundCodeWord(candidate) || isElongation(w) ||
            config_.isWordWhitelisted(w) || (!correctAccents && unaccentedWords_.contains(w))) {
            continue;
        }
        if (isMisspelledIn(w, consultedLanguages())) {
            scan.misspelledWord = w;
            break;
        }
    }
    return scan;
}

}  // namespace quorix
