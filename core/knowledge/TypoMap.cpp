#include "core/knowledge/TypoMap.h"

#include <nlohmann/json.hpp>

namespace quorix {

std::optional<TypoMap> typoMapFromJson(const nlohmann::json& value) {
    if (!value.is_object()) {
        return std::nullopt;
    }
    TypoMap map;
    map.reserve(value.size());
    for (const auto& [key, item] : value.items()) {
        if (!item.is_string()) {
            return std::nullopt;
        }
        map.emplace(key, item.get<std::string>());
    }
    return map;
}

std::optional<TypoMap> parseTypoMap(std::string_view document) {
    const auto doc = nlohmann::json::parse(document, nullptr, /*allow_exceptions=*/false);
    return typoMapFromJson(doc);
}

std::string typoMapToPrettyJson(const TypoMap& map) {
    nlohmann::json doc = nlohmann::json::object();
    for (const auto& [typo, correction] : map) {
        doc[typo] = correction;
    }
    return doc.dump(2, ' ', false, nlohmann::json::error_handler_t::replace);
}

const std::vector<std::pair<std::string_view, std::string_view>>& builtInTypoPairs() {
    static const std::vector<std::pair<std::string_view, std::string_view>> pairs = {
        {"cih", "chi"},
        {"cge", "che"},
        {"nno", "non"},
        {"plova", "prova"},
        {"ptova", "prova"},
        {"quetso", "questo"},
        {"qeusto", "questo"},
        {"voltr", "volte"},
        {"alter", "altre"},
        {"digiurati", "figurati"},
        {"digurati", "figurati"},
        {"fale", "fare"},
        {"scirtto", "scritto"},
        {"poblema", "problema"},
        {"gironata", "giornata"},
        {"quidni", "quindi"},
        {"graize", "grazie"},
        {"stlonzo", "stronzo"},
        {"stlonzi", "stronzi"},
        {"caxxo", "cazzo"},
        {"mnerda", "merda"},
        {"teh", "the"},
        {"taht", "that"},
        {"waht", "what"},
        {"wiht", "with"},
        {"yuo", "you"},
        {"becuase", "because"},
        {"definately", "definitely"},
        {"tommorrow", "tomorrow"},
    };
    return pairs;
}

}  // namespace quorix
