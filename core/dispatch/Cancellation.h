#pragma once
// A one-way switch shared by the parties of one piece of asynchronous work:
// whoever gives up on the work cancels it, and the parties doing it stop as
// soon as they look (isCancelled) or are told (onCancel). Thread: any.

#include <cstdint>
#include <functional>
#include <map>
#include <mutex>

namespace quorix::dispatch {

class Cancellation {
  public:
    using Registration = std::uint64_t;

    Cancellation() = default;
    Cancellation(const Cancellation&) = delete;
    Cancellation& operator=(const Cancellation&) = delete;

    // Idempotent. Runs every registered callback once, on this thread.
    void cancel();
    bool isCancelled() const;

    // `callback` runs at cancel(), or at once on this thread when already
    // cancelled. Callbacks must be short and must not call back into this
    // object: they run under its lock.
    Registration onCancel(std::function<void()> callback);
    // After it returns the callback neither runs nor will run.
    void remove(Registration registration);

  private:
    mutable std::mutex mutex_;
    bool cancelled_ = false;
    Registration next_ = 1;
    std::map<Registration, std::function<void()>> callbacks_;
};

}  // namespace quorix::dispatch
