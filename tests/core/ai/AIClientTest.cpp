#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "AITestSupport.h"
#include "core/ai/AIClient.h"
#include "core/net/CurlHttpClient.h"
#include "core/text/Text.h"

#include <thread>

namespace quorix {
namespace {

using testing::errorBody;
using testing::geminiText;
using testing::openAIContent;

constexpr const char* kCloud = "/v1/correct";
constexpr const char* kGroq = "/openai/v1/chat/completions";
constexpr const char* kDeepSeek = "/chat/completions";
constexpr const char* kOllama = "/v1/chat/completions";

std::string geminiPath(const std::string& model) {
    return "/v1beta/models/" + model + ":generateContent";
}

nlohmann::json bodyOf(const testing::RecordedRequest& r) {
    return nlohmann::json::parse(r.body);
}

class AIClientTest : public ::testing::Test {
  protected:
    AIClientTest() : http{net::CurlHttpClientOptions{.totalTimeout = dispatch::seconds(5)}} {}
    void SetUp() override {
        world.config.setCloudProxyURL(server.base() + kCloud);
        world.config.setWhitelistWords({});
        world.config.setToneStyle(ToneStyle::natural);
        world.config.setApiKey("gem-key-123456");
        world.config.setGroqApiKey("gk-123456");
        world.config.setDeepseekApiKey("ds-key-123456");
        client = std::make_unique<AIClient>(world.config, world.logger, http, world.env,
                                            world.clock, server.endpoints());
    }
    void TearDown() override {
        client.reset();  // waits for every exchange in flight
        for (const auto& a : awaiters) {
            EXPECT_EQ(a->calls(), 1) << "completion must run exactly once";
        }
    }

    CorrectionResult correct(const std::string& text, std::optional<bool> isFormal = {}) {
        awaiters.push_back(std::make_shared<testing::Awaiter>());
        client->correctText(text, isFormal, awaiters.back()->completion());
        return awaiters.back()->get();
    }
    // The cloud answers an error, so the call falls through to `provider`.
    void cloudFailsThen(AIProvider provider) {
        server.reply(kCloud, 503, R"({"error":"cloud down"})");
        world.config.setProvider(provider);
    }

    testing::ConfigWorld world;
    testing::FakeProviders server;
    net::CurlHttpClient http;
    std::unique_ptr<AIClient> client;
    std::vector<std::shared_ptr<testing::Awaiter>> awaiters;
};

// Short texts, bare links and lone tags come back at once, without traffic.
TEST_F(AIClientTest, PreChecksAnswerAtOnceWithoutNetwork) {
    const std::size_t before = world.messages().size();
    for (const std::string text : {"ok", "  \n ", " https://x.it/a?b=1 ", "@mario", "[link]"}) {
        std::optional<CorrectionResult> got;
        client->correctText(text, true, [&](CorrectionResult r) { got = std::move(r); });
        ASSERT_TRUE(got) << "synchronous for " << text;
        EXPECT_EQ(got->text, text);
    }
    EXPECT_TRUE(server.requests().empty());
    EXPECT_EQ(world.messages().size(), before + 3) << "nothing logged for short texts";
    EXPECT_TRUE(
        world.logged("⚡️ [AIClient] Testo è un URL puro ('https://x.it/a?b=1'). Restituisco "
                     "invariato al 100%."));
    EXPECT_TRUE(world.logged(
        "⚡️ [AIClient] Testo è un tag singolo ('@mario'). Restituisco invariato al 100%."));

    // Three characters and an unclosed bracket go on to the AI.
    server.reply(kCloud, 200, R"({"correctedText":"fatto"})");
    EXPECT_EQ(correct("ok!").text, "fatto");
    EXPECT_EQ(correct("[link").text, "fatto");
}

TEST_F(AIClientTest, CloudRequestAndUnmaskedSuccess) {
    world.env.setAppVersion("3.2.1");
    world.config.setCorrectAccents(false);
    world.config.setWhitelistWords({"acme"});
    server.reply(kCloud, 200,
                 R"({"correctedText":" Ciao __QUORIX_TAG_0__, vedi __QUORIX_URL_0__ \n"})");
    const auto r = correct("ciao @Anna, vedi https://a.it/x", true);
    EXPECT_EQ(r.text, "Ciao @Anna, vedi https://a.it/x");

    ASSERT_EQ(server.requests().size(), 1u);
    const auto req = server.requests()[0];
    EXPECT_EQ(req.header("Content-Type"), "application/json");
    EXPECT_EQ(req.header("X-Quorix-Version"), "3.2.1");
    EXPECT_EQ(req.header("X-Quorix-Platform"), world.env.platformName());
    EXPECT_EQ(req.header("Authorization"), "");
    EXPECT_EQ(bodyOf(req),
              nlohmann::json::parse(R"({"text":"ciao __QUORIX_TAG_0__, vedi __QUORIX_URL_0__",
        "tone":"work","correctAccents":false,"whitelist":["acme"],"appVersion":"3.2.1"})"));

    // Tone from the setting when none is given; version fallback.
    world.env.setAppVersion("");
    world.config.setToneStyle(ToneStyle::formal);
    correct("ciao mondo");
    EXPECT_EQ(server.requests().back().header("X-Quorix-Version"), "1.0.0");
    EXPECT_EQ(bodyOf(server.requests().back())["tone"], "work");
}

TEST_F(AIClientTest, CloudFailureFallsThroughToDeepSeek) {
    world.config.setProvider(AIProvider::deepseek);
    world.config.setDeepseekApiKey("  ds-key-123456 \n");
    server.reply(kCloud, 500, R"({"error":"quota cloud"})");
    server.reply(kDeepSeek, 200, openAIContent("Ciao mondo"));
    const auto r = correct("ciao mnodo", true);
    EXPECT_EQ(r.text, "Ciao mondo");
    EXPECT_EQ(server.paths(), (std::vector<std::string>{kCloud, kDeepSeek}));

    const auto req = server.requests()[1];
    EXPECT_EQ(req.header("Authorization"), "Bearer ds-key-123456");
    // The explicit tone reaches only the cloud: providers follow the tone setting.
    EXPECT_EQ(bodyOf(req)["messages"][0]["content"], client->buildSystemPrompt(false));

    EXPECT_EQ(world.messages(),
              (std::vector<std::string>{
                  "⚠️ [AIClient] Cloud Proxy errore (quota cloud). Tento provider locale...",
                  "🌐 [AIClient] Invio a DeepSeek (deepseek-chat)...",
                  "✅ [AIClient] Successo con DeepSeek (deepseek-chat) in 0.00s: \"Ciao mondo\"",
              }));
}

// Ollama needs no key; its failure is final, with no fallback to DeepSeek.
TEST_F(AIClientTest, InvalidCloudSettingFailsWithoutTrafficAndOllamaFailureIsFinal) {
    world.config.setCloudProxyURL("not a url");
    world.config.setProvider(AIProvider::ollama);
    server.reply(kOllama, 200, openAIContent("Ok fatto"));
    EXPECT_EQ(correct("ok fato").text, "Ok fatto");
    EXPECT_EQ(server.paths(), (std::vector<std::string>{kOllama}));
    EXPECT_EQ(server.requests()[0].header("Authorization"), "Bearer ollama");
    EXPECT_TRUE(world.logged(
        "⚠️ [AIClient] Cloud Proxy errore (URL proxy non valido.). Tento provider locale..."));

    server.reply(kOllama, 200, "not json");
    const auto r = correct("ciao mondo");
    ASSERT_TRUE(r.error);
    EXPECT_EQ(r.error->domain, "JSON");
    EXPECT_EQ(server.paths(), (std::vector<std::string>{kOllama, kOllama}));
}

TEST_F(AIClientTest, GroqChainWalksModelsThenDeepSeek) {
    cloudFailsThen(AIProvider::groq);
    std::atomic<int> groqCalls{0};
    server.on(kGroq, [&](const testing::RecordedRequest&) {
        switch (groqCalls++) {
            case 0:
                return testing::Scripted{429, errorBody("Rate limit")};
            case 1:
                return testing::Scripted{200, openAIContent("   ")};
            default:
                return testing::Scripted{200, R"({"unexpected":true})"};
        }
    });
    server.reply(kDeepSeek, 200, openAIContent("\"Salve\""));
    EXPECT_EQ(correct("salve a tutti").text, "Salve");

    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 5u);
    EXPECT_EQ(bodyOf(requests[1])["model"], "llama-3.1-8b-instant");
    EXPECT_EQ(bodyOf(requests[2])["model"], "qwen/qwen3.8-27b");
    EXPECT_EQ(bodyOf(requests[3])["model"], "openai/gpt-oss-20b");
    EXPECT_EQ(requests[1].header("Authorization"), "Bearer gk-123456");
    EXPECT_EQ(requests[4].path, kDeepSeek);
    EXPECT_TRUE(
        world.logged("⚠️ [AIClient] Groq 'llama-3.1-8b-instant' non riuscito. Tento con "
                     "'qwen/qwen3.8-27b'..."));
    EXPECT_TRUE(world.logged(
        "🔄 [AIClient] Tutti i modelli Groq falliti. Tento fallback automatico su DeepSeek..."));
}

TEST_F(AIClientTest, MissingKeys) {
    cloudFailsThen(AIProvider::groq);
    world.config.setGroqApiKey(" ");
    server.reply(kDeepSeek, 200, openAIContent("Diretto"));
    EXPECT_EQ(correct("via diretta").text, "Diretto");
    EXPECT_EQ(server.paths(), (std::vector<std::string>{kCloud, kDeepSeek}));
    EXPECT_TRUE(world.logged(
        "⚠️ [AIClient] Chiave API Groq mancante. Tento direttamente fallback su DeepSeek..."));

    world.config.setDeepseekApiKey(" \n");
    auto r = correct("ciao mondo");
    EXPECT_EQ(r.error, (Error{"AIClient", 401, "Chiave API Groq mancante. Inseriscila dal menu."}));
    EXPECT_TRUE(world.logged("❌ [AIClient] Chiave API Groq mancante."));

    world.config.setProvider(AIProvider::deepseek);
    r = correct("ciao mondo");
    EXPECT_EQ(r.error,
              (Error{"AIClient", 401, "Chiave API DeepSeek mancante. Inseriscila dal menu."}));
    EXPECT_TRUE(world.logged("❌ [AIClient] Chiave API DeepSeek mancante."));

    world.config.setProvider(AIProvider::gemini);
    world.config.setApiKey("   ");
    r = correct("ciao mondo");
    EXPECT_EQ(r.error, (Error{"AIClient", 401, "API Key Gemini mancante"}));
    EXPECT_TRUE(world.logged("❌ [AIClient] API Key Gemini mancante!"));
}

TEST_F(AIClientTest, GeminiModelListAndRequest) {
    cloudFailsThen(AIProvider::gemini);
    world.config.setApiKey(" gem-key-123456 ");
    world.config.setModelName("gemini-pro-x");
    server.reply(geminiPath("gemini-3.5-flash-lite"), 429, errorBody("Quota"));
    server.reply(geminiPath("gemini-2.5-flash-lite"), 200, R"({"candidates":[]})");
    server.reply(geminiPath("gemini-3-flash-preview"), 200, R"({"candidates":[]})");
    server.reply(geminiPath("gemini-2.0-flash"), 200, R"({"candidates":[]})");
    server.reply(geminiPath("gemini-pro-x"), 200, geminiText("Ecco __QUORIX_URL_0__"));
    EXPECT_EQ(correct("ecco https://z.it").text, "Ecco https://z.it");

    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 6u);
    const auto& first = requests[1];
    EXPECT_EQ(first.query.at("key"), "gem-key-123456");
    EXPECT_EQ(first.header("Authorization"), "");
    EXPECT_EQ(bodyOf(first)["contents"][0]["parts"][0]["text"], "ecco __QUORIX_URL_0__");
    EXPECT_EQ(requests.back().path, geminiPath("gemini-pro-x"));
    EXPECT_TRUE(world.logged("🌐 [AIClient] Tentativo con Gemini 'gemini-3.5-flash-lite'..."));
    EXPECT_TRUE(world.logged(
        "⚠️ [AIClient] Fallito 'gemini-3.5-flash-lite' in 0.00s (Quota). Provo fallback..."));
    EXPECT_TRUE(world.logged(
        "✅ [AIClient] Successo con Gemini 'gemini-pro-x' in 0.00s: \"Ecco __QUORIX_URL_0__\""));
}

TEST_F(AIClientTest, GeminiExhaustionReportsTheLastError) {
    cloudFailsThen(AIProvider::gemini);
    world.config.setModelName("gemini-2.0-flash");  // already in the list: asked once
    const auto r = correct("ciao mondo");           // every path unscripted: 404 with a message
    EXPECT_EQ(r.error, (Error{"AIClient", 404, "not scripted"}));
    EXPECT_EQ(server.requests().size(), 5u);
}

TEST_F(AIClientTest, LostRepeatedAndBlankRepliesAroundPlaceholders) {
    cloudFailsThen(AIProvider::deepseek);
    server.reply(kDeepSeek, 200, openAIContent("Guarda qui, ciao"));
    EXPECT_EQ(correct("guarda qui https://a.it/x ciao @Bob").text,
              "@Bob Guarda qui, ciao https://a.it/x");

    // A blank answer stays blank: the links alone must not replace the message.
    server.reply(kCloud, 200, R"({"correctedText":"  "})");
    EXPECT_EQ(correct("leggi https://a.it/lungo e dimmi").text, "");
}

TEST_F(AIClientTest, TextGoesToTheCloudOnlyWhenAnAllowedEndpointIsSet) {
    world.config.setProvider(AIProvider::deepseek);
    server.reply(kDeepSeek, 200, openAIContent("Ciao mondo"));
    world.config.setCloudProxyURL("");
    EXPECT_EQ(correct("ciao mnodo").text, "Ciao mondo");
    EXPECT_EQ(server.paths(), (std::vector<std::string>{kDeepSeek}));
    EXPECT_FALSE(text::contains(world.logger.getRecentLogs(), "Cloud Proxy"));

    // Plain http is refused unless it stays on this computer.
    world.config.setCloudProxyURL("http://proxy.example.com/v1/correct");
    EXPECT_EQ(correct("ciao mnodo").text, "Ciao mondo");
    EXPECT_TRUE(world.logged(
        "⚠️ [AIClient] Cloud Proxy errore (URL proxy non valido.). Tento provider locale..."));
    EXPECT_EQ(server.paths(), (std::vector<std::string>{kDeepSeek, kDeepSeek}));
}

TEST_F(AIClientTest, CancelledCorrectionAbandonsItsExchangeAndTriesNothingElse) {
    world.config.setProvider(AIProvider::deepseek);
    server.on(kCloud, [](const testing::RecordedRequest&) {
        return testing::Scripted{200, "", true};
    });
    server.reply(kDeepSeek, 200, openAIContent("Ciao mondo"));
    auto cancellation = std::make_shared<dispatch::Cancellation>();
    awaiters.push_back(std::make_shared<testing::Awaiter>());
    client->correctText("ciao mnodo", std::nullopt, awaiters.back()->completion(), cancellation);
    while (server.requests().empty()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    cancellation->cancel();
    const CorrectionResult r = awaiters.back()->get();
    ASSERT_TRUE(r.error);
    EXPECT_EQ(r.error->code, net::kHttpCancelled);
    EXPECT_EQ(server.paths(), (std::vector<std::string>{kCloud}));
}

// No key may surface in a log line or an error description, whatever fails.
TEST(AIClientSecrets, KeysNeverLeak) {
    const std::string geminiKey = "GEMINI-SECRET-4711";
    const std::string deepseekKey = "DEEPSEEK-SECRET-0815";
    testing::ConfigWorld world;
    std::string refusedBase;
    {
        testing::FakeProviders gone;
        refusedBase = gone.base();
    }
    testing::FakeProviders stalling;
    stalling.on(geminiPath("gemini-2.5-flash-lite"), [](const testing::RecordedRequest&) {
        return testing::Scripted{200, "", true};
    });
    // A server that echoes what it was sent.
    stalling.on(geminiPath("gemini-3-flash-preview"), [&](const testing::RecordedRequest& r) {
        return testing::Scripted{400, errorBody("API key " + r.query.at("key") + " not valid")};
    });
    stalling.on(kDeepSeek, [&](const testing::RecordedRequest& r) {
        return testing::Scripted{401, "{\"x\":\"" + r.header("Authorization") + "\"}"};
    });

    // Declared after the servers: its kept-alive connections close first.
    net::CurlHttpClient http{net::CurlHttpClientOptions{.totalTimeout = dispatch::seconds(0.2)}};
    world.config.setApiKey(geminiKey);
    world.config.setDeepseekApiKey(deepseekKey);
    world.config.setCloudProxyURL(refusedBase + kCloud + "?key=" + geminiKey);
    std::vector<Error> errors;
    {
        AIClient refused(world.config, world.logger, http, world.env, world.clock,
                         AIEndpoints{refusedBase, refusedBase, refusedBase, refusedBase});
        AIClient live(world.config, world.logger, http, world.env, world.clock,
                      stalling.endpoints());
        for (AIClient* client : {&refused, &live}) {
            for (AIProvider provider : {AIProvider::gemini, AIProvider::deepseek}) {
                world.config.setProvider(provider);
                testing::Awaiter awaiter;
                client->correctText("ciao mondo", std::nullopt, awaiter.completion());
                const auto r = awaiter.get();
                ASSERT_TRUE(r.error);
                errors.push_back(*r.error);
            }
        }
    }
    ASSERT_EQ(errors.size(), 4u);
    for (const Error& e : errors) {
        EXPECT_FALSE(text::contains(e.description, geminiKey)) << e.description;
        EXPECT_FALSE(text::contains(e.description, deepseekKey)) << e.description;
    }
    const std::string logs = world.logger.getRecentLogs();
    EXPECT_FALSE(logs.empty());
    EXPECT_FALSE(text::contains(logs, geminiKey)) << logs;
    EXPECT_FALSE(text::contains(logs, deepseekKey)) << logs;
    EXPECT_TRUE(text::contains(logs, "API key ••• not valid"));
}

}  // namespace
}  // namespace quorix
