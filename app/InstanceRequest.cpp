#include "app/InstanceRequest.h"

namespace quorix::app {
namespace {

bool isValidUtf8(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        std::size_t extra = 0;
        if (c < 0x80) {
            extra = 0;
        } else if (c >= 0xC2 && c <= 0xDF) {
            extra = 1;
        } else if (c >= 0xE0 && c <= 0xEF) {
            extra = 2;
        } else if (c >= 0xF0 && c <= 0xF4) {
            extra = 3;
        } else {
            return false;
        }
        if (extra > 0 && i + extra >= s.size()) {
            return false;
        }
        for (std::size_t k = 1; k <= extra; ++k) {
            const auto cc = static_cast<unsigned char>(s[i + k]);
            if ((cc & 0xC0) != 0x80) {
                return false;
            }
        }
        // Overlong three- and four-byte forms and surrogates.
        if (extra == 2) {
            const auto c1 = static_cast<unsigned char>(s[i + 1]);
            if ((c == 0xE0 && c1 < 0xA0) || (c == 0xED && c1 >= 0xA0)) {
                return false;
            }
        } else if (extra == 3) {
            const auto c1 = static_cast<unsigned char>(s[i + 1]);
            if ((c == 0xF0 && c1 < 0x90) || (c == 0xF4 && c1 >= 0x90)) {
                return false;
            }
        }
        i += extra + 1;
    }
    return true;
}

}  // namespace

std::string encodeInstanceRequest(const InstanceRequest& request) {
    if (request.kind == InstanceRequest::Kind::reopen) {
        return "reopen\n";
    }
    return "open " + request.url + "\n";
}

std::optional<InstanceRequest> decodeInstanceRequest(std::string_view bytes) {
    if (bytes.size() > kMaxInstanceRequestBytes || bytes.empty() || bytes.back() != '\n') {
        return std::nullopt;
    }
    const std::string_view line = bytes.substr(0, bytes.size() - 1);
    for (unsigned char c : line) {
        if (c < 0x20 || c == 0x7f) {
            return std::nullopt;
        }
    }
    if (!isValidUtf8(line)) {
        return std::nullopt;
    }
    if (line == "reopen") {
        return InstanceRequest{InstanceRequest::Kind::reopen, {}};
    }
    constexpr std::string_view kOpen = "open ";
    if (line.substr(0, kOpen.size()) == kOpen && line.size() > kOpen.size()) {
        return InstanceRequest{InstanceRequest::Kind::open, std::string(line.substr(kOpen.size()))};
    }
    return std::nullopt;
}

}  // namespace quorix::app
