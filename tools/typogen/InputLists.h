#pragma once
// Reading the pinned input lists and writing a dictionary file.
//
// Inputs (as unpacked by scripts/fetch-typogen-inputs.sh under one folder):
//   zxcvbn-<pkg>/package/src/{commonWords,wikipedia,firstnames,lastnames}.json
//     JSON arrays of words, most frequent first (rank only);
//   subtlex/package/index.json  [{"word": ..., "count": ...}, ...]
// A missing or malformed file is an error naming the file, never a crash.

#include <filesystem>
#include <iosfwd>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "tools/typogen/TypoGenerator.h"

namespace quorix::typogen {

struct InputError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Frequency given to the word of rank r (1-based) of a rank-only list:
// Zipf's law scaled to the counts of the English subtitle list.
double frequencyOfRank(std::size_t rank);

// A JSON array of strings. Throws InputError.
std::vector<std::string> readWordArray(const std::filesystem::path& file);

// A JSON array of {"word", "count"} objects. Throws InputError.
std::vector<std::pair<std::string, double>> readWordCounts(const std::filesystem::path& file);

// Folder of the zxcvbn package of a language under the inputs folder.
std::filesystem::path zxcvbnFolder(const std::filesystem::path& inputs, std::string_view language);

// The dictionary document: a JSON object, one "typo": "correction" member a
// line, in the order given, ending with a line break.
void writeDictionary(std::ostream& out, const std::vector<TypoEntry>& entries);

}  // namespace quorix::typogen
