#pragma once
// Word-pair statistics of one language for the on-device corrector: how much
// more (or less) likely a candidate is next to its left and right neighbour
// words than on its own. Counts come from running text; a pair never seen
// falls back to the word's own frequency (absolute discounting), so no
// candidate is ever made impossible, only less likely.
//
// For a candidate c between the words l and r the factor is
//   ( P(c | l) / P(c) * P(r | c) / P(r) ) ^ weight,
// its logarithm clipped to +-kMaxLogRatio before the weight, with
//   P(c | l) = max(n(l c) - D, 0) / n(l) + D * followers(l) / n(l) * P(c)
//   P(c)     = (n(c) + 1) / (tokens + words)
// (D the discount; a word the model does not know counts 0; an unknown or
// missing neighbour contributes 1).
//
// Words are lower case; elided forms are split after their apostrophe
// ("dell'" "ufficio"), and apostrophes are written "'". Two words are
// neighbours only when nothing but white space stands between them.
//
// File (UTF-8 lines, "\n"):
//   quorix-context-model 1
//   language <code>
//   weight <x>           exponent of the factor (0 turns it off)
//   discount <x>         D, in (0, 1)
//   tokens <N>           words of the source text
//   words <V>            at most 65535
//   pairs <P>
//   V lines "<word> <n(word)> <followers(word)>", followers <= n
//   P lines "<left> <right> <n(left right)>": 0-based lines of the word list,
//     sorted by left then right, each pair once; pairs seen too rarely are
//     left out (their followers still count).
// A malformed file is refused as a whole (parse returns null).
// Immutable after parsing; safe to share between threads.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quorix {

class ContextModel {
  public:
    static constexpr std::string_view kMagic = "quorix-context-model 1";
    static constexpr std::size_t kMaxWords = 65535;
    static constexpr double kMaxLogRatio = 4.6;  // about 100
    static constexpr int32_t kNone = -1;

    struct Word {
        std::string word;
        uint64_t count = 0;
        uint64_t followers = 0;
    };
    struct Pair {
        uint32_t left = 0;
        uint32_t right = 0;
        uint64_t count = 0;
    };
    struct Counts {
        std::string language;
        double weight = 1;
        double discount = 0.75;
        uint64_t tokens = 0;
        std::vector<Word> words;
        std::vector<Pair> pairs;  // sorted by (left, right)
    };

    // The neighbours of one position, as ids of the model (kNone when
    // missing or unknown).
    struct Neighbours {
        const ContextModel* model = nullptr;
        int32_t left = kNone;
        int32_t right = kNone;
        // The weighted log factor of `candidate` (lower case); 0 without a model.
        double logFactor(std::u32string_view candidate) const {
            return model == nullptr ? 0 : model->logFactor(left, model->id(candidate), right);
        }
    };

    // Null when `data` is not a well-formed model file.
    static std::unique_ptr<const ContextModel> parse(std::string_view data);
    // The file text of `counts` (inverse of parse).
    static std::string serialize(const Counts& counts);

    explicit ContextModel(const Counts& counts);
    ContextModel(const ContextModel&) = delete;
    ContextModel& operator=(const ContextModel&) = delete;

    // Id of a lower-case word, or kNone.
    int32_t id(std::u32string_view word) const;
    Neighbours neighbours(std::u32string_view left, std::u32string_view right) const {
        return {this, left.empty() ? kNone : id(left), right.empty() ? kNone : id(right)};
    }
    // weight * (log P(c | left) / P(c) + log P(right | c) / P(right)), each
    // clipped; any id may be kNone.
    double logFactor(int32_t left, int32_t candidate, int32_t right) const;

    const std::string& language() const { return language_; }
    double weight() const { return weight_; }
    std::size_t wordCount() const { return counts_.size(); }
    std::size_t pairCount() const { return rights_.size(); }
    std::size_t memoryBytes() const;

  private:
    static uint64_t hash(std::u32string_view word);
    uint32_t pair(int32_t left, int32_t right) const;
    double unigram(int32_t id) const;
    // log P(b | a) / P(b), clipped; a known.
    double logRatio(int32_t a, int32_t b) const;

    std::string language_;
    double weight_;
    double discount_;
    double total_;  // tokens + words
    std::vector<uint32_t> counts_;
    std::vector<uint32_t> followers_;
    std::vector<uint32_t> offsets_;  // pairs of word i: [offsets_[i], offsets_[i + 1])
    std::vector<uint16_t> rights_;
    std::vector<uint16_t> pairCounts_;
    // Open addressing on the words' hashes (0: a free slot), linear probing.
    std::vector<uint64_t> slotHashes_;
    std::vector<uint16_t> slotIds_;
};

}  // namespace quorix
