#pragma once
// Builds context_<lang>.txt (ContextModel) from running text: word and word
// pair counts over the keyboard model's lexicon (lower case) and the elided
// heads of the text ("dell'", "l'"), tokenised as the corrector reads
// neighbours: words are runs of letters and inner apostrophes, two words are
// a pair only when white space alone stands between them, and a form with one
// apostrophe within its first seven characters that the lexicon lacks is
// split after it. Pairs seen fewer than kMinPairCount times are left out.
// Counting is order-independent, so equal inputs give equal bytes.
//
// Sources (as unpacked by scripts/fetch-typogen-inputs.sh under one folder):
//   gnome-user-docs/usr/share/help/<C|lang>/**/*.page      Mallard help pages
//   debian-handbook/usr/share/doc/debian-handbook/html/<lang-REGION>/*.html
//   fortunes*/usr/share/games/fortunes/...                fortune files

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "core/knowledge/ContextModel.h"

namespace quorix::typogen {

class ContextModelBuilder {
  public:
    static constexpr uint64_t kMinPairCount = 1;
    static constexpr uint64_t kMinHeadCount = 2;
    static constexpr std::size_t kLongestHead = 7;  // "quest'"

    explicit ContextModelBuilder(const std::vector<std::string>& lexicon);

    // Plain running text (UTF-8; invalid bytes break the text there).
    void addText(std::string_view text);
    // A Mallard page or an HTML page: the text of its blocks, without
    // metadata and code.
    void addMarkup(std::string_view markup);

    // The counts, words most frequent first (ties by spelling).
    ContextModel::Counts counts(const std::string& language, double weight) const;

    // The lower-case words outside the lexicon seen at least `minCount`
    // times, of `minLetters` letters or more, without apostrophes; sorted.
    // What the text's authors wrote on purpose ("tty", "cpu") and no
    // dictionary lists.
    std::vector<std::string> frequentOutsideWords(uint64_t minCount, std::size_t minLetters) const;
    // The same words with their counts.
    std::vector<std::pair<std::string, uint64_t>> frequentOutsideCounts(
        uint64_t minCount, std::size_t minLetters) const;

    // Counts words of `words` (any case) as lexicon words from now on.
    void addLexiconWords(const std::vector<std::string>& words);

    uint64_t tokens() const { return tokens_; }

  private:
    uint32_t intern(const std::string& word);
    void word(const std::string& lower, int32_t& previous);

    std::unordered_set<std::string> lexicon_;
    std::unordered_map<std::string, uint32_t> ids_;
    std::vector<std::string> spellings_;
    std::vector<uint64_t> counts_;
    std::unordered_map<uint64_t, uint64_t> pairs_;
    uint64_t tokens_ = 0;
};

// The text files of `language` under `inputs`, sorted, with whether each is
// markup (Mallard or HTML); empty when none is there.
std::vector<std::pair<std::filesystem::path, bool>> contextSources(
    const std::filesystem::path& inputs, std::string_view language);

}  // namespace quorix::typogen
