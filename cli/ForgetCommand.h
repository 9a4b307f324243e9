#pragma once
// `quorix forget WORD`: the corrector stops changing WORD. Removes the pair
// learned for it, adds it to the personal dictionary and clears the
// correction cache. Exit codes: 0 done, 2 misuse (no word).

#include <span>

namespace quorix::cli {

int runForgetCommand(std::span<char* const> args);

}  // namespace quorix::cli
