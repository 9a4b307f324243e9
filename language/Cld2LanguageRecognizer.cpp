#include "language/Cld2LanguageRecognizer.h"

// clang-format off
#include <cstdio>  // CLD2's header uses FILE without including it
#include <cld2/public/compact_lang_det.h>
#include <cld2/public/encodings.h>
// clang-format on

#include <climits>

namespace quorix::language {

void Cld2LanguageRecognizer::reset() {
    text_.clear();
}

void Cld2LanguageRecognizer::processString(std::string_view text) {
    if (!text_.empty() && !text.empty()) {
        text_.push_back('\n');
    }
    text_.append(text);
}

std::string Cld2LanguageRecognizer::dominantLanguage() {
    const Cld2Analysis analysis = analyse(text_);
    return analysis.reliable ? analysis.code : std::string();
}

std::string Cld2LanguageRecognizer::isoCode(std::string_view cld2Code) {
    if (cld2Code.empty() || cld2Code == "un" || cld2Code == "xx") {
        return {};
    }
    if (cld2Code == "iw") {
        return "he";
    }
    if (cld2Code == "jw") {
        return "jv";
    }
    if (cld2Code == "in") {
        return "id";
    }
    if (cld2Code == "ji") {
        return "yi";
    }
    if (cld2Code == "zh-Hant") {
        return "zh";
    }
    return std::string(cld2Code);
}

Cld2Analysis Cld2LanguageRecognizer::analyse(std::string_view text) {
    Cld2Analysis out;
    if (text.empty() || text.size() > static_cast<std::size_t>(INT_MAX)) {
        return out;
    }
    const CLD2::CLDHints hints{nullptr, nullptr, CLD2::UNKNOWN_ENCODING, CLD2::UNKNOWN_LANGUAGE};
    CLD2::Language language3[3];
    int percent3[3] = {0, 0, 0};
    double score3[3] = {0.0, 0.0, 0.0};
    int textBytes = 0;
    bool reliable = false;
    int validPrefix = 0;
    const CLD2::Language top = CLD2::ExtDetectLanguageSummaryCheckUTF8(
        text.data(), static_cast<int>(text.size()), true, &hints, 0, language3, percent3, score3,
        nullptr, &textBytes, &reliable, &validPrefix);
    if (validPrefix < static_cast<int>(text.size())) {
        return out;  // invalid UTF-8: CLD2 refused the text
    }
    out.code = isoCode(CLD2::LanguageCode(top));
    out.reliable = reliable && !out.code.empty();
    out.textBytes = textBytes;
    for (std::size_t i = 0; i < out.top.size(); ++i) {
        out.top[i].code = isoCode(CLD2::LanguageCode(language3[i]));
        out.top[i].percent = percent3[i];
        out.top[i].score = score3[i];
    }
    return out;
}

}  // namespace quorix::language
