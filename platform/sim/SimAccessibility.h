#pragma once
// Accessibility over the simulated desktop's tree.
//
// Reads: "AXRole", "AXSubrole", "AXDescription", "AXTitle" (strings; noValue
// when unset), "AXParent", "AXChildren", and on application elements
// "AXWindows", "AXFocusedWindow", "AXFocusedUIElement"; on text fields "AXValue"
// (string, attributed string, empty or failing, per the field's exposure),
// "AXSelectedTextRange" (UTF-16 units), "AXSelectedText",
// "AXNumberOfCharacters"; "AXFocused" (bool). Other names answer
// attributeUnsupported; removed nodes invalidElement; foreign handles
// illegalArgument; everything apiDisabled while the process is not trusted.
//
// Writes: "AXValue" of a text field, per its ValueSetBehaviour; journalled as
// "ax.set <result> \"text\"". Thread: any.

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "platform/Accessibility.h"
#include "platform/sim/SimWorld.h"

namespace quorix::platform {

class SimDesktop;

class SimAccessibility final : public Accessibility {
  public:
    explicit SimAccessibility(SimDesktop& desktop);

    // Journals "ax.prompt" when prompt is set.
    bool isProcessTrusted(bool prompt = false) override;
    AXElementRef applicationElement(int32_t pid) override;
    AXResult copyAttribute(const AXElementRef& element, const std::string& name) override;
    AXError setAttribute(const AXElementRef& element, const std::string& name,
                         const std::string& value) override;

    // The handle of a node (the same handle while one is alive).
    AXElementRef element(SimNodeId id);
    // The node of a handle made here; kNoNode for null or foreign handles.
    static SimNodeId nodeOf(const AXElementRef& element);
    static std::string errorName(AXError error);

  private:
    AXResult read(SimWorld& world, const SimNode& node, const std::string& name);

    SimDesktop& desktop_;
    std::mutex handlesMutex_;
    std::map<SimNodeId, std::weak_ptr<const AXElement>> handles_;
};

}  // namespace quorix::platform
