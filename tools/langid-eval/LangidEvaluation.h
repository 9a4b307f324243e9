#pragma once
// Accuracy and latency of LanguageDetector over a labelled set of lines
// "lang<TAB>text". For each word count N, every line of at least N words is
// cut to its first N words and detected; the table gives, per language,
// the share answered with the line's own code, and for languages outside
// the five checked ones the share answered "it".

#include <cstddef>
#include <iosfwd>
#include <map>
#include <string>
#include <vector>

#include "core/knowledge/LanguageDetector.h"

namespace quorix::tools {

struct LabelledLine {
    std::string language;
    std::string text;
};

struct EvaluationRow {
    std::size_t words = 0;
    std::map<std::string, std::size_t> total;    // per language
    std::map<std::string, std::size_t> correct;  // answered the own code
    std::map<std::string, std::size_t> asItalian;
    std::vector<double> micros;  // per call
};

class LangidEvaluation {
  public:
    // Reads a set; lines that are empty, start with '#', or lack a tab are skipped.
    // part: "all", "tune" (even-numbered lines of each language) or "test" (odd).
    static std::vector<LabelledLine> readSet(std::istream& in, const std::string& part);

    LangidEvaluation(LanguageDetector& detector, std::vector<LabelledLine> lines);

    EvaluationRow run(std::size_t words, std::ostream* errors, std::size_t maxErrors);
    static void printTable(std::ostream& out, const std::vector<EvaluationRow>& rows);

  private:
    LanguageDetector& detector_;
    std::vector<LabelledLine> lines_;
};

}  // namespace quorix::tools
