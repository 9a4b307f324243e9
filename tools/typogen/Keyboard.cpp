#include "tools/typogen/Keyboard.h"

#include <algorithm>
#include <array>
#include <utility>

namespace quorix::typogen {

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

Keyboard Keyboard::forLanguage(std::string_view language) {
    if (language == "it") {
        // Number row: ì after 0 and the apostrophe; è/é and +; ò à ù.
        return Keyboard(rowsOf({U"...........ì", U"qwertyuiopè.", U"asdfghjklòàù", U"zxcvbnm"},
                               {{U'è', U'é'}}));
    }
    if (language == "es") {
        return Keyboard(rowsOf({U"............", U"qwertyuiop..", U"asdfghjklñ.ç", U"zxcvbnm"}));
    }
    if (language == "de") {
        return Keyboard(rowsOf({U"..........ß", U"qwertzuiopü", U"asdfghjklöä", U"yxcvbnm"}));
    }
    if (language == "fr") {
        // AZERTY: é è ç à are typed unshifted on the number row; ù beside m.
        return Keyboard(rowsOf({U".é....è.çà", U"azertyuiop", U"qsdfghjklmù", U"wxcvbn"}));
    }
    return Keyboard(rowsOf({U"..........", U"qwertyuiop", U"asdfghjkl", U"zxcvbnm"}));
}

Keyboard::Keyboard(const Rows& rows) {
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

const std::u32string& Keyboard::neighbours(char32_t letter) const {
    static const std::u32string kNone;
    const auto it = neighbours_.find(letter);
    return it == neighbours_.end() ? kNone : it->second;
}

const std::u32string& Keyboard::keyMates(char32_t letter) const {
    static const std::u32string kNone;
    const auto it = mates_.find(letter);
    return it == mates_.end() ? kNone : it->second;
}

}  // namespace quorix::typogen
