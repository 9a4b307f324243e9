#pragma once
// One-word spell check in a language ("it", "en", "de", "es", "fr", ...).
// Thread: any, concurrently. The typographic apostrophe counts as the plain
// one. An unknown language or an empty word answers "not misspelled".

#include <string_view>

namespace quorix::platform {

class SpellChecker {
  public:
    virtual ~SpellChecker() = default;
    virtual bool isMisspelled(std::string_view word, std::string_view language) = 0;
    // Loads what first use would load, so that the first check costs what
    // later ones do. Checks made meanwhile wait for it.
    virtual void preload() {}
};

}  // namespace quorix::platform
