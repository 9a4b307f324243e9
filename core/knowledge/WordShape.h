#pragma once
// The shape of a typed word: what marks it as a name, an acronym, an
// abbreviation or a letter held on purpose rather than a slip, and the few
// slips read from the shape alone. Letters are Unicode code points.

#include <string_view>

namespace quorix {
class KeyboardErrorModel;
}

namespace quorix::wordshape {

bool isUpper(char32_t c);

bool isVowel(char32_t c);

// A consonant of the five languages' alphabets, either case.
bool isConsonant(char32_t c);

// A capital after a letter that is not one ("camelCase", "macOS").
bool hasInnerCapital(std::u32string_view word);

// "CRL", "CRLs", "XPath", "SELinux": acronyms and names of things, not words.
bool hasTwoCapitals(std::u32string_view word);

// "pkgs", "cmq": abbreviations.
bool hasNoVowel(std::u32string_view word);

// Whether lower-case `word` holds a Latin letter that `language` (it, en,
// de, es, fr) does not write: Spanish "não", "ação"; Italian "Müller".
bool hasForeignLetter(std::u32string_view word, std::string_view language);

// "ciaooo", "grazieee", "uffff", "siiii bello": a letter held on purpose (a
// vowel three times in a row, any letter four times or three times at the
// end). A consonant typed three times inside a word ("tuttto", "errrori") is
// a doubled slip instead.
bool isElongated(std::u32string_view word);

// `candidate` is `typed` with an accent on its first letter and no other change.
bool onlyInitialAccentAdded(std::u32string_view typed, std::u32string_view candidate);

// `candidate` is `typed` without some or all of its accents and no other change.
bool onlyAccentsRemoved(std::u32string_view typed, std::u32string_view candidate);

// `typed` ends in "er" and `candidate` differs only in that final r. German
// ("Trenner" -> "trennen", "Auszeichner" -> "auszeichnet") makes an agent
// noun of any verb this way ("Komprimierer", "Ausgabetrenner") and
// dictionaries list few of them; a keyboard rarely turns the n or t into an
// r. English spells agent nouns in -or as -er ("calculater" -> "calculated"
// is "calculator").
bool onlyAgentEndingChanged(std::u32string_view typed, std::u32string_view candidate);

// English: `typed` ends in "ers" and `candidate` is `typed` without that r
// ("contributers" -> "contributes"): the plural of an agent noun spelt -er
// for -or, not a slip.
bool onlyAgentPluralEndingLost(std::u32string_view typed, std::u32string_view candidate);

// `candidate` is `typed` with one letter turned into a vowel on a key
// touching it on the layout of `keys` and no other change ("kqnn" -> "kann",
// "nqch" -> "nach"): the vowel's neighbour struck instead of it. An
// abbreviation drops its vowels ("fsck", "pkgs") and is never read so.
bool onlyOneVowelStruckAmiss(std::u32string_view typed, std::u32string_view candidate,
                             const KeyboardErrorModel& keys);

}  // namespace quorix::wordshape
