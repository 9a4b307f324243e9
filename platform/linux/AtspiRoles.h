#pragma once
// Translation of AT-SPI roles, states and text offsets into the core's
// accessibility vocabulary. Pure functions: no bus, no thread requirements.

#include <atspi/atspi-constants.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quorix::platform::atspi {

// What the adapter knows about an element when it names it.
struct Traits {
    AtspiRole role = ATSPI_ROLE_UNKNOWN;
    bool editable = false;
    bool multiLine = false;
    bool singleLine = false;
    bool hasText = false;          // implements the Text interface
    bool hasEditableText = false;  // implements the EditableText interface
};

// "AXTextField", "AXTextArea", "AXWebArea", "AXToolbar", the list-like roles
// ("AXMenu", "AXMenuItem", "AXList", "AXOutline", "AXRow", "AXCell"),
// "AXWindow", "AXApplication", ...; "AXUnknown" for roles without a match.
std::string role(const Traits& traits);

// Windows: "AXDialog" for dialogs and choosers, "AXFloatingWindow" for popups,
// tool tips and undecorated windows, "AXStandardWindow" for frames. Password
// fields: "AXSecureTextField". Otherwise none.
std::optional<std::string> subrole(const Traits& traits);

bool isWindow(AtspiRole role);
bool isPassword(const Traits& traits);

// Whether "AXValue" is offered: a text element the user edits, never a
// password field, never a terminal (its text is the whole screen).
bool exposesValue(const Traits& traits);
// Whether "AXValue" may be set: as above, and EditableText is implemented.
bool acceptsValue(const Traits& traits);

// AT-SPI text offsets count code points; the core counts UTF-16 units.
// Offsets outside the text clamp to its ends. Invalid UTF-8 bytes count as one
// unit each, as the decoder replaces each with one U+FFFD.
int64_t utf16FromCodePoints(std::string_view utf8, int64_t codePoints);
int64_t codePointCount(std::string_view utf8);

}  // namespace quorix::platform::atspi
