#include "tools/typo-eval/SideBySide.h"

#include <array>
#include <functional>
#include <iomanip>
#include <iostream>
#include <sstream>

#include "core/knowledge/ContextModel.h"
#include "core/text/Text.h"
#include "tools/typo-eval/SentenceScore.h"
#include "tools/typogen/KeyboardModelBuilder.h"
#include "tools/typogen/SlipSampler.h"

namespace quorix::typoeval {

namespace {

constexpr std::array<const char*, 5> kLanguages{"it", "en", "de", "es", "fr"};
// Not the calibration seed: the held-out slips differ from those too.
constexpr uint32_t kHeldOutSeed = typogen::KeyboardModelBuilder::kCalibrationSeed + 1;

struct Corrector {
    const char* name;
    std::function<std::string(std::string_view)> run;
};

std::vector<Corrector> correctors(InProcessCorrector& local) {
    return {{"maps", [&](std::string_view t) { return local.correct(t); }},
            {"keyboard", [&](std::string_view t) { return local.keyboard(t); }},
            {"local stage", [&](std::string_view t) { return local.localStage(t); }},
            {"keyboard, no context",
             [&](std::string_view t) { return local.keyboardWithoutContext(t); }},
            {"local, no context",
             [&](std::string_view t) { return local.localStageWithoutContext(t); }},
            {"naive", [&](std::string_view t) { return local.naive(t); }}};
}

std::string percent(double share) {
    std::ostringstream out;
    out << std::fixed << std::setprecision(1) << share * 100 << "%";
    return out.str();
}

void printHeader(const std::vector<Corrector>& all) {
    std::cout << "  " << std::left << std::setw(22) << "";
    for (const Corrector& c : all) {
        std::cout << std::setw(26) << c.name;
    }
    std::cout << "\n";
}

void printWrong(const std::map<std::string, std::size_t>& wrong, std::size_t errors) {
    for (const auto& [what, times] : mostFrequent(wrong, errors)) {
        std::cout << "      " << times << "x  " << what << "\n";
    }
}

}  // namespace

void reportHeldOutSlips(InProcessCorrector& local, const std::string& catalog, std::size_t errors) {
    const std::vector<Corrector> all = correctors(local);
    std::cout << "Held-out generated slips (one per odd catalog row), fixed / precision; "
                 "the same sentences clean, changed\n";
    printHeader(all);
    std::vector<std::map<std::string, std::size_t>> keyboardWrong(kLanguages.size());
    std::vector<std::map<std::string, std::size_t>> keyboardClean(kLanguages.size());
    for (std::size_t l = 0; l < kLanguages.size(); ++l) {
        const std::string language = kLanguages[l];
        const auto sentences = typogen::catalogSentences(catalog, language, 1);
        typogen::SlipSampler sampler(language, kHeldOutSeed,
                                     [&](std::string_view w) { return local.acceptedAnywhere(w); });
        std::vector<LabelledSentence> slipped;
        for (const std::string& s : sentences) {
            if (const auto slip = sampler.slip(s)) {
                slipped.push_back({slip->input, slip->expected});
            }
        }
        std::vector<SetScore> slipScores(all.size());
        std::vector<CleanScore> cleanScores(all.size());
        for (std::size_t c = 0; c < all.size(); ++c) {
            for (const LabelledSentence& s : slipped) {
                addToSetScore(slipScores[c], s, all[c].run(s.input));
            }
            for (const std::string& s : sentences) {
                addToCleanScore(cleanScores[c], s, all[c].run(s));
            }
        }
        keyboardWrong[l] = slipScores[1].wrongChanges;
        keyboardClean[l] = cleanScores[1].falseCorrections;
        std::cout << "  " << std::left << std::setw(22)
                  << (language + " (" + std::to_string(slipped.size()) + " slips)");
        for (const SetScore& s : slipScores) {
            std::cout << std::setw(26) << (percent(s.recall()) + " / " + percent(s.precision()));
        }
        std::cout << "\n  " << std::setw(22)
                  << (language + " clean (" + std::to_string(sentences.size()) + ")");
        for (const CleanScore& s : cleanScores) {
            std::cout << std::setw(26) << (percent(s.changedShare()) + " changed");
        }
        std::cout << "\n";
    }
    std::cout << "  wrong keyboard changes:\n";
    for (std::size_t l = 0; l < kLanguages.size(); ++l) {
        std::cout << "    " << kLanguages[l] << ":\n";
        printWrong(keyboardWrong[l], errors);
    }
    std::cout << "  keyboard changes of clean sentences:\n";
    for (std::size_t l = 0; l < kLanguages.size(); ++l) {
        std::cout << "    " << kLanguages[l] << ":\n";
        printWrong(keyboardClean[l], errors);
    }
    if (local.naiveWords() != 0) {
        std::cout << "  naive: " << std::fixed << std::setprecision(1)
                  << local.naiveSeconds() * 1000 / double(local.naiveWords())
                  << " ms per suggestion call (" << local.naiveWords() << " calls)\n";
    }
}

void reportChatSideBySide(InProcessCorrector& local, const std::string& chat, std::size_t errors) {
    const std::vector<Corrector> all = correctors(local);
    const auto sentences = parseLabelledSentences(chat);
    std::cout << "Italian chat set (" << sentences.size()
              << " messages): fully corrected / word precision\n";
    printHeader(all);
    std::cout << "  " << std::setw(22) << "it chat";
    std::vector<SetScore> scores(all.size());
    for (std::size_t c = 0; c < all.size(); ++c) {
        for (const LabelledSentence& s : sentences) {
            addToSetScore(scores[c], s, all[c].run(s.input));
        }
        std::cout << std::setw(26)
                  << (percent(scores[c].fullShare()) + " / " + percent(scores[c].precision()));
    }
    std::cout << "\n  wrong local-stage changes:\n";
    printWrong(scores[2].wrongChanges, errors);
}

void reportRealWordSlips(InProcessCorrector& local, const std::string& slips) {
    const auto sentences = parseLabelledSentences(slips);
    const ContextModel* context = local.context("it");
    std::size_t valid = 0;
    std::size_t fixed = 0;
    std::size_t preferred = 0;
    const auto word = [](const std::vector<std::string>& words, std::size_t i) {
        return i < words.size() ? text::toUtf32(text::toLower(text::trimPunctuation(words[i])))
                                : std::u32string();
    };
    for (const LabelledSentence& s : sentences) {
        const auto typed = whiteSpaceWords(s.input);
        const auto intended = whiteSpaceWords(s.expected);
        std::size_t i = 0;
        while (i < typed.size() && i < intended.size() && typed[i] == intended[i]) {
            ++i;
        }
        if (typed.size() != intended.size() || i == typed.size() ||
            text::trimPunctuation(typed[i]).empty() ||
            !local.acceptedAnywhere(text::trimPunctuation(typed[i]))) {
            continue;
        }
        ++valid;
        fixed += local.localStage(s.input) == s.expected ? 1 : 0;
        // Punctuation between two words leaves that side without a neighbour.
        const bool leftJoined = i > 0 && text::trimPunctuation(typed[i - 1]) == typed[i - 1] &&
                                text::trimPunctuation(typed[i]).front() == typed[i].front();
        const bool rightJoined = text::trimPunctuation(typed[i]).back() == typed[i].back();
        if (context != nullptr) {
            const auto around = context->neighbours(leftJoined ? word(typed, i - 1) : U"",
                                                    rightJoined ? word(typed, i + 1) : U"");
            preferred += around.logFactor(word(intended, i)) > around.logFactor(word(typed, i));
        }
    }
    std::cout << "Italian real-word slips (" << valid << " with a valid typed word): local stage "
              << fixed << " fixed; the context model prefers the intended word in " << preferred
              << (context != nullptr ? "" : " (no context model)") << "\n";
}

void reportMisspellingsSideBySide(InProcessCorrector& local, const std::string& name,
                                  const MisspellingList& list, std::size_t naiveLimit,
                                  std::size_t errors) {
    std::size_t listed = 0;
    std::vector<std::string> wrong;
    std::size_t changed[2] = {0, 0};
    std::size_t right[2] = {0, 0};
    std::size_t naiveListed = 0;
    for (const auto& [typo, corrections] : list) {
        ++listed;
        const bool withNaive = naiveListed < naiveLimit;
        naiveListed += withNaive ? 1 : 0;
        const std::string outputs[2] = {local.keyboardIn(typo, "en"),
                                        withNaive ? local.naiveIn(typo, "en") : typo};
        for (int k = 0; k < 2; ++k) {
            if (outputs[k] != typo) {
                ++changed[k];
                const bool isRight = corrections.count(text::toLower(outputs[k])) != 0;
                right[k] += isRight ? 1 : 0;
                if (k == 0 && !isRight && wrong.size() < errors) {
                    wrong.push_back(typo + " -> " + outputs[k] + " (list: " + *corrections.begin() +
                                    ")");
                }
            }
        }
    }
    const auto share = [](std::size_t a, std::size_t b) { return b == 0 ? 1.0 : double(a) / b; };
    std::cout << "  " << name << " (" << listed
              << " one-word misspellings), keyboard model: " << changed[0] << " changed ("
              << percent(share(changed[0], listed)) << "), " << right[0] << " right (precision "
              << percent(share(right[0], changed[0])) << "); naive on the first " << naiveListed
              << ": " << changed[1] << " changed, " << right[1] << " right (precision "
              << percent(share(right[1], changed[1])) << ")\n";
    for (const std::string& w : wrong) {
        std::cout << "    wrong: " << w << "\n";
    }
}

}  // namespace quorix::typoeval
