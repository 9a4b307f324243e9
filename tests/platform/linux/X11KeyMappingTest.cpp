// GoogleTest before the X headers, whose None macro it would not survive.
#include <gtest/gtest.h>

#include <X11/X.h>
#include <X11/keysym.h>

#include "platform/KeyCodes.h"
#include "platform/linux/KeyMapping.h"

namespace quorix::platform {
namespace {

TEST(X11KeyMapping, RoutingKeysHaveTheirAppleCodes) {
    EXPECT_EQ(KeyMapping::appleCodeForKeysym(XK_Return), keys::kReturn);
    EXPECT_EQ(KeyMapping::appleCodeForKeysym(XK_KP_Enter), keys::kKeypadEnter);
    EXPECT_EQ(KeyMapping::appleCodeForKeysym(XK_z), keys::kZ);
    EXPECT_EQ(KeyMapping::appleCodeForKeysym(XK_Z), keys::kZ);  // shifted letters name the key
    EXPECT_EQ(KeyMapping::appleCodeForKeysym(XK_BackSpace), keys::kDelete);
    EXPECT_EQ(KeyMapping::appleCodeForKeysym(XK_Delete), keys::kForwardDelete);
    EXPECT_EQ(KeyMapping::appleCodeForKeysym(XK_Up), keys::kUpArrow);
    // A Cyrillic letter, a media key and NoSymbol: the "other key" code, not A (0).
    for (const unsigned long keysym : {0x6c1UL, 0x1008FF11UL, 0UL}) {
        EXPECT_EQ(KeyMapping::appleCodeForKeysym(keysym), KeyMapping::kOtherKey) << keysym;
    }
    for (const unsigned long keysym : {XK_Control_R, XK_ISO_Level3_Shift, XK_Num_Lock}) {
        EXPECT_TRUE(KeyMapping::isModifierKeysym(keysym)) << keysym;
    }
    EXPECT_FALSE(KeyMapping::isModifierKeysym(XK_Return));
}

TEST(X11KeyMapping, PostedCodesRoundTripToTheirKeysyms) {
    for (const uint16_t code : {keys::kV, keys::kReturn, keys::kRightArrow, keys::kKeypadEnter}) {
        const auto keysym = KeyMapping::keysymForAppleCode(code);
        ASSERT_TRUE(keysym.has_value()) << code;
        EXPECT_EQ(KeyMapping::appleCodeForKeysym(*keysym), code);
    }
    EXPECT_EQ(KeyMapping::keysymForAppleCode(keys::kA), XK_a);
    EXPECT_FALSE(KeyMapping::keysymForAppleCode(KeyMapping::kOtherKey).has_value());
}

TEST(X11KeyMapping, StateBecomesAppleFlagsWithTheLayoutsModifierAndLockBits) {
    const ModifierMasks standard;  // Alt Mod1, NumLock Mod2, Super Mod4
    EXPECT_EQ(KeyMapping::flagsForState(ControlMask | Mod4Mask, standard),
              keys::kControl | keys::kCommand);
    EXPECT_EQ(KeyMapping::flagsForState(ShiftMask | Mod1Mask | LockMask | Mod2Mask, standard),
              keys::kShift | keys::kOption);

    // A layout that puts Alt on Mod3 and NumLock on Mod5.
    const ModifierMasks moved{Mod3Mask, Mod5Mask, Mod4Mask};
    EXPECT_EQ(KeyMapping::flagsForState(Mod3Mask, moved), keys::kOption);
    EXPECT_EQ(KeyMapping::flagsForState(Mod1Mask | Mod5Mask, moved), 0U);

    // Locks are masked out, and every lock combination is grabbed.
    EXPECT_EQ(KeyMapping::withoutLocks(Mod1Mask | LockMask | Mod2Mask, standard),
              static_cast<unsigned>(Mod1Mask));
    EXPECT_EQ(KeyMapping::lockCombinations(standard),
              (std::vector<unsigned>{0U, LockMask, Mod2Mask, Mod2Mask | LockMask}));
    // No NumLock key in the mapping: only the Caps Lock states.
    const ModifierMasks noNumLock{Mod1Mask, 0, Mod4Mask};
    EXPECT_EQ(KeyMapping::lockCombinations(noNumLock), (std::vector<unsigned>{0U, LockMask}));
}

TEST(X11KeyMapping, PostedCommandBecomesControlAndResentKeysKeepTheirModifiers) {
    using V = std::vector<unsigned long>;
    EXPECT_EQ(KeyMapping::modifierKeysymsForFlags(keys::kCommand | keys::kControl),
              V{XK_Control_L});
    EXPECT_EQ(KeyMapping::modifierKeysymsForFlags(keys::kShift | keys::kOption),
              (V{XK_Alt_L, XK_Shift_L}));

    const ModifierMasks standard;
    EXPECT_EQ(KeyMapping::modifierKeysymsForState(ShiftMask | LockMask | Mod2Mask, standard),
              V{XK_Shift_L});
    EXPECT_EQ(KeyMapping::modifierKeysymsForState(Mod4Mask | ControlMask, standard),
              (V{XK_Control_L, XK_Super_L}));
    EXPECT_EQ(KeyMapping::rightHandVariant(XK_Alt_L), static_cast<unsigned long>(XK_Alt_R));
    EXPECT_EQ(KeyMapping::rightHandVariant(XK_a), static_cast<unsigned long>(XK_a));
}

}  // namespace
}  // namespace quorix::platform
