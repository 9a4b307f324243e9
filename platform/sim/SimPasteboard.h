#pragma once
// The simulated general pasteboard. Every change of contents (by the program or
// by an application's ⌘C) bumps the change count by one and is journalled:
// "pb.clear", "pb.set \"text\"", "pb.copy \"text\"" (an application's copy),
// "pb.nontext <what>" (content without plain text, e.g. an image),
// "pb.items <type> <type>..." (typed items put back at once; a lone plain-text
// item is journalled as "pb.set").
// Thread: any.

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/Pasteboard.h"
#include "platform/sim/SimJournal.h"

namespace quorix::platform {

class SimPasteboard final : public Pasteboard {
  public:
    explicit SimPasteboard(SimJournal& journal);

    int64_t changeCount() const override;
    std::optional<std::string> string() const override;
    void clearContents() override;
    // Fails (false, nothing changes, "pb.set failed") while setFailing(true).
    bool setString(const std::string& text) override;
    PasteboardContents contents(std::size_t byteLimit) const override;
    // Fails like setString.
    bool setContents(const std::vector<PasteboardItem>& items) override;

    // Puts content that has no plain-text form on the pasteboard (a change).
    void setNonText(const std::string& what = "image");
    // An application copying its selection (a change); it owns the contents
    // until the next change.
    void appCopy(const std::string& text, int32_t pid);
    std::optional<bool> isOwnedBy(int32_t pid) const override;
    // An application pasting: the text, counted as a read of the program's
    // own text when the program put it there.
    std::optional<std::string> appPaste();
    // Runs first (without the pasteboard's lock) so that a paste an
    // application performs late lands when its time has come.
    std::optional<int64_t> ownTextReads() const override;
    void setBeforeReadCount(std::function<void()> hook);
    void setFailing(bool failing);
    // After each of the next `times` setString calls, another program copies
    // `text` (a change, "pb.taken") just before the next read of the text.
    void takeAfterNextSets(const std::string& text, int times);

  private:
    SimJournal& journal_;
    mutable std::mutex mutex_;
    // Mutable: a pending take lands in the const read of the text.
    mutable int64_t changeCount_ = 0;
    mutable std::vector<PasteboardItem> items_;
    bool failing_ = false;
    mutable int32_t owner_ = 0;  // the copying application's pid; 0: anyone else
    std::string taker_;
    int takes_ = 0;
    mutable bool takePending_ = false;
    mutable bool programOwns_ = false;  // set by the program, not copied or taken since
    int64_t ownTextReads_ = 0;
    std::function<void()> beforeReadCount_;
};

}  // namespace quorix::platform
