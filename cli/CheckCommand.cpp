#include "cli/CheckCommand.h"

#include <cstdio>
#include <iostream>
#include <iterator>
#include <string_view>

#include <nlohmann/json.hpp>

#include "cli/ServiceRoot.h"
#include "cli/Subcommand.h"
#include "core/interception/CorrectionPipeline.h"
#include "core/interception/TextHeuristics.h"

namespace quorix::cli {
namespace {

const char* const kUsage =
    "usage: quorix check [--json] [TEXT]\n"
    "  Analyses TEXT (or standard input) on the device, sending nothing.\n";

using Json = nlohmann::ordered_json;

template <class T>
Json orNull(const std::optional<T>& value) {
    return value ? Json(*value) : Json(nullptr);
}

Json toJson(const CheckResult& r) {
    Json out;
    out["text"] = r.text;
    out["workContext"] = r.workContext;
    out["language"] = r.language;
    out["candidateWords"] = r.candidateWords;
    out["misspelledWord"] = orNull(r.misspelledWord);
    out["contextualSuspicion"] = r.contextualSuspicion;
    out["linkOrNavigation"] = r.linkOrNavigation;
    out["loneTag"] = r.loneTag;
    out["unfinishedToken"] = orNull(r.unfinishedToken);
    out["localCorrection"] = orNull(r.localCorrection);
    out["localCorrectionHasPotentialTypo"] = orNull(r.localCorrectionHasPotentialTypo);
    Json words = Json::array();
    for (const WordDecision& d : r.keyboardWords) {
        const ModelSuggestion& s = d.suggestion;
        Json word;
        word["word"] = d.word;
        word["candidate"] = s.candidate.empty() ? Json(nullptr) : Json(s.candidate);
        word["confidence"] = s.confidence;
        word["runnerUp"] = s.runnerUp.empty() ? Json(nullptr) : Json(s.runnerUp);
        word["runnerUpConfidence"] = s.runnerUpConfidence;
        word["applied"] = d.applied;
        word["compound"] = d.compound;
        words.push_back(std::move(word));
    }
    out["keyboardModel"] = std::move(words);
    out["keyboardCorrection"] = orNull(r.keyboardCorrection);
    out["keyboardCorrectionHasPotentialTypo"] = orNull(r.keyboardCorrectionHasPotentialTypo);
    return out;
}

std::string dump(const Json& value) {
    return value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

}  // namespace

CheckResult checkText(ServiceRoot& root, const std::string& text) {
    const TextHeuristics heuristics(root.config(), root.languageDetector(), root.spellChecker());
    CheckResult r;
    r.text = text;
    r.workContext = root.config().toneStyle() == ToneStyle::formal;
    r.language = root.languageDetector().detectLanguage(text);
    SpellScan scan = heuristics.findMisspelledWord(text, r.workContext);
    r.candidateWords = std::move(scan.candidateWords);
    r.misspelledWord = std::move(scan.misspelledWord);
    r.contextualSuspicion =
        heuristics.hasContextualSuspicion(text, r.candidateWords, r.workContext);
    r.linkOrNavigation = heuristics.isPureURLOrNavigation(text);
    r.loneTag = CorrectionPipeline::isSingleTagToken(text);
    if (auto token = heuristics.isUnfinishedAutocompleteToken(text); token.isMatch) {
        r.unfinishedToken = token.matched;
    }
    r.localCorrection = root.dictionary().tryCorrectLocally(text);
    if (r.localCorrection) {
        r.localCorrectionHasPotentialTypo = heuristics.hasPotentialTypo(*r.localCorrection);
    }
    ModelPass pass = root.dictionary().correctWithKeyboardModel(r.localCorrection.value_or(text));
    r.keyboardWords = std::move(pass.words);
    r.keyboardCorrection = std::move(pass.text);
    if (r.keyboardCorrection) {
        r.keyboardCorrectionHasPotentialTypo =
            !heuristics.isFreeOfMisspellings(*r.keyboardCorrection);
    }
    return r;
}

std::string checkResultJSON(const CheckResult& result) {
    return dump(toJson(result));
}

std::string checkResultText(const CheckResult& result) {
    std::string out;
    const Json json = toJson(result);
    for (const auto& [key, value] : json.items()) {
        out += key + ": " + (value.is_string() ? value.get<std::string>() : dump(value)) + "\n";
    }
    return out;
}

int runCheckCommand(std::span<char* const> args) {
    bool json = false;
    std::vector<std::string> words;
    bool haveText = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (arg == "--json") {
            json = true;
        } else if (arg == "-h" || arg == "--help") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (arg == "--") {
            for (++i; i < args.size(); ++i) {
                words.emplace_back(args[i]);
            }
            haveText = true;
        } else if (arg.starts_with("--")) {
            std::fputs(kUsage, stderr);
            return kUsageExit;
        } else {
            words.emplace_back(arg);
            haveText = true;
        }
    }
    std::string text;
    if (haveText) {
        for (std::size_t i = 0; i < words.size(); ++i) {
            text += (i == 0 ? "" : " ") + words[i];
        }
    } else {
        text.assign(std::istreambuf_iterator<char>(std::cin), {});
        if (text.ends_with("\n")) {
            text.pop_back();
        }
    }

    ServiceRootOptions options;
    options.offline = true;
    options.logEcho = nullptr;
    options.storage = StorageMode::readOnly;
    std::string output;
    {
        ServiceRoot root(options);
        const CheckResult result = checkText(root, text);
        output = json ? checkResultJSON(result) + "\n" : checkResultText(result);
    }
    std::fwrite(output.data(), 1, output.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace quorix::cli
