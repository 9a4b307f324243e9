#include "core/dispatch/Cancellation.h"

#include <utility>

namespace quorix::dispatch {

void Cancellation::cancel() {
    std::lock_guard lock(mutex_);
    if (cancelled_) {
        return;
    }
    cancelled_ = true;
    for (auto& [registration, callback] : callbacks_) {
        callback();
    }
    callbacks_.clear();
}

bool Cancellation::isCancelled() const {
    std::lock_guard lock(mutex_);
    return cancelled_;
}

Cancellation::Registration Cancellation::onCancel(std::function<void()> callback) {
    std::lock_guard lock(mutex_);
    const Registration registration = next_++;
    if (cancelled_) {
        callback();
    } else {
        callbacks_.emplace(registration, std::move(callback));
    }
    return registration;
}

void Cancellation::remove(Registration registration) {
    std::lock_guard lock(mutex_);
    callbacks_.erase(registration);
}

}  // namespace quorix::dispatch
