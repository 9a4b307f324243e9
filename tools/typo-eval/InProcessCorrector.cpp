#include "tools/typo-eval/InProcessCorrector.h"

#include <chrono>
#include <fstream>
#include <iterator>

#include "core/knowledge/NoisyChannelCorrector.h"
#include "core/text/Text.h"
#include "services/OfflineKnowledge.h"

namespace quorix::typoeval {

namespace {

std::optional<std::string> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

bool isKnown(std::string_view language) {
    for (const std::string_view l : NoisyChannelCorrector::kLanguages) {
        if (l == language) {
            return true;
        }
    }
    return false;
}

}  // namespace

struct InProcessCorrector::Services {
    Services(const std::string& folder, const std::string& noContextFolder)
        : keyboard(
              knowledge.spell(),
              [folder](std::string_view language) {
                  return readFile(folder + "/" + NoisyChannelCorrector::fileName(language));
              },
              {},
              [folder](std::string_view language) {
                  return readFile(folder + "/" + NoisyChannelCorrector::contextFileName(language));
              }),
          keyboardWithoutContext(knowledge.spell(), [noContextFolder](std::string_view language) {
              return readFile(noContextFolder + "/" + NoisyChannelCorrector::fileName(language));
          }) {}
    services::OfflineKnowledge knowledge;
    std::unique_ptr<LocalTypoDictionary> dictionary;
    NoisyChannelCorrector keyboard;
    NoisyChannelCorrector keyboardWithoutContext;
    double naiveSeconds = 0;
    std::size_t naiveWords = 0;
};

InProcessCorrector::InProcessCorrector(const std::string& dictionariesFolder,
                                       const std::string& noContextFolder)
    : services_(std::make_unique<Services>(
          dictionariesFolder, noContextFolder.empty() ? dictionariesFolder : noContextFolder)) {
    services_->knowledge.spell().preload();
    services_->dictionary = services_->knowledge.loadDictionary(dictionariesFolder);
}

InProcessCorrector::~InProcessCorrector() = default;

std::string InProcessCorrector::correct(std::string_view text) {
    auto corrected = services_->dictionary->tryCorrectLocally(text);
    return corrected ? *corrected : std::string(text);
}

std::string InProcessCorrector::keyboard(std::string_view text) {
    return keyboardIn(text, language(text));
}

std::string InProcessCorrector::keyboardIn(std::string_view text, std::string_view language) {
    return services_->keyboard.correct(text, language).text.value_or(std::string(text));
}

std::string InProcessCorrector::localStage(std::string_view text) {
    const std::string maps = correct(text);
    return services_->dictionary->correctWithKeyboardModel(maps).text.value_or(maps);
}

std::string InProcessCorrector::keyboardWithoutContext(std::string_view text) {
    return services_->keyboardWithoutContext.correct(text, language(text))
        .text.value_or(std::string(text));
}

std::string InProcessCorrector::localStageWithoutContext(std::string_view text) {
    const std::string maps = correct(text);
    return services_->keyboardWithoutContext.correct(maps, language(maps)).text.value_or(maps);
}

std::string InProcessCorrector::naive(std::string_view text) {
    return naiveIn(text, language(text));
}

std::string InProcessCorrector::naiveIn(std::string_view text, std::string_view language) {
    const std::string_view lang = isKnown(language) ? language : std::string_view("it");
    language::NuspellSpellChecker& spell = services_->knowledge.spell();
    std::string out;
    std::size_t pos = 0;
    const std::string s(text);
    while (pos < s.size()) {
        const std::size_t space = s.find(' ', pos);
        const std::size_t end = space == std::string::npos ? s.size() : space;
        const std::string token = s.substr(pos, end - pos);
        const std::string core = text::trimPunctuation(token);
        std::string replaced = token;
        if (text::characterCount(core) >= 2 && spell.isMisspelled(core, lang)) {
            const auto start = std::chrono::steady_clock::now();
            const auto suggestion = spell.firstSuggestion(core, lang);
            services_->naiveSeconds +=
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            ++services_->naiveWords;
            if (suggestion) {
                replaced = text::replaceAll(token, core, *suggestion);
            }
        }
        out += replaced;
        if (space != std::string::npos) {
            out += ' ';
        }
        pos = end + 1;
    }
    return out;
}

double InProcessCorrector::naiveSeconds() const {
    return services_->naiveSeconds;
}

std::size_t InProcessCorrector::naiveWords() const {
    return services_->naiveWords;
}

const NoisyChannelCorrector& InProcessCorrector::keyboardCorrector() const {
    return services_->keyboard;
}

const ContextModel* InProcessCorrector::context(std::string_view language) {
    return services_->keyboard.context(language);
}

bool InProcessCorrector::acceptedAnywhere(std::string_view word) {
    for (const std::string_view l : NoisyChannelCorrector::kLanguages) {
        if (!services_->knowledge.spell().isMisspelled(word, l)) {
            return true;
        }
    }
    return false;
}

std::string InProcessCorrector::language(std::string_view text) {
    return services_->knowledge.detector().detectLanguage(text);
}

}  // namespace quorix::typoeval
