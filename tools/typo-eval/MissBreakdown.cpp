#include "tools/typo-eval/MissBreakdown.h"

#include "tools/typo-eval/SentenceScore.h"

#include <algorithm>
#include <array>
#include <iomanip>
#include <iostream>
#include <map>
#include <sstream>
#include <vector>

#include "core/knowledge/KeyboardErrorModel.h"
#include "core/knowledge/NoisyChannelCorrector.h"
#include "core/text/Text.h"
#include "tools/typogen/KeyboardModelBuilder.h"
#include "tools/typogen/SlipSampler.h"

namespace quorix::typoeval {

namespace {

enum Bucket : std::size_t {
    kFixed,
    kWrong,
    kAccepted,
    kRule,
    kOutside,
    kBeyond,
    kRunnerUp,
    kLower,
    kGatedConfidence,
    kGatedMargin,
    kGatedBoth,
    kBuckets
};

constexpr std::array<const char*, kBuckets> kNames{
    "fixed",     "wrong", "accepted",    "rule",          "outside lexicon", "beyond search",
    "runner-up", "lower", "gated: conf", "gated: margin", "gated: both"};

Bucket classify(const NoisyChannelModel& model, const typogen::SlippedSentence& slip,
                const ModelPass& pass, std::string& detail) {
    const std::string typo = text::toLower(slip.typo);
    const std::string intended = text::toLower(slip.word);
    const WordDecision* decision = nullptr;
    for (const WordDecision& d : pass.words) {
        if (text::toLower(d.word) == typo) {
            decision = &d;
            break;
        }
    }
    const std::u32string typed32 = text::toUtf32(typo);
    const std::u32string intended32 = text::toUtf32(intended);
    if (decision == nullptr) {
        detail = slip.typo + " | " + slip.input;
        return model.contains(typed32) ? kAccepted : kRule;
    }
    const ModelSuggestion& s = decision->suggestion;
    detail = slip.typo + " -> " + s.candidate + " (" + slip.word + "; 2nd " + s.runnerUp + ")";
    if (text::toLower(s.candidate) == intended) {
        if (decision->applied) {
            return kFixed;
        }
        const ModelThresholds& t = model.thresholds();
        const ModelGate& gate = t.gates[s.gate];
        const bool lowConfidence =
            t.confidence(s.score, s.total, s.outsideFactor) < gate.minConfidence;
        const bool lowMargin = s.margin < gate.minMargin;
        std::ostringstream numbers;
        numbers << " conf " << std::setprecision(3)
                << t.confidence(s.score, s.total, s.outsideFactor) << " margin " << s.margin
                << " gate " << s.gate;
        detail += numbers.str();
        return lowConfidence && lowMargin ? kGatedBoth
               : lowConfidence            ? kGatedConfidence
                                          : kGatedMargin;
    }
    if (decision->applied) {
        return kWrong;
    }
    if (!model.contains(intended32)) {
        return kOutside;
    }
    const int maxEdits = typed32.size() >= NoisyChannelModel::kTwoEditLength ? 2 : 1;
    if (KeyboardErrorModel::boundedDistance(intended32, typed32, maxEdits) > maxEdits) {
        return kBeyond;
    }
    return text::toLower(s.runnerUp) == intended ? kRunnerUp : kLower;
}

}  // namespace

void reportMissBreakdown(InProcessCorrector& local, const std::string& catalog,
                         std::size_t examples) {
    const NoisyChannelCorrector& corrector = local.keyboardCorrector();
    std::cout << "Keyboard model on the calibration slips (even catalog rows), by outcome\n  "
              << std::left << std::setw(8) << "";
    for (const char* name : kNames) {
        std::cout << std::setw(16) << name;
    }
    std::cout << std::setw(16) << "misdetected"
              << "\n";
    std::map<std::string, std::array<std::vector<std::string>, kBuckets + 2>> samples;
    for (const char* language : {"it", "en", "de", "es", "fr"}) {
        const NoisyChannelModel* model = corrector.model(language);
        if (model == nullptr) {
            continue;
        }
        typogen::SlipSampler sampler(language, typogen::KeyboardModelBuilder::kCalibrationSeed,
                                     [&](std::string_view w) { return local.acceptedAnywhere(w); });
        std::array<std::size_t, kBuckets> counts{};
        // The clean rejected words the model is most sure of: what bounds the thresholds.
        std::vector<std::pair<double, std::string>> clean;
        std::size_t misdetected = 0;
        auto& kept = samples[language];
        for (const std::string& sentence : typogen::catalogSentences(catalog, language, 0)) {
            for (const WordDecision& d : corrector.correct(sentence, language).words) {
                const ModelSuggestion& s = d.suggestion;
                const double c = model->thresholds().confidence(s.score, s.total, s.outsideFactor);
                if (s.score > 0 && c >= 0.5 && s.margin >= 2 && !local.acceptedAnywhere(d.word)) {
                    std::ostringstream line;
                    line << std::setprecision(3) << "conf " << c << " margin " << s.margin << "  "
                         << d.word << " -> " << s.candidate << (d.applied ? " (applied)" : "");
                    clean.emplace_back(c, line.str());
                }
            }
            const auto slip = sampler.slip(sentence);
            if (!slip) {
                continue;
            }
            const std::string_view read =
                corrector.languageOf(slip->input, local.language(slip->input));
            misdetected += read != language ? 1 : 0;
            if (read != language && kept[kBuckets + 1].size() < examples) {
                kept[kBuckets + 1].push_back(std::string(read.empty() ? "none" : read) + " | " +
                                             slip->input);
            }
            std::string detail;
            const Bucket b =
                classify(*model, *slip, corrector.correct(slip->input, language), detail);
            ++counts[b];
            if (kept[b].size() < examples) {
                kept[b].push_back(detail);
            }
        }
        std::cout << "  " << std::setw(8) << language;
        for (const std::size_t n : counts) {
            std::cout << std::setw(16) << n;
        }
        std::cout << std::setw(16) << misdetected << "\n";
        std::sort(clean.rbegin(), clean.rend());
        for (std::size_t i = 0; i < clean.size() && i < examples; ++i) {
            kept[kBuckets].push_back(clean[i].second);
        }
    }
    for (const auto& [language, byBucket] : samples) {
        for (std::size_t b = kWrong; b < byBucket.size(); ++b) {
            if (byBucket[b].empty()) {
                continue;
            }
            std::cout << "  " << language << ", "
                      << (b < kBuckets    ? kNames[b]
                          : b == kBuckets ? "clean words the model is surest of"
                                          : "read in another language")
                      << ":\n";
            for (const std::string& s : byBucket[b]) {
                std::cout << "      " << s << "\n";
            }
        }
    }
}

void reportChatMisses(InProcessCorrector& local, const std::string& chat) {
    SetScore score;
    for (const LabelledSentence& s : parseLabelledSentences(chat)) {
        addToSetScore(score, s, local.localStage(s.input));
    }
    std::cout << "Italian chat set, local stage: " << score.fullyCorrected << " of "
              << score.sentences << " fully corrected; words left unfixed:\n";
    for (const auto& [what, times] : score.missed) {
        const std::string typed = text::trimPunctuation(what.substr(0, what.find(" (")));
        std::string why = "no decision";
        for (const WordDecision& d : local.keyboardCorrector().correct(typed, "it").words) {
            std::ostringstream out;
            out << std::setprecision(3) << d.suggestion.candidate << " conf "
                << d.suggestion.confidence << " margin " << d.suggestion.margin << ", 2nd "
                << d.suggestion.runnerUp;
            why = out.str();
        }
        std::cout << "    " << times << "x  " << what << ": " << why << "\n";
    }
    std::cout << "  wrong changes:\n";
    for (const auto& [what, times] : score.wrongChanges) {
        std::cout << "    " << times << "x  " << what << "\n";
    }
}

}  // namespace quorix::typoeval
