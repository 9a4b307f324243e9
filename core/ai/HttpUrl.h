#pragma once
// Acceptance test for the URLs the AI client builds or reads from settings.

#include <string_view>

namespace quorix {

class HttpUrl {
  public:
    // An absolute http or https URL with a host, made only of printable ASCII
    // without spaces or the characters a URL may not hold unescaped.
    static bool isValid(std::string_view url);
};

}  // namespace quorix
