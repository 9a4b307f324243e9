#include "tools/typo-eval/InProcessCorrector.h"

#include "services/OfflineKnowledge.h"

namespace quorix::typoeval {

struct InProcessCorrector::Services {
    services::OfflineKnowledge knowledge;
    std::unique_ptr<LocalTypoDictionary> dictionary;
};

InProcessCorrector::InProcessCorrector(const std::string& dictionariesFolder)
    : services_(std::make_unique<Services>()) {
    services_->knowledge.spell().preload();
    services_->dictionary = services_->knowledge.loadDictionary(dictionariesFolder);
}

InProcessCorrector::~InProcessCorrector() = default;

std::string InProcessCorrector::correct(std::string_view text) {
    auto corrected = services_->dictionary->tryCorrectLocally(text);
    return corrected ? *corrected : std::string(text);
}

std::string InProcessCorrector::language(std::string_view text) {
    return services_->knowledge.detector().detectLanguage(text);
}

}  // namespace quorix::typoeval
