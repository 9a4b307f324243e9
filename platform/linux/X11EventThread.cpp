#include "platform/linux/X11EventThread.h"

#include <X11/Xlib.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <condition_variable>
#include <utility>

#include "platform/linux/X11Display.h"

namespace quorix::platform {

X11EventThread::~X11EventThread() {
    stop();
}

bool X11EventThread::start(const std::string& displayName, Callbacks callbacks) {
    if (running_.load()) {
        return false;
    }
    Display* display = X11Display::open(displayName);
    if (display == nullptr) {
        return false;
    }
    if (callbacks.setup && !callbacks.setup(display)) {
        XCloseDisplay(display);
        return false;
    }
    wakeFd_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (wakeFd_ < 0) {
        XCloseDisplay(display);
        return false;
    }
    display_ = display;
    callbacks_ = std::move(callbacks);
    stopping_.store(false);
    running_.store(true);
    thread_ = std::thread([this] { loop(); });
    return true;
}

void X11EventThread::stop() {
    if (!thread_.joinable()) {
        return;
    }
    stopping_.store(true);
    wake();
    thread_.join();
    running_.store(false);
    XCloseDisplay(display_);
    display_ = nullptr;
    close(wakeFd_);
    wakeFd_ = -1;
    std::lock_guard lock(tasksMutex_);
    tasks_.clear();
}

void X11EventThread::post(Task task) {
    if (!running_.load() || stopping_.load()) {
        return;
    }
    {
        std::lock_guard lock(tasksMutex_);
        tasks_.push_back(std::move(task));
    }
    wake();
}

bool X11EventThread::runAndWait(const Task& task, std::chrono::milliseconds limit) {
    if (isCurrent()) {
        task(display_);
        return true;
    }
    // Shared with the posted closure: a task that has not started when the
    // caller gives up is abandoned and never runs (it may reference the
    // caller's stack); one that has started is waited for.
    struct State {
        std::mutex mutex;
        std::condition_variable cv;
        bool started = false;
        bool done = false;
        bool abandoned = false;
    };
    auto state = std::make_shared<State>();
    post([state, &task](_XDisplay* display) {
        {
            std::lock_guard lock(state->mutex);
            if (state->abandoned) {
                return;
            }
            state->started = true;
        }
        task(display);
        std::lock_guard lock(state->mutex);
        state->done = true;
        state->cv.notify_all();
    });
    std::unique_lock lock(state->mutex);
    if (state->cv.wait_for(lock, limit, [&] { return state->done; })) {
        return true;
    }
    if (!state->started) {
        state->abandoned = true;
        return false;
    }
    state->cv.wait(lock, [&] { return state->done; });
    return true;
}

void X11EventThread::wake() {
    if (wakeFd_ < 0) {
        return;
    }
    const uint64_t one = 1;
    [[maybe_unused]] const auto written = write(wakeFd_, &one, sizeof one);
}

void X11EventThread::loop() {
    Display* display = display_;
    const int xfd = ConnectionNumber(display);
    auto lastTick = std::chrono::steady_clock::now();
    while (!stopping_.load()) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            const bool cookie =
                event.type == GenericEvent && XGetEventData(display, &event.xcookie);
            if (callbacks_.event) {
                callbacks_.event(display, event);
            }
            if (cookie) {
                XFreeEventData(display, &event.xcookie);
            }
        }
        std::vector<Task> tasks;
        {
            std::lock_guard lock(tasksMutex_);
            tasks.swap(tasks_);
        }
        for (auto& task : tasks) {
            task(display);
        }
        const auto interval = std::chrono::milliseconds(tickMs_.load());
        const auto now = std::chrono::steady_clock::now();
        if (now - lastTick >= interval) {
            lastTick = now;
            if (callbacks_.tick) {
                callbacks_.tick(display);
            }
        }
        XFlush(display);
        if (XPending(display) > 0) {
            continue;
        }
        {
            std::lock_guard lock(tasksMutex_);
            if (!tasks_.empty()) {
                continue;
            }
        }
        pollfd fds[2] = {{xfd, POLLIN, 0}, {wakeFd_, POLLIN, 0}};
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            interval - (std::chrono::steady_clock::now() - lastTick));
        poll(fds, 2, static_cast<int>(std::max<long long>(left.count(), 1)));
        if ((fds[1].revents & POLLIN) != 0) {
            uint64_t count = 0;
            [[maybe_unused]] const auto got = read(wakeFd_, &count, sizeof count);
        }
    }
    if (callbacks_.teardown) {
        callbacks_.teardown(display);
    }
    XSync(display, False);
}

}  // namespace quorix::platform
