#include "core/knowledge/KeyboardLayout.h"

#include <algorithm>
#include <array>
#include <map>
#include <utility>

namespace quorix {

namespace {

using Rows = std::vector<std::vector<std::u32string>>;

// One string per row, one code point per key; '.' marks a key without a
// letter. A key typing two letters (plain and Shift) is given through `pairs`.
Rows rowsOf(std::initializer_list<std::u32string_view> rows,
            std::initializer_list<std::pair<char32_t, char32_t>> pairs = {}) {
    Rows out;
    for (const std::u32string_view row : rows) {
        std::vector<std::u32string> keys;
        for (const char32_t c : row) {
            std::u32string key;
            if (c != U'.') {
                key.push_back(c);
                for (const auto& [plain, shifted] : pairs) {
                    if (plain == c) {
                        key.push_back(shifted);
                    }
                }
            }
            keys.push_back(key);
        }
        out.push_back(std::move(keys));
    }
    return out;
}

void addUnique(std::u32string& set, char32_t c) {
    if (set.find(c) == std::u32string::npos) {
        set.push_back(c);
    }
}

}  // namespace

KeyboardLayout KeyboardLayout::forLanguage(std::string_view language) {
    if (language == "it") {
        // Number row: ì after 0 and the apostrophe; è/é and +; ò à ù.
        return KeyboardLayout(rowsOf(
            {U"...........ì", U"qwertyuiopè.", U"asdfghjklòàù", U"zxcvbnm"}, {{U'è', U'é'}}));
    }
    if (language == "es") {
        return KeyboardLayout(
            rowsOf({U"............", U"qwertyuiop..", U"asdfghjklñ.ç", U"zxcvbnm"}));
    }
    if (language == "de") {
        return KeyboardLayout(rowsOf({U"..........ß", U"qwertzuiopü", U"asdfghjklöä", U"yxcvbnm"}));
    }
    if (language == "fr") {
        // AZERTY: é è ç à are typed unshifted on the number row; ù beside m.
        return KeyboardLayout(rowsOf({U".é....è.çà", U"azertyuiop", U"qsdfghjklmù", U"wxcvbn"}));
    }
    return KeyboardLayout(rowsOf({U"..........", U"qwertyuiop", U"asdfghjkl", U"zxcvbnm"}));
}

KeyboardLayout::KeyboardLayout(const Rows& rows) {
    const auto keyAt = [&](long r, long c) -> const std::u32string* {
        if (r < 0 || r >= static_cast<long>(rows.size()) || c < 0 ||
            c >= static_cast<long>(rows[r].size())) {
            return nullptr;
        }
        return &rows[r][c];
    };
    constexpr std::array<std::pair<long, long>, 6> kTouching{
        {{0, -1}, {0, 1}, {-1, 0}, {-1, 1}, {1, -1}, {1, 0}}};
    for (long r = 0; r < static_cast<long>(rows.size()); ++r) {
        for (long c = 0; c < static_cast<long>(rows[r].size()); ++c) {
            const std::u32string& key = rows[r][c];
            for (const char32_t letter : key) {
                std::u32string& near = neighbours_[letter];
                std::u32string& mates = mates_[letter];
                for (const char32_t other : key) {
                    if (other != letter) {
                        addUnique(mates, other);
                    }
                }
                for (const auto& [dr, dc] : kTouching) {
                    if (const std::u32string* k = keyAt(r + dr, c + dc)) {
                        for (const char32_t n : *k) {
                            addUnique(near, n);
                        }
                    }
                }
                std::sort(near.begin(), near.end());
            }
        }
    }
}

const std::u32string& KeyboardLayout::neighbours(char32_t letter) const {
    static const std::u32string kNone;
    const auto it = neighbours_.find(letter);
    return it == neighbours_.end() ? kNone : it->second;
}

const std::u32string& KeyboardLayout::keyMates(char32_t letter) const {
    static const std::u32string kNone;
    const auto it = mates_.find(letter);
    return it == mates_.end() ? kNone : it->second;
}

bool KeyboardLayout::isNeighbour(char32_t letter, char32_t other) const {
    return neighbours(letter).find(other) != std::u32string::npos;
}

char32_t KeyboardLayout::baseLetter(char32_t c) {
    static const std::map<char32_t, char32_t> kBase = {
        {U'à', U'a'}, {U'á', U'a'}, {U'â', U'a'}, {U'ä', U'a'}, {U'ã', U'a'},
        {U'è', U'e'}, {U'é', U'e'}, {U'ê', U'e'}, {U'ë', U'e'}, {U'ì', U'i'},
        {U'í', U'i'}, {U'î', U'i'}, {U'ï', U'i'}, {U'ò', U'o'}, {U'ó', U'o'},
        {U'ô', U'o'}, {U'ö', U'o'}, {U'õ', U'o'}, {U'ù', U'u'}, {U'ú', U'u'},
        {U'û', U'u'}, {U'ü', U'u'}, {U'ç', U'c'}, {U'ñ', U'n'}, {U'ÿ', U'y'}};
    const auto it = kBase.find(c);
    return it == kBase.end() ? c : it->second;
}

}  // namespace quorix
