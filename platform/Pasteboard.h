#pragma once
// The general pasteboard, plain-text type only.
// Thread: any. changeCount grows by at least one on every change of contents,
// whoever makes it. string() is nullopt when the pasteboard holds no text.

#include <cstdint>
#include <optional>
#include <string>

namespace quorix::platform {

class Pasteboard {
public:
    virtual ~Pasteboard() = default;
    virtual int64_t changeCount() const = 0;
    virtual std::optional<std::string> string() const = 0;
    // Empties the pasteboard (a change).
    virtual void clearContents() = 0;
    // Puts text on it as plain text (a change); false on failure.
    virtual bool setString(const std::string& text) = 0;
};

}  // namespace quorix::platform
