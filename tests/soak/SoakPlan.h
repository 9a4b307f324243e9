#pragma once
// What the soak does to one message (kind, path, fault), drawn from a seeded
// generator so that a failing run can be repeated, and the tally of what came
// of each fault.

#include <array>
#include <cstdint>
#include <map>
#include <random>
#include <string>

namespace quorix::soak {

enum class Kind { unchanged, local, ai, cacheHit };
enum class Fault {
    none,
    providerStall,
    providerGarbage,
    provider429,
    provider500,
    providerCloseMidBody,
    providerSlow,
    accessibilityTimeout,
    accessibilityRefuses,
    clipboardTheft,
    focusMoves,
    appExits,
    keyHeld,
};
enum class Outcome { corrected, asTyped, heldBack, failed };

inline constexpr int kFaultCount = 13;
inline constexpr int kOutcomeCount = 4;

const char* nameOf(Fault fault);
const char* nameOf(Outcome outcome);

struct Step {
    Kind kind = Kind::unchanged;
    Fault fault = Fault::none;
    // Through the field that hides its text from accessibility (select-all,
    // copy, paste) rather than the accessible one.
    bool viaClipboard = false;
    // keyHeld: the key held down ("Control_L", "Shift_L" or "k"), let go
    // after Return went up or, releasedFirst, while Return is still down.
    std::string heldKey;
    bool releasedFirst = false;
    // Milliseconds after Return at which a timed fault strikes.
    int strikeMs = 0;
};

class SoakPlan {
  public:
    // skipped: fault names (nameOf) joined by commas; those faults are not drawn.
    SoakPlan(std::uint32_t seed, const std::string& skipped) : random_(seed), skipped_(skipped) {}
    Step next();
    int below(int bound) { return std::uniform_int_distribution<int>(0, bound - 1)(random_); }

  private:
    std::mt19937 random_;
    std::string skipped_;
};

class OutcomeTable {
  public:
    void add(Fault fault, Outcome outcome) {
        ++counts_[static_cast<int>(fault)][static_cast<int>(outcome)];
    }
    std::string render() const;

  private:
    std::array<std::array<int, kOutcomeCount>, kFaultCount> counts_{};
};

}  // namespace quorix::soak
