#pragma once
// The general pasteboard: plain text, and every representation the current
// owner offers as typed items, so that the program can save the user's
// clipboard whole (an image, a file list) and put it back.
// Thread: any. changeCount grows by at least one on every change of contents,
// whoever makes it. string() is nullopt when the pasteboard holds no text.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quorix::platform {

// The type of plain UTF-8 text among typed items.
inline constexpr const char* kPlainTextType = "text/plain;charset=utf-8";

// One representation of the contents: a type (a MIME type such as "image/png"
// or "text/uri-list", or a platform name such as "UTF8_STRING") and its bytes.
struct PasteboardItem {
    std::string type;
    std::string data;
    bool operator==(const PasteboardItem&) const = default;
};

struct PasteboardContents {
    std::vector<PasteboardItem> items;
    // The owner offered more than the byte limit: only its text was kept.
    bool truncated = false;

    bool empty() const { return items.empty(); }
    // Plain text only (nothing for nullopt).
    static PasteboardContents text(const std::optional<std::string>& text) {
        PasteboardContents c;
        if (text) {
            c.items.push_back({kPlainTextType, *text});
        }
        return c;
    }
};

class Pasteboard {
  public:
    virtual ~Pasteboard() = default;
    virtual int64_t changeCount() const = 0;
    virtual std::optional<std::string> string() const = 0;
    // Empties the pasteboard (a change).
    virtual void clearContents() = 0;
    // Puts text on it as plain text (a change); false on failure.
    virtual bool setString(const std::string& text) = 0;

    // Whether the application with this process id holds the contents now
    // (its copy, not another program's); nullopt when the adapter cannot tell.
    virtual std::optional<bool> isOwnedBy(int32_t pid) const {
        (void)pid;
        return std::nullopt;
    }

    // How many reads of the text the program itself put on the pasteboard it
    // has served so far (an application pasting it); a read made after
    // another program took the contents does not count. nullopt when the
    // adapter cannot tell.
    virtual std::optional<int64_t> ownTextReads() const { return std::nullopt; }

    // Every representation offered now, at most byteLimit bytes in all; when
    // more is offered, the plain text alone with `truncated` set.
    virtual PasteboardContents contents(std::size_t byteLimit) const {
        PasteboardContents c = PasteboardContents::text(string());
        if (!c.empty() && c.items.front().data.size() > byteLimit) {
            c.items.clear();
        }
        return c;
    }
    // Replaces the contents with all of these items at once (a change); false
    // on failure. Adapters without typed items keep the plain text.
    virtual bool setContents(const std::vector<PasteboardItem>& items) {
        for (const auto& item : items) {
            if (item.type == kPlainTextType) {
                return setString(item.data);
            }
        }
        clearContents();
        return true;
    }
};

}  // namespace quorix::platform
