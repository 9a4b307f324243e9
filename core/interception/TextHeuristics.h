#pragma once
// Local, network-free tests run on a captured message before any dictionary or
// AI work: links and navigation strings, code and jargon tokens, misspellings
// left in a text, wording that deserves a rewrite, unfinished autocomplete
// tokens, and the clean-up of spacing around punctuation.
//
// Matching is case-sensitive unless a test lowercases. Word lists are compared
// after lowercasing and NFC normalisation; "characters" are grapheme clusters.
// Thread: any, concurrently. The instance holds only immutable state; the
// collaborators it is given must themselves be callable from any thread.

#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "core/config/AppConfig.h"
#include "core/dispatch/Deadline.h"
#include "core/knowledge/LanguageDetector.h"
#include "core/text/Regex.h"
#include "platform/SpellChecker.h"

namespace quorix {

// Result of the unfinished-autocomplete test; `matched` is the log label
// ("Menzione: @mar", "Emoji: :smi", "Comando: /giphy", "Hashtag: #tod").
struct AutocompleteToken {
    bool isMatch = false;
    std::string matched;
};

// Candidate words of the spell-check scan, in text order, and the first word
// that every consulted language reports as misspelled.
struct SpellScan {
    std::vector<std::string> candidateWords;
    std::optional<std::string> misspelledWord;
    // The deadline passed before every candidate was checked.
    bool outOfTime = false;
};

class TextHeuristics {
  public:
    TextHeuristics(AppConfig& config, LanguageDetector& detector, platform::SpellChecker& spell);
    TextHeuristics(const TextHeuristics&) = delete;
    TextHeuristics& operator=(const TextHeuristics&) = delete;

    // A lone link (bare or wrapped in <>, (), []), a path, or a title holding a
    // spaced en or em dash: such a text is sent unchanged.
    bool isPureURLOrNavigation(std::string_view text) const;

    // A word as typed that is a link, mention, tag, identifier, command, file
    // name, path, code fragment or developer/chat jargon.
    bool isCodeOrDevToken(std::string_view word) const;

    // Whether a text still holds a word the Italian spell checker rejects
    // (mentions, code tokens, elongations and personal words excepted). Once
    // the deadline has passed the answer is true: the text is not vouched for.
    bool hasPotentialTypo(std::string_view text, const dispatch::Deadline& deadline = {}) const;

    // Whether findMisspelledWord vouches for the whole text: no word that the
    // consulted languages all reject, scanned to the end within the deadline.
    bool isFreeOfMisspellings(std::string_view text, const dispatch::Deadline& deadline = {}) const;

    // Wording that calls for a rewrite: tone terms in work contexts, a word
    // repeated next to itself, or a known wrong phrase. `words` are the
    // candidate words of findMisspelledWord.
    bool hasContextualSuspicion(std::string_view text, const std::vector<std::string>& words,
                                bool isExecutive) const;

    // A text ending in an unfinished mention, emoji code or hashtag, or being a
    // lone slash command.
    AutocompleteToken isUnfinishedAutocompleteToken(std::string_view text) const;

    // Collapses runs of blanks, removes blanks before , . : ; ? ! and puts one
    // blank after a comma or semicolon glued to a letter. Links are left
    // exactly as they are; newlines are not touched.
    static std::string cleanPunctuationAndSpacing(std::string_view text);

    // Masks links and tags, splits the masked text into candidate words
    // (placeholders stay whole and are not candidates) and spell-checks them in
    // order; the scan stops at the first misspelled word, or when the
    // deadline has passed (outOfTime).
    SpellScan findMisspelledWord(std::string_view text, bool isExecutive,
                                 const dispatch::Deadline& deadline = {}) const;

  private:
    using WordSet = std::unordered_set<std::string>;

    bool isElongation(std::string_view lowered) const;
    bool isMisspelledIn(const std::string& word, const std::vector<std::string>& languages) const;
    std::vector<std::string> splitCandidates(std::string_view maskedText) const;

    AppConfig& config_;
    LanguageDetector& detector_;
    platform::SpellChecker& spell_;

    const WordSet shellCommands_;
    const WordSet devJargon_;
    const WordSet italianFunctionWords_;
    const WordSet elidedForms_;
    const WordSet unaccentedWords_;

    const text::Regex camelCase_;
    const text::Regex elongation_;
    const text::Regex unfinishedMention_;
    const text::Regex unfinishedEmoji_;
    const text::Regex unfinishedCommand_;
    const text::Regex unfinishedHashtag_;
    const text::Regex placeholder_;
};

}  // namespace quorix
