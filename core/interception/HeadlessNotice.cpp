#include "core/interception/HeadlessNotice.h"

#include <cstdio>

namespace quorix {

void HeadlessNotice::show(const std::string& text) {
    logger_.log("💬 [Notice] " + text);
}

void HeadlessNotice::hide(const std::optional<std::string>& completionText,
                          const std::optional<std::string>& changedWord) {
    if (!completionText) {
        logger_.log("💬 [Notice] (nascosta)");
        return;
    }
    std::string line = "💬 [Notice] ✓ " + *completionText;
    if (changedWord && !changedWord->empty()) {
        line += " (parola: \"" + *changedWord + "\")";
    }
    logger_.log(line);
}

void HeadlessNotice::showToast(const std::string& text, double duration) {
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.1f", duration);
    logger_.log("💬 [Notice] " + text + " (" + seconds + "s)");
}

}  // namespace quorix
