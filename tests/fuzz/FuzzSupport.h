#pragma once
// Helpers shared by the libFuzzer targets: a check that aborts (libFuzzer
// reports it with the input that broke it) and the splitting of one input into
// the several documents a target feeds.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

// Aborts with the failed condition when an invariant of the code under test
// does not hold.
#define FUZZ_CHECK(condition)                                                             \
    do {                                                                                  \
        if (!(condition)) {                                                               \
            std::fprintf(stderr, "FUZZ_CHECK failed: %s (%s:%d)\n", #condition, __FILE__, \
                         __LINE__);                                                       \
            std::abort();                                                                 \
        }                                                                                 \
    } while (false)

namespace quorix::fuzz {

inline std::string_view asText(const uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// The input cut at NUL bytes into exactly `count` parts: missing parts are
// empty, the last part keeps any further NUL bytes.
inline std::vector<std::string_view> splitInput(const uint8_t* data, std::size_t size,
                                                std::size_t count) {
    std::vector<std::string_view> parts;
    std::string_view rest = asText(data, size);
    while (parts.size() + 1 < count) {
        const std::size_t cut = rest.find('\0');
        if (cut == std::string_view::npos) {
            break;
        }
        parts.push_back(rest.substr(0, cut));
        rest.remove_prefix(cut + 1);
    }
    parts.push_back(rest);
    parts.resize(count);
    return parts;
}

}  // namespace quorix::fuzz
