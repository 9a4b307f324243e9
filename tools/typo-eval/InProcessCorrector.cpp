#include "tools/typo-eval/InProcessCorrector.h"

#include <cstdlib>
#include <filesystem>

#include "core/config/AppLogger.h"
#include "core/dispatch/ManualQueue.h"
#include "core/dispatch/VirtualClock.h"
#include "core/knowledge/LanguageDetector.h"
#include "core/knowledge/LocalTypoDictionary.h"
#include "core/net/OfflineHttpClient.h"
#include "platform/linux/HybridLanguageRecognizer.h"
#include "platform/linux/NuspellSpellChecker.h"
#include "platform/sim/MemoryFileSystem.h"
#include "platform/sim/SimPreferencesStore.h"

namespace quorix::typoeval {

namespace {

std::string scratchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "typo-eval-XXXXXX").string();
    const char* made = ::mkdtemp(pattern.data());
    return made == nullptr ? std::filesystem::temp_directory_path().string() : std::string(made);
}

}  // namespace

struct InProcessCorrector::Services {
    std::string scratch = scratchFolder();
    dispatch::VirtualClock clock;
    platform::MemoryFileSystem fs;
    AppLogger logger{scratch, fs, clock, nullptr};
    platform::NuspellSpellChecker spell;
    platform::HybridLanguageRecognizer recognizer{spell};
    LanguageDetector detector{recognizer};
    platform::SimPreferencesStore prefs;
    dispatch::ManualQueue utility{clock};
    net::OfflineHttpClient http;
    std::unique_ptr<LocalTypoDictionary> dictionary;

    ~Services() {
        dictionary.reset();
        std::error_code ignored;
        std::filesystem::remove_all(scratch, ignored);
    }
};

InProcessCorrector::InProcessCorrector(const std::string& dictionariesFolder)
    : services_(std::make_unique<Services>()) {
    Services& s = *services_;
    s.spell.preload();
    s.dictionary = std::make_unique<LocalTypoDictionary>(
        LocalTypoDictionary::Dependencies{.configFolder = s.scratch + "/penwarden",
                                          .files = s.fs,
                                          .resourceFolders = {},
                                          .developmentFolder = dictionariesFolder,
                                          .spell = s.spell,
                                          .detector = s.detector,
                                          .logger = s.logger,
                                          .http = s.http,
                                          .prefs = s.prefs,
                                          .utilityQueue = s.utility,
                                          .clock = s.clock,
                                          .startSyncOnInit = false});
}

InProcessCorrector::~InProcessCorrector() = default;

std::string InProcessCorrector::correct(std::string_view text) {
    auto corrected = services_->dictionary->tryCorrectLocally(text);
    return corrected ? *corrected : std::string(text);
}

std::string InProcessCorrector::language(std::string_view text) {
    return services_->detector.detectLanguage(text);
}

}  // namespace quorix::typoeval
