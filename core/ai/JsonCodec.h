#pragma once
// JSON at the wire: compact serialisation of request bodies and guarded
// parsing of untrusted reply bodies.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "core/net/Error.h"

namespace quorix {

class JsonCodec {
  public:
    // Replies nested deeper than this, or larger than kMaxBodyBytes, are
    // rejected before the parser sees them.
    static constexpr int kMaxDepth = 64;
    static constexpr std::size_t kMaxBodyBytes = 8u << 20;

    // Compact output with "/" escaped as "\/"; strings are sanitised to valid
    // UTF-8 first. nullopt when the value cannot be serialised.
    static std::optional<std::string> serialize(const nlohmann::ordered_json& value);

    // nullopt when body is not JSON, too deep or too large.
    static std::optional<nlohmann::json> parse(std::string_view body);

    // The error reported for a body that is not JSON (domain "JSON").
    static Error parseError();

    // A string member of an object, or nullptr when absent or not a string.
    static const std::string* stringMember(const nlohmann::json& object, std::string_view key);
    // An object member of an object, or nullptr.
    static const nlohmann::json* objectMember(const nlohmann::json& object, std::string_view key);
    // A non-empty array member whose elements are all objects, or nullptr.
    static const nlohmann::json* objectArrayMember(const nlohmann::json& object,
                                                   std::string_view key);
};

}  // namespace quorix
