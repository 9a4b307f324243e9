#pragma once
// Outcome of one AI correction: a text on success, an error value on failure.
// Exactly one of the two is set.

#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "core/net/Error.h"

namespace quorix {

struct CorrectionResult {
    std::optional<std::string> text;
    std::optional<Error> error;

    static CorrectionResult success(std::string value) {
        return CorrectionResult{std::move(value), std::nullopt};
    }
    static CorrectionResult failure(Error e) {
        return CorrectionResult{std::nullopt, std::move(e)};
    }
    bool ok() const { return text.has_value(); }
};

using CorrectionCompletion = std::function<void(CorrectionResult)>;

}  // namespace quorix
