#pragma once
// A cancellable unit of work. Cancelling before it runs makes it a no-op;
// cancelling while it runs lets it finish. Safe to cancel from any thread.

#include <atomic>
#include <functional>
#include <memory>

namespace quorix::dispatch {

class WorkItem {
  public:
    explicit WorkItem(std::function<void()> fn) : fn_(std::move(fn)) {}
    static std::shared_ptr<WorkItem> make(std::function<void()> fn) {
        return std::make_shared<WorkItem>(std::move(fn));
    }

    void cancel() { cancelled_.store(true, std::memory_order_release); }
    bool isCancelled() const { return cancelled_.load(std::memory_order_acquire); }
    // Runs the work unless cancelled.
    void perform() {
        if (!isCancelled() && fn_) {
            fn_();
        }
    }

  private:
    std::function<void()> fn_;
    std::atomic<bool> cancelled_{false};
};

}  // namespace quorix::dispatch
