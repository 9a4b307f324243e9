#pragma once
// Text conversions of the X selections: STRING is ISO Latin-1 by the ICCCM,
// UTF8_STRING and text/plain;charset=utf-8 are UTF-8. Pure functions, total
// on any bytes, independent of Xlib.

#include <string>
#include <string_view>

namespace quorix::platform {

// Latin-1 bytes as UTF-8; every byte maps to exactly one character.
std::string latin1ToUtf8(std::string_view latin1);
// UTF-8 as Latin-1: each character up to U+00FF becomes its byte, every other
// character and every invalid byte sequence (decoded as U+FFFD) becomes '?'.
// Characters after a malformed sequence are kept.
std::string utf8ToLatin1(std::string_view utf8);

}  // namespace quorix::platform
