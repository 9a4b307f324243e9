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

struct BrowserDesktop {
    SimWorkspace workspace;
    SimDesktop desktop{workspace};
    SimBrowser browser = addBrowser(desktop, 300, "com.example.chrome", "Browser", "Inbox - Mail");
    SimAccessibility& ax = desktop.accessibility();
};

TEST(SimAccessibility, FocusedElementParentChainWindowsAndSubroles) {
    BrowserDesktop t;
    auto& ax = t.ax;
    const AXElementRef app = ax.applicationElement(300);
    ASSERT_NE(app, nullptr);
    EXPECT_EQ(ax.applicationElement(999), nullptr);
    EXPECT_EQ(str(ax.copyAttribute(app, "AXRole")), "AXApplication");

    const AXElementRef focused = elem(ax.copyAttribute(app, "AXFocusedUIElement"));
    ASSERT_NE(focused, nullptr);
    EXPECT_EQ(SimAccessibility::nodeOf(focused), t.browser.textArea);
    // Handles keep their identity while alive.
    EXPECT_EQ(focused, ax.element(t.browser.textArea));

    std::vector<std::string> roles;
    for (AXElementRef e = focused; e; e = elem(ax.copyAttribute(e, "AXParent"))) {
        roles.push_back(str(ax.copyAttribute(e, "AXRole")));
    }
    EXPECT_EQ(roles, (std::vector<std::string>{"AXTextArea", "AXWebArea", "AXGroup", "AXWindow",
                                               "AXApplication"}));
    EXPECT_EQ(ax.copyAttribute(app, "AXParent").error, AXError::noValue);

    const AXElementRef bar = ax.element(t.browser.addressBar);
    EXPECT_EQ(str(ax.copyAttribute(bar, "AXDescription")), "Address and search bar");
    EXPECT_EQ(str(ax.copyAttribute(elem(ax.copyAttribute(bar, "AXParent")), "AXRole")),
              "AXToolbar");
    EXPECT_EQ(ax.copyAttribute(bar, "AXSubrole").error, AXError::noValue);

    const AXElementRef window = elem(ax.copyAttribute(app, "AXFocusedWindow"));
    EXPECT_EQ(str(ax.copyAttribute(window, "AXTitle")), "Inbox - Mail");
    EXPECT_EQ(str(ax.copyAttribute(window, "AXSubrole")), "AXStandardWindow");

    addPopupWindow(t.desktop, 300);
    const auto windows =
        std::get<std::vector<AXElementRef>>(ax.copyAttribute(app, "AXWindows").value);
    ASSERT_EQ(windows.size(), 2u);
    EXPECT_EQ(str(ax.copyAttribute(windows[1], "AXSubrole")), "AXFloatingWindow");
    EXPECT_EQ(ax.copyAttribute(windows[1], "AXTitle").error, AXError::noValue);
    // Adding a popup leaves focus where it was.
    EXPECT_EQ(elem(ax.copyAttribute(app, "AXFocusedUIElement")), focused);

    // Application-only attributes on other elements, unknown names.
    EXPECT_EQ(ax.copyAttribute(window, "AXWindows").error, AXError::attributeUnsupported);
    EXPECT_EQ(ax.copyAttribute(focused, "AXNoSuchThing").error, AXError::attributeUnsupported);
    EXPECT_EQ(ax.copyAttribute(window, "AXValue").error, AXError::attributeUnsupported);
}

TEST(SimAccessibility, ValueAndSelectedRangeInUtf16Units) {
    ChatDesktop t;
    auto& d = t.desktop;
    auto& ax = d.accessibility();
    const AXElementRef field = ax.element(t.chat.field);
    d.typeText("ciao 😀 @mar");
    d.setSelection(t.chat.field, 5, 2);
    EXPECT_EQ(str(ax.copyAttribute(field, "AXValue")), "ciao 😀 @mar");
    const auto range = std::get<AXRange>(ax.copyAttribute(field, "AXSelectedTextRange").value);
    EXPECT_EQ(range.location, 5);
    EXPECT_EQ(range.length, 2);
    EXPECT_EQ(str(ax.copyAttribute(field, "AXSelectedText")), "😀");
    EXPECT_EQ(std::get<int64_t>(ax.copyAttribute(field, "AXNumberOfCharacters").value), 12);
    EXPECT_TRUE(std::get<bool>(ax.copyAttribute(field, "AXFocused").value));
}

TEST(SimAccessibility, AwkwardFieldsAndApplications) {
    ChatDesktop t;
    auto& d = t.desktop;
    auto& ax = d.accessibility();
    const AXElementRef app = ax.applicationElement(t.chat.pid);
    const AXElementRef field = ax.element(t.chat.field);
    d.typeText("testo");

    d.setValueExposure(t.chat.field, ValueExposure::attributed);
    const AXResult attributed = ax.copyAttribute(field, "AXValue");
    ASSERT_TRUE(attributed.ok());
    EXPECT_EQ(std::get<AXAttributedString>(attributed.value).plain, "testo");

    d.setValueExposure(t.chat.field, ValueExposure::empty);
    EXPECT_EQ(str(ax.copyAttribute(field, "AXValue")), "");

    d.setValueExposure(t.chat.field, ValueExposure::hidden);
    EXPECT_FALSE(ax.copyAttribute(field, "AXValue").ok());
    EXPECT_FALSE(ax.copyAttribute(field, "AXSelectedTextRange").ok());
    EXPECT_EQ(d.text(t.chat.field), "testo");  // typing still works underneath

    d.setHidesFocusedElement(t.chat.pid, true);
    EXPECT_FALSE(ax.copyAttribute(app, "AXFocusedUIElement").ok());
    d.setHidesFocusedElement(t.chat.pid, false);

    // A focused list.
    const SimNodeId list = d.addElement(t.chat.window, {"AXList", {}, {}, {}});
    d.focus(list);
    EXPECT_EQ(str(ax.copyAttribute(elem(ax.copyAttribute(app, "AXFocusedUIElement")), "AXRole")),
              "AXList");
    d.typeText("ignored");  // a list takes no text
    EXPECT_EQ(d.text(t.chat.field), "testo");
}

TEST(SimAccessibility, ValueSetAcceptRefuseIgnoreAndJournal) {
    ChatDesktop t;
    auto& d = t.desktop;
    auto& ax = d.accessibility();
    const AXElementRef field = ax.element(t.chat.field);
    d.typeText("ciao mnodo");
    d.setSelection(t.chat.field, 0);

    EXPECT_EQ(ax.setAttribute(field, "AXValue", "ciao mondo 👋"), AXError::success);
    EXPECT_EQ(d.text(t.chat.field), "ciao mondo 👋");
    EXPECT_EQ(d.selection(t.chat.field).location, 13);  // caret at the end, UTF-16

    d.setValueSetBehaviour(t.chat.field, ValueSetBehaviour::refuse);
    EXPECT_EQ(ax.setAttribute(field, "AXValue", "x"), AXError::failure);
    d.setValueSetBehaviour(t.chat.field, ValueSetBehaviour::ignore);
    EXPECT_EQ(ax.setAttribute(field, "AXValue", "y"), AXError::success);
    EXPECT_EQ(d.text(t.chat.field), "ciao mondo 👋");

    EXPECT_EQ(ax.setAttribute(ax.element(t.chat.window), "AXValue", "z"),
              AXError::attributeUnsupported);
    EXPECT_EQ(ax.setAttribute(field, "AXTitle", "t"), AXError::attributeUnsupported);
    EXPECT_EQ(d.journal().lines({"ax"}),
              (std::vector<std::string>{"ax.set ok \"ciao mondo 👋\"", "ax.set failure \"x\"",
                                        "ax.set ok \"y\"", "ax.set attributeUnsupported \"z\"",
                                        "ax.set AXTitle attributeUnsupported \"t\""}));
}

TEST(SimAccessibility, StaleForeignAndUntrustedAccess) {
    ChatDesktop t;
    auto& d = t.desktop;
    auto& ax = d.accessibility();
    const AXElementRef field = ax.element(t.chat.field);
    const AXElementRef app = ax.applicationElement(t.chat.pid);

    d.setProcessTrusted(false);
    EXPECT_FALSE(ax.isProcessTrusted());
    EXPECT_EQ(ax.copyAttribute(field, "AXValue").error, AXError::apiDisabled);
    EXPECT_EQ(ax.setAttribute(field, "AXValue", "x"), AXError::apiDisabled);
    d.setProcessTrusted(true);
    EXPECT_TRUE(ax.isProcessTrusted(true));
    EXPECT_EQ(d.journal().lines({"ax.prompt"}).size(), 1u);

    struct Foreign : AXElement {};
    EXPECT_EQ(ax.copyAttribute(std::make_shared<Foreign>(), "AXRole").error,
              AXError::illegalArgument);
    EXPECT_EQ(ax.copyAttribute(nullptr, "AXRole").error, AXError::illegalArgument);

    d.removeNode(t.chat.field);
    EXPECT_EQ(ax.copyAttribute(field, "AXValue").error, AXError::invalidElement);
    EXPECT_EQ(ax.copyAttribute(app, "AXFocusedUIElement").error, AXError::noValue);
    d.quitApplication(t.chat.pid);
    EXPECT_EQ(ax.copyAttribute(app, "AXRole").error, AXError::invalidElement);
    EXPECT_EQ(ax.applicationElement(t.chat.pid), nullptr);
}

}  // namespace
}  // namespace quorix::platform::testing
