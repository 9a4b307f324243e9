#include <gtest/gtest.h>
#include <httplib.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <future>
#include <nlohmann/json.hpp>
#include <thread>

#include "KnowledgeFixtures.h"
#include "core/net/CurlHttpClient.h"

namespace quorix {
namespace {

using testing::DictionaryRig;
using testing::readFile;

// The cloud dictionary endpoint on 127.0.0.1, answering with whatever the
// test scripted; records the If-None-Match of each request.
class DictionaryServer {
  public:
    struct Reply {
        int status = 200;
        std::vector<std::pair<std::string, std::string>> headers;
        std::string body;
    };

    DictionaryServer() {
        server_.set_keep_alive_max_count(1);
        server_.Get("/v1/dictionary/it", [this](const httplib::Request& req,
                                                httplib::Response& res) {
            std::lock_guard lock(mutex_);
            ifNoneMatch_.push_back(
                req.has_header("If-None-Match") ? req.get_header_value("If-None-Match") : "<none>");
            res.status = reply_.status;
            for (const auto& [name, value] : reply_.headers)
                res.set_header(name, value);
            if (!reply_.body.empty())
                res.set_content(reply_.body, "application/json");
        });
        port_ = server_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_.listen_after_bind(); });
        // stop() only reaches a server whose loop runs.
        while (!server_.is_running())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ~DictionaryServer() {
        server_.stop();
        thread_.join();
    }

    std::string url() const {
        return "http://127.0.0.1:" + std::to_string(port_) + "/v1/dictionary/it";
    }
    void reply(Reply r) {
        std::lock_guard lock(mutex_);
        reply_ = std::move(r);
    }
    std::vector<std::string> ifNoneMatch() {
        std::lock_guard lock(mutex_);
        return ifNoneMatch_;
    }

  private:
    httplib::Server server_;
    int port_ = 0;
    std::thread thread_;
    std::mutex mutex_;
    Reply reply_;
    std::vector<std::string> ifNoneMatch_;
};

// Forwards to a real client and lets the test wait until a reply was handled.
class ObservedClient final : public net::HttpClient {
  public:
    explicit ObservedClient(net::HttpClient& inner) : inner_(inner) {}
    void send(net::HttpRequest request, Completion completion) override {
        {
            std::lock_guard lock(mutex_);
            ++sent_;
        }
        inner_.send(std::move(request), [this, completion](net::HttpResult result) {
            completion(std::move(result));
            std::lock_guard lock(mutex_);
            ++handled_;
            cv_.notify_all();
        });
    }
    // Waits (real time, bounded) until every request sent so far was handled.
    bool awaitHandled() {
        std::unique_lock lock(mutex_);
        return cv_.wait_for(lock, std::chrono::seconds(20), [this] { return handled_ == sent_; });
    }

  private:
    net::HttpClient& inner_;
    std::mutex mutex_;
    std::condition_variable cv_;
    int sent_ = 0;
    int handled_ = 0;
};

class DictionarySync : public ::testing::Test {
  protected:
    DictionarySync() : client(curl) {}

    std::unique_ptr<LocalTypoDictionary> make(std::string url, dispatch::Duration timeout) {
        auto deps = rig.dependencies(client);
        deps.syncURL = std::move(url);
        deps.syncTimeout = timeout;
        return std::make_unique<LocalTypoDictionary>(deps);
    }
    std::unique_ptr<LocalTypoDictionary> make() {
        return make(server.url(), dispatch::seconds(10));
    }
    void sync(LocalTypoDictionary& dict) {
        dict.syncNow();
        ASSERT_TRUE(client.awaitHandled());
    }
    std::optional<std::string> storedTag() {
        return rig.prefs.string(std::string(LocalTypoDictionary::kEtagPreferenceKey));
    }

    DictionaryRig rig;
    DictionaryServer server;
    net::CurlHttpClient curl;
    ObservedClient client;
};

constexpr const char* kBody = R"({"version": "12", "typos": {"cge": "chs", "nuvo": "nuovo"}})";

TEST_F(DictionarySync, OkReplyMergesStoresTagAndBodyThenNotModifiedChangesNothing) {
    auto dict = make();
    server.reply({200, {{"ETag", "\"v12\""}}, kBody});
    sync(*dict);

    EXPECT_EQ(storedTag(), "\"v12\"");
    EXPECT_EQ(dict->lookupLanguage("it", "nuvo"), "nuovo");
    EXPECT_EQ(dict->lookupLanguage("it", "cge"), "chs");
    EXPECT_EQ(dict->lookupMerged("cge"), "chs");
    EXPECT_EQ(readFile(dict->syncedFilePath()), kBody);
    EXPECT_EQ(
        rig.logMessages().back(),
        "☁️ [Dynamic Sync] Dizionario aggiornato con successo da Cloudflare (v12, 2 refusi "
        "attivi).");

    server.reply({304, {}, ""});
    sync(*dict);
    EXPECT_EQ(server.ifNoneMatch(), (std::vector<std::string>{"<none>", "\"v12\""}));
    EXPECT_EQ(rig.logMessages().back(),
              "📚 [Dynamic Sync] Dizionario cloud invariato (304 Not Modified).");
    EXPECT_EQ(dict->languageCount("it"), 7u);
    EXPECT_EQ(readFile(dict->syncedFilePath()), kBody);
    // The header name is matched whatever its case; no "version" reads "n/a".
    server.reply({200, {{"Etag", "abc"}}, R"({"typos": {"nuvo": "nuovo"}})"});
    sync(*dict);
    EXPECT_EQ(storedTag(), "abc");
    EXPECT_EQ(
        rig.logMessages().back(),
        "☁️ [Dynamic Sync] Dizionario aggiornato con successo da Cloudflare (vn/a, 1 refusi "
        "attivi).");
}

// Replies without a usable typo map leave the maps, the stored reply and the
// log untouched; an OK reply still stores its tag.
TEST_F(DictionarySync, UnusableRepliesChangeNothingButTheTagOfAnOkReply) {
    struct Case {
        DictionaryServer::Reply reply;
        std::optional<std::string> tag;
    };
    const std::vector<Case> cases{
        {{200, {{"ETag", "t1"}}, R"({"version": "3"})"}, "t1"},
        {{200, {{"ETag", "t2"}}, R"({"typos": {"a": 1}})"}, "t2"},
        {{200, {{"ETag", "t3"}}, "{not json"}, "t3"},
        {{200, {{"ETag", "t4"}}, R"(["typos"])"}, "t4"},
        {{500, {{"ETag", "e500"}}, kBody}, std::nullopt},
        {{200, {{"ETag", "empty"}}, ""}, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reply.body);
        rig.prefs.remove(std::string(LocalTypoDictionary::kEtagPreferenceKey));
        auto dict = make();
        const std::size_t lines = rig.logMessages().size();
        server.reply(c.reply);
        sync(*dict);
        EXPECT_EQ(storedTag(), c.tag);
        EXPECT_EQ(rig.logMessages().size(), lines);
        EXPECT_EQ(dict->languageCount("it"), 6u);
        EXPECT_FALSE(std::filesystem::exists(dict->syncedFilePath()));
    }
}

TEST_F(DictionarySync, APeerThatNeverAnswersChangesNothing) {
    auto dict = make();
    const int silent = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::bind(silent, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    ASSERT_EQ(::listen(silent, 4), 0);
    socklen_t len = sizeof addr;
    ::getsockname(silent, reinterpret_cast<sockaddr*>(&addr), &len);
    const std::size_t lines = rig.logMessages().size();
    auto hanging =
        make("http://127.0.0.1:" + std::to_string(ntohs(addr.sin_port)) + "/v1/dictionary/it",
             std::chrono::milliseconds(200));
    sync(*hanging);
    ::close(silent);
    EXPECT_EQ(storedTag(), std::nullopt);
    EXPECT_EQ(rig.logMessages().size(), lines + 1) << "only the second start-up line";
    EXPECT_EQ(hanging->languageCount("it"), 6u);
    EXPECT_FALSE(std::filesystem::exists(hanging->syncedFilePath()));
}

// Answers every request synchronously with 304 and counts them.
class CountingClient final : public net::HttpClient {
  public:
    void send(net::HttpRequest request, Completion completion) override {
        EXPECT_EQ(request.timeout, dispatch::seconds(10));
        ++requests;
        net::HttpResult result;
        result.response.status = 304;
        completion(std::move(result));
    }
    std::atomic<int> requests{0};
};

TEST(DictionarySyncTimer, FirstSyncAfterFiveSecondsThenHourly) {
    DictionaryRig rig;
    CountingClient counting;
    auto deps = rig.dependencies(counting);
    deps.startSyncOnInit = true;
    auto dict = std::make_unique<LocalTypoDictionary>(deps);
    // Requests sent once `seconds` more have passed.
    const auto after = [&](double seconds) {
        rig.clock.advance(dispatch::seconds(seconds));
        rig.utility.runUntilIdle();
        return counting.requests.load();
    };

    EXPECT_EQ(after(4.9), 0);
    EXPECT_EQ(after(0.1), 1);
    EXPECT_EQ(after(3599), 1);
    EXPECT_EQ(after(1), 2);
    // Restarting replaces the timer rather than adding one.
    dict->startPeriodicSync();
    EXPECT_EQ(after(5), 3);
    dict->stopPeriodicSync();
    EXPECT_EQ(after(7200), 3);
}

// Learning, sync replies and lookups from several threads at once: every
// lookup sees a consistent state and the learned file ends with every pair.
TEST_F(DictionarySync, ConcurrentLearningSyncAndLookups) {
    auto dict = make();
    server.reply({200, {{"ETag", "c"}}, kBody});
    std::atomic<bool> stop{false};
    std::vector<std::thread> threads;
    for (int t = 0; t < 3; ++t) {
        threads.emplace_back([&dict, t] {
            for (int i = 0; i < 40; ++i) {
                const std::string typo = "parolx" + std::to_string(t) + "q" + std::to_string(i);
                dict->learnFromCorrection("Ciao " + typo, "Ciao parola");
            }
        });
    }
    threads.emplace_back([this, &dict] {
        for (int i = 0; i < 5; ++i)
            sync(*dict);
    });
    threads.emplace_back([&dict, &stop] {
        while (!stop) {
            const std::string corrected =
                dict->tryCorrectLocally("Cge fai oggi").value_or("<none>");
            EXPECT_TRUE(corrected == "Che fai oggi" || corrected == "Chs fai oggi") << corrected;
            (void)dict->mergedCount();
        }
    });
    for (std::size_t i = 0; i + 1 < threads.size(); ++i)
        threads[i].join();
    stop = true;
    threads.back().join();

    EXPECT_EQ(dict->learnedCount(), 120u);
    EXPECT_EQ(dict->tryCorrectLocally("Cge fai oggi"), "Chs fai oggi");
    EXPECT_EQ(nlohmann::json::parse(readFile(dict->learnedFilePath())).size(), 120u);
}

}  // namespace
}  // namespace quorix
