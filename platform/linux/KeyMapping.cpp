#include "platform/linux/KeyMapping.h"

#include <X11/X.h>
#include <X11/keysym.h>

#include <algorithm>
#include <iterator>
#include <utility>

#include "platform/KeyCodes.h"

namespace quorix::platform {
namespace {

struct KeyPair {
    unsigned long keysym;
    uint16_t code;
};

// Apple virtual key codes of the ANSI layout by position, named by the keysym
// a US layout puts there. The first entry of a code is the one posted.
constexpr KeyPair kKeys[] = {
    {XK_a, 0},
    {XK_s, 1},
    {XK_d, 2},
    {XK_f, 3},
    {XK_h, 4},
    {XK_g, 5},
    {XK_z, 6},
    {XK_x, 7},
    {XK_c, 8},
    {XK_v, 9},
    {XK_b, 11},
    {XK_q, 12},
    {XK_w, 13},
    {XK_e, 14},
    {XK_r, 15},
    {XK_y, 16},
    {XK_t, 17},
    {XK_1, 18},
    {XK_2, 19},
    {XK_3, 20},
    {XK_4, 21},
    {XK_6, 22},
    {XK_5, 23},
    {XK_equal, 24},
    {XK_9, 25},
    {XK_7, 26},
    {XK_minus, 27},
    {XK_8, 28},
    {XK_0, 29},
    {XK_bracketright, 30},
    {XK_o, 31},
    {XK_u, 32},
    {XK_bracketleft, 33},
    {XK_i, 34},
    {XK_p, 35},
    {XK_Return, 36},
    {XK_l, 37},
    {XK_j, 38},
    {XK_apostrophe, 39},
    {XK_k, 40},
    {XK_semicolon, 41},
    {XK_backslash, 42},
    {XK_comma, 43},
    {XK_slash, 44},
    {XK_n, 45},
    {XK_m, 46},
    {XK_period, 47},
    {XK_Tab, 48},
    {XK_space, 49},
    {XK_grave, 50},
    {XK_BackSpace, 51},
    {XK_Escape, 53},
    {XK_KP_Decimal, 65},
    {XK_KP_Multiply, 67},
    {XK_KP_Add, 69},
    {XK_KP_Divide, 75},
    {XK_KP_Enter, 76},
    {XK_KP_Subtract, 78},
    {XK_KP_Equal, 81},
    {XK_KP_0, 82},
    {XK_KP_1, 83},
    {XK_KP_2, 84},
    {XK_KP_3, 85},
    {XK_KP_4, 86},
    {XK_KP_5, 87},
    {XK_KP_6, 88},
    {XK_KP_7, 89},
    {XK_KP_8, 91},
    {XK_KP_9, 92},
    {XK_F5, 96},
    {XK_F6, 97},
    {XK_F7, 98},
    {XK_F3, 99},
    {XK_F8, 100},
    {XK_F9, 101},
    {XK_F11, 103},
    {XK_F10, 109},
    {XK_F12, 111},
    {XK_Insert, 114},
    {XK_Home, 115},
    {XK_Prior, 116},
    {XK_Delete, 117},
    {XK_F4, 118},
    {XK_End, 119},
    {XK_F2, 120},
    {XK_Next, 121},
    {XK_F1, 122},
    {XK_Left, 123},
    {XK_Right, 124},
    {XK_Down, 125},
    {XK_Up, 126},
    // Keypad keys with NumLock off, and the ISO key left of Z.
    {XK_KP_Insert, 82},
    {XK_KP_End, 83},
    {XK_KP_Down, 84},
    {XK_KP_Next, 85},
    {XK_KP_Left, 86},
    {XK_KP_Begin, 87},
    {XK_KP_Right, 88},
    {XK_KP_Home, 89},
    {XK_KP_Up, 91},
    {XK_KP_Prior, 92},
    {XK_less, 10},
};

constexpr unsigned long kModifierKeysyms[] = {
    XK_Shift_L,   XK_Shift_R,  XK_Control_L,        XK_Control_R,     XK_Alt_L,
    XK_Alt_R,     XK_Super_L,  XK_Super_R,          XK_Meta_L,        XK_Meta_R,
    XK_Hyper_L,   XK_Hyper_R,  XK_ISO_Level3_Shift, XK_Mode_switch,   XK_ISO_Level5_Shift,
    XK_Caps_Lock, XK_Num_Lock, XK_Shift_Lock,       XK_ISO_Next_Group};

}  // namespace

uint16_t KeyMapping::appleCodeForKeysym(unsigned long keysym) {
    // Letters arrive lowercase from the first level; accept uppercase too.
    if (keysym >= XK_A && keysym <= XK_Z) {
        keysym += XK_a - XK_A;
    }
    for (const auto& key : kKeys) {
        if (key.keysym == keysym) {
            return key.code;
        }
    }
    return kOtherKey;
}

std::optional<unsigned long> KeyMapping::keysymForAppleCode(uint16_t code) {
    for (const auto& key : kKeys) {
        if (key.code == code) {
            return key.keysym;
        }
    }
    return std::nullopt;
}

uint64_t KeyMapping::flagsForState(unsigned state, const ModifierMasks& masks) {
    uint64_t flags = 0;
    if ((state & ShiftMask) != 0) {
        flags |= keys::kShift;
    }
    if ((state & ControlMask) != 0) {
        flags |= keys::kControl;
    }
    if (masks.alt != 0 && (state & masks.alt) != 0) {
        flags |= keys::kOption;
    }
    if (masks.super != 0 && (state & masks.super) != 0) {
        flags |= keys::kCommand;
    }
    return flags;
}

unsigned KeyMapping::withoutLocks(unsigned state, const ModifierMasks& masks) {
    return state & ~(static_cast<unsigned>(LockMask) | masks.numLock);
}

std::vector<unsigned> KeyMapping::lockCombinations(const ModifierMasks& masks) {
    std::vector<unsigned> out{0U, static_cast<unsigned>(LockMask)};
    if (masks.numLock != 0 && masks.numLock != LockMask) {
        out.push_back(masks.numLock);
        out.push_back(masks.numLock | LockMask);
    }
    return out;
}

std::vector<unsigned long> KeyMapping::modifierKeysymsForFlags(uint64_t flags) {
    std::vector<unsigned long> out;
    if ((flags & (keys::kCommand | keys::kControl)) != 0) {
        out.push_back(XK_Control_L);
    }
    if ((flags & keys::kOption) != 0) {
        out.push_back(XK_Alt_L);
    }
    if ((flags & keys::kShift) != 0) {
        out.push_back(XK_Shift_L);
    }
    return out;
}

std::vector<unsigned long> KeyMapping::modifierKeysymsForState(unsigned state,
                                                               const ModifierMasks& masks) {
    std::vector<unsigned long> out;
    if ((state & ControlMask) != 0) {
        out.push_back(XK_Control_L);
    }
    if (masks.alt != 0 && (state & masks.alt) != 0) {
        out.push_back(XK_Alt_L);
    }
    if (masks.super != 0 && (state & masks.super) != 0) {
        out.push_back(XK_Super_L);
    }
    if ((state & ShiftMask) != 0) {
        out.push_back(XK_Shift_L);
    }
    return out;
}

unsigned long KeyMapping::rightHandVariant(unsigned long keysym) {
    switch (keysym) {
        case XK_Shift_L:
            return XK_Shift_R;
        case XK_Control_L:
            return XK_Control_R;
        case XK_Alt_L:
            return XK_Alt_R;
        case XK_Super_L:
            return XK_Super_R;
        default:
            return keysym;
    }
}

bool KeyMapping::isModifierKeysym(unsigned long keysym) {
    return std::find(std::begin(kModifierKeysyms), std::end(kModifierKeysyms), keysym) !=
           std::end(kModifierKeysyms);
}

}  // namespace quorix::platform
