#pragma once
// Interface texts are written in code as Italian/English pairs; t() picks one at
// the moment it is called, following AppConfig::shared().

#include <string>
#include <string_view>

namespace quorix::L10n {

bool isItalian();
std::string t(std::string_view it, std::string_view en);

}  // namespace quorix::L10n
