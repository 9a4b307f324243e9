#include "core/interception/HeadlessNotice.h"

#include "core/dispatch/Clock.h"

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
    logger_.log("💬 [Notice] " + text + " (" + dispatch::formatSeconds(duration, 1) + "s)");
}

}  // namespace quorix
