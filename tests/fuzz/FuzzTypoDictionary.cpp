// The typo dictionary's files and the sync reply: a shipped language file
// (typos_it.json), learned_typos.json, synced_typos_it.json and the body of a
// dictionary endpoint reply, then a correction and a learning of the message.
// Nothing crashes; the learned pairs it stored load back the same. (The
// merged map may shrink on reload: only the last sync reply is kept on disk.)
#include <numeric>
#include <string>

#include "core/dispatch/ManualQueue.h"
#include "core/knowledge/LanguageDetector.h"
#include "core/knowledge/LearningPairs.h"
#include "core/knowledge/LocalTypoDictionary.h"
#include "core/knowledge/TypoMap.h"
#include "core/text/Text.h"
#include "platform/LanguageRecognizer.h"
#include "platform/SpellChecker.h"
#include "platform/sim/SimPreferencesStore.h"
#include "tests/fuzz/ConfigRig.h"
#include "tests/fuzz/FuzzSupport.h"

namespace quorix::fuzz {
namespace {

// Deterministic verdicts that reject about half the words.
class ParitySpellChecker final : public platform::SpellChecker {
  public:
    bool isMisspelled(std::string_view word, std::string_view) override {
        return std::accumulate(word.begin(), word.end(), 0u) % 2 == 0;
    }
};

class ItalianRecognizer final : public platform::LanguageRecognizer {
  public:
    void reset() override {}
    void processString(std::string_view) override {}
    std::string dominantLanguage() override { return "it"; }
};

// Answers every request at once with 200, an entity tag and the given body.
class ReplyingHttpClient final : public net::HttpClient {
  public:
    explicit ReplyingHttpClient(std::string body) : body_(std::move(body)) {}
    void send(net::HttpRequest, Completion completion) override {
        net::HttpResult result;
        result.response.status = 200;
        result.response.headers = {{"ETag", "\"v1\""}};
        result.response.body = body_;
        completion(std::move(result));
    }

  private:
    std::string body_;
};

struct DictionaryRig : ConfigRig {
    explicit DictionaryRig(std::string syncBody) : http(std::move(syncBody)) {}

    std::unique_ptr<LocalTypoDictionary> make() {
        return std::make_unique<LocalTypoDictionary>(LocalTypoDictionary::Dependencies{
            .configFolder = std::string(kFolder),
            .files = fs,
            .resourceFolders = {"/res"},
            .developmentFolder = "",
            .spell = spell,
            .detector = detector,
            .logger = logger,
            .http = http,
            .prefs = prefs,
            .utilityQueue = utility,
            .clock = clock,
            .syncURL = "https://127.0.0.1/v1/dictionary/it",
            .startSyncOnInit = false,
            .isPersonalWord = [](std::string_view w) { return w == "ciao"; },
            .correctAccents = [] { return true; },
        });
    }

    ParitySpellChecker spell;
    ItalianRecognizer recognizer;
    LanguageDetector detector{recognizer};
    ReplyingHttpClient http;
    platform::SimPreferencesStore prefs;
    dispatch::ManualQueue utility{clock};
};

}  // namespace
}  // namespace quorix::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace quorix;
    // language file, learned file, synced file, sync reply, message, correction
    const auto parts = fuzz::splitInput(data, size, 6);
    (void)parseTypoMap(parts[0]);
    fuzz::DictionaryRig rig{std::string(parts[3])};
    rig.fs.put("/res/Dictionaries/typos_it.json", std::string(parts[0]));
    rig.put("learned_typos.json", parts[1]);
    rig.put("synced_typos_it.json", parts[2]);

    auto dictionary = rig.make();
    if (const auto corrected = dictionary->tryCorrectLocally(parts[4])) {
        FUZZ_CHECK(!corrected->empty());
    }
    for (const auto& [typo, correction] : learningPairs(parts[4], parts[5])) {
        FUZZ_CHECK(typo != correction && text::characterCount(typo) >= 3 &&
                   text::characterCount(correction) >= 2);
    }
    dictionary->learnFromCorrection(parts[4], parts[5]);
    dictionary->syncNow();
    const std::size_t learned = dictionary->learnedCount();
    dictionary.reset();

    auto reloaded = rig.make();
    FUZZ_CHECK(reloaded->learnedCount() == learned);
    return 0;
}
