#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The catalog sentences (and the extra calibration sentences) calibrate and
// measure the keyboard corrector as clean text: a real typo left in them counts
// every right correction as a wrong one. scripts/fix-catalog-typos.py applies
// catalog-fixes.tsv; this checks it ran on both files.

std::vector<std::vector<std::string>> readTsv(const std::string& path) {
    std::ifstream in(path);
    std::vector<std::vector<std::string>> rows;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::vector<std::string> fields;
        std::istringstream split(line);
        for (std::string field; std::getline(split, field, '\t');) {
            fields.push_back(field);
        }
        rows.push_back(fields);
    }
    return rows;
}

// A letter or digit, counting every byte of a multi-byte UTF-8 sequence.
bool wordByte(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 0x80 || std::isalnum(byte) != 0;
}

bool containsWord(const std::string& text, const std::string& word) {
    for (auto at = text.find(word); at != std::string::npos; at = text.find(word, at + 1)) {
        const auto end = at + word.size();
        if ((at == 0 || !wordByte(text[at - 1])) && (end == text.size() || !wordByte(text[end]))) {
            return true;
        }
    }
    return false;
}

TEST(CatalogFixes, NoListedTypoIsLeftInTheCatalog) {
    const auto fixes = readTsv(QUORIX_TEST_DATA_DIR "/langid/catalog-fixes.tsv");
    ASSERT_GT(fixes.size(), 50U);
    std::map<std::string, std::vector<std::string>> wrongByLanguage;
    for (const auto& fix : fixes) {
        ASSERT_EQ(fix.size(), 3U) << fix[0];
        ASSERT_NE(fix[1], fix[2]);
        std::string capitalized = fix[1];
        capitalized[0] =
            static_cast<char>(std::toupper(static_cast<unsigned char>(capitalized[0])));
        wrongByLanguage[fix[0]].push_back(fix[1]);
        wrongByLanguage[fix[0]].push_back(capitalized);
    }
    // The catalog, and the sentences the keyboard models calibrate on besides.
    for (const char* file : {"/langid/catalog-sentences.tsv", "/typos/calibration-sentences.tsv"}) {
        const auto catalog = readTsv(std::string(QUORIX_TEST_DATA_DIR) + file);
        ASSERT_GT(catalog.size(), 15000U) << file;
        for (const auto& row : catalog) {
            ASSERT_EQ(row.size(), 2U);
            for (const std::string& wrong : wrongByLanguage[row[0]]) {
                EXPECT_FALSE(containsWord(row[1], wrong))
                    << file << ": " << row[0] << ": " << wrong << " in " << row[1];
            }
        }
    }
}

}  // namespace
