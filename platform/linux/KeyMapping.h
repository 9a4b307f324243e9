#pragma once
// Translation between X11 keys and the core's key vocabulary: Apple virtual key
// codes and event-flag bits. Pure functions over numbers (keysyms, modifier
// state words), so no display is needed.
//
// A physical key is identified by the keysym of its first level in the first
// group (the unshifted symbol), as Apple key codes name key positions rather
// than characters. Alt maps to Option, Super to Command, Control to Control,
// Shift to Shift. A posted Command combination becomes Control: ⌘A, ⌘C and ⌘V
// are Ctrl+A, Ctrl+C and Ctrl+V on Linux.

#include <cstdint>
#include <optional>
#include <vector>

namespace quorix::platform {

// Modifier bits of the current keyboard mapping (X modifier state masks).
struct ModifierMasks {
    unsigned alt = 1U << 3;      // Mod1
    unsigned numLock = 1U << 4;  // Mod2
    unsigned super = 1U << 6;    // Mod4
};

class KeyMapping {
  public:
    // Key code of keys without an Apple counterpart (never a routing key).
    static constexpr uint16_t kOtherKey = 0xFF;

    // Apple key code of a physical key's unshifted keysym; kOtherKey if none.
    static uint16_t appleCodeForKeysym(unsigned long keysym);
    // Keysym to post for an Apple key code; nullopt for unknown codes.
    static std::optional<unsigned long> keysymForAppleCode(uint16_t code);
    // Apple flags of an X modifier state (Lock and NumLock carry no flag).
    static uint64_t flagsForState(unsigned state, const ModifierMasks& masks);
    // The state without Caps Lock and NumLock: what routing decisions look at.
    static unsigned withoutLocks(unsigned state, const ModifierMasks& masks);
    // Every combination of Caps Lock and NumLock, for grabs that must fire
    // whatever the lock keys' state: {0, Lock, NumLock, Lock|NumLock}.
    static std::vector<unsigned> lockCombinations(const ModifierMasks& masks);
    // Modifier keysyms to hold down while posting a key with these flags,
    // outermost first. Command and Control both become Control_L.
    static std::vector<unsigned long> modifierKeysymsForFlags(uint64_t flags);
    // Modifier keysyms that reproduce an X state on re-sending a key
    // (Super stays Super); locks are not touched.
    static std::vector<unsigned long> modifierKeysymsForState(unsigned state,
                                                              const ModifierMasks& masks);
    // The right-hand key of a left-hand modifier keysym (the keysym itself
    // for anything else).
    static unsigned long rightHandVariant(unsigned long keysym);
    // Shift, Control, Alt, Super, Meta, Hyper, ISO Level 3/5, Caps/Num Lock keys.
    static bool isModifierKeysym(unsigned long keysym);
};

}  // namespace quorix::platform
