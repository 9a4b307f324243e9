#pragma once
// Accessibility port, in the vocabulary of the core: attribute names such as
// "AXFocusedUIElement", "AXValue", "AXRole", "AXSubrole", "AXDescription",
// "AXParent", "AXSelectedTextRange", "AXWindows", "AXFocusedWindow", "AXTitle";
// role values such as "AXTextArea", "AXWebArea", "AXToolbar". Ranges are UTF-16
// offsets. Adapters map their native roles and states onto these words.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace quorix::platform {

// Opaque element handle owned by the adapter; shared ownership, immutable
// identity. Elements stay valid as handles even after the UI object is gone
// (reads then fail with AXError::invalidElement).
class AXElement {
  public:
    virtual ~AXElement() = default;
};
using AXElementRef = std::shared_ptr<const AXElement>;

// Result codes of reads and writes; success is 0 as on the reference platform.
enum class AXError : int32_t {
    success = 0,
    failure = -25200,
    illegalArgument = -25201,
    invalidElement = -25202,
    cannotComplete = -25204,
    attributeUnsupported = -25205,
    noValue = -25212,
    apiDisabled = -25211,
};

struct AXRange {
    int64_t location = 0;
    int64_t length = 0;
};

// An attributed string is delivered as its plain string.
struct AXAttributedString {
    std::string plain;
};

using AXValue = std::variant<std::monostate, std::string, AXAttributedString, AXRange, AXElementRef,
                             std::vector<AXElementRef>, bool, int64_t>;

struct AXResult {
    AXError error = AXError::noValue;
    AXValue value;
    bool ok() const { return error == AXError::success; }
};

// Thread: any (adapters serialise internally); calls may block briefly and
// must be bounded by the adapter's own time-outs. Never throws.
class Accessibility {
  public:
    virtual ~Accessibility() = default;
    // Whether the program may observe keys and read/write other applications'
    // fields. With prompt, the platform may ask the user (no-op where none).
    virtual bool isProcessTrusted(bool prompt = false) = 0;
    // The application element for a process; nullptr when unknown.
    virtual AXElementRef applicationElement(int32_t pid) = 0;
    virtual AXResult copyAttribute(const AXElementRef& element, const std::string& name) = 0;
    virtual AXError setAttribute(const AXElementRef& element, const std::string& name,
                                 const std::string& value) = 0;
    // How to make an application's fields readable (a browser's start option,
    // a desktop setting), for a one-line log message; empty when the adapter
    // has no advice.
    virtual std::string enableHintFor(const std::optional<std::string>& /*bundleId*/) const {
        return {};
    }
};

}  // namespace quorix::platform
