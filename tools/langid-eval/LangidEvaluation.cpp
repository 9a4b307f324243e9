#include "tools/langid-eval/LangidEvaluation.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <istream>
#include <ostream>

#include "core/text/Text.h"

namespace quorix::tools {

namespace {

const std::vector<std::string> kChecked{"it", "en", "de", "es", "fr"};
const std::vector<std::string> kOthers{"pt", "nl"};

double percentile(std::vector<double> values, double p) {
    if (values.empty()) {
        return 0.0;
    }
    std::sort(values.begin(), values.end());
    const auto index = static_cast<std::size_t>(p * static_cast<double>(values.size() - 1) + 0.5);
    return values[std::min(index, values.size() - 1)];
}

std::string share(std::size_t part, std::size_t whole) {
    if (whole == 0) {
        return "    -";
    }
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%5.1f",
                  100.0 * static_cast<double>(part) / static_cast<double>(whole));
    return buffer;
}

}  // namespace

std::vector<LabelledLine> LangidEvaluation::readSet(std::istream& in, const std::string& part) {
    std::vector<LabelledLine> lines;
    std::map<std::string, std::size_t> seen;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        const std::size_t tab = line.find('\t');
        if (tab == std::string::npos || tab == 0) {
            continue;
        }
        LabelledLine labelled{line.substr(0, tab), line.substr(tab + 1)};
        const std::size_t index = seen[labelled.language]++;
        if ((part == "tune" && index % 2 != 0) || (part == "test" && index % 2 == 0)) {
            continue;
        }
        lines.push_back(std::move(labelled));
    }
    return lines;
}

LangidEvaluation::LangidEvaluation(LanguageDetector& detector, std::vector<LabelledLine> lines)
    : detector_(detector), lines_(std::move(lines)) {}

EvaluationRow LangidEvaluation::run(std::size_t words, std::ostream* errors,
                                    std::size_t maxErrors) {
    EvaluationRow row;
    row.words = words;
    std::size_t errorsShown = 0;
    for (const LabelledLine& line : lines_) {
        const std::vector<std::string> pieces = text::splitWords(line.text);
        if (pieces.size() < words) {
            continue;
        }
        std::string sample;
        for (std::size_t i = 0; i < words; ++i) {
            if (i > 0) {
                sample.push_back(' ');
            }
            sample += pieces[i];
        }
        const auto start = std::chrono::steady_clock::now();
        const std::string answer = detector_.detectLanguage(sample);
        const auto stop = std::chrono::steady_clock::now();
        row.micros.push_back(std::chrono::duration<double, std::micro>(stop - start).count());
        ++row.total[line.language];
        if (answer == line.language) {
            ++row.correct[line.language];
        } else if (errors != nullptr && errorsShown < maxErrors) {
            ++errorsShown;
            *errors << words << "w " << line.language << " -> "
                    << (answer.empty() ? "\"\"" : answer) << "\t" << sample << "\n";
        }
        if (answer == "it") {
            ++row.asItalian[line.language];
        }
    }
    return row;
}

void LangidEvaluation::printTable(std::ostream& out, const std::vector<EvaluationRow>& rows) {
    out << "words |";
    for (const std::string& language : kChecked) {
        out << "    " << language << " ";
    }
    out << "|";
    for (const std::string& language : kOthers) {
        out << " " << language << "→it ";
    }
    out << "|";
    for (const std::string& language : kOthers) {
        out << " " << language << " ok ";
    }
    out << "| p50 µs | p99 µs | texts\n";
    for (const EvaluationRow& row : rows) {
        char head[16];
        std::snprintf(head, sizeof head, "%5zu |", row.words);
        out << head;
        auto count = [](const std::map<std::string, std::size_t>& map, const std::string& key) {
            const auto it = map.find(key);
            return it == map.end() ? std::size_t{0} : it->second;
        };
        std::size_t texts = 0;
        for (const auto& [language, n] : row.total) {
            texts += n;
        }
        for (const std::string& language : kChecked) {
            out << " " << share(count(row.correct, language), count(row.total, language));
        }
        out << " |";
        for (const std::string& language : kOthers) {
            out << "  " << share(count(row.asItalian, language), count(row.total, language));
        }
        out << " |";
        for (const std::string& language : kOthers) {
            out << "  " << share(count(row.correct, language), count(row.total, language));
        }
        char tail[64];
        std::snprintf(tail, sizeof tail, " | %6.1f | %6.1f | %zu\n", percentile(row.micros, 0.5),
                      percentile(row.micros, 0.99), texts);
        out << tail;
    }
}

}  // namespace quorix::tools
