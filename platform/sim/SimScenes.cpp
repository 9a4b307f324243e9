#include "platform/sim/SimScenes.h"

namespace quorix::platform {

SimChatApp addChatApp(SimDesktop& desktop, int32_t pid, const std::string& bundleIdentifier,
                      const std::string& name, const std::string& text) {
    SimChatApp app;
    app.pid = pid;
    desktop.addApplication({pid, bundleIdentifier, name, false});
    app.window = desktop.addWindow(pid, name);
    const SimNodeId group = desktop.addElement(app.window, {"AXGroup", {}, {}, {}});
    app.field = desktop.addTextField(group, text, {"AXTextArea", {}, "Message", {}});
    desktop.focus(app.field);
    desktop.activate(pid);
    return app;
}

SimBrowser addBrowser(SimDesktop& desktop, int32_t pid, const std::string& bundleIdentifier,
                      const std::string& name, const std::string& windowTitle) {
    SimBrowser b;
    b.pid = pid;
    desktop.addApplication({pid, bundleIdentifier, name, true});
    b.window = desktop.addWindow(pid, windowTitle);
    b.toolbar = desktop.addElement(b.window, {"AXToolbar", {}, {}, {}});
    b.addressBar =
        desktop.addTextField(b.toolbar, {}, {"AXTextField", {}, "Address and search bar", {}});
    const SimNodeId content = desktop.addElement(b.window, {"AXGroup", {}, {}, {}});
    b.webArea = desktop.addElement(content, {"AXWebArea", {}, {}, windowTitle});
    b.textArea = desktop.addTextField(b.webArea, {}, {"AXTextArea", {}, "Message", {}});
    desktop.focus(b.textArea);
    desktop.activate(pid);
    return b;
}

SimNodeId addPopupWindow(SimDesktop& desktop, int32_t pid, const std::string& subrole) {
    return desktop.addWindow(pid, std::nullopt, subrole);
}

}  // namespace quorix::platform
