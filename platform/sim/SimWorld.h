#pragma once
// The state of the simulated desktop: applications, their accessibility trees
// and text fields, focus, the front application and the sent messages. Plain
// data guarded by SimDesktop's mutex; reach it through SimDesktop::withWorld().
//
// Every accessibility object is a node with a desktop-unique id: the
// application element (role "AXApplication", parent none), its windows (role
// "AXWindow", parent the application element) and the elements inside windows.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "core/dispatch/Clock.h"
#include "platform/sim/SimTextField.h"

namespace quorix::platform {

using SimNodeId = uint64_t;
inline constexpr SimNodeId kNoNode = 0;

// How a text field answers an "AXValue" read.
enum class ValueExposure {
    plain,       // the text as a string
    attributed,  // the text as an attributed string only
    empty,       // an empty string, whatever the text
    hidden,      // the read fails (attributeUnsupported)
};

// How a text field answers an "AXValue" set.
enum class ValueSetBehaviour {
    accept,  // replaces the text, caret at the end; success
    refuse,  // changes nothing; AXError::failure
    ignore,  // changes nothing, yet reports success (pages that rebuild their DOM)
};

struct SimNode {
    SimNodeId id = kNoNode;
    int32_t pid = 0;
    SimNodeId parent = kNoNode;
    std::vector<SimNodeId> children;
    std::string role;
    std::optional<std::string> subrole;
    std::optional<std::string> description;
    std::optional<std::string> title;
    // Present for elements that hold editable text.
    std::optional<SimTextField> field;
    ValueExposure exposure = ValueExposure::plain;
    ValueSetBehaviour valueSet = ValueSetBehaviour::accept;
};

struct SimApp {
    int32_t pid = 0;
    std::optional<std::string> bundleIdentifier;
    std::optional<std::string> name;
    bool browser = false;
    SimNodeId element = kNoNode;     // the application element
    std::vector<SimNodeId> windows;  // "AXWindows" order
    SimNodeId focusedWindow = kNoNode;
    SimNodeId focusedElement = kNoNode;
    // Switches for awkward applications.
    bool hidesFocusedElement = false;  // "AXFocusedUIElement" reads fail
    bool ignoresCopy = false;          // ⌘C does nothing
    // ⌘V reads the pasteboard this long after the key (before any later key).
    dispatch::Duration pasteLag{0};
    // A completion list opens while a mention, hashtag or emoji code is typed
    // left of the caret (or the whole text is a slash command); Return then
    // confirms the suggestion instead of sending.
    bool completesTokens = false;
};

struct SimSentMessage {
    int32_t pid = 0;
    std::optional<std::string> appName;
    std::string text;
    dispatch::Instant time{0};
};

struct SimWorld {
    std::map<int32_t, SimApp> apps;
    std::map<SimNodeId, SimNode> nodes;
    std::optional<int32_t> frontmost;
    std::vector<SimSentMessage> sent;
    SimNodeId nextId = 1;

    SimApp* app(int32_t pid) {
        auto it = apps.find(pid);
        return it == apps.end() ? nullptr : &it->second;
    }
    SimNode* node(SimNodeId id) {
        auto it = nodes.find(id);
        return it == nodes.end() ? nullptr : &it->second;
    }
    // The window that contains a node (itself for a window), or kNoNode.
    SimNodeId windowOf(SimNodeId id) {
        for (SimNode* n = node(id); n; n = node(n->parent)) {
            if (n->role == "AXWindow") {
                return n->id;
            }
        }
        return kNoNode;
    }
    // The field that receives key presses: the front application's focused
    // element, when it holds text.
    SimNode* keyTarget() {
        SimApp* a = frontmost ? app(*frontmost) : nullptr;
        SimNode* n = a ? node(a->focusedElement) : nullptr;
        return (n && n->field) ? n : nullptr;
    }
};

}  // namespace quorix::platform
