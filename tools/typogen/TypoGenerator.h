#pragma once
// Builds the typo → correction map of one language from frequency-ranked
// vocabularies of all five languages.
//
// A slip of a frequent word is kept only when: it passes KeepRules; it is not
// a known word of any language; the spell checker rejects it, and its
// capitalised form, in every language (the Italian map is the fallback for all
// of them, and a capitalised form that is accepted is a name or a noun); and
// the source word dominates every other known word one edit away, of any
// language: its frequency × the likelihood of the slip is at least
// `dominance` times the rival's frequency × the likelihood that the rival,
// typed on the same keyboard, gives the typo. A map serves text of its own
// language, so a rival's frequency in another language counts
// `foreignRivalWeight` times; the Italian map is also the fallback of every
// language, so there every rival counts fully. Entries are ranked by source
// frequency^frequencyExponent × slip likelihood.
// The output depends only on the inputs: equal inputs give equal bytes.

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "tools/typogen/EditGenerator.h"
#include "tools/typogen/KeepRules.h"

namespace quorix::typogen {

// Spell verdicts: true when `word` is correct in `language`.
class Lexicon {
  public:
    virtual ~Lexicon() = default;
    virtual bool accepts(std::string_view word, std::string_view language) = 0;
};

struct LanguageInput {
    std::string code;  // "it", "en", "de", "es", "fr"
    // Words in any case with a frequency; a word listed twice keeps the higher.
    std::vector<std::pair<std::string, double>> words;
};

struct GeneratorOptions {
    // Upper bounds per map (the load time and memory of the five maps). The
    // Italian map is also the fallback of every language, so it is larger.
    std::size_t entries = 25000;
    std::size_t italianEntries = 180000;
    std::size_t sources = 30000;  // most frequent words whose slips are generated
    double dominance = 10;
    double foreignRivalWeight = 0.1;
    // Score = frequency^frequencyExponent × likelihood: below 1 the entries
    // spread over more words instead of every slip of the commonest few.
    double frequencyExponent = 0.3;
    std::size_t perSource = 40;  // most entries kept for one source word
};

struct TypoEntry {
    std::string typo;        // lower case
    std::string correction;  // as written inside a sentence (German nouns capitalised)
    double score = 0;
};

class TypoGenerator {
  public:
    TypoGenerator(Lexicon& lexicon, const std::vector<LanguageInput>& languages, KeepRules rules,
                  GeneratorOptions options = {});

    // The ranked entries of `language` (best first; ties by typo). `rejected`,
    // when given, counts the candidates dropped per reason.
    std::vector<TypoEntry> generate(std::string_view language,
                                    std::map<std::string, std::size_t>* rejected = nullptr);

    // Why the pair may not be shipped in `language` (every rule but
    // dominance); nullopt when it may.
    std::optional<std::string> rejectPair(std::string_view typo, std::string_view language);

    // Frequency of a word of a language (any case); 0 when not in its vocabulary.
    double frequency(std::string_view word, std::string_view language) const;

    // True when any language accepts `word` or its capitalised form.
    bool validAnywhere(std::string_view word);

    // Number of validated vocabulary words of a language.
    std::size_t vocabularySize(std::string_view language) const;

    // Why the slip `typo` of `correction` would not be generated for
    // `language`, checking every rule in order (vocabulary, slip, keep
    // rules, known word, dominance, spelling); "kept <score>" when it passes
    // them all, so that only the entry bound or the per-word bound can drop it.
    std::string explain(std::string_view typo, std::string_view correction,
                        std::string_view language);

  private:
    struct Word {
        std::string form;
        std::u32string lower;
        double frequency = 0;
    };

    std::optional<std::string> rejectByRulesAndSpelling(const std::string& typo, bool checkInUse);
    // Why the slip `typo` (lower case) of `source`, typed with `likelihood`,
    // may not be kept in `language`: every rule but the size bounds, in the
    // order generate() applies them; nullopt when it may. For an ambiguous
    // slip, `detail` gets the rival and both scores.
    std::optional<std::string> rejectSlip(std::string_view language, const EditGenerator& slips,
                                          const std::u32string& typo, const Word& source,
                                          double likelihood, std::string* detail = nullptr);
    // Highest frequency × likelihood of giving `typo` among the known words
    // one edit from `typo` other than `source`; that word in `word` when given.
    double strongestRival(std::string_view language, const EditGenerator& slips,
                          const std::u32string& typo, const std::u32string& source,
                          std::u32string* word = nullptr) const;

    Lexicon& lexicon_;
    KeepRules rules_;
    GeneratorOptions options_;
    std::vector<std::string> languages_;
    std::map<std::string, std::vector<Word>, std::less<>> vocabulary_;  // frequency order
    // Lower-case word → frequency, per language.
    std::map<std::string, std::unordered_map<std::u32string, double>, std::less<>> frequencies_;
    std::unordered_map<std::u32string, double> known_;  // any language, lower case
    std::u32string alphabet_;
};

}  // namespace quorix::typogen
