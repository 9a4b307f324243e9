#pragma once
// The single entry point through which the program asks a language model to
// correct a message: pre-checks, link and tag masking, the cloud correction
// endpoint first, then the provider chosen in the settings with its chain of
// models and fallbacks, and the restoration of the masked spans.
//
// Contract:
// - Every operation taking a completion calls it exactly once: synchronously
//   on the caller's thread for immediate answers (pre-checks, missing keys,
//   invalid URLs, unserialisable bodies), otherwise on the HTTP client's
//   callback thread. Completions are never moved to another thread here.
// - Settings are read afresh at every step; keys are trimmed, and a key that
//   is empty after trimming counts as missing.
// - No API key appears in a log line or an error description.
// - Destruction waits until every exchange in flight has completed (bounded
//   by the HTTP client's time limits); so the client must not be destroyed
//   from inside one of its own completions.
// - A correction given a cancellation stops when it is cancelled: exchanges in
//   flight are abandoned and no further model or provider is tried; the
//   completion still runs once, with a failure.

#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/ai/CorrectionResult.h"
#include "core/ai/PlaceholderMasker.h"
#include "core/config/AppConfig.h"
#include "core/config/AppLogger.h"
#include "core/config/ServiceEndpoints.h"
#include "core/dispatch/Cancellation.h"
#include "core/dispatch/Clock.h"
#include "core/net/HttpClient.h"
#include "platform/SystemEnvironment.h"

namespace quorix {

// Base locations (scheme, host, port) of the providers; tests point them at
// loopback servers.
struct AIEndpoints {
    std::string gemini{kGeminiBase};
    std::string groq{kGroqBase};
    std::string deepseek{kDeepSeekBase};
    std::string ollama{kOllamaBase};
};

class AIClient {
  public:
    using Endpoints = AIEndpoints;

    static constexpr std::string_view kGroqPath = "/openai/v1/chat/completions";
    static constexpr std::string_view kDeepSeekPath = "/chat/completions";
    static constexpr std::string_view kOllamaPath = "/v1/chat/completions";
    static constexpr std::string_view kDeepSeekModel = "deepseek-chat";
    static constexpr std::string_view kOllamaModel = "llama3.2:1b";
    // Sent as the bearer token to the local server, which does not check it.
    static constexpr std::string_view kOllamaKey = "ollama";

    AIClient(AppConfig& config, AppLogger& logger, net::HttpClient& http,
             platform::SystemEnvironment& env, dispatch::Clock& clock, Endpoints endpoints = {});
    ~AIClient();
    AIClient(const AIClient&) = delete;
    AIClient& operator=(const AIClient&) = delete;

    // Corrects a full message. isFormal: the tone for the cloud endpoint
    // (absent: the tone setting decides); provider requests always follow the
    // tone setting.
    void correctText(std::string_view text, std::optional<bool> isFormal,
                     CorrectionCompletion completion,
                     std::shared_ptr<dispatch::Cancellation> cancellation = {});

    // The system instruction for the current settings; isFormal absent lets
    // the tone setting decide.
    std::string buildSystemPrompt(std::optional<bool> isFormal) const;
    static std::string buildSystemPrompt(const AppConfig& config, std::optional<bool> isFormal);

    // Masking, usable without an instance (see PlaceholderMasker).
    static MaskResult maskURLs(std::string_view text) { return PlaceholderMasker::maskURLs(text); }
    static MaskResult maskTags(std::string_view text) { return PlaceholderMasker::maskTags(text); }
    static std::string unmaskURLs(std::string_view text, const PlaceholderMap& urlMap,
                                  AppLogger* logger = nullptr) {
        return PlaceholderMasker::unmaskURLs(text, urlMap, logger);
    }
    static std::string unmaskTags(std::string_view text, const PlaceholderMap& tagMap,
                                  AppLogger* logger = nullptr) {
        return PlaceholderMasker::unmaskTags(text, tagMap, logger);
    }

    // Gemini models in the order tried: the fixed four, then `preferred`
    // unless blank or already listed.
    static std::vector<std::string> geminiModels(std::string_view preferred);
    static std::vector<std::string> groqModels();

    // Single exchanges. `text` is sent as given (already masked).
    void correctWithCloudProxy(const std::string& text, std::optional<bool> isFormal,
                               CorrectionCompletion completion);
    void sendOpenAIRequest(const std::string& providerName, const std::string& endpoint,
                           const std::string& apiKey, const std::string& model,
                           const std::string& text, CorrectionCompletion completion);
    void sendGeminiRequest(const std::string& model, const std::string& text,
                           CorrectionCompletion completion);

  private:
    using ModelList = std::shared_ptr<const std::vector<std::string>>;

    void runProviderStep(const std::string& text, CorrectionCompletion completion);
    void correctWithGemini(const std::string& text, CorrectionCompletion completion);
    void tryGeminiModels(ModelList models, std::size_t index, const std::string& text,
                         CorrectionCompletion completion);
    void correctWithGroq(const std::string& text, CorrectionCompletion completion);
    void tryGroqModels(ModelList models, std::size_t index, const std::string& apiKey,
                       const std::string& text, CorrectionCompletion completion);
    void correctWithDeepSeek(const std::string& text, CorrectionCompletion completion);

    // The cancellation of the correction whose step runs on this thread. Set by
    // correctText and around every exchange handler, so that each step of a
    // chain carries its correction's cancellation into the next exchange.
    class CancellationScope {
      public:
        explicit CancellationScope(std::shared_ptr<dispatch::Cancellation> cancellation);
        ~CancellationScope();
        CancellationScope(const CancellationScope&) = delete;
        CancellationScope& operator=(const CancellationScope&) = delete;

      private:
        std::shared_ptr<dispatch::Cancellation> previous_;
    };

    // Starts an exchange counted as in flight until its handler has returned.
    // Once the current correction is cancelled, the handler gets a cancelled
    // transport error at once and nothing is sent.
    void startExchange(net::HttpRequest request, std::function<void(net::HttpResult)> handler);
    // Seconds since `start`, two decimals.
    std::string elapsedSince(dispatch::Instant start) const;
    // Logs a line with every configured key blanked out.
    void log(std::string_view line) const;
    // Removes every configured key from an error description.
    CorrectionResult redacted(CorrectionResult result) const;
    std::string redact(std::string s) const;
    void fail(const CorrectionCompletion& completion, int64_t code, std::string description) const;

    AppConfig& config_;
    AppLogger& logger_;
    net::HttpClient& http_;
    platform::SystemEnvironment& env_;
    dispatch::Clock& clock_;
    const Endpoints endpoints_;

    std::mutex inFlightMutex_;
    std::condition_variable inFlightDone_;
    std::size_t inFlight_ = 0;
};

}  // namespace quorix
