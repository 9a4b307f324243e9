// Loopback HTTP round trips through CurlHttpClient: on a connection kept alive
// across requests, and on a fresh connection each time ("Connection: close").
#include <benchmark/benchmark.h>

#include <future>

#include "core/net/CurlHttpClient.h"
#include "tests/core/net/LoopbackServer.h"

namespace {

using quorix::net::CurlHttpClient;
using quorix::net::HttpRequest;
using quorix::net::HttpResult;

void roundTrips(benchmark::State& state, bool reuse) {
    quorix::net::testing::LoopbackServer server;
    CurlHttpClient client;
    HttpRequest request;
    request.url = server.url("/echo");
    request.method = "POST";
    request.body = std::string(256, 'x');
    if (!reuse) {
        request.headers = {{"Connection", "close"}};
    }
    for (auto _ : state) {
        std::promise<HttpResult> done;
        client.send(request, [&done](HttpResult result) { done.set_value(std::move(result)); });
        const HttpResult result = done.get_future().get();
        if (!result.ok()) {
            state.SkipWithError("request failed");
            break;
        }
    }
    state.counters["connections"] = static_cast<double>(server.connectionCount());
}

void BM_RoundTripReusedConnection(benchmark::State& state) {
    roundTrips(state, true);
}
void BM_RoundTripFreshConnection(benchmark::State& state) {
    roundTrips(state, false);
}

BENCHMARK(BM_RoundTripReusedConnection)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RoundTripFreshConnection)->Unit(benchmark::kMillisecond);

}  // namespace
