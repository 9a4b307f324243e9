#pragma once
// Interface texts are written in code as Italian/English pairs; t() picks one at
// the moment it is called, following the configuration's interface language.

#include <string>
#include <string_view>

namespace quorix {
class AppConfig;
}

namespace quorix::L10n {

bool isItalian(const AppConfig& config);
std::string t(const AppConfig& config, std::string_view it, std::string_view en);

}  // namespace quorix::L10n
