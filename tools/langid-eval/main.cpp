// langid-eval FILE [--recognizer cld2|hybrid] [--part all|tune|test]
//                  [--words 3,5,8,15] [--dictionaries DIR] [--errors N]
// Measures LanguageDetector on a labelled set ("lang<TAB>text" lines) and
// prints accuracy per language and per-call latency for each word count.

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "core/knowledge/LanguageDetector.h"
#include "language/Cld2LanguageRecognizer.h"
#include "language/HybridLanguageRecognizer.h"
#include "language/NuspellSpellChecker.h"
#include "tools/langid-eval/LangidEvaluation.h"

namespace {

int usage() {
    std::cerr << "usage: langid-eval FILE [--recognizer cld2|hybrid] [--part all|tune|test]\n"
                 "                        [--words 3,5,8,15] [--dictionaries DIR] [--errors N]\n";
    return 2;
}

bool parseWordCounts(const std::string& list, std::vector<std::size_t>& out) {
    out.clear();
    std::stringstream in(list);
    std::string item;
    while (std::getline(in, item, ',')) {
        char* end = nullptr;
        const unsigned long value = std::strtoul(item.c_str(), &end, 10);
        if (item.empty() || *end != '\0' || value == 0 || value > 1000) {
            return false;
        }
        out.push_back(value);
    }
    return !out.empty();
}

}  // namespace

int main(int argc, char** argv) {
    std::string file;
    std::string recognizerName = "hybrid";
    std::string part = "all";
    std::string dictionaries = quorix::language::NuspellSpellChecker::kDefaultFolder;
    std::vector<std::size_t> wordCounts{3, 5, 8, 15};
    std::size_t maxErrors = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--recognizer" && hasValue) {
            recognizerName = argv[++i];
        } else if (arg == "--part" && hasValue) {
            part = argv[++i];
        } else if (arg == "--dictionaries" && hasValue) {
            dictionaries = argv[++i];
        } else if (arg == "--words" && hasValue) {
            if (!parseWordCounts(argv[++i], wordCounts)) {
                return usage();
            }
        } else if (arg == "--errors" && hasValue) {
            maxErrors = std::strtoul(argv[++i], nullptr, 10);
        } else if (!arg.empty() && arg[0] != '-' && file.empty()) {
            file = arg;
        } else {
            return usage();
        }
    }
    if (file.empty() || (recognizerName != "cld2" && recognizerName != "hybrid") ||
        (part != "all" && part != "tune" && part != "test")) {
        return usage();
    }
    std::ifstream in(file);
    if (!in) {
        std::cerr << "langid-eval: cannot read " << file << "\n";
        return 1;
    }
    auto lines = quorix::tools::LangidEvaluation::readSet(in, part);

    quorix::language::NuspellSpellChecker spellChecker(dictionaries);
    std::unique_ptr<quorix::platform::LanguageRecognizer> recognizer;
    if (recognizerName == "cld2") {
        recognizer = std::make_unique<quorix::language::Cld2LanguageRecognizer>();
    } else {
        spellChecker.preload();
        recognizer = std::make_unique<quorix::language::HybridLanguageRecognizer>(spellChecker);
    }
    quorix::LanguageDetector detector(*recognizer);
    quorix::tools::LangidEvaluation evaluation(detector, std::move(lines));
    evaluation.run(wordCounts.front(), nullptr, 0);  // warm caches before timing

    std::vector<quorix::tools::EvaluationRow> rows;
    for (std::size_t words : wordCounts) {
        rows.push_back(evaluation.run(words, maxErrors > 0 ? &std::cerr : nullptr, maxErrors));
    }
    std::cout << "recognizer: " << recognizerName << "   set: " << file << "   part: " << part
              << "\n";
    quorix::tools::LangidEvaluation::printTable(std::cout, rows);
    return 0;
}
