#pragma once
// Every known typo from any source, kept as layers that are shared, never
// copied: the language maps as loaded (a typo in two languages resolves to the
// later one), the built-in pairs below them, and above them the pairs set
// afterwards (learned and synced). Immutable; `with` returns a new value that
// shares every layer but the small top one.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/knowledge/TypoMap.h"

namespace quorix {

class MergedTypos {
  public:
    MergedTypos();
    // `languages` in load order; null entries count as empty maps.
    MergedTypos(std::vector<TypoMapPtr> languages, TypoMapPtr builtIns);

    // The correction of `typo` in the highest layer that holds it; null when
    // no layer does. Valid while this value (or a copy) lives.
    const std::string* find(std::string_view typo) const;
    bool contains(std::string_view typo) const { return find(typo) != nullptr; }

    // Number of distinct typos.
    std::size_t size() const { return size_; }

    // A copy with `pairs` set above every layer: a known typo gets the new
    // correction when `overwrite`, and is left as it is otherwise.
    MergedTypos with(const TypoMap& pairs, bool overwrite) const;

  private:
    std::vector<TypoMapPtr> languages_;
    TypoMapPtr builtIns_;
    TypoMapPtr top_;
    std::size_t size_ = 0;
};

}  // namespace quorix
