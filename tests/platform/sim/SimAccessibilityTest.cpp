#include "platform/sim/SimAccessibility.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SimTestSupport.h"

namespace quorix::platform::testing {
namespace {

std::string str(const AXResult& r) {
    const auto* s = std::get_if<std::string>(&r.value);
    return (r.ok() && s) ? *s : "<" + SimAccessibility::errorName(r.error) + ">";
}

AXElementRef elem(const AXResult& r) {
    const auto* e = std::get_if<AXElementRef>(&r.value);
    return (r.ok() && e) ? *e : nullptr;
}

TEST(SimAccessibility, FocusedElementParentChainAndWindow) {
    SimDesktop d;
    auto& ax = d.accessibility();
    const auto browser = addBrowser(d, 300, "com.example.chrome", "Browser", "Inbox - Mail");
    const AXElementRef app = ax.applicationElement(300);
    ASSERT_NE(app, nullptr);
    const AXElementRef focused = elem(ax.copyAttribute(app, "AXFocusedUIElement"));
    EXPECT_EQ(focused, ax.element(browser.textArea));  // handles keep their identity
    std::vector<std::string> roles;
    for (AXElementRef e = focused; e; e = elem(ax.copyAttribute(e, "AXParent"))) {
        roles.push_back(str(ax.copyAttribute(e, "AXRole")));
    }
    EXPECT_EQ(roles, (std::vector<std::string>{"AXTextArea", "AXWebArea", "AXGroup", "AXWindow",
                                               "AXApplication"}));
    addPopupWindow(d, 300);  // leaves focus where it was
    EXPECT_EQ(elem(ax.copyAttribute(app, "AXFocusedUIElement")), focused);
    const AXElementRef window = elem(ax.copyAttribute(app, "AXFocusedWindow"));
    EXPECT_EQ(str(ax.copyAttribute(window, "AXTitle")), "Inbox - Mail");
    EXPECT_EQ(ax.copyAttribute(window, "AXValue").error, AXError::attributeUnsupported);
}

TEST(SimAccessibility, Utf16RangesAndStaleForeignOrUntrustedAccess) {
    ChatDesktop t;
    auto& d = t.desktop;
    auto& ax = d.accessibility();
    const AXElementRef field = ax.element(t.chat.field);
    const AXElementRef app = ax.applicationElement(t.chat.pid);
    d.typeText("ciao 😀 @mar");
    d.setSelection(t.chat.field, 5, 2);
    const auto range = std::get<AXRange>(ax.copyAttribute(field, "AXSelectedTextRange").value);
    EXPECT_EQ(range.location, 5);
    EXPECT_EQ(range.length, 2);
    EXPECT_EQ(str(ax.copyAttribute(field, "AXSelectedText")), "😀");
    EXPECT_EQ(std::get<int64_t>(ax.copyAttribute(field, "AXNumberOfCharacters").value), 12);
    EXPECT_EQ(ax.setAttribute(field, "AXValue", "ciao mondo 👋"), AXError::success);
    EXPECT_EQ(d.selection(t.chat.field).location, 13);  // caret at the end, UTF-16

    d.setProcessTrusted(false);
    EXPECT_EQ(ax.setAttribute(field, "AXValue", "x"), AXError::apiDisabled);
    d.setProcessTrusted(true);
    struct Foreign : AXElement {};
    EXPECT_EQ(ax.copyAttribute(std::make_shared<Foreign>(), "AXRole").error,
              AXError::illegalArgument);
    d.removeNode(t.chat.field);
    EXPECT_EQ(ax.copyAttribute(field, "AXValue").error, AXError::invalidElement);
    EXPECT_EQ(ax.copyAttribute(app, "AXFocusedUIElement").error, AXError::noValue);
    d.quitApplication(t.chat.pid);
    EXPECT_EQ(ax.copyAttribute(app, "AXRole").error, AXError::invalidElement);
    EXPECT_EQ(ax.applicationElement(t.chat.pid), nullptr);
}

}  // namespace
}  // namespace quorix::platform::testing
