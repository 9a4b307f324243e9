#pragma once
// Physical key neighbourhood of a national keyboard layout, for the letters a
// user can reach without a modifier (plus the accented letters typed with
// Shift on the same key, e.g. é on the Italian è key).
// Geometry: rows are staggered by about half a key to the right going down,
// so the key at (row, col) touches (row, col±1), (row-1, col), (row-1, col+1),
// (row+1, col-1) and (row+1, col).

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace quorix {

class KeyboardLayout {
  public:
    // Layout of a language: "it" Italian QWERTY, "en" US QWERTY, "es" Spanish
    // QWERTY, "de" German QWERTZ, "fr" French AZERTY. Unknown codes get US.
    static KeyboardLayout forLanguage(std::string_view language);

    // Rows top to bottom; each key is a string of the letters it types
    // (lower case, "" for a key that types no letter).
    explicit KeyboardLayout(const std::vector<std::vector<std::u32string>>& rows);

    // Letters on the keys touching the key of `letter` (not the letter itself,
    // nor letters sharing its key); empty for a letter not on the layout.
    const std::u32string& neighbours(char32_t letter) const;

    // Letters sharing a key with `letter` (è → é), without `letter` itself.
    const std::u32string& keyMates(char32_t letter) const;

    // Whether `other` is on a key touching the key of `letter`.
    bool isNeighbour(char32_t letter, char32_t other) const;

    // The letter without its diacritic (è → e, ñ → n, ß stays); the letter
    // itself when it has none.
    static char32_t baseLetter(char32_t letter);

  private:
    std::map<char32_t, std::u32string> neighbours_;
    std::map<char32_t, std::u32string> mates_;
};

}  // namespace quorix
