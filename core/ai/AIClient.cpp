#include "core/ai/AIClient.h"

#include <utility>

#include "core/ai/SystemPrompt.h"
#include "core/text/Text.h"

namespace quorix {

namespace {

constexpr std::string_view kFixedGeminiModels[] = {
    "gemini-3.5-flash-lite",
    "gemini-2.5-flash-lite",
    "gemini-3-flash-preview",
    "gemini-2.0-flash",
};

constexpr std::string_view kGroqModels[] = {
    "llama-3.1-8b-instant",
    "qwen/qwen3.8-27b",
    "openai/gpt-oss-20b",
};

bool hasSpace(std::string_view s) {
    return s.find(' ') != std::string_view::npos;
}

bool isBareLink(std::string_view trimmed) {
    return (text::startsWith(trimmed, "http://") || text::startsWith(trimmed, "https://") ||
            text::startsWith(trimmed, "www.")) &&
           !hasSpace(trimmed);
}

bool isLoneTag(std::string_view trimmed) {
    if (hasSpace(trimmed)) {
        return false;
    }
    return text::startsWith(trimmed, "@") || text::startsWith(trimmed, "#") ||
           (text::startsWith(trimmed, "[") && text::endsWith(trimmed, "]")) ||
           (text::startsWith(trimmed, "<") && text::endsWith(trimmed, ">"));
}

std::string trimmedKey(const std::string& key) {
    return text::trim(key);
}

}  // namespace

AIClient::AIClient(AppConfig& config, AppLogger& logger, net::HttpClient& http,
                   platform::SystemEnvironment& env, dispatch::Clock& clock, Endpoints endpoints)
    : config_(config),
      logger_(logger),
      http_(http),
      env_(env),
      clock_(clock),
      endpoints_(std::move(endpoints)) {}

AIClient::~AIClient() {
    std::unique_lock lock(inFlightMutex_);
    inFlightDone_.wait(lock, [this] { return inFlight_ == 0; });
}

std::vector<std::string> AIClient::geminiModels(std::string_view preferred) {
    std::vector<std::string> models(std::begin(kFixedGeminiModels), std::end(kFixedGeminiModels));
    const std::string name = text::trim(preferred);
    if (!name.empty() && std::find(models.begin(), models.end(), name) == models.end()) {
        models.push_back(name);
    }
    return models;
}

std::vector<std::string> AIClient::groqModels() {
    return std::vector<std::string>(std::begin(kGroqModels), std::end(kGroqModels));
}

std::string AIClient::buildSystemPrompt(const AppConfig& config, std::optional<bool> isFormal) {
    const bool formal = isFormal.value_or(config.toneStyle() == ToneStyle::formal);
    return SystemPrompt::build(formal, config.correctAccents(), config.whitelistWords());
}

std::string AIClient::buildSystemPrompt(std::optional<bool> isFormal) const {
    return buildSystemPrompt(config_, isFormal);
}

void AIClient::correctText(std::string_view text, std::optional<bool> isFormal,
                           CorrectionCompletion completion,
                           std::shared_ptr<dispatch::Cancellation> cancellation) {
    const std::string trimmed = text::trim(text);
    if (trimmed.empty() || text::characterCount(trimmed) <= 2) {
        completion(CorrectionResult::success(std::string(text)));
        return;
    }
    if (isBareLink(trimmed)) {
        log("⚡️ [AIClient] Testo è un URL puro ('" + trimmed + "'). Restituisco invariato al 100%.");
        completion(CorrectionResult::success(std::string(text)));
        return;
    }
    if (isLoneTag(trimmed)) {
        log("⚡️ [AIClient] Testo è un tag singolo ('" + trimmed +
            "'). Restituisco invariato al 100%.");
        completion(CorrectionResult::success(std::string(text)));
        return;
    }

    const CancellationScope scope(std::move(cancellation));
    MaskResult urls = maskURLs(text);
    MaskResult tags = maskTags(urls.maskedText);
    const std::string masked = std::move(tags.maskedText);

    // Restores tags, then links. A blank reply is passed on as it is: repairing
    // lost placeholders into it would turn it into a message made of bare links.
    CorrectionCompletion unmasking = [this, urlMap = std::move(urls.map),
                                      tagMap = std::move(tags.map),
                                      completion = std::move(completion)](CorrectionResult r) {
        if (r.ok() && !text::isBlank(*r.text)) {
            r.text = unmaskURLs(unmaskTags(*r.text, tagMap, &logger_), urlMap, &logger_);
        }
        completion(std::move(r));
    };

    // No endpoint configured: the text goes only to the chosen provider.
    if (config_.cloudProxyURL().empty()) {
        runProviderStep(masked, std::move(unmasking));
        return;
    }
    correctWithCloudProxy(
        masked, isFormal,
        [this, masked, unmasking = std::move(unmasking)](CorrectionResult r) mutable {
            if (r.ok()) {
                unmasking(std::move(r));
                return;
            }
            log("⚠️ [AIClient] Cloud Proxy errore (" + r.error->description +
                "). Tento provider locale...");
            runProviderStep(masked, std::move(unmasking));
        });
}

void AIClient::runProviderStep(const std::string& text, CorrectionCompletion completion) {
    switch (config_.provider()) {
        case AIProvider::gemini:
            correctWithGemini(text, std::move(completion));
            return;
        case AIProvider::deepseek:
            correctWithDeepSeek(text, std::move(completion));
            return;
        case AIProvider::groq:
            correctWithGroq(text, std::move(completion));
            return;
        case AIProvider::ollama:
            sendOpenAIRequest("Ollama", endpoints_.ollama + std::string(kOllamaPath),
                              std::string(kOllamaKey), std::string(kOllamaModel), text,
                              std::move(completion));
            return;
    }
}

void AIClient::correctWithGemini(const std::string& text, CorrectionCompletion completion) {
    if (trimmedKey(config_.apiKey()).empty()) {
        log("❌ [AIClient] API Key Gemini mancante!");
        fail(completion, 401, "API Key Gemini mancante");
        return;
    }
    auto models =
        std::make_shared<const std::vector<std::string>>(geminiModels(config_.modelName()));
    tryGeminiModels(std::move(models), 0, text, std::move(completion));
}

void AIClient::tryGeminiModels(ModelList models, std::size_t index, const std::string& text,
                               CorrectionCompletion completion) {
    if (index >= models->size()) {
        log("❌ [AIClient] Esauriti tutti i modelli Gemini.");
        fail(completion, 500, "Tutti i modelli Gemini hanno fallito o quota esaurita.");
        return;
    }
    const std::string& model = (*models)[index];
    const dispatch::Instant start = clock_.now();
    log("🌐 [AIClient] Tentativo con Gemini '" + model + "'...");
    sendGeminiRequest(model, text,
                      [this, models, index, text, start,
                       completion = std::move(completion)](CorrectionResult r) mutable {
                          const std::string& tried = (*models)[index];
                          const std::string elapsed = elapsedSince(start);
                          if (r.ok()) {
                              log("✅ [AIClient] Successo con Gemini '" + tried + "' in " + elapsed +
                                  "s: \"" + *r.text + "\"");
                              completion(std::move(r));
                              return;
                          }
                          log("⚠️ [AIClient] Fallito '" + tried + "' in " + elapsed + "s (" +
                              r.error->description + "). Provo fallback...");
                          if (index + 1 < models->size()) {
                              tryGeminiModels(models, index + 1, text, std::move(completion));
                          } else {
                              completion(std::move(r));
                          }
                      });
}

void AIClient::correctWithGroq(const std::string& text, CorrectionCompletion completion) {
    const std::string groqKey = trimmedKey(config_.groqApiKey());
    if (!groqKey.empty()) {
        auto models = std::make_shared<const std::vector<std::string>>(groqModels());
        tryGroqModels(std::move(models), 0, groqKey, text, std::move(completion));
        return;
    }
    if (!trimmedKey(config_.deepseekApiKey()).empty()) {
        log("⚠️ [AIClient] Chiave API Groq mancante. Tento direttamente fallback su "
            "DeepSeek...");
        correctWithDeepSeek(text, std::move(completion));
        return;
    }
    log("❌ [AIClient] Chiave API Groq mancante.");
    fail(completion, 401, "Chiave API Groq mancante. Inseriscila dal menu.");
}

void AIClient::tryGroqModels(ModelList models, std::size_t index, const std::string& apiKey,
                             const std::string& text, CorrectionCompletion completion) {
    if (index >= models->size()) {
        if (!trimmedKey(config_.deepseekApiKey()).empty()) {
            log("🔄 [AIClient] Modelli Groq esauriti. Tento fallback automatico su DeepSeek...");
            correctWithDeepSeek(text, std::move(completion));
        } else {
            fail(completion, 500, "Nessun modello Groq disponibile");
        }
        return;
    }
    sendOpenAIRequest(
        "Groq", endpoints_.groq + std::string(kGroqPath), apiKey, (*models)[index], text,
        [this, models, index, apiKey, text,
         completion = std::move(completion)](CorrectionResult r) mutable {
            if (r.ok()) {
                completion(std::move(r));
                return;
            }
            if (index + 1 < models->size()) {
                log("⚠️ [AIClient] Groq '" + (*models)[index] + "' non riuscito. Tento con '" +
                    (*models)[index + 1] + "'...");
                tryGroqModels(models, index + 1, apiKey, text, std::move(completion));
            } else if (!trimmedKey(config_.deepseekApiKey()).empty()) {
                log("🔄 [AIClient] Tutti i modelli Groq falliti. Tento fallback automatico su "
                    "DeepSeek...");
                correctWithDeepSeek(text, std::move(completion));
            } else {
                completion(std::move(r));
            }
        });
}

void AIClient::correctWithDeepSeek(const std::string& text, CorrectionCompletion completion) {
    const std::string key = trimmedKey(config_.deepseekApiKey());
    if (key.empty()) {
        log("❌ [AIClient] Chiave API DeepSeek mancante.");
        fail(completion, 401, "Chiave API DeepSeek mancante. Inseriscila dal menu.");
        return;
    }
    sendOpenAIRequest("DeepSeek", endpoints_.deepseek + std::string(kDeepSeekPath), key,
                      std::string(kDeepSeekModel), text, std::move(completion));
}

}  // namespace quorix
