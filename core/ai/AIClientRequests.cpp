// AIClient: single exchanges with each kind of endpoint, and the helpers that
// keep keys out of logs and errors.

#include <utility>

#include "core/ai/AIClient.h"
#include "core/ai/CloudCorrectionFormat.h"
#include "core/ai/GeminiFormat.h"
#include "core/ai/HttpUrl.h"
#include "core/ai/OpenAIChatFormat.h"
#include "core/config/CloudEndpoint.h"
#include "core/net/HttpErrors.h"
#include "core/text/Text.h"

namespace quorix {

namespace {

constexpr dispatch::Duration kProviderTimeout = dispatch::seconds(60);
constexpr dispatch::Duration kCloudTimeout = dispatch::seconds(3.5);
// Keys shorter than this are not searched for in texts: blanking them would
// mangle ordinary words, and no real provider issues such keys.
constexpr std::size_t kMinRedactedKeyLength = 6;
constexpr std::string_view kRedaction = "•••";

thread_local std::shared_ptr<dispatch::Cancellation> tCancellation;

net::HttpRequest jsonPost(std::string url, std::string body, dispatch::Duration timeout) {
    net::HttpRequest request;
    request.method = "POST";
    request.url = std::move(url);
    request.timeout = timeout;
    request.headers.emplace_back("Content-Type", "application/json");
    request.body = std::move(body);
    return request;
}

}  // namespace

AIClient::CancellationScope::CancellationScope(std::shared_ptr<dispatch::Cancellation> cancellation)
    : previous_(std::exchange(tCancellation, std::move(cancellation))) {}

AIClient::CancellationScope::~CancellationScope() {
    tCancellation = std::move(previous_);
}

void AIClient::correctWithCloudProxy(const std::string& text, std::optional<bool> isFormal,
                                     CorrectionCompletion completion) {
    const std::string url = config_.cloudProxyURL();
    if (!HttpUrl::isValid(url) || !CloudEndpoint::isAllowed(url)) {
        fail(completion, 400, "URL proxy non valido.");
        return;
    }
    std::string version = env_.appVersion();
    if (version.empty()) {
        version = CloudCorrectionFormat::kFallbackVersion;
    }
    const std::set<std::string> whitelist = config_.whitelistWords();
    CloudCorrectionFormat::Fields fields;
    fields.text = text;
    fields.formal = isFormal.value_or(config_.toneStyle() == ToneStyle::formal);
    fields.correctAccents = config_.correctAccents();
    fields.whitelist = &whitelist;
    fields.appVersion = version;
    std::optional<std::string> body = CloudCorrectionFormat::requestBody(fields);
    if (!body) {
        fail(completion, 400, "Errore serializzazione payload.");
        return;
    }
    net::HttpRequest request = jsonPost(url, std::move(*body), kCloudTimeout);
    request.headers.emplace_back("X-Quorix-Version", version);
    request.headers.emplace_back("X-Quorix-Platform", env_.platformName());
    startExchange(std::move(request),
                  [this, completion = std::move(completion)](net::HttpResult reply) {
                      completion(redacted(CloudCorrectionFormat::parseReply(reply).result));
                  });
}

void AIClient::sendOpenAIRequest(const std::string& providerName, const std::string& endpoint,
                                 const std::string& apiKey, const std::string& model,
                                 const std::string& text, CorrectionCompletion completion) {
    if (!HttpUrl::isValid(endpoint)) {
        fail(completion, 400, "URL non valido");
        return;
    }
    std::optional<std::string> body =
        OpenAIChatFormat::requestBody(model, buildSystemPrompt(std::nullopt), text);
    if (!body) {
        fail(completion, 400, "Errore JSON");
        return;
    }
    net::HttpRequest request = jsonPost(endpoint, std::move(*body), kProviderTimeout);
    if (!apiKey.empty()) {
        request.headers.emplace_back("Authorization", "Bearer " + apiKey);
    }
    const dispatch::Instant start = clock_.now();
    log("🌐 [AIClient] Invio a " + providerName + " (" + model + ")...");
    startExchange(std::move(request), [this, providerName, model, text, start,
                                       completion = std::move(completion)](net::HttpResult reply) {
        WireReply parsed =
            OpenAIChatFormat::parseReply(reply, providerName, model, text, elapsedSince(start));
        if (parsed.logLine) {
            log(*parsed.logLine);
        }
        completion(redacted(std::move(parsed.result)));
    });
}

void AIClient::sendGeminiRequest(const std::string& model, const std::string& text,
                                 CorrectionCompletion completion) {
    const std::string key = text::trim(config_.apiKey());
    std::optional<std::string> url = GeminiFormat::url(endpoints_.gemini, model, key);
    if (!url) {
        fail(completion, 400, "URL non valido");
        return;
    }
    std::optional<std::string> body =
        GeminiFormat::requestBody(buildSystemPrompt(std::nullopt), text);
    if (!body) {
        fail(completion, 400, "Errore JSON");
        return;
    }
    startExchange(jsonPost(std::move(*url), std::move(*body), kProviderTimeout),
                  [this, completion = std::move(completion)](net::HttpResult reply) {
                      WireReply parsed = GeminiFormat::parseReply(reply);
                      if (parsed.logLine) {
                          log(*parsed.logLine);
                      }
                      completion(redacted(std::move(parsed.result)));
                  });
}

void AIClient::startExchange(net::HttpRequest request,
                             std::function<void(net::HttpResult)> handler) {
    std::shared_ptr<dispatch::Cancellation> cancellation = tCancellation;
    if (cancellation && cancellation->isCancelled()) {
        net::HttpResult cancelled;
        cancelled.error = net::httpError(net::kHttpCancelled);
        handler(std::move(cancelled));
        return;
    }
    {
        std::lock_guard lock(inFlightMutex_);
        ++inFlight_;
    }
    request.cancellation = cancellation;
    http_.send(std::move(request),
               [this, cancellation, handler = std::move(handler)](net::HttpResult reply) {
                   {
                       CancellationScope scope(cancellation);
                       handler(std::move(reply));
                   }
                   std::lock_guard lock(inFlightMutex_);
                   if (--inFlight_ == 0) {
                       inFlightDone_.notify_all();
                   }
               });
}

std::string AIClient::elapsedSince(dispatch::Instant start) const {
    return dispatch::formatSeconds(std::chrono::duration<double>(clock_.now() - start).count());
}

std::string AIClient::redact(std::string s) const {
    for (const std::string& raw :
         {config_.apiKey(), config_.groqApiKey(), config_.deepseekApiKey()}) {
        const std::string key = text::trim(raw);
        if (key.size() >= kMinRedactedKeyLength && text::contains(s, key)) {
            s = text::replaceAll(s, key, kRedaction);
        }
    }
    return s;
}

void AIClient::log(std::string_view line) const {
    logger_.log(redact(std::string(line)));
}

CorrectionResult AIClient::redacted(CorrectionResult result) const {
    if (result.error) {
        result.error->description = redact(std::move(result.error->description));
    }
    return result;
}

void AIClient::fail(const CorrectionCompletion& completion, int64_t code,
                    std::string description) const {
    completion(CorrectionResult::failure(aiClientError(code, std::move(description))));
}

}  // namespace quorix
