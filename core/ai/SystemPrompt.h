#pragma once
// The system instruction sent with every direct provider request. Always
// Italian; it tells the model to keep the message's own language.

#include <cstddef>
#include <set>
#include <string>

namespace quorix {

class SystemPrompt {
  public:
    // At most this many protected words are listed, in the set's order.
    static constexpr std::size_t kMaxProtectedWords = 30;
    // Longer entries of the personal dictionary are not words and are left out.
    static constexpr std::size_t kMaxProtectedWordBytes = 64;

    // formal: the formal rewrite style (ignores correctAccents); otherwise the
    // natural style with the accent instruction chosen by correctAccents.
    static std::string build(bool formal, bool correctAccents,
                             const std::set<std::string>& protectedWords);
};

}  // namespace quorix
