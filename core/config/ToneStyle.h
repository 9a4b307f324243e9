#pragma once
// Tone of AI corrections outside the work applications.

#include <string>
#include <string_view>

#include "core/config/RawValue.h"

namespace quorix {

enum class ToneStyle { natural, formal };

inline std::string_view rawValue(ToneStyle t) {
    switch (t) {
        case ToneStyle::formal:
            return "formal";
        case ToneStyle::natural:
            break;
    }
    return "natural";
}

inline std::string displayName(ToneStyle t) {
    switch (t) {
        case ToneStyle::formal:
            return "Professionale / Lavoro (Cura accenti e maiuscole)";
        case ToneStyle::natural:
            break;
    }
    return "Naturale / Chat (Preserva slang e stile informale)";
}

template <>
inline std::vector<ToneStyle> allCases<ToneStyle>() {
    return {ToneStyle::natural, ToneStyle::formal};
}

template <>
inline std::optional<ToneStyle> fromRawValue<ToneStyle>(std::string_view raw) {
    return detail::findRawValue<ToneStyle>(raw);
}

}  // namespace quorix
