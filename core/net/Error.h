#pragma once
// An error value travelling through completions: a domain naming who made it
// ("AIClient", "HttpClient", "JSON"), an integer code and a human-readable
// description. Descriptions never contain secrets (keys, query strings).

#include <cstdint>
#include <string>

namespace quorix {

struct Error {
    std::string domain;
    int64_t code = 0;
    std::string description;
    bool operator==(const Error&) const = default;
};

}  // namespace quorix
