#include "tools/typo-eval/MisspellingCheck.h"

#include <algorithm>

#include <nlohmann/json.hpp>

#include "core/text/Text.h"

namespace quorix::typoeval {

namespace {

bool isOneWord(std::string_view word) {
    const std::u32string cps = text::toUtf32(word);
    return !cps.empty() &&
           std::all_of(cps.begin(), cps.end(), [](char32_t c) { return text::isLetter(c); });
}

}  // namespace

MisspellingList parseCodespell(std::string_view document) {
    MisspellingList list;
    for (const std::string& line : text::splitLines(document)) {
        const std::size_t arrow = line.find("->");
        if (line.empty() || line[0] == '#' || arrow == std::string::npos) {
            continue;
        }
        const std::string typo = text::toLower(text::trim(line.substr(0, arrow)));
        std::string rest = line.substr(arrow + 2);
        std::set<std::string> rights;
        std::size_t start = 0;
        while (start <= rest.size()) {
            const std::size_t comma = rest.find(',', start);
            const std::string item = text::toLower(text::trim(rest.substr(
                start, comma == std::string::npos ? std::string::npos : comma - start)));
            if (!item.empty()) {
                rights.insert(item);
            }
            if (comma == std::string::npos) {
                break;
            }
            start = comma + 1;
        }
        if (!typo.empty() && !rights.empty()) {
            list[typo].insert(rights.begin(), rights.end());
        }
    }
    return list;
}

MisspellingList parseMisspellingJson(std::string_view document) {
    MisspellingList list;
    const auto json = nlohmann::json::parse(document, nullptr, /*allow_exceptions=*/false);
    if (!json.is_object()) {
        return list;
    }
    for (const auto& [typo, right] : json.items()) {
        if (!right.is_string()) {
            continue;
        }
        // Several corrections are listed as "one,other".
        const std::string all = right.get<std::string>();
        std::size_t start = 0;
        while (start <= all.size()) {
            const std::size_t comma = all.find(',', start);
            const std::string item = text::toLower(text::trim(
                all.substr(start, comma == std::string::npos ? std::string::npos : comma - start)));
            if (!item.empty()) {
                list[text::toLower(typo)].insert(item);
            }
            if (comma == std::string::npos) {
                break;
            }
            start = comma + 1;
        }
    }
    return list;
}

MisspellingScore scoreMisspellings(const MisspellingList& list, const TypoMap& map) {
    MisspellingScore score;
    for (const auto& [typo, rights] : list) {
        const bool oneWordRight =
            std::any_of(rights.begin(), rights.end(), [](const auto& r) { return isOneWord(r); });
        if (!isOneWord(typo) || !oneWordRight) {
            continue;
        }
        ++score.listed;
        const auto it = map.find(typo);
        if (it == map.end()) {
            continue;
        }
        ++score.covered;
        if (rights.count(text::toLower(it->second)) != 0) {
            ++score.right;
        } else {
            std::string listed;
            for (const std::string& r : rights) {
                listed += (listed.empty() ? "" : ", ") + r;
            }
            score.wrong.push_back(typo + " -> " + it->second + " (list: " + listed + ")");
        }
    }
    return score;
}

}  // namespace quorix::typoeval
