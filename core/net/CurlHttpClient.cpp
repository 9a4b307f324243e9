#include "core/net/CurlHttpClient.h"

#include <curl/curl.h>

#include <algorithm>
#include <chrono>
#include <stdexcept>
#include <utility>

#include "core/net/CurlTransfer.h"
#include "core/net/HttpErrors.h"
#include "core/net/RequestCheck.h"

namespace quorix::net {

namespace {

using SteadyClock = std::chrono::steady_clock;
using Transfers = std::vector<std::unique_ptr<CurlTransfer>>;

// Longest single wait of the worker; new requests and shutdown wake it sooner.
constexpr auto kMaxPoll = std::chrono::milliseconds(1000);

CURLM* asMulti(void* handle) {
    return static_cast<CURLM*>(handle);
}

void initialiseCurlOnce() {
    static const bool initialised = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    if (!initialised) {
        throw std::runtime_error("libcurl could not be initialised");
    }
}

// A finished exchange whose completion is still to be called.
struct Finished {
    HttpClient::Completion completion;
    HttpResult result;
};

void deliver(std::vector<Finished>& finished) {
    for (auto& item : finished) {
        item.completion(std::move(item.result));
    }
    finished.clear();
}

}  // namespace

CurlHttpClient::CurlHttpClient(Options options) : options_(std::move(options)) {
    initialiseCurlOnce();
    multi_ = curl_multi_init();
    if (multi_ == nullptr) {
        throw std::runtime_error("libcurl multi handle could not be created");
    }
    curl_multi_setopt(asMulti(multi_), CURLMOPT_MAX_HOST_CONNECTIONS,
                      std::max(1L, options_.maxConnectionsPerHost));
    worker_ = std::thread([this] { run(); });
}

CurlHttpClient::~CurlHttpClient() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    curl_multi_wakeup(asMulti(multi_));
    worker_.join();
    curl_multi_cleanup(asMulti(multi_));
}

void CurlHttpClient::send(HttpRequest request, Completion completion) {
    if (auto refusal = checkRequest(request)) {
        HttpResult result;
        result.error = std::move(*refusal);
        completion(std::move(result));
        return;
    }
    auto transfer =
        std::make_unique<CurlTransfer>(std::move(request), std::move(completion), options_);
    if (!transfer->valid()) {
        auto callback = transfer->takeCompletion();
        callback(transfer->fail(httpError(kHttpOther)));
        return;
    }
    if (transfer->cancelled()) {
        auto callback = transfer->takeCompletion();
        callback(transfer->fail(httpError(kHttpCancelled)));
        return;
    }
    // A cancellation wakes the worker, which retires the transfer.
    transfer->watchCancellation([multi = multi_] { curl_multi_wakeup(asMulti(multi)); });
    {
        std::unique_lock lock(mutex_);
        if (!stopping_) {
            queued_.push_back(std::move(transfer));
            lock.unlock();
            curl_multi_wakeup(asMulti(multi_));
            return;
        }
    }
    auto callback = transfer->takeCompletion();
    callback(transfer->fail(httpError(kHttpCancelled)));
}

void CurlHttpClient::run() {
    CURLM* multi = asMulti(multi_);
    Transfers active;
    std::vector<Finished> finished;

    // Takes active[index] out of the multi handle and schedules its completion.
    auto retire = [&](std::size_t index, HttpResult result) {
        CurlTransfer& transfer = *active[index];
        curl_multi_remove_handle(multi, static_cast<CURL*>(transfer.easyHandle()));
        finished.push_back({transfer.takeCompletion(), std::move(result)});
        active.erase(active.begin() + static_cast<std::ptrdiff_t>(index));
    };

    for (;;) {
        Transfers incoming;
        bool stop = false;
        {
            std::lock_guard lock(mutex_);
            incoming.swap(queued_);
            stop = stopping_;
        }
        if (stop) {
            for (auto& transfer : incoming) {
                finished.push_back(
                    {transfer->takeCompletion(), transfer->fail(httpError(kHttpCancelled))});
            }
            incoming.clear();
            while (!active.empty()) {
                retire(active.size() - 1, active.back()->fail(httpError(kHttpCancelled)));
            }
            deliver(finished);
            return;
        }

        const auto now = SteadyClock::now();
        for (auto& transfer : incoming) {
            transfer->start(now);
            if (curl_multi_add_handle(multi, static_cast<CURL*>(transfer->easyHandle())) ==
                CURLM_OK) {
                active.push_back(std::move(transfer));
            } else {
                finished.push_back(
                    {transfer->takeCompletion(), transfer->fail(httpError(kHttpOther))});
            }
        }

        int running = 0;
        curl_multi_perform(multi, &running);
        int pending = 0;
        while (CURLMsg* message = curl_multi_info_read(multi, &pending)) {
            if (message->msg != CURLMSG_DONE) {
                continue;
            }
            // The message dies with the handle's removal: copy what is needed.
            void* easy = message->easy_handle;
            const CURLcode code = message->data.result;
            const auto it = std::find_if(active.begin(), active.end(),
                                         [&](const auto& t) { return t->easyHandle() == easy; });
            if (it != active.end()) {
                const auto index = static_cast<std::size_t>(it - active.begin());
                retire(index, active[index]->finish(code));
            }
        }

        const auto checked = SteadyClock::now();
        std::optional<SteadyClock::time_point> nextDeadline;
        for (std::size_t i = active.size(); i-- > 0;) {
            if (active[i]->cancelled()) {
                retire(i, active[i]->fail(httpError(kHttpCancelled)));
                continue;
            }
            const auto deadline = active[i]->idleDeadline();
            if (!deadline) {
                continue;
            }
            if (*deadline <= checked) {
                retire(i, active[i]->fail(httpError(kHttpTimedOut)));
            } else if (!nextDeadline || *deadline < *nextDeadline) {
                nextDeadline = deadline;
            }
        }

        // Completions run without the lock: they may send() again.
        deliver(finished);

        auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(kMaxPoll);
        if (nextDeadline) {
            const auto untilDeadline =
                std::chrono::ceil<std::chrono::milliseconds>(*nextDeadline - SteadyClock::now());
            wait = std::clamp(untilDeadline, std::chrono::milliseconds::zero(), wait);
        }
        curl_multi_poll(multi, nullptr, 0, static_cast<int>(wait.count()), nullptr);
    }
}

}  // namespace quorix::net
