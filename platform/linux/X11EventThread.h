#pragma once
// One X connection served by a thread of its own: reads the connection's events
// and hands each to a callback, runs closures posted from other threads, and
// calls a periodic tick. Everything the callbacks do with the connection
// happens on this thread, in order.
//
// Generic (XInput2) events arrive with their cookie data fetched; the callback
// must not free it.

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct _XDisplay;
union _XEvent;

namespace quorix::platform {

class X11EventThread {
  public:
    using Task = std::function<void(_XDisplay*)>;
    struct Callbacks {
        // Runs on the calling thread of start(), before the thread runs;
        // false aborts the start.
        std::function<bool(_XDisplay*)> setup;
        std::function<void(_XDisplay*, _XEvent&)> event;
        // Called about every tickInterval() (and after each batch of events).
        Task tick;
        // Runs on the thread just before the connection closes.
        Task teardown;
    };

    X11EventThread() = default;
    ~X11EventThread();
    X11EventThread(const X11EventThread&) = delete;
    X11EventThread& operator=(const X11EventThread&) = delete;

    // Opens the display ($DISPLAY when empty) and starts the thread.
    bool start(const std::string& displayName, Callbacks callbacks);
    // Runs teardown, closes the connection and joins. Idempotent; never call it
    // from the thread itself.
    void stop();
    bool isRunning() const { return running_.load(); }
    bool isCurrent() const { return std::this_thread::get_id() == thread_.get_id(); }

    // Runs task on the thread; dropped when the thread is not running.
    void post(Task task);
    // Runs task on the thread and waits for it at most `limit`; false when it
    // did not run in time (it may still run later). Runs inline on the thread.
    bool runAndWait(const Task& task, std::chrono::milliseconds limit);

    // How often tick runs (may be changed from the thread's callbacks).
    void setTickInterval(std::chrono::milliseconds interval) { tickMs_.store(interval.count()); }

  private:
    void loop();
    void wake();

    Callbacks callbacks_;
    _XDisplay* display_ = nullptr;
    int wakeFd_ = -1;
    std::thread thread_;
    std::atomic<bool> running_{false};
    std::atomic<bool> stopping_{false};
    std::atomic<long long> tickMs_{250};
    std::mutex tasksMutex_;
    std::vector<Task> tasks_;
};

}  // namespace quorix::platform
