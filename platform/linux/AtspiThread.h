#pragma once
// One thread running a private GLib main context. libatspi is not thread-safe:
// every libatspi call of the adapter happens on this thread, and other threads
// hand it work. A caller waits for its work at most a given time; work that
// misses the deadline still runs later, so it must own everything it touches.

#include <atomic>
#include <chrono>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

typedef struct _GMainContext GMainContext;
typedef struct _GMainLoop GMainLoop;

namespace quorix::platform {

class AtspiThread {
  public:
    using Task = std::function<void()>;

    // Starts the thread; the context is its thread default. tearDown runs on
    // it last, after the loop has stopped.
    explicit AtspiThread(Task tearDown);
    // Stops the loop, runs tearDown and joins. Work not started is dropped.
    ~AtspiThread();
    AtspiThread(const AtspiThread&) = delete;
    AtspiThread& operator=(const AtspiThread&) = delete;

    // Runs task on the thread; true when it finished within wait. Called on the
    // thread itself, runs it at once.
    bool run(Task task, std::chrono::milliseconds wait);
    // Queues task without waiting; dropped once the thread is stopping.
    void post(Task task);
    bool isCurrent() const { return std::this_thread::get_id() == id_.load(); }

  private:
    void loop();
    // Runs the oldest posted task (one per idle source attached).
    void runOnePending();

    GMainContext* context_ = nullptr;
    GMainLoop* loop_ = nullptr;
    Task tearDown_;
    std::atomic<std::thread::id> id_{};
    std::atomic<bool> stopping_{false};
    std::mutex pendingMutex_;
    std::deque<Task> pending_;
    std::thread thread_;
};

}  // namespace quorix::platform
