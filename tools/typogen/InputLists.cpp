#include "tools/typogen/InputLists.h"

#include <fstream>
#include <iterator>
#include <ostream>

#include <nlohmann/json.hpp>

namespace quorix::typogen {

namespace {

constexpr double kTopFrequency = 2.0e6;  // about the count of "you" in the subtitle list

nlohmann::json readJson(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        throw InputError("cannot read " + file.string() +
                         " (run scripts/fetch-typogen-inputs.sh first)");
    }
    const std::string document((std::istreambuf_iterator<char>(in)), {});
    auto json = nlohmann::json::parse(document, nullptr, /*allow_exceptions=*/false);
    if (!json.is_array()) {
        throw InputError(file.string() + " is not a JSON array");
    }
    return json;
}

}  // namespace

double frequencyOfRank(std::size_t rank) {
    return kTopFrequency / static_cast<double>(rank == 0 ? 1 : rank);
}

std::vector<std::string> readWordArray(const std::filesystem::path& file) {
    const nlohmann::json json = readJson(file);
    std::vector<std::string> words;
    words.reserve(json.size());
    for (const auto& item : json) {
        if (!item.is_string()) {
            throw InputError(file.string() + " holds a value that is not a string");
        }
        words.push_back(item.get<std::string>());
    }
    return words;
}

std::vector<std::pair<std::string, double>> readWordCounts(const std::filesystem::path& file) {
    const nlohmann::json json = readJson(file);
    std::vector<std::pair<std::string, double>> counts;
    counts.reserve(json.size());
    for (const auto& item : json) {
        if (!item.is_object() || !item.contains("word") || !item["word"].is_string() ||
            !item.contains("count") || !item["count"].is_number()) {
            throw InputError(file.string() + " holds an entry without word and count");
        }
        counts.emplace_back(item["word"].get<std::string>(), item["count"].get<double>());
    }
    return counts;
}

std::filesystem::path zxcvbnFolder(const std::filesystem::path& inputs, std::string_view language) {
    const std::string package = language == "es" ? "es-es" : std::string(language);
    return inputs / ("zxcvbn-" + package) / "package" / "src";
}

void writeDictionary(std::ostream& out, const std::vector<TypoEntry>& entries) {
    out << "{\n";
    for (std::size_t i = 0; i < entries.size(); ++i) {
        out << nlohmann::json(entries[i].typo).dump() << ": "
            << nlohmann::json(entries[i].correction).dump()
            << (i + 1 < entries.size() ? ",\n" : "\n");
    }
    out << "}\n";
}

}  // namespace quorix::typogen
