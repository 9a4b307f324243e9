#include "language/NuspellSpellChecker.h"

#include <nuspell/dictionary.hxx>

#include <algorithm>
#include <exception>
#include <system_error>
#include <vector>

namespace quorix::language {

namespace {

// Dictionary file stems per entry of kLanguages: the first is the language's
// own; a word any of them accepts is accepted (British and American English
// spellings alike: "colour", "cancelling").
const std::array<std::vector<const char*>, NuspellSpellChecker::kLanguages.size()> kDictionaryNames{
    {{"it_IT"}, {"en_US", "en_GB"}, {"de_DE"}, {"es_ES"}, {"fr_FR"}}};

constexpr std::string_view kTypographicApostrophe = "\u2019";

std::string withPlainApostrophes(std::string_view word) {
    std::string out;
    out.reserve(word.size());
    for (std::size_t i = 0; i < word.size();) {
        if (word.substr(i, kTypographicApostrophe.size()) == kTypographicApostrophe) {
            out.push_back('\'');
            i += kTypographicApostrophe.size();
        } else {
            out.push_back(word[i]);
            ++i;
        }
    }
    return out;
}

char asciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

NuspellSpellChecker::NuspellSpellChecker(std::filesystem::path folder)
    : folder_(std::move(folder)) {}

NuspellSpellChecker::~NuspellSpellChecker() = default;

int NuspellSpellChecker::languageIndex(std::string_view language) {
    const std::size_t end = language.find_first_of("-_");
    const std::string_view base = language.substr(0, end);
    if (base.size() != 2) {
        return -1;
    }
    const char lowered[2] = {asciiLower(base[0]), asciiLower(base[1])};
    for (std::size_t i = 0; i < kLanguages.size(); ++i) {
        if (std::string_view(lowered, 2) == kLanguages[i]) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

const NuspellSpellChecker::Slot* NuspellSpellChecker::slot(int index) {
    if (index < 0) {
        return nullptr;
    }
    Slot& slot = slots_[static_cast<std::size_t>(index)];
    std::call_once(slot.loaded, [&] {
        for (const char* name : kDictionaryNames[static_cast<std::size_t>(index)]) {
            const std::filesystem::path aff = folder_ / (std::string(name) + ".aff");
            std::error_code error;
            if (!std::filesystem::is_regular_file(aff, error)) {
                continue;
            }
            auto loaded = std::make_unique<nuspell::Dictionary>();
            try {
                loaded->load_aff_dic(aff);
            } catch (const std::exception&) {
                continue;  // unreadable or malformed: left out
            }
            slot.dictionaries.push_back(std::move(loaded));
        }
    });
    return slot.dictionaries.empty() ? nullptr : &slot;
}

bool NuspellSpellChecker::spell(const Slot& slot, const std::string& word) {
    return std::any_of(slot.dictionaries.begin(), slot.dictionaries.end(),
                       [&](const auto& dict) { return dict->spell(word); });
}

bool NuspellSpellChecker::accepts(std::string_view word, std::string_view language) {
    const Slot* s = slot(languageIndex(language));
    if (s == nullptr || word.empty()) {
        return false;
    }
    return spell(*s, withPlainApostrophes(word));
}

bool NuspellSpellChecker::isMisspelled(std::string_view word, std::string_view language) {
    const Slot* s = slot(languageIndex(language));
    if (s == nullptr || word.empty()) {
        return false;
    }
    return !spell(*s, withPlainApostrophes(word));
}

std::optional<std::string> NuspellSpellChecker::firstSuggestion(std::string_view word,
                                                                std::string_view language) {
    const Slot* s = slot(languageIndex(language));
    const std::string plain = withPlainApostrophes(word);
    if (s == nullptr || word.empty() || spell(*s, plain)) {
        return std::nullopt;
    }
    const nuspell::Dictionary* dict = s->dictionaries.front().get();
    std::vector<std::string> suggestions;
    dict->suggest(plain, suggestions);
    if (suggestions.empty()) {
        return std::nullopt;
    }
    return suggestions.front();
}

void NuspellSpellChecker::preload() {
    for (std::size_t i = 0; i < kLanguages.size(); ++i) {
        slot(static_cast<int>(i));
    }
}

bool NuspellSpellChecker::hasDictionary(std::string_view language) {
    return slot(languageIndex(language)) != nullptr;
}

}  // namespace quorix::language
