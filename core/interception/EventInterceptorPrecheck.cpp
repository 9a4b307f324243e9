#include <string>

#include "core/interception/EventInterceptor.h"
#include "core/text/Text.h"

namespace quorix {

namespace {

constexpr double kShortPauseSeconds = 0.15;
constexpr double kLongPauseSeconds = 0.45;
constexpr std::size_t kMinimumCharacters = 3;

// Editing and caret moves postpone the precheck until the next typed key.
bool cancelsPrecheck(int64_t keyCode) {
    return keyCode == keys::kDelete || keyCode == keys::kForwardDelete ||
           (keyCode >= keys::kLeftArrow && keyCode <= keys::kUpArrow);
}

// A word or sentence boundary: the user is likely to pause.
bool endsWordOrSentence(int64_t keyCode) {
    return keyCode == keys::kReturn || keyCode == keys::kComma || keyCode == keys::kPeriod ||
           keyCode == keys::kSpace || keyCode == keys::kKeypadEnter;
}

}  // namespace

void EventInterceptor::scheduleBackgroundPrecheck(int64_t keyCode) {
    if (typedMeanwhile_.isHolding()) {
        return;
    }
    std::lock_guard lock(precheckMutex_);
    if (cancelsPrecheck(keyCode)) {
        precheckDue_ = kNoPrecheck;
        return;
    }
    const dispatch::Duration delay =
        dispatch::seconds(endsWordOrSentence(keyCode) ? kShortPauseSeconds : kLongPauseSeconds);
    precheckDue_ = (s_.dispatcher.clock().now() + delay).count();
    if (precheckTimerAt_ == kNoPrecheck || precheckDue_ < precheckTimerAt_) {
        armPrecheckLocked(delay);
    }
}

void EventInterceptor::armPrecheckLocked(dispatch::Duration after) {
    precheckTimerAt_ = precheckDue_;
    precheckQueue_->asyncAfter(after, [weak = weakSelf_, at = precheckTimerAt_] {
        if (auto self = weak.lock()) {
            (*self)->onPrecheckTimer(at);
        }
    });
}

void EventInterceptor::onPrecheckTimer(int64_t at) {
    {
        std::lock_guard lock(precheckMutex_);
        if (precheckTimerAt_ != at) {
            return;  // replaced by a timer set for earlier
        }
        if (precheckDue_ == kNoPrecheck) {
            precheckTimerAt_ = kNoPrecheck;
            return;
        }
        const int64_t now = s_.dispatcher.clock().now().count();
        if (now < precheckDue_) {
            armPrecheckLocked(dispatch::Duration(precheckDue_ - now));
            return;
        }
        precheckDue_ = kNoPrecheck;
        precheckTimerAt_ = kNoPrecheck;
    }
    performBackgroundPrecheck();
}

void EventInterceptor::performBackgroundPrecheck() {
    if (typedMeanwhile_.isHolding() || !s_.config.isEnabled()) {
        return;
    }
    const auto front = s_.workspace.frontmostApplication();
    if (!front || !s_.config.isAppTargeted(front->bundleIdentifier, front->localizedName)) {
        return;
    }
    if (BrowserDetector::isBrowserApp(front->bundleIdentifier) &&
        browser_->isBrowserAddressBarOrUI(*front)) {
        return;
    }
    const auto focused = fieldIO_->getFocusedElementAndText(*front);
    if (!focused.text) {
        return;
    }
    const std::string& fieldText = *focused.text;
    const std::string trimmed = text::trim(fieldText);
    if (text::characterCount(trimmed) < kMinimumCharacters) {
        return;
    }
    if (s_.cache.get(trimmed)) {
        return;
    }
    if (!heuristics_->hasPotentialTypo(fieldText)) {
        return;
    }
    if (s_.config.toneStyle() != ToneStyle::natural) {
        return;
    }
    const auto corrected = s_.dictionary.tryCorrectLocally(fieldText);
    if (!corrected || heuristics_->hasPotentialTypo(*corrected)) {
        return;
    }
    s_.cache.set(trimmed, *corrected);
    s_.logger.log("⚡️ [Pre-Check Locale 0ms] Risolto interamente on-device senza AI: \"" + trimmed +
                  "\" -> \"" + *corrected + "\"");
}

}  // namespace quorix
