#include "platform/linux/AtspiRoles.h"

#include <algorithm>

namespace quorix::platform::atspi {

namespace {

bool isTextRole(AtspiRole role) {
    switch (role) {
        case ATSPI_ROLE_ENTRY:
        case ATSPI_ROLE_PASSWORD_TEXT:
        case ATSPI_ROLE_TEXT:
        case ATSPI_ROLE_EDITBAR:
            return true;
        default:
            return false;
    }
}

const char* listLikeRole(AtspiRole role) {
    switch (role) {
        case ATSPI_ROLE_MENU:
        case ATSPI_ROLE_POPUP_MENU:
        case ATSPI_ROLE_MENU_BAR:
            return "AXMenu";
        case ATSPI_ROLE_MENU_ITEM:
        case ATSPI_ROLE_CHECK_MENU_ITEM:
        case ATSPI_ROLE_RADIO_MENU_ITEM:
        case ATSPI_ROLE_TEAROFF_MENU_ITEM:
            return "AXMenuItem";
        case ATSPI_ROLE_LIST:
        case ATSPI_ROLE_LIST_BOX:
            return "AXList";
        case ATSPI_ROLE_TREE:
        case ATSPI_ROLE_TREE_TABLE:
            return "AXOutline";
        case ATSPI_ROLE_LIST_ITEM:
        case ATSPI_ROLE_TABLE_ROW:
        case ATSPI_ROLE_TREE_ITEM:
            return "AXRow";
        case ATSPI_ROLE_TABLE_CELL:
            return "AXCell";
        default:
            return nullptr;
    }
}

const char* otherRole(AtspiRole role) {
    switch (role) {
        case ATSPI_ROLE_APPLICATION:
            return "AXApplication";
        case ATSPI_ROLE_DOCUMENT_WEB:
            return "AXWebArea";
        case ATSPI_ROLE_TOOL_BAR:
            return "AXToolbar";
        case ATSPI_ROLE_PUSH_BUTTON:
        case ATSPI_ROLE_TOGGLE_BUTTON:
        case ATSPI_ROLE_PUSH_BUTTON_MENU:
            return "AXButton";
        case ATSPI_ROLE_CHECK_BOX:
            return "AXCheckBox";
        case ATSPI_ROLE_COMBO_BOX:
            return "AXComboBox";
        case ATSPI_ROLE_RADIO_BUTTON:
            return "AXRadioButton";
        case ATSPI_ROLE_LABEL:
        case ATSPI_ROLE_STATIC:
        case ATSPI_ROLE_CAPTION:
            return "AXStaticText";
        case ATSPI_ROLE_LINK:
            return "AXLink";
        case ATSPI_ROLE_IMAGE:
        case ATSPI_ROLE_ICON:
            return "AXImage";
        case ATSPI_ROLE_TABLE:
            return "AXTable";
        case ATSPI_ROLE_SCROLL_PANE:
            return "AXScrollArea";
        case ATSPI_ROLE_SCROLL_BAR:
            return "AXScrollBar";
        case ATSPI_ROLE_SLIDER:
            return "AXSlider";
        case ATSPI_ROLE_PAGE_TAB_LIST:
            return "AXTabGroup";
        case ATSPI_ROLE_PANEL:
        case ATSPI_ROLE_FILLER:
        case ATSPI_ROLE_SECTION:
        case ATSPI_ROLE_GROUPING:
        case ATSPI_ROLE_FORM:
        case ATSPI_ROLE_PAGE_TAB:
            return "AXGroup";
        case ATSPI_ROLE_TERMINAL:
        case ATSPI_ROLE_DOCUMENT_FRAME:
        case ATSPI_ROLE_DOCUMENT_TEXT:
        case ATSPI_ROLE_DOCUMENT_EMAIL:
            return "AXTextArea";
        default:
            return nullptr;
    }
}

}  // namespace

bool isWindow(AtspiRole role) {
    switch (role) {
        case ATSPI_ROLE_FRAME:
        case ATSPI_ROLE_WINDOW:
        case ATSPI_ROLE_DIALOG:
        case ATSPI_ROLE_ALERT:
        case ATSPI_ROLE_FILE_CHOOSER:
        case ATSPI_ROLE_COLOR_CHOOSER:
        case ATSPI_ROLE_FONT_CHOOSER:
        case ATSPI_ROLE_TOOL_TIP:
        case ATSPI_ROLE_NOTIFICATION:
            return true;
        default:
            return false;
    }
}

bool isPassword(const Traits& traits) {
    return traits.role == ATSPI_ROLE_PASSWORD_TEXT;
}

std::string role(const Traits& traits) {
    if (traits.role == ATSPI_ROLE_DOCUMENT_WEB) {
        return "AXWebArea";
    }
    if (const char* list = listLikeRole(traits.role)) {
        return list;
    }
    if (isWindow(traits.role)) {
        return "AXWindow";
    }
    // Rich editors (contenteditable, text views) come in many roles; what the
    // user types into is named by its line mode.
    if (isTextRole(traits.role) || (traits.editable && traits.hasText)) {
        if (traits.role == ATSPI_ROLE_ENTRY || traits.role == ATSPI_ROLE_PASSWORD_TEXT) {
            return "AXTextField";
        }
        if (traits.multiLine) {
            return "AXTextArea";
        }
        if (traits.singleLine || traits.role != ATSPI_ROLE_TEXT) {
            return "AXTextField";
        }
        return "AXTextArea";
    }
    if (const char* other = otherRole(traits.role)) {
        return other;
    }
    return "AXUnknown";
}

std::optional<std::string> subrole(const Traits& traits) {
    switch (traits.role) {
        case ATSPI_ROLE_DIALOG:
        case ATSPI_ROLE_ALERT:
        case ATSPI_ROLE_FILE_CHOOSER:
        case ATSPI_ROLE_COLOR_CHOOSER:
        case ATSPI_ROLE_FONT_CHOOSER:
            return "AXDialog";
        case ATSPI_ROLE_WINDOW:
        case ATSPI_ROLE_TOOL_TIP:
        case ATSPI_ROLE_NOTIFICATION:
            return "AXFloatingWindow";
        case ATSPI_ROLE_FRAME:
            return "AXStandardWindow";
        case ATSPI_ROLE_PASSWORD_TEXT:
            return "AXSecureTextField";
        default:
            return std::nullopt;
    }
}

bool exposesValue(const Traits& traits) {
    if (!traits.hasText || isPassword(traits) || traits.role == ATSPI_ROLE_TERMINAL) {
        return false;
    }
    return traits.editable || traits.role == ATSPI_ROLE_ENTRY;
}

bool acceptsValue(const Traits& traits) {
    return exposesValue(traits) && traits.hasEditableText;
}

namespace {

// Length in bytes of the UTF-8 sequence starting with lead, 0 when invalid.
int sequenceLength(unsigned char lead) {
    if (lead < 0x80) {
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        return 2;
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        return 3;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        return 4;
    }
    return 0;
}

// Walks code points; f(bytes, utf16Units) per code point; stops when f
// returns false.
template <typename F>
void forEachCodePoint(std::string_view s, F f) {
    std::size_t i = 0;
    while (i < s.size()) {
        int n = sequenceLength(static_cast<unsigned char>(s[i]));
        bool valid = n > 0 && i + static_cast<std::size_t>(n) <= s.size();
        for (int k = 1; valid && k < n; ++k) {
            valid = (static_cast<unsigned char>(s[i + k]) & 0xC0) == 0x80;
        }
        if (!valid) {
            n = 1;
        }
        if (!f(valid && n == 4 ? 2 : 1)) {
            return;
        }
        i += static_cast<std::size_t>(n);
    }
}

}  // namespace

int64_t utf16FromCodePoints(std::string_view utf8, int64_t codePoints) {
    int64_t units = 0;
    int64_t seen = 0;
    if (codePoints <= 0) {
        return 0;
    }
    forEachCodePoint(utf8, [&](int width) {
        units += width;
        return ++seen < codePoints;
    });
    return units;
}

int64_t codePointCount(std::string_view utf8) {
    int64_t count = 0;
    forEachCodePoint(utf8, [&](int) {
        ++count;
        return true;
    });
    return count;
}

}  // namespace quorix::platform::atspi
