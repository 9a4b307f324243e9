#include "SoakPlan.h"

#include <cstdio>

namespace quorix::soak {

const char* nameOf(Fault fault) {
    static constexpr std::array<const char*, kFaultCount> names = {"none",
                                                                   "provider stalls",
                                                                   "provider garbage",
                                                                   "provider 429",
                                                                   "provider 500",
                                                                   "provider closes",
                                                                   "provider slow",
                                                                   "accessibility times out",
                                                                   "accessibility refuses",
                                                                   "clipboard taken",
                                                                   "focus moves",
                                                                   "app exits",
                                                                   "key held"};
    return names[static_cast<std::size_t>(fault)];
}

const char* nameOf(Outcome outcome) {
    static constexpr std::array<const char*, kOutcomeCount> names = {"corrected", "as typed",
                                                                     "held back", "FAILED"};
    return names[static_cast<std::size_t>(outcome)];
}

Step SoakPlan::next() {
    Step step;
    // About half the messages run without a fault.
    const int roll = below(2 * (kFaultCount - 1));
    step.fault = roll < kFaultCount - 1 ? Fault::none : static_cast<Fault>(roll - kFaultCount + 2);
    if (("," + skipped_ + ",").find(std::string(",") + nameOf(step.fault) + ",") !=
        std::string::npos) {
        step.fault = Fault::none;
    }
    step.viaClipboard = below(3) == 0;
    step.kind = static_cast<Kind>(below(4));
    switch (step.fault) {
        case Fault::providerStall:
        case Fault::providerGarbage:
        case Fault::provider429:
        case Fault::provider500:
        case Fault::providerCloseMidBody:
        case Fault::providerSlow:
            step.kind = Kind::ai;
            break;
        case Fault::accessibilityTimeout:
        case Fault::accessibilityRefuses:
            step.viaClipboard = false;
            if (step.kind == Kind::ai) {
                step.kind = Kind::local;
            }
            break;
        case Fault::clipboardTheft:
            step.viaClipboard = true;
            step.strikeMs = below(60);
            break;
        case Fault::focusMoves:
        case Fault::appExits:
            // A slow AI answer leaves time to strike in the middle.
            step.kind = Kind::ai;
            step.strikeMs = 150 + below(500);
            break;
        case Fault::keyHeld: {
            static constexpr std::array<const char*, 3> keys = {"Control_L", "Shift_L", "k"};
            step.heldKey = keys[static_cast<std::size_t>(below(3))];
            step.releasedFirst = below(2) == 0;
            if (step.kind == Kind::ai || step.kind == Kind::cacheHit) {
                step.kind = Kind::local;
            }
            break;
        }
        default:
            break;
    }
    return step;
}

std::string OutcomeTable::render() const {
    std::string out;
    char line[160];
    std::snprintf(line, sizeof line, "%-24s %6s", "fault", "count");
    out += line;
    for (int o = 0; o < kOutcomeCount; ++o) {
        std::snprintf(line, sizeof line, " %10s", nameOf(static_cast<Outcome>(o)));
        out += line;
    }
    out += '\n';
    for (int f = 0; f < kFaultCount; ++f) {
        int total = 0;
        for (int c : counts_[static_cast<std::size_t>(f)]) {
            total += c;
        }
        std::snprintf(line, sizeof line, "%-24s %6d", nameOf(static_cast<Fault>(f)), total);
        out += line;
        for (int c : counts_[static_cast<std::size_t>(f)]) {
            std::snprintf(line, sizeof line, " %10d", c);
            out += line;
        }
        out += '\n';
    }
    return out;
}

}  // namespace quorix::soak
