#pragma once
// The on-device corrector of one language: a lexicon of frequent words the
// spell checker accepts (most frequent first), the tokens people write on
// purpose that no spell checker knows (chat abbreviations, names, brands),
// the confidence thresholds calibrated for it, and the keyboard error model.
//
// A typed word w gets, for each lexicon word c within two edits (one edit for
// words under five letters), the score P(w | c) * P(c): the keyboard error
// model times a Zipf prior on c's rank (times the context factor of the
// neighbouring words, ContextModel, when the caller has one). Confidence of the best candidate is
// its share of all scores plus the mass of "a word outside the lexicon";
// margin is its score over the runner-up's. A suggestion is confident when
// both reach the thresholds of its gate (ModelThresholds::gateOf: the typed
// word's length and the best candidate's edits).
//
// File (UTF-8 lines, "\n"):
//   quorix-keyboard-model 2
//   language <code>
//   outside-mass <x>
//   gate <shortest length> <edits> <min-confidence> <min-margin>
//     (one line a gate, in the order and with the keys of kGateClasses)
//   words <N>
//   keep <K>
//   N lexicon words, most frequent first (lower case, or capitalised where
//   only that form is accepted, as German nouns), then K kept tokens (lower
//   case).
// Immutable after parsing; safe to share between threads.

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/knowledge/ContextModel.h"
#include "core/knowledge/KeyboardErrorModel.h"
#include "core/knowledge/SymmetricDeleteIndex.h"

namespace quorix {

struct ModelSuggestion {
    std::string candidate;  // as in the lexicon; empty when no lexicon word is near
    double confidence = 0;
    std::string runnerUp;  // empty when there is none
    double runnerUpConfidence = 0;
    double margin = 0;  // best score / runner-up score (large when alone)
    double score = 0;   // P(typed | candidate) * P(candidate) * context factor
    // Sum of the scores of the candidates. With a confidence threshold, the
    // candidates that can change neither the best two nor whether the
    // confidence reaches the threshold may be left out of it.
    double total = 0;
    // ModelThresholds::outsideFactor of the typed word.
    double outsideFactor = 1;
    int edits = 0;         // from the typed word to the candidate
    std::size_t gate = 0;  // ModelThresholds::gateOf the typed word and candidate
    bool confident = false;
};

// The least confidence and margin of a confident suggestion of one gate.
struct ModelGate {
    double minConfidence = 0.9;
    double minMargin = 4.0;
};

struct ModelThresholds {
    // Suggestions are gated by class: the shortest typed length of the class
    // and the candidate's edits. Short words have many near neighbours, two
    // edits are weaker evidence than one.
    struct GateClass {
        std::size_t shortest;
        int edits;
    };
    static constexpr std::size_t kGates = 7;
    static constexpr std::array<GateClass, kGates> kGateClasses{
        {{1, 1}, {5, 1}, {5, 2}, {7, 1}, {7, 2}, {9, 1}, {9, 2}}};

    ModelThresholds() : ModelThresholds(0.9, 4.0, 1e-8) {}
    // Every gate at the same thresholds.
    ModelThresholds(double minConfidence, double minMargin, double outsideMass);

    std::array<ModelGate, kGates> gates;
    // Score of "the typed word is an intended word outside the lexicon" for a
    // typed word of kOutsideLength letters; times outsideFactor(length).
    double outsideMass = 1e-8;

    static constexpr std::size_t kOutsideLength = 6;
    // A longer string is less likely to be a word of its own (a name, a code
    // token, an abbreviation): each letter more multiplies by kOutsideDecay.
    static constexpr double kOutsideDecay = 0.6;
    static double outsideFactor(std::size_t length);
    // The gate of a typed word of `length` letters whose candidate is
    // `edits` away.
    static std::size_t gateOf(std::size_t length, int edits);

    // Confidence of a candidate of `score` among candidates scoring `total`,
    // for a typed word of outside factor `factor`.
    double confidence(double score, double total, double factor) const {
        return score / (total + outsideMass * factor);
    }
    // Whether `s` (its confidence under these thresholds) passes its gate.
    bool passes(const ModelSuggestion& s) const {
        const ModelGate& g = gates[s.gate];
        return s.confidence >= g.minConfidence && s.margin >= g.minMargin;
    }
};

class NoisyChannelModel {
  public:
    static constexpr std::string_view kMagic = "quorix-keyboard-model 2";
    // Shortest typed word given two edits.
    static constexpr std::size_t kTwoEditLength = 5;

    // Null when `data` is not a model file.
    static std::unique_ptr<const NoisyChannelModel> parse(std::string_view data);

    // The file text of a model (inverse of parse).
    static std::string serialize(std::string_view language, const ModelThresholds& thresholds,
                                 const std::vector<std::string>& words,
                                 const std::vector<std::string>& keep);

    NoisyChannelModel(std::string language, ModelThresholds thresholds,
                      const std::vector<std::string>& words, std::vector<std::string> keep);
    NoisyChannelModel(const NoisyChannelModel&) = delete;
    NoisyChannelModel& operator=(const NoisyChannelModel&) = delete;

    // Best correction of `typed` (lower case, letters and apostrophes).
    ModelSuggestion suggest(std::u32string_view typed) const;
    // Same, with other thresholds (for calibration) and each candidate's score
    // times the context factor of its neighbours.
    ModelSuggestion suggest(std::u32string_view typed, const ModelThresholds& thresholds,
                            const ContextModel::Neighbours& context = {}) const;

    // The lexicon words scored for `typed`: those within its edits, except
    // itself, most frequent first.
    std::vector<std::string> candidates(std::u32string_view typed) const;

    // Whether `lowerWord` is a lexicon word (in lower case).
    bool contains(std::u32string_view lowerWord) const;

    bool isKept(std::string_view lowerWord) const;

    const std::string& language() const { return language_; }
    const ModelThresholds& thresholds() const { return thresholds_; }
    // The keyboard and spelling slips of the model's language.
    const KeyboardErrorModel& errors() const { return errors_; }
    std::size_t wordCount() const { return offsets_.size() - 1; }
    std::size_t memoryBytes() const;

  private:
    // candidateIds entries: the id, and its distance from the typed word above it.
    static constexpr uint32_t kDistanceShift = 30;
    static constexpr uint32_t kIdMask = (uint32_t{1} << kDistanceShift) - 1;

    // The best two scores so far and their sum; ties go to the lower id, so
    // the order in which candidates are added does not matter.
    struct Ranking {
        double total = 0;
        double best = 0;
        double second = 0;
        uint32_t bestId = 0;
        uint32_t secondId = 0;
        void add(uint32_t id, double score);
    };
    // A candidate not scored yet and the most it can score.
    struct Deferred {
        double bound;
        uint32_t id;
    };
    // The largest log factor the context can give any candidate.
    static double maxLogFactor(const ContextModel::Neighbours& context);

    std::string form(uint32_t id) const;
    // Entries (id | distance << kDistanceShift) of the candidates of
    // `typed`, sorted: by distance, then by id.
    void candidateIds(std::u32string_view typed, int maxEdits, std::vector<uint32_t>& ids) const;
    // log of the score of lexicon word `id` for `typed`: log P(typed | word)
    // + log P(word); -infinity past `maxEdits` edits.
    double logScore(uint32_t id, std::u32string_view candidate, std::u32string_view typed,
                    int maxEdits) const;
    std::string_view utf8(uint32_t id) const {
        return std::string_view(letters_).substr(offsets_[id], offsets_[id + 1] - offsets_[id]);
    }
    // The letters of word `id`, decoded into `buffer`.
    std::u32string_view word(uint32_t id, std::u32string& buffer) const;
    static uint64_t keepHash(std::string_view token);

    std::string language_;
    ModelThresholds thresholds_;
    std::string letters_;  // every word in lower case, UTF-8, back to back
    std::vector<uint32_t> offsets_;
    std::vector<bool> capitalised_;
    std::vector<float> logPriors_;  // log P(word) by id
    // The kept tokens, each followed by "\n", and an open-addressing table
    // of their offsets + 1 (0: a free slot), linear probing.
    std::string keepText_;
    std::vector<uint32_t> keepSlots_;
    KeyboardErrorModel errors_;
    std::unique_ptr<const SymmetricDeleteIndex> index_;
};

}  // namespace quorix
