#pragma once
// Hand-written evidence for telling apart short texts in the languages the
// hybrid recogniser knows: frequent function words, characters and word
// endings typical of each language. Each cue names the set of languages it
// points to, as a bit mask over Language.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

namespace quorix::language {

class LanguageCueTable {
  public:
    enum Language : std::uint8_t { It, En, De, Es, Fr, Pt, Nl, Count };
    static constexpr std::array<const char*, Count> kCodes{"it", "en", "de", "es",
                                                           "fr", "pt", "nl"};
    using Mask = std::uint8_t;

    static const LanguageCueTable& instance();

    // Languages for which a lowercased word is a function word; 0 when none.
    Mask functionWord(std::string_view word) const;
    // Languages that a lowercased code point (a letter outside ASCII) hints at.
    Mask character(char32_t c) const;
    // Languages that the ending of a lowercased word hints at; 0 when none.
    Mask ending(std::string_view word) const;
    // Letter groups of one to three bytes typical of some languages ("ij",
    // "nh", "th", "w"): calls f(mask) once per distinct group found in the word.
    template <typename F>
    void forEachGroup(std::string_view word, F&& f) const {
        for (std::size_t length = 1; length <= 3; ++length) {
            for (std::size_t i = 0; i + length <= word.size(); ++i) {
                const auto it = groups_.find(word.substr(i, length));
                if (it != groups_.end()) {
                    f(it->second);
                }
            }
        }
    }

  private:
    LanguageCueTable();
    void addWords(Language language, std::string_view spaceSeparated);

    std::unordered_map<std::string, Mask> functionWords_;
    std::unordered_map<char32_t, Mask> characters_;
    std::unordered_map<std::string_view, Mask> groups_;
    std::array<std::unordered_map<std::string, Mask>, 6> endings_;  // by length in bytes - 2 (2..7)
};

}  // namespace quorix::language
