#include "platform/sim/SimKeys.h"

#include <array>
#include <cctype>

namespace quorix::platform::simkeys {

namespace {

struct LayoutKey {
    uint16_t code;
    char plain;
    char shifted;
};

// US ANSI layout: the keys that type a printable ASCII character.
constexpr std::array<LayoutKey, 48> kLayout{{
    {0, 'a', 'A'},   {1, 's', 'S'},  {2, 'd', 'D'},   {3, 'f', 'F'},  {4, 'h', 'H'},
    {5, 'g', 'G'},   {6, 'z', 'Z'},  {7, 'x', 'X'},   {8, 'c', 'C'},  {9, 'v', 'V'},
    {11, 'b', 'B'},  {12, 'q', 'Q'}, {13, 'w', 'W'},  {14, 'e', 'E'}, {15, 'r', 'R'},
    {16, 'y', 'Y'},  {17, 't', 'T'}, {18, '1', '!'},  {19, '2', '@'}, {20, '3', '#'},
    {21, '4', '$'},  {22, '6', '^'}, {23, '5', '%'},  {24, '=', '+'}, {25, '9', '('},
    {26, '7', '&'},  {27, '-', '_'}, {28, '8', '*'},  {29, '0', ')'}, {30, ']', '}'},
    {31, 'o', 'O'},  {32, 'u', 'U'}, {33, '[', '{'},  {34, 'i', 'I'}, {35, 'p', 'P'},
    {37, 'l', 'L'},  {38, 'j', 'J'}, {39, '\'', '"'}, {40, 'k', 'K'}, {41, ';', ':'},
    {42, '\\', '|'}, {43, ',', '<'}, {44, '/', '?'},  {45, 'n', 'N'}, {46, 'm', 'M'},
    {47, '.', '>'},  {49, ' ', ' '}, {50, '`', '~'},
}};

const LayoutKey* findCode(uint16_t code) {
    for (const auto& k : kLayout) {
        if (k.code == code) {
            return &k;
        }
    }
    return nullptr;
}

}  // namespace

KeyStroke strokeFor(std::string_view character) {
    if (character == "\n") {
        return {kReturn, kShift};
    }
    if (character == "\t") {
        return {kTab, 0};
    }
    if (character.size() == 1) {
        const char c = character[0];
        for (const auto& k : kLayout) {
            if (k.plain == c) {
                return {k.code, 0};
            }
            if (k.shifted == c) {
                return {k.code, kShift};
            }
        }
    }
    return {kGeneric, 0};
}

std::string textFor(uint16_t keyCode, uint64_t flags) {
    if (flags & (kCommand | kControl | kOption)) {
        return {};
    }
    if (keyCode == kTab) {
        return "\t";
    }
    const LayoutKey* k = findCode(keyCode);
    if (!k) {
        return {};
    }
    return std::string(1, (flags & kShift) ? k->shifted : k->plain);
}

std::string nameFor(uint16_t keyCode, uint64_t flags) {
    std::string out;
    if (flags & kControl) {
        out += "⌃";
    }
    if (flags & kOption) {
        out += "⌥";
    }
    if (flags & kShift) {
        out += "⇧";
    }
    if (flags & kCommand) {
        out += "⌘";
    }
    switch (keyCode) {
        case kReturn:
            return out + "⏎";
        case kKeypadEnter:
            return out + "⌤";
        case kDelete:
            return out + "⌫";
        case kForwardDelete:
            return out + "⌦";
        case kLeftArrow:
            return out + "←";
        case kRightArrow:
            return out + "→";
        case kDownArrow:
            return out + "↓";
        case kUpArrow:
            return out + "↑";
        case kTab:
            return out + "⇥";
        case kSpace:
            return out + "␣";
        case kEscape:
            return out + "⎋";
        default:
            break;
    }
    if (const LayoutKey* k = findCode(keyCode)) {
        return out + static_cast<char>(std::toupper(static_cast<unsigned char>(k->plain)));
    }
    return out + "key#" + std::to_string(keyCode);
}

}  // namespace quorix::platform::simkeys
