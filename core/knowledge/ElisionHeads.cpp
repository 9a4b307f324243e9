#include "core/knowledge/ElisionHeads.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "core/knowledge/KeyboardErrorModel.h"

namespace quorix {

namespace {

constexpr std::array<std::u32string_view, 19> kItalianHeads{
    U"l",    U"d",    U"c",    U"m",    U"t",    U"s",    U"v",    U"n",     U"un",   U"all",
    U"dall", U"dell", U"nell", U"sull", U"coll", U"tutt", U"senz", U"quest", U"quell"};
constexpr std::array<std::u32string_view, 14> kFrenchHeads{
    U"l", U"d",  U"j",     U"m",      U"n",      U"s",      U"t",
    U"c", U"qu", U"jusqu", U"lorsqu", U"puisqu", U"quoiqu", U"presqu"};

}  // namespace

std::span<const std::u32string_view> ElisionHeads::of(std::string_view language) {
    if (language == "it") {
        return kItalianHeads;
    }
    if (language == "fr") {
        return kFrenchHeads;
    }
    return {};
}

std::vector<ElisionHeads::Reading> ElisionHeads::readings(std::u32string_view typed,
                                                          std::string_view language,
                                                          const KeyboardErrorModel& errors) {
    const std::span<const std::u32string_view> heads = of(language);
    std::vector<Reading> out;
    if (std::find(heads.begin(), heads.end(), typed) != heads.end()) {
        return out;
    }
    for (const std::u32string_view head : heads) {
        if (head.size() < 2) {
            continue;
        }
        const double log = errors.logLikelihood(head, typed);
        if (std::isfinite(log)) {
            out.push_back({head, log});
        }
    }
    std::stable_sort(out.begin(), out.end(), [](const Reading& a, const Reading& b) {
        return a.logLikelihood > b.logLikelihood;
    });
    return out;
}

}  // namespace quorix
