#pragma once
// Look of the status-bar icon. The raw value of every case but `quorix` is also
// the name of the symbol image the icon draws; `quorix` draws the brand letter.

#include <string>
#include <string_view>

#include "core/config/RawValue.h"

namespace quorix {

enum class IconStyle { quorix, chatBubble, keyboard, textAbc, wand };

inline std::string_view rawValue(IconStyle s) {
    switch (s) {
        case IconStyle::chatBubble:
            return "character.bubble";
        case IconStyle::keyboard:
            return "keyboard";
        case IconStyle::textAbc:
            return "textformat.abc";
        case IconStyle::wand:
            return "wand.and.stars";
        case IconStyle::quorix:
            break;
    }
    return "quorix";
}

inline std::string displayName(IconStyle s) {
    switch (s) {
        case IconStyle::chatBubble:
            return "Fumetto Chat (A) + Check verde";
        case IconStyle::keyboard:
            return "Tastiera + Check verde";
        case IconStyle::textAbc:
            return "Testo ABC + Check verde";
        case IconStyle::wand:
            return "Bacchetta magica + Check verde";
        case IconStyle::quorix:
            break;
    }
    return "Quorix Q Brand (Consigliato)";
}

template <>
inline std::vector<IconStyle> allCases<IconStyle>() {
    return {IconStyle::quorix, IconStyle::chatBubble, IconStyle::keyboard, IconStyle::textAbc,
            IconStyle::wand};
}

template <>
inline std::optional<IconStyle> fromRawValue<IconStyle>(std::string_view raw) {
    return detail::findRawValue<IconStyle>(raw);
}

}  // namespace quorix
