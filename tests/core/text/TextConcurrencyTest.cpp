// Shared Regex objects and the per-thread break iterator used from many threads
// (run under ThreadSanitizer by the tsan preset).

#include "core/text/Regex.h"
#include "core/text/Text.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace quorix::text {
namespace {

TEST(TextConcurrency, SharedRegexAndGraphemeIteratorsAcrossThreads) {
    const Regex url = Regex::compile("https?://\\S+", Regex::kCaseInsensitive);
    const std::string text = "vedi https://example.com/perché e HTTP://x.it 👍🏽 e\xCC\x81";
    const std::size_t count = characterCount(text);
    ASSERT_EQ(count, 49u);
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            const Regex local = url;  // copies share the compiled pattern
            for (int i = 0; i < 200; ++i) {
                const Regex& re = (i + t) % 2 ? url : local;
                if (re.findAll(text).size() != 2 || characterCount(text) != count ||
                    toLower("PERCHÉ") != "perché" || nfc("e\xCC\x81") != "\xC3\xA9") {
                    ++failures;
                }
            }
        });
    }
    for (auto& th : threads) {
        th.join();
    }
    EXPECT_EQ(failures.load(), 0);
}

}  // namespace
}  // namespace quorix::text
