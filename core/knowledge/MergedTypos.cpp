#include "core/knowledge/MergedTypos.h"

#include <memory>
#include <utility>

namespace quorix {

namespace {

const TypoMapPtr& emptyMap() {
    static const TypoMapPtr kEmpty = std::make_shared<const TypoMap>();
    return kEmpty;
}

const std::string* findIn(const TypoMap& map, const std::string& key) {
    const auto it = map.find(key);
    return it == map.end() ? nullptr : &it->second;
}

}  // namespace

MergedTypos::MergedTypos() : builtIns_(emptyMap()), top_(emptyMap()) {}

MergedTypos::MergedTypos(std::vector<TypoMapPtr> languages, TypoMapPtr builtIns)
    : languages_(std::move(languages)),
      builtIns_(builtIns ? std::move(builtIns) : emptyMap()),
      top_(emptyMap()) {
    for (TypoMapPtr& map : languages_) {
        if (!map) {
            map = emptyMap();
        }
    }
    // Each typo is counted in the first language that holds it, so the first
    // (largest) map needs no look-ups.
    for (std::size_t i = 0; i < languages_.size(); ++i) {
        for (const auto& entry : *languages_[i]) {
            bool earlier = false;
            for (std::size_t j = 0; j < i && !earlier; ++j) {
                earlier = languages_[j]->count(entry.first) != 0;
            }
            size_ += earlier ? 0 : 1;
        }
    }
    for (const auto& entry : *builtIns_) {
        bool known = false;
        for (const TypoMapPtr& map : languages_) {
            known = known || map->count(entry.first) != 0;
        }
        size_ += known ? 0 : 1;
    }
}

const std::string* MergedTypos::find(std::string_view typo) const {
    const std::string key(typo);
    if (const std::string* hit = findIn(*top_, key)) {
        return hit;
    }
    for (auto it = languages_.rbegin(); it != languages_.rend(); ++it) {
        if (const std::string* hit = findIn(**it, key)) {
            return hit;
        }
    }
    return findIn(*builtIns_, key);
}

MergedTypos MergedTypos::with(const TypoMap& pairs, bool overwrite) const {
    MergedTypos next(*this);
    TypoMap top = *top_;
    for (const auto& [typo, correction] : pairs) {
        const bool known = top.count(typo) != 0 || find(typo) != nullptr;
        if (known && !overwrite) {
            continue;
        }
        next.size_ += known ? 0 : 1;
        top.insert_or_assign(typo, correction);
    }
    next.top_ = std::make_shared<const TypoMap>(std::move(top));
    return next;
}

}  // namespace quorix
