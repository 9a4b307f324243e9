#pragma once
// What a reply parser hands back: the result for the caller and, when the
// reply deserves one, the log line to write (never holding a secret).

#include <optional>
#include <string>

#include "core/ai/CorrectionResult.h"

namespace quorix {

struct WireReply {
    CorrectionResult result;
    std::optional<std::string> logLine;
};

// An error made by the AI client itself.
inline Error aiClientError(int64_t code, std::string description) {
    return Error{"AIClient", code, std::move(description)};
}

}  // namespace quorix
