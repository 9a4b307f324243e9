#pragma once
// Where the user's text may go: the rules for the cloud correction endpoint
// (`cloudProxyURL`) and the dictionary endpoint derived from it.
//
// An endpoint is allowed when it is https:// with a host, or http:// to this
// computer (localhost, 127.0.0.0/8, [::1]); the latter only ever comes from a
// value the user stored, since there is no built-in endpoint. Schemes compare
// case-insensitively.

#include <string>
#include <string_view>

namespace quorix {

class CloudEndpoint {
  public:
    static bool isAllowed(std::string_view url);
    // The dictionary sync location on the same origin ("" when `correctURL`
    // is empty or not allowed).
    static std::string dictionaryURL(std::string_view correctURL);
};

}  // namespace quorix
