#include "platform/sim/SimAccessibility.h"

#include "platform/sim/SimAXElement.h"
#include "platform/sim/SimDesktop.h"

namespace quorix::platform {

namespace {

AXResult ok(AXValue value) {
    return AXResult{AXError::success, std::move(value)};
}
AXResult fail(AXError error) {
    return AXResult{error, std::monostate{}};
}

AXResult optionalString(const std::optional<std::string>& s) {
    return s ? ok(*s) : fail(AXError::noValue);
}

}  // namespace

SimAccessibility::SimAccessibility(SimDesktop& desktop) : desktop_(desktop) {}

bool SimAccessibility::isProcessTrusted(bool prompt) {
    if (prompt) {
        desktop_.journal().record("ax.prompt");
    }
    return desktop_.processTrusted();
}

AXElementRef SimAccessibility::applicationElement(int32_t pid) {
    const SimNodeId id = desktop_.withWorld([&](SimWorld& w) {
        const SimApp* app = w.app(pid);
        return app ? app->element : kNoNode;
    });
    return id == kNoNode ? nullptr : element(id);
}

AXElementRef SimAccessibility::element(SimNodeId id) {
    std::lock_guard lock(handlesMutex_);
    auto& slot = handles_[id];
    if (auto alive = slot.lock()) {
        return alive;
    }
    auto made = std::make_shared<const SimAXElement>(id);
    slot = made;
    return made;
}

SimNodeId SimAccessibility::nodeOf(const AXElementRef& element) {
    const auto* sim = dynamic_cast<const SimAXElement*>(element.get());
    return sim ? sim->id() : kNoNode;
}

AXResult SimAccessibility::copyAttribute(const AXElementRef& element, const std::string& name) {
    const SimNodeId id = nodeOf(element);
    if (id == kNoNode) {
        return fail(AXError::illegalArgument);
    }
    if (!desktop_.processTrusted()) {
        return fail(AXError::apiDisabled);
    }
    return desktop_.withWorld([&](SimWorld& w) {
        const SimNode* node = w.node(id);
        return node ? read(w, *node, name) : fail(AXError::invalidElement);
    });
}

AXResult SimAccessibility::read(SimWorld& world, const SimNode& node, const std::string& name) {
    if (name == "AXRole") {
        return ok(node.role);
    }
    if (name == "AXSubrole") {
        return optionalString(node.subrole);
    }
    if (name == "AXDescription") {
        return optionalString(node.description);
    }
    if (name == "AXTitle") {
        return optionalString(node.title);
    }
    if (name == "AXParent") {
        return node.parent == kNoNode ? fail(AXError::noValue) : ok(element(node.parent));
    }
    if (name == "AXChildren") {
        std::vector<AXElementRef> children;
        for (SimNodeId c : node.children) {
            children.push_back(element(c));
        }
        return ok(std::move(children));
    }
    if (name == "AXFocused") {
        const SimApp* app = world.app(node.pid);
        return ok(app != nullptr && app->focusedElement == node.id);
    }

    if (node.role == "AXApplication") {
        const SimApp* app = world.app(node.pid);
        if (!app) {
            return fail(AXError::invalidElement);
        }
        if (name == "AXWindows") {
            std::vector<AXElementRef> windows;
            for (SimNodeId wid : app->windows) {
                windows.push_back(element(wid));
            }
            return ok(std::move(windows));
        }
        if (name == "AXFocusedWindow") {
            return app->focusedWindow == kNoNode ? fail(AXError::noValue)
                                                 : ok(element(app->focusedWindow));
        }
        if (name == "AXFocusedUIElement") {
            if (app->hidesFocusedElement || !world.node(app->focusedElement)) {
                return fail(AXError::noValue);
            }
            return ok(element(app->focusedElement));
        }
        return fail(AXError::attributeUnsupported);
    }

    if (!node.field) {
        return fail(AXError::attributeUnsupported);
    }
    const SimTextField& field = *node.field;
    if (name == "AXValue") {
        switch (node.exposure) {
            case ValueExposure::plain:
                return ok(field.text());
            case ValueExposure::attributed:
                return ok(AXAttributedString{field.text()});
            case ValueExposure::empty:
                return ok(std::string());
            case ValueExposure::hidden:
                return fail(AXError::attributeUnsupported);
        }
    }
    if (node.exposure == ValueExposure::hidden) {
        return fail(AXError::attributeUnsupported);
    }
    if (name == "AXSelectedTextRange") {
        return ok(field.selection());
    }
    if (name == "AXSelectedText") {
        return ok(field.selectedText());
    }
    if (name == "AXNumberOfCharacters") {
        return ok(field.length());
    }
    return fail(AXError::attributeUnsupported);
}

AXError SimAccessibility::setAttribute(const AXElementRef& element, const std::string& name,
                                       const std::string& value) {
    const SimNodeId id = nodeOf(element);
    AXError result = AXError::success;
    if (id == kNoNode) {
        result = AXError::illegalArgument;
    } else if (!desktop_.processTrusted()) {
        result = AXError::apiDisabled;
    } else {
        result = desktop_.withWorld([&](SimWorld& w) {
            SimNode* node = w.node(id);
            if (!node) {
                return AXError::invalidElement;
            }
            if (name != "AXValue" || !node->field) {
                return AXError::attributeUnsupported;
            }
            switch (node->valueSet) {
                case ValueSetBehaviour::accept:
                    node->field->setText(value);
                    return AXError::success;
                case ValueSetBehaviour::refuse:
                    return AXError::failure;
                case ValueSetBehaviour::ignore:
                    return AXError::success;
            }
            return AXError::failure;
        });
    }
    std::string detail = errorName(result);
    if (name != "AXValue") {
        detail = name + " " + detail;
    }
    desktop_.journal().record("ax.set", detail + " " + SimJournal::quote(value));
    return result;
}

std::string SimAccessibility::errorName(AXError error) {
    switch (error) {
        case AXError::success:
            return "ok";
        case AXError::failure:
            return "failure";
        case AXError::illegalArgument:
            return "illegalArgument";
        case AXError::invalidElement:
            return "invalidElement";
        case AXError::cannotComplete:
            return "cannotComplete";
        case AXError::attributeUnsupported:
            return "attributeUnsupported";
        case AXError::noValue:
            return "noValue";
        case AXError::apiDisabled:
            return "apiDisabled";
    }
    return "error" + std::to_string(static_cast<int32_t>(error));
}

}  // namespace quorix::platform
