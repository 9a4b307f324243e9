#pragma once
// The CLIPBOARD selection as the general pasteboard.
//
// setString() makes the program the selection's owner through a hidden window
// and answers requests for TARGETS, UTF8_STRING, text/plain;charset=utf-8,
// STRING and TEXT (large data in INCR chunks). string() answers from the
// program's own text while it owns the selection, else converts CLIPBOARD to
// UTF8_STRING (then STRING) with a bounded wait. clearContents() keeps the
// ownership with no text, so string() is nullopt, as for an emptied pasteboard.
//
// contents() converts CLIPBOARD to every target its owner lists in TARGETS
// (TARGETS, MULTIPLE, TIMESTAMP and the like aside), each item typed by its
// target name, within contentsLimit in all; over the byte limit, or past that
// time, only the text. setContents() takes the ownership with those targets
// and serves each with its own bytes (typed as the target), the text
// conversions being derived from its UTF8_STRING or text/plain;charset=utf-8
// item.
//
// changeCount grows on every ownership change announced by XFixes (another
// client copied) and on each of the program's own changes, counted once when
// made (the server's echo of the program's own ownership is not counted again).
//
// A selection dies with its owner: on destruction, text the program still owns
// is handed to a running clipboard manager (SAVE_TARGETS on CLIPBOARD_MANAGER),
// waiting at most `handOverLimit` for it to take the text.
//
// Thread: any. The selection is served on the pasteboard's own X event thread;
// calls from other threads wait for it at most `replyLimit`.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Pasteboard.h"

namespace quorix::platform {

class X11Pasteboard final : public Pasteboard {
  public:
    struct Options {
        std::string displayName;
        std::chrono::milliseconds replyLimit{500};
        // Texts longer than this go out in INCR chunks of this size.
        std::size_t chunkBytes = 256 * 1024;
        std::chrono::milliseconds handOverLimit{1500};
        // The whole of one contents() read.
        std::chrono::milliseconds contentsLimit{2000};
    };

    X11Pasteboard();
    explicit X11Pasteboard(Options options);
    ~X11Pasteboard() override;
    X11Pasteboard(const X11Pasteboard&) = delete;
    X11Pasteboard& operator=(const X11Pasteboard&) = delete;

    // Connects and creates the hidden window; false without a display or XFixes.
    bool open();
    bool isOpen() const;

    int64_t changeCount() const override;
    std::optional<std::string> string() const override;
    void clearContents() override;
    bool setString(const std::string& text) override;
    PasteboardContents contents(std::size_t byteLimit) const override;
    // Through X11SelectionOwner; nullopt when the display does not answer.
    std::optional<bool> isOwnedBy(int32_t pid) const override;
    // Text targets (UTF8_STRING, text/plain, TEXT, STRING) served while the
    // program owned the CLIPBOARD.
    std::optional<int64_t> ownTextReads() const override;
    bool setContents(const std::vector<PasteboardItem>& items) override;

    // Asks a running clipboard manager to keep the text the program owns and
    // serves its requests until it answers or `limit` passes. Returns at once
    // when the program owns no text or no manager runs.
    void handOverToClipboardManager(std::chrono::milliseconds limit);

  private:
    struct Core;
    struct CoreRead;
    // One conversion of CLIPBOARD to target (an Atom), waiting at most `wait`;
    // raw: the bytes as given (no STRING fallback, no Latin-1 decoding).
    // Nothing, with *overflow set, when the owner offers more than limit.
    std::optional<std::string> convert(unsigned long target, bool raw, std::size_t limit,
                                       std::chrono::milliseconds wait, bool* overflow) const;
    static PasteboardContents textOnly(const std::optional<std::string>& text,
                                       std::size_t byteLimit);
    std::unique_ptr<Core> core_;
};

}  // namespace quorix::platform
