#pragma once
// SpellChecker over nuspell and the hunspell dictionaries of a folder
// (Debian: /usr/share/hunspell). Languages: it, en, de, es, fr, also in region
// form ("en-US", "en_GB" count as "en"); English accepts what en_US or en_GB
// accepts. Each dictionary is loaded once, on first use or by preload(). A
// language that is unknown, or whose dictionaries are all missing or
// unreadable, answers "not misspelled".
// Thread: any, concurrently. nuspell's Dictionary::spell is const and keeps
// no mutable state, so one loaded dictionary serves every thread unguarded;
// only loading is serialised, per language.

#include <array>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/SpellChecker.h"

namespace nuspell {
inline namespace v5 {
class Dictionary;
}
}  // namespace nuspell

namespace quorix::language {

class NuspellSpellChecker final : public platform::SpellChecker {
  public:
    static constexpr const char* kDefaultFolder = "/usr/share/hunspell";
    static constexpr std::array<const char*, 5> kLanguages{"it", "en", "de", "es", "fr"};

    explicit NuspellSpellChecker(std::filesystem::path folder = kDefaultFolder);
    ~NuspellSpellChecker() override;

    NuspellSpellChecker(const NuspellSpellChecker&) = delete;
    NuspellSpellChecker& operator=(const NuspellSpellChecker&) = delete;

    bool isMisspelled(std::string_view word, std::string_view language) override;

    // True when the word is accepted in the language; false for an unknown
    // language, a missing dictionary or an empty word.
    bool accepts(std::string_view word, std::string_view language);

    // nuspell's first suggestion for a rejected word; nullopt when the word
    // is accepted or nothing is suggested. Slow (milliseconds): measurement
    // tools only.
    std::optional<std::string> firstSuggestion(std::string_view word, std::string_view language);

    // Loads every dictionary now instead of on first use.
    void preload() override;

    // True when the language's dictionary is (or can be) loaded.
    bool hasDictionary(std::string_view language);

    // Index in kLanguages of a language code or region form, or -1.
    static int languageIndex(std::string_view language);

  private:
    struct Slot {
        std::once_flag loaded;
        std::vector<std::unique_ptr<nuspell::Dictionary>> dictionaries;  // those found
    };

    // The loaded slot of a language, or null when it has no dictionary.
    const Slot* slot(int index);
    static bool spell(const Slot& slot, const std::string& word);

    std::filesystem::path folder_;
    std::array<Slot, kLanguages.size()> slots_;
};

}  // namespace quorix::language
