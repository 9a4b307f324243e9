#include "services/OfflineKnowledge.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "platform/posix/PosixFileSystem.h"
#include "services/DictionaryAssembly.h"

namespace quorix::services {

namespace {

// A fresh private folder under the system's temporary folder; the temporary
// folder itself when none can be made.
std::string makeScratchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "quorix-XXXXXX").string();
    const char* made = ::mkdtemp(pattern.data());
    return made == nullptr ? std::filesystem::temp_directory_path().string() : std::string(made);
}

}  // namespace

OfflineKnowledge::OfflineKnowledge()
    : scratch_(makeScratchFolder()),
      logger_(scratch_, platform::PosixFileSystem::instance(), clock_, nullptr) {}

OfflineKnowledge::~OfflineKnowledge() {
    if (scratch_ != std::filesystem::temp_directory_path().string()) {
        std::error_code ignored;
        std::filesystem::remove_all(scratch_, ignored);
    }
}

platform::FileSystem& OfflineKnowledge::files() {
    return platform::PosixFileSystem::instance();
}

std::unique_ptr<LocalTypoDictionary> OfflineKnowledge::loadDictionary(
    const std::string& dictionariesFolder) {
    return std::make_unique<LocalTypoDictionary>(
        dictionaryDependencies(DictionaryParts{.files = platform::PosixFileSystem::instance(),
                                               .spell = spell_,
                                               .detector = detector_,
                                               .logger = logger_,
                                               .http = http_,
                                               .prefs = prefs_,
                                               .utilityQueue = utility_,
                                               .clock = clock_},
                               DictionaryFolders{.configFolder = scratch_ + "/penwarden",
                                                 .resourceFolders = {},
                                                 .developmentFolder = dictionariesFolder}));
}

}  // namespace quorix::services
