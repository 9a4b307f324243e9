#pragma once
// The alerts the status-menu actions show. An interface, so that tests record
// what would be shown instead of opening modal windows.

#include <optional>
#include <string>
#include <vector>

namespace quorix::ui {

class ShellDialogs {
  public:
    enum class Style { informational, warning };
    virtual ~ShellDialogs() = default;
    // Shows an alert; the index of the button pressed (0 = the first).
    virtual int alert(Style style, const std::string& title, const std::string& text,
                      const std::vector<std::string>& buttons) = 0;
    // An alert with an editable text field prefilled with `initial`; the
    // field's text when the first button is pressed, nullopt otherwise.
    virtual std::optional<std::string> askText(const std::string& title, const std::string& text,
                                               const std::string& initial,
                                               const std::vector<std::string>& buttons) = 0;
};

// Modal Qt message boxes, brought to the front.
class QtShellDialogs final : public ShellDialogs {
  public:
    int alert(Style style, const std::string& title, const std::string& text,
              const std::vector<std::string>& buttons) override;
    std::optional<std::string> askText(const std::string& title, const std::string& text,
                                       const std::string& initial,
                                       const std::vector<std::string>& buttons) override;
};

}  // namespace quorix::ui
