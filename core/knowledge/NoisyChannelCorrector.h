#pragma once
// The last on-device step: words that the spell checker rejects and no typo
// map resolved are corrected with the keyboard model of the text's language
// (NoisyChannelModel), only when it is confident.
//
// Never changed: words the spell checker accepts in any of it, en, de, es,
// fr; personal-dictionary words; the model's kept tokens (chat, names,
// brands); tokens holding digits, symbols, emoji, non-Latin letters, inner
// capitals (camelCase), two capitals or more (acronyms), no vowel (save,
// outside English, a word of three letters or more read as one vowel's
// neighbouring key struck for it: "kqnn" -> "kann", "dqs" -> "das"; chat
// abbreviations such as "cmq" are kept tokens), a letter held on purpose
// (a vowel three times in a row, any letter four times or three times at the end),
// or 40 or more characters; words under three letters; a capitalised word
// inside a sentence (a name), except in German; a Latin letter the language
// does not write (then nothing in a text whose rejected words hold one: a
// Portuguese "não" read as Spanish). Links, mentions and code never reach a word
// part: a token holding anything but letters, apostrophes and single inner hyphens between its
// leading and trailing punctuation is left alone, and so is a token holding "()" or a word
// glued to a hyphen ("Änderungs- und"). A hyphenated
// word that no spell checker accepts whole has each part corrected as a word of its own. Elided
// forms ("l'ufficcio") are corrected after their apostrophe, and a slipped Italian or French
// head ("dxell'archivio") when one head clearly explains it; in English a clitic stays
// ("cmmit's" -> "commit's") and a negation is corrected whole ("cqn't" -> "can't"); leading and
// trailing punctuation stays. The first letter's case is transferred.
//
// Models load lazily, one language at a time, on the first word that needs
// one; a missing or malformed file leaves that language uncorrected. The
// language's context model (word pairs) loads with it; without one (missing
// or malformed file) candidates are scored without context.
// Thread: any; loading is serialised per language.

#include <array>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/knowledge/ContextModel.h"
#include "core/knowledge/NoisyChannelModel.h"
#include "platform/SpellChecker.h"

namespace quorix {

struct WordDecision {
    std::string word;  // the word part as typed
    ModelSuggestion suggestion;
    bool applied = false;
    bool compound = false;  // the suggestion rebuilds a compound (CompoundCorrector)
};

struct ModelPass {
    std::optional<std::string> text;  // set only when a word was replaced
    std::vector<WordDecision> words;  // every rejected word the model was asked about
};

class NoisyChannelCorrector {
  public:
    static constexpr std::array<std::string_view, 5> kLanguages{"it", "en", "de", "es", "fr"};
    static constexpr std::size_t kLongestWord = 39;
    static constexpr std::size_t kShortestWord = 3;
    static constexpr std::size_t kShortestSlipWithoutVowel = 3;

    // The model file of a language ("keyboard_<lang>.txt"), or nullopt.
    using ModelReader = std::function<std::optional<std::string>(std::string_view language)>;

    // `contextReader`: the context file of a language ("context_<lang>.txt").
    NoisyChannelCorrector(platform::SpellChecker& spell, ModelReader reader,
                          std::function<bool(std::string_view)> isPersonalWord = {},
                          ModelReader contextReader = {});

    static std::string fileName(std::string_view language);
    static std::string contextFileName(std::string_view language);

    // `language`: the code detected for the text; the words are corrected in
    // languageOf(text, language). Accent-only corrections act only with
    // `correctAccents`.
    ModelPass correct(std::string_view text, std::string_view language,
                      bool correctAccents = true) const;

    // The language whose model corrects `text` detected as `detected` ("und"
    // and "" count as Italian), or "" when none of the five fits. A detector
    // misled by a slip or a foreign term ("Objeto no válido, no
    // inicializazdo" taken for Portuguese) is overruled by the spell
    // checkers: another of the five wins when it accepts more of the text's
    // plain words than the detected language, rejects at most a quarter of
    // them (at least one; half when the detected language rejects more than
    // half), and no third language accepts as many (on a tie with Spanish,
    // a text detected as Portuguese or Galician is read as Spanish). The vote
    // is only held when it can change a correction: when the detected
    // language is not one of the five, or rejects two words or more.
    std::string_view languageOf(std::string_view text, std::string_view detected) const;

  private:
    // languageOf(), and the plain words (as typed) its language rejects.
    std::string_view vote(std::string_view text, std::string_view detected,
                          std::vector<std::string>* rejected) const;

  public:
    // The model of a language, loading it on first use; null when none.
    const NoisyChannelModel* model(std::string_view language) const;
    // The context model of a language once its model is loaded; null when none.
    const ContextModel* context(std::string_view language) const;

  private:
    // The tokens next to a word token (as they leave, and as typed), empty at
    // the ends of the text.
    struct Around {
        const ContextModel* context = nullptr;
        // The detected language's model when another one corrects: its kept
        // tokens stay kept.
        const NoisyChannelModel* detected = nullptr;
        // Words (as typed) already found misspelled in the correcting
        // language, or null.
        const std::vector<std::string>* rejected = nullptr;
        std::u32string_view left;
        std::u32string_view right;
    };
    // The replacement of one whitespace-free token, or nullopt.
    std::optional<std::string> correctToken(std::string_view token, const NoisyChannelModel& model,
                                            std::string_view language, bool correctAccents,
                                            bool sentenceStart,
                                            std::vector<WordDecision>& decisions,
                                            const Around& around) const;

    // The replacement of a hyphenated word ("nicht-hexadezimale"), its parts
    // corrected as words without neighbours, or nullopt when no part changed
    // or it is not letters joined by single hyphens.
    std::optional<std::string> correctHyphenated(std::u32string_view core,
                                                 const NoisyChannelModel& model,
                                                 std::string_view language, bool correctAccents,
                                                 bool sentenceStart,
                                                 std::vector<WordDecision>& decisions,
                                                 const Around& around) const;

    // Whether `part`, before `next` in a German hyphenated word, is a stem
    // ("Adress" of "Adress-Auflöser", "Änderungs" of "Änderungs-Hook"): the
    // German spell checker accepts it joined to `next`, without a linking
    // ending, or with the final e a compound drops ("Sprach-").
    bool isGermanStem(std::u32string_view part, std::u32string_view next) const;

    // Whether `lower` is a word of `language` typed without its apostrophe
    // ("isnt", "todays", "lho", "jai"): the writer's chat style, left as is.
    bool lacksApostrophe(std::string_view lower, std::string_view language) const;

    // `core` ("dxell'archivio", apostrophe at `apostrophe`) with its slipped
    // elided head replaced ("dell'archivio"), or nullopt: the language's spell
    // checker accepts the word with that head, the head is kHeadMargin times
    // likelier than any other head it accepts, and no spell checker, kept
    // token or personal word vouches for the word as typed. The decision joins
    // `decisions` when a head is found.
    std::optional<std::string> correctElidedHead(std::u32string_view core, std::size_t apostrophe,
                                                 const NoisyChannelModel& model,
                                                 std::string_view language,
                                                 std::vector<WordDecision>& decisions) const;

    platform::SpellChecker& spell_;
    ModelReader reader_;
    ModelReader contextReader_;
    std::function<bool(std::string_view)> isPersonalWord_;
    struct Slot {
        std::once_flag once;
        std::unique_ptr<const NoisyChannelModel> model;
        std::unique_ptr<const ContextModel> context;
    };
    mutable std::array<Slot, kLanguages.size()> slots_;
};

}  // namespace quorix
