#pragma once
// Reading the focused field, writing corrected text back, posting the
// program's own marked keys with their fixed waits, and saving and restoring
// the user's whole clipboard (every representation it holds, up to
// kClipboardByteLimit). Waits are Clock::sleepFor on the calling (pipeline)
// thread.

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "core/dispatch/Clock.h"
#include "core/interception/InterceptorServices.h"

namespace quorix {

class FieldIO {
  public:
    static constexpr std::size_t kClipboardByteLimit = 32u * 1024 * 1024;

    explicit FieldIO(InterceptorServices& services);

    // The user's clipboard as it is now, every item of it; over the limit, its
    // plain text only (logged). While an earlier correction's restore is
    // pending, the contents that restore keeps (and it is cancelled).
    platform::PasteboardContents saveClipboard();

    // Key-down then key-up, both marked, 6 ms after each. Nothing is posted when
    // the port cannot create the events.
    void postKey(uint16_t keyCode, uint64_t flags = 0);
    // Returns posted so far (key-down events of key 36 that the port accepted).
    uint64_t returnsPosted() const { return returnsPosted_.load(); }

    struct FocusedText {
        platform::AXElementRef element;   // null when no focused element
        std::optional<std::string> text;  // non-empty string or attributed string
    };
    // Accessibility read only; never touches the clipboard.
    FocusedText getFocusedElementAndText(const platform::RunningApplication& app);

    struct Capture {
        enum class Outcome {
            text,                // continue with `text`
            clipboardUnchanged,  // E1: Right Arrow, 10 ms, Return already done
            noText,              // E2: Return already done
            terminal,            // copy refused in a terminal: Return already done
        };
        Outcome outcome = Outcome::noText;
        platform::AXElementRef element;
        std::string text;  // as captured, not trimmed
        bool usedClipboard = false;
    };
    // The capture step: accessibility first (never in a browser, whose value
    // may lag the keys typed), else ⌘A/⌘C with the change-count poll. The copy chord is never sent
    // to a terminal (there it interrupts the running program): the Return is posted alone instead.
    // Performs the E1/E2/terminal exits itself (keys and log lines); on `text` the "📋 Testo
    // prelevato" line has been logged. The saved clipboard and changeCountBefore are read by the
    // caller first; the saved clipboard is put back when the copy replaced it yet yielded no usable
    // text.
    Capture capture(const platform::RunningApplication& app, int64_t changeCountBefore,
                    const platform::PasteboardContents& previous = {});

    // Accessibility set (not in a browser, element present) else paste with the
    // browser/non-browser wait; Return; clipboard restore scheduled.
    void replaceTextAndSend(const platform::AXElementRef& element, const std::string& corrected,
                            const platform::PasteboardContents& previous, bool isBrowser);
    // The write-back of the cache/local/offline variants: accessibility set when
    // tryAccessibility and an element is present, else paste then `pasteWait`;
    // Return; clipboard restore scheduled. A set counts only when the field
    // reads back the new text; otherwise the text is pasted.
    void writeBackAndSend(const platform::AXElementRef& element, const std::string& corrected,
                          const platform::PasteboardContents& previous, bool tryAccessibility,
                          dispatch::Duration pasteWait);

    // Puts the saved clipboard back whole 0.6 s later on the default-QoS global
    // queue unless a later restore was scheduled meanwhile; nothing when it was
    // empty. Nothing either when the clipboard changed after this call (the
    // same text taken over by a clipboard manager aside): another program's
    // copy (the user's) is newer than the saved one and stays (logged as
    // kClipboardKept).
    static constexpr const char* kClipboardKept =
        "📋 Gli appunti sono stati cambiati da un altro programma dopo l'invio: li lascio così.";
    void scheduleClipboardRestore(const platform::PasteboardContents& previous);
    int64_t clipboardRestoreGeneration() const { return restore_->generation.load(); }
    // Puts back now the clipboard whose restore is still waiting, and cancels
    // that restore. Called before anything reads or writes the clipboard for
    // a new correction or an undo: the delayed restore would otherwise land
    // between their copy or paste and the application reading it, and the
    // text it puts back would be sent in place of the message.
    void restorePendingClipboardNow();

    // How long after a copy that changed nothing a late change of the
    // clipboard is still taken for that copy (an application that was not
    // answering performs the queued ⌘C when it wakes up).
    static constexpr dispatch::Duration kLateCopyWatch = dispatch::seconds(5.0);

    // While one exists, keys are posted only while the application with this
    // pid is in front: when a correction's window loses the focus (another
    // window came forward, the application quit), the text stays in its field
    // and nothing is pasted or sent into the window now in front.
    class TargetScope {
      public:
        TargetScope(FieldIO& io, int32_t pid) : io_(io) {
            io_.target_.store(pid);
            io_.targetLostLogged_ = false;
        }
        ~TargetScope() { io_.target_.store(0); }
        TargetScope(const TargetScope&) = delete;
        TargetScope& operator=(const TargetScope&) = delete;

      private:
        FieldIO& io_;
    };

  private:
    // After the E1 exit: the first change of the clipboard within
    // kLateCopyWatch, when it is the application's copy (pid), is undone (the
    // saved clipboard goes back), unless a later restore was scheduled
    // meanwhile.
    void watchForLateCopy(int32_t pid, int64_t changeCount,
                          const platform::PasteboardContents& previous);
    // Puts text on the clipboard, selects all and pastes; false when another
    // program took the clipboard before the application read the text.
    bool pasteOnce(const std::string& text, dispatch::Duration pasteWait);
    // Sets "AXValue" and reads it back; true only when the field holds text.
    bool setValueVerified(const platform::AXElementRef& element, const std::string& text);

    InterceptorServices& s_;
    // Shared with pending restores, which act only while generation still
    // holds their value. The contents of the one that may still act are kept
    // (pendingGeneration 0: none) so that it can be done early.
    struct RestoreState {
        std::atomic<int64_t> generation{0};
        std::mutex mutex;
        int64_t pendingGeneration = 0;
        std::vector<platform::PasteboardItem> pendingItems;
        // The clipboard's count and text when the restore was scheduled.
        int64_t pendingChangeCount = 0;
        std::optional<std::string> pendingText;
    };
    // Whether the clipboard still holds what it held when the restore was
    // scheduled. Under state.mutex.
    static bool unchangedSince(platform::Pasteboard& pb, const RestoreState& state);
    // Puts the pending items back when unchangedSince, else logs kClipboardKept;
    // either way nothing is pending afterwards. Under state.mutex.
    static void restorePending(RestoreState& state, platform::Pasteboard& pb, AppLogger& logger);
    std::shared_ptr<RestoreState> restore_;
    std::atomic<uint64_t> returnsPosted_{0};
    std::atomic<int32_t> target_{0};  // 0: no correction runs
    bool targetLostLogged_ = false;   // pipeline thread only
};

}  // namespace quorix
