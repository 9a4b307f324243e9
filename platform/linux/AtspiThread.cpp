#include "platform/linux/AtspiThread.h"

#include <glib.h>

#include <condition_variable>
#include <future>
#include <memory>
#include <mutex>

namespace quorix::platform {

namespace {

gboolean runTask(gpointer data) {
    (*static_cast<AtspiThread::Task*>(data))();
    return G_SOURCE_REMOVE;
}

void deleteTask(gpointer data) {
    delete static_cast<AtspiThread::Task*>(data);
}

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
    if (tearDown_)
        tearDown_();
    g_main_context_pop_thread_default(context_);
}

AtspiThread::~AtspiThread() {
    stopping_ = true;
    g_main_loop_quit(loop_);
    g_main_context_wakeup(context_);
    if (thread_.joinable())
        thread_.join();
    g_main_loop_unref(loop_);
    g_main_context_unref(context_);
}

void AtspiThread::post(Task task) {
    if (stopping_)
        return;
    GSource* source = g_idle_source_new();
    g_source_set_priority(source, G_PRIORITY_DEFAULT);
    g_source_set_callback(source, runTask, new Task(std::move(task)), deleteTask);
    g_source_attach(source, context_);
    g_source_unref(source);
}

bool AtspiThread::run(Task task, std::chrono::milliseconds wait) {
    if (isCurrent()) {
        task();
        return true;
    }
    if (stopping_)
        return false;
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
