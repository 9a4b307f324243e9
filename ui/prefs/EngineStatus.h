#pragma once
// The last engine check's result, kept by the window across page rebuilds so
// that the AI page's status card tells whether the service answered.

#include <string>

namespace quorix::ui::prefs {

struct EngineStatus {
    enum class State { unchecked, reachable, unreachable };
    State state = State::unchecked;
    long long elapsedMs = 0;
    std::string detail;  // the error's description when unreachable
};

}  // namespace quorix::ui::prefs
