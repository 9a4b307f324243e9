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

namespace {

// Streams a document straight into a TypoMap: accepts exactly one top-level
// object whose every value is a string; anything else aborts the parse.
class TypoMapReader final : public nlohmann::json_sax<nlohmann::json> {
  public:
    TypoMap map;

    bool null() override { return false; }
    bool boolean(bool) override { return false; }
    bool number_integer(number_integer_t) override { return false; }
    bool number_unsigned(number_unsigned_t) override { return false; }
    bool number_float(number_float_t, const string_t&) override { return false; }
    bool binary(binary_t&) override { return false; }
    bool start_array(std::size_t) override { return false; }
    bool end_array() override { return false; }
    bool start_object(std::size_t) override { return depth_++ == 0; }
    bool end_object() override {
        --depth_;
        return true;
    }
    bool key(string_t& k) override {
        key_ = std::move(k);
        return true;
    }
    bool string(string_t& value) override {
        if (depth_ != 1) {
            return false;
        }
        // A repeated member keeps its last value, as a whole-document parse does.
        map.insert_or_assign(std::move(key_), std::move(value));
        return true;
    }
    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) override {
        return false;
    }

  private:
    int depth_ = 0;
    std::string key_;
};

}  // namespace

std::optional<TypoMap> parseTypoMap(std::string_view document) {
    TypoMapReader reader;
    reader.map.reserve(document.size() / 24);
    const bool ok =
        nlohmann::json::sax_parse(document, &reader, nlohmann::json::input_format_t::json,
                                  /*strict=*/true);
    if (!ok) {
        return std::nullopt;
    }
    return std::move(reader.map);
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
