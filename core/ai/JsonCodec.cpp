#include "core/ai/JsonCodec.h"

#include "core/text/Text.h"

namespace quorix {

namespace {

// True when the nesting of objects and arrays outside strings stays within
// the limit. Malformed input may pass; the parser rejects it.
bool nestingWithin(std::string_view body, int limit) {
    int depth = 0;
    bool inString = false;
    bool escaped = false;
    for (char c : body) {
        if (inString) {
            if (escaped) {
                escaped = false;
            } else if (c == '\\') {
                escaped = true;
            } else if (c == '"') {
                inString = false;
            }
            continue;
        }
        switch (c) {
            case '"':
                inString = true;
                break;
            case '{':
            case '[':
                if (++depth > limit) {
                    return false;
                }
                break;
            case '}':
            case ']':
                --depth;
                break;
            default:
                break;
        }
    }
    return true;
}

void sanitizeStrings(nlohmann::ordered_json& value) {
    if (value.is_string()) {
        auto& s = value.get_ref<std::string&>();
        if (!text::isValidUtf8(s)) {
            s = text::sanitizeUtf8(s);
        }
    } else if (value.is_structured()) {
        for (auto& element : value) {
            sanitizeStrings(element);
        }
    }
}

}  // namespace

std::optional<std::string> JsonCodec::serialize(const nlohmann::ordered_json& value) {
    try {
        nlohmann::ordered_json copy = value;
        sanitizeStrings(copy);
        // '/' occurs only inside strings, so escaping it everywhere is safe.
        return text::replaceAll(copy.dump(), "/", "\\/");
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

std::optional<nlohmann::json> JsonCodec::parse(std::string_view body) {
    if (body.size() > kMaxBodyBytes || !nestingWithin(body, kMaxDepth)) {
        return std::nullopt;
    }
    nlohmann::json value = nlohmann::json::parse(body, nullptr, /*allow_exceptions=*/false);
    if (value.is_discarded()) {
        return std::nullopt;
    }
    return value;
}

Error JsonCodec::parseError() {
    return Error{"JSON", 3840, "Impossibile leggere i dati perché il formato non è corretto."};
}

const std::string* JsonCodec::stringMember(const nlohmann::json& object, std::string_view key) {
    if (!object.is_object()) {
        return nullptr;
    }
    auto it = object.find(key);
    if (it == object.end() || !it->is_string()) {
        return nullptr;
    }
    return &it->get_ref<const std::string&>();
}

const nlohmann::json* JsonCodec::objectMember(const nlohmann::json& object, std::string_view key) {
    if (!object.is_object()) {
        return nullptr;
    }
    auto it = object.find(key);
    if (it == object.end() || !it->is_object()) {
        return nullptr;
    }
    return &*it;
}

const nlohmann::json* JsonCodec::objectArrayMember(const nlohmann::json& object,
                                                   std::string_view key) {
    if (!object.is_object()) {
        return nullptr;
    }
    auto it = object.find(key);
    if (it == object.end() || !it->is_array() || it->empty()) {
        return nullptr;
    }
    for (const auto& element : *it) {
        if (!element.is_object()) {
            return nullptr;
        }
    }
    return &*it;
}

}  // namespace quorix
