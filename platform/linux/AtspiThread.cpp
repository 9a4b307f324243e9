#include "platform/linux/AtspiThread.h"

#include <glib.h>

#include <condition_variable>
#include <future>
#include <memory>
#include <mutex>

namespace quorix::platform {

namespace {

struct Completion {
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
};

}  // namespace

AtspiThread::AtspiThread(Task tearDown) : tearDown_(std::move(tearDown)) {
    context_ = g_main_context_new();
    loop_ = g_main_loop_new(context_, FALSE);
    std::promise<void> ready;
    auto started = ready.get_future();
    thread_ = std::thread([this, &ready] {
        id_ = std::this_thread::get_id();
        g_main_context_push_thread_default(context_);
        ready.set_value();
        loop();
    });
    started.wait();
}

void AtspiThread::loop() {
    g_main_loop_run(loop_);
    if (tearDown_) {
        tearDown_();
    }
    g_main_context_pop_thread_default(context_);
}

AtspiThread::~AtspiThread() {
    stopping_ = true;
    g_main_loop_quit(loop_);
    g_main_context_wakeup(context_);
    if (thread_.joinable()) {
        thread_.join();
    }
    g_main_loop_unref(loop_);
    g_main_context_unref(context_);
}

// Tasks travel through pending_ under our own lock; the idle source only
// wakes the thread. (GLib's own locks are futexes that ThreadSanitizer cannot
// see, so a task handed over inside the source would look unordered.)
void AtspiThread::post(Task task) {
    if (stopping_) {
        return;
    }
    {
        std::lock_guard lock(pendingMutex_);
        pending_.push_back(std::move(task));
    }
    GSource* source = g_idle_source_new();
    g_source_set_priority(source, G_PRIORITY_DEFAULT);
    g_source_set_callback(
        source,
        [](gpointer self) -> gboolean {
            static_cast<AtspiThread*>(self)->runOnePending();
            return G_SOURCE_REMOVE;
        },
        this, nullptr);
    g_source_attach(source, context_);
    g_source_unref(source);
}

void AtspiThread::runOnePending() {
    Task task;
    {
        std::lock_guard lock(pendingMutex_);
        if (pending_.empty()) {
            return;
        }
        task = std::move(pending_.front());
        pending_.pop_front();
    }
    task();
}

bool AtspiThread::run(Task task, std::chrono::milliseconds wait) {
    if (isCurrent()) {
        task();
        return true;
    }
    if (stopping_) {
        return false;
    }
    auto completion = std::make_shared<Completion>();
    post([task = std::move(task), completion] {
        task();
        std::lock_guard lock(completion->mutex);
        completion->finished = true;
        completion->done.notify_all();
    });
    std::unique_lock lock(completion->mutex);
    return completion->done.wait_for(lock, wait, [&] { return completion->finished; });
}

}  // namespace quorix::platform
