// Naming of AT-SPI roles and states in the core's vocabulary, and offsets.

#include "platform/linux/AtspiRoles.h"

#include <gtest/gtest.h>

namespace quorix::platform::atspi {
namespace {

Traits text(AtspiRole role, bool editable = true) {
    Traits t;
    t.role = role;
    t.editable = editable;
    t.hasText = true;
    t.hasEditableText = editable;
    return t;
}

TEST(AtspiRolesTest, TextFieldsAreNamedByTheirLineMode) {
    EXPECT_EQ(role(text(ATSPI_ROLE_ENTRY)), "AXTextField");
    Traits qtLineEdit = text(ATSPI_ROLE_TEXT);
    qtLineEdit.singleLine = true;
    EXPECT_EQ(role(qtLineEdit), "AXTextField");
    Traits textView = text(ATSPI_ROLE_TEXT);
    EXPECT_EQ(role(textView), "AXTextArea");
    Traits contentEditable = text(ATSPI_ROLE_SECTION);
    contentEditable.multiLine = true;
    EXPECT_EQ(role(contentEditable), "AXTextArea");
    // A page is a web area even where the whole document is editable.
    EXPECT_EQ(role(text(ATSPI_ROLE_DOCUMENT_WEB)), "AXWebArea");
    // Static text is no field.
    EXPECT_EQ(role(text(ATSPI_ROLE_PARAGRAPH, false)), "AXUnknown");
}

TEST(AtspiRolesTest, OtherRolesAndSubrolesOfWindowsAndPasswords) {
    Traits t;
    for (const auto& [atspiRole, expected] :
         {std::pair{ATSPI_ROLE_POPUP_MENU, "AXMenu"}, std::pair{ATSPI_ROLE_TREE_TABLE, "AXOutline"},
          std::pair{ATSPI_ROLE_LIST_ITEM, "AXRow"}}) {
        t.role = atspiRole;
        EXPECT_EQ(role(t), expected) << atspiRole;
    }
    t.role = ATSPI_ROLE_FILE_CHOOSER;
    EXPECT_EQ(subrole(t), "AXDialog");
    t.role = ATSPI_ROLE_WINDOW;  // undecorated popups: completion lists, menus
    EXPECT_EQ(subrole(t), "AXFloatingWindow");
    EXPECT_EQ(subrole(text(ATSPI_ROLE_PASSWORD_TEXT)), "AXSecureTextField");
    EXPECT_EQ(subrole(text(ATSPI_ROLE_ENTRY)), std::nullopt);
}

TEST(AtspiRolesTest, ValueIsOfferedOnlyForEditableNonSecretText) {
    EXPECT_TRUE(exposesValue(text(ATSPI_ROLE_ENTRY)));
    EXPECT_TRUE(acceptsValue(text(ATSPI_ROLE_ENTRY)));
    EXPECT_FALSE(exposesValue(text(ATSPI_ROLE_PASSWORD_TEXT)));
    EXPECT_FALSE(acceptsValue(text(ATSPI_ROLE_PASSWORD_TEXT)));
    // A terminal's text is its whole screen: never the message.
    EXPECT_FALSE(exposesValue(text(ATSPI_ROLE_TERMINAL)));
    EXPECT_FALSE(exposesValue(text(ATSPI_ROLE_TEXT, false)));
    // Readable but not settable without EditableText.
    Traits noEditable = text(ATSPI_ROLE_ENTRY);
    noEditable.hasEditableText = false;
    EXPECT_TRUE(exposesValue(noEditable));
    EXPECT_FALSE(acceptsValue(noEditable));
}

TEST(AtspiRolesTest, CodePointOffsetsBecomeUtf16Units) {
    const std::string s = "aè😀b";  // code points: a, è, 😀, b
    EXPECT_EQ(codePointCount(s), 4);
    EXPECT_EQ(utf16FromCodePoints(s, 2), 2);
    EXPECT_EQ(utf16FromCodePoints(s, 3), 4);  // after the emoji's surrogate pair
    EXPECT_EQ(utf16FromCodePoints(s, 4), 5);
    EXPECT_EQ(utf16FromCodePoints(s, 99), 5);  // clamped to the end
    EXPECT_EQ(utf16FromCodePoints(s, -3), 0);
    // Broken sequences count one unit per byte and never read past the end.
    const std::string broken = std::string("a\xC3") + "\xF0\x9F";
    EXPECT_EQ(codePointCount(broken), 4);
    EXPECT_EQ(utf16FromCodePoints(broken, 4), 4);
}

}  // namespace
}  // namespace quorix::platform::atspi
