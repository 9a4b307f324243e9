#pragma once
// What a second launch of the program asks of the running one, as sent over
// the per-user local socket: one line, "reopen\n" or "open " + link + "\n",
// answered by "ok\n" once handled. Pure logic, total on any input.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace quorix::app {

struct InstanceRequest {
    enum class Kind { reopen, open };
    Kind kind = Kind::reopen;
    std::string url;  // for open
    bool operator==(const InstanceRequest&) const = default;
};

// A request longer than this (line feed included) is refused unread.
inline constexpr std::size_t kMaxInstanceRequestBytes = 4096;
inline constexpr std::string_view kInstanceReply = "ok\n";

std::string encodeInstanceRequest(const InstanceRequest& request);
// nullopt unless `bytes` is exactly one well-formed line: a known verb, no
// control characters, valid UTF-8, within the size limit.
std::optional<InstanceRequest> decodeInstanceRequest(std::string_view bytes);

}  // namespace quorix::app
