#pragma once
// Accessibility for a desktop whose accessibility bus is unavailable: trust is
// whatever the given check says (the display's key hook and posting), and no
// application element exists, so the correction flow captures text with
// select-all and copy and writes it back by pasting.

#include <functional>

#include "platform/Accessibility.h"

namespace quorix::platform {

class NoAccessibility final : public Accessibility {
  public:
    explicit NoAccessibility(std::function<bool()> trusted) : trusted_(std::move(trusted)) {}

    bool isProcessTrusted(bool prompt = false) override;
    AXElementRef applicationElement(int32_t pid) override;
    AXResult copyAttribute(const AXElementRef& element, const std::string& name) override;
    AXError setAttribute(const AXElementRef& element, const std::string& name,
                         const std::string& value) override;
    std::string enableHintFor(const std::optional<std::string>& bundleId) const override;

    // How to turn accessibility on, for the log (one line).
    static const char* enableHint();

  private:
    std::function<bool()> trusted_;
};

}  // namespace quorix::platform
