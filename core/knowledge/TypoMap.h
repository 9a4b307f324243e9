#pragma once
// Typo → correction maps and their JSON form: a top-level object whose members
// are all strings. A document with any other shape is rejected as a whole.

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include <nlohmann/json_fwd.hpp>

namespace quorix {

using TypoMap = std::unordered_map<std::string, std::string>;
using TypoMapPtr = std::shared_ptr<const TypoMap>;

// The members of `value` when it is an object of strings; nullopt otherwise.
std::optional<TypoMap> typoMapFromJson(const nlohmann::json& value);
// Parses a whole document; nullopt when it is not an object of strings.
std::optional<TypoMap> parseTypoMap(std::string_view document);
// Pretty-printed (indented, one member per line) JSON object of the pairs.
std::string typoMapToPrettyJson(const TypoMap& map);

// Pairs every installation knows without any file. They only mark typos as
// known (see LocalTypoDictionary); they never correct a text by themselves.
const std::vector<std::pair<std::string_view, std::string_view>>& builtInTypoPairs();

}  // namespace quorix
