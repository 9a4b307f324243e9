#include "core/interception/FieldIO.h"

#include <utility>

#include "core/config/NeverCoveredApps.h"
#include "core/interception/BrowserDetector.h"
#include "core/interception/KeyCodes.h"
#include "core/text/Text.h"

namespace quorix {

namespace {

constexpr dispatch::Duration kKeyEventWait = dispatch::micros(6'000);
constexpr dispatch::Duration kSelectAllBeforeCopy = dispatch::micros(25'000);
constexpr dispatch::Duration kClipboardPoll = dispatch::micros(10'000);
constexpr int kClipboardPollLimit = 12;
// A browser's page process hands the copied text to its main process before
// the clipboard changes hands: under load that outlasts other applications.
constexpr int kBrowserClipboardPollLimit = 30;
constexpr dispatch::Duration kRightArrowBeforeReturn = dispatch::micros(10'000);
constexpr dispatch::Duration kSelectAllBeforePaste = dispatch::micros(15'000);
constexpr dispatch::Duration kPasteWait = dispatch::micros(25'000);
constexpr dispatch::Duration kBrowserPasteWait = dispatch::micros(40'000);
constexpr double kClipboardRestoreDelaySeconds = 0.6;
constexpr dispatch::Duration kLateCopyPoll = dispatch::micros(50'000);
constexpr int kPasteAttempts = 3;
// An application handles ⌘V when it gets to it: under load, after the paste
// wait. Return waits (up to this) until the pasted text was read from the
// program's own clipboard.
constexpr dispatch::Duration kPasteReadPoll = dispatch::micros(10'000);
constexpr int kPasteReadPollLimit = 50;

const char* const kFocusedElement = "AXFocusedUIElement";
const char* const kValue = "AXValue";

std::string quoted(const std::string& text) {
    return "\"" + text + "\"";
}

}  // namespace

FieldIO::FieldIO(InterceptorServices& services)
    : s_(services), restore_(std::make_shared<RestoreState>()) {}

platform::PasteboardContents FieldIO::saveClipboard() {
    platform::PasteboardContents saved = s_.pasteboard.contents(kClipboardByteLimit);
    if (saved.truncated) {
        s_.logger.log("📋 Appunti oltre 32 MiB: conservo e ripristino soltanto il testo semplice.");
    }
    return saved;
}

void FieldIO::postKey(uint16_t keyCode, uint64_t flags) {
    auto& poster = s_.keyPoster;
    auto& clock = s_.dispatcher.clock();
    if (const int32_t target = target_.load(); target != 0) {
        const auto front = s_.workspace.frontmostApplication();
        if (!front || front->pid != target) {
            if (!targetLostLogged_) {
                s_.logger.log(
                    "⚠️ [Focus] L'applicazione del messaggio non è più in primo piano: il "
                    "testo "
                    "resta nel suo campo e non invio nulla.");
                targetLostLogged_ = true;
            }
            return;
        }
    }
    if (!poster.postKeyEvent(keyCode, true, flags, keys::kSyntheticMarker)) {
        return;
    }
    if (keyCode == keys::kReturn) {
        returnsPosted_.fetch_add(1);
    }
    clock.sleepFor(kKeyEventWait);
    poster.postKeyEvent(keyCode, false, flags, keys::kSyntheticMarker);
    clock.sleepFor(kKeyEventWait);
}

FieldIO::FocusedText FieldIO::getFocusedElementAndText(const platform::RunningApplication& app) {
    FocusedText out;
    auto appElement = s_.accessibility.applicationElement(app.pid);
    if (!appElement) {
        return out;
    }
    auto focused = s_.accessibility.copyAttribute(appElement, kFocusedElement);
    const auto* element = std::get_if<platform::AXElementRef>(&focused.value);
    if (!focused.ok() || element == nullptr || !*element) {
        return out;
    }
    out.element = *element;

    auto value = s_.accessibility.copyAttribute(out.element, kValue);
    if (!value.ok()) {
        return out;
    }
    if (const auto* s = std::get_if<std::string>(&value.value); s && !s->empty()) {
        out.text = *s;
    } else if (const auto* a = std::get_if<platform::AXAttributedString>(&value.value);
               a && !a->plain.empty()) {
        out.text = a->plain;
    }
    return out;
}

FieldIO::Capture FieldIO::capture(const platform::RunningApplication& app,
                                  int64_t changeCountBefore,
                                  const platform::PasteboardContents& previous) {
    auto& pb = s_.pasteboard;
    auto& clock = s_.dispatcher.clock();
    Capture cap;

    FocusedText focused = getFocusedElementAndText(app);
    cap.element = focused.element;
    // A browser's accessibility tree follows its page asynchronously: its
    // value may still lack the last keys typed before Return, and a
    // correction written from it would drop them. Select-all and copy are
    // keys themselves, handled after every key typed before them.
    const bool valueIsCurrent = !BrowserDetector::isBrowserApp(app.bundleIdentifier);
    if (valueIsCurrent && focused.text && !text::isBlank(*focused.text)) {
        cap.text = *focused.text;
        s_.logger.log(
            "⚡️ [AXUIElement] Testo prelevato istantaneamente via Accessibility API (0ms): " +
            quoted(cap.text));
    } else if (NeverCoveredApps::isTerminal(
                   app.bundleIdentifier, app.localizedName,
                   app.bundleIdentifier ? s_.workspace.applicationCategories(*app.bundleIdentifier)
                                        : std::vector<std::string>{})) {
        s_.logger.log(
            "🛑 [Terminale] Nessuna copia negli appunti in un terminale (Ctrl+C interromperebbe "
            "il programma). Invio lasciato passare.");
        postKey(keys::kReturn);
        cap.outcome = Capture::Outcome::terminal;
        return cap;
    } else {
        postKey(keys::kA, keys::kCommand);
        clock.sleepFor(kSelectAllBeforeCopy);
        postKey(keys::kC, keys::kCommand);
        const int pollLimit = valueIsCurrent ? kClipboardPollLimit : kBrowserClipboardPollLimit;
        // Only the application's own copy counts: text another program put on
        // the clipboard meanwhile is not the message.
        bool changed = false;
        bool ownCopy = false;
        for (int polls = 0;; ++polls) {
            changed = pb.changeCount() != changeCountBefore;
            ownCopy = changed && pb.isOwnedBy(app.pid).value_or(true);
            if (ownCopy || polls >= pollLimit) {
                break;
            }
            clock.sleepFor(kClipboardPoll);
        }
        std::optional<std::string> copied;
        if (ownCopy) {
            copied = pb.string();
            ownCopy = pb.isOwnedBy(app.pid).value_or(true);  // not taken during the read
        }
        if (!ownCopy) {
            if (changed) {
                s_.logger.log(
                    "📋 Gli appunti sono stati presi da un altro programma durante la copia. "
                    "Invia originale.");
            } else {
                s_.logger.log(
                    "📋 Nessun nuovo testo copiato (appunti invariati o campo vuoto). Invia "
                    "originale.");
            }
            postKey(keys::kRightArrow);
            clock.sleepFor(kRightArrowBeforeReturn);
            postKey(keys::kReturn);
            watchForLateCopy(app.pid, changeCountBefore, previous);
            cap.outcome = Capture::Outcome::clipboardUnchanged;
            return cap;
        }
        if (!copied) {
            s_.logger.log("📋 Nessun testo trovato. Invia originale.");
            postKey(keys::kReturn);
            // The copy replaced the user's clipboard: give it back.
            scheduleClipboardRestore(previous);
            cap.outcome = Capture::Outcome::noText;
            return cap;
        }
        cap.text = *copied;
        cap.usedClipboard = true;
    }

    if (text::isBlank(cap.text)) {
        s_.logger.log("📋 Nessun testo trovato. Invia originale.");
        postKey(keys::kReturn);
        if (cap.usedClipboard) {
            scheduleClipboardRestore(previous);
        }
        cap.outcome = Capture::Outcome::noText;
        return cap;
    }
    s_.logger.log("📋 Testo prelevato: " + quoted(cap.text));
    cap.outcome = Capture::Outcome::text;
    return cap;
}

void FieldIO::replaceTextAndSend(const platform::AXElementRef& element,
                                 const std::string& corrected,
                                 const platform::PasteboardContents& previous, bool isBrowser) {
    writeBackAndSend(element, corrected, previous, !isBrowser,
                     isBrowser ? kBrowserPasteWait : kPasteWait);
}

bool FieldIO::setValueVerified(const platform::AXElementRef& element, const std::string& text) {
    if (s_.accessibility.setAttribute(element, kValue, text) != platform::AXError::success) {
        return false;
    }
    // Some fields (web pages rebuilding their DOM) answer success and keep
    // their old text: only a value that reads back as the new text is written.
    const auto value = s_.accessibility.copyAttribute(element, kValue);
    const std::string* now = std::get_if<std::string>(&value.value);
    if (const auto* a = std::get_if<platform::AXAttributedString>(&value.value)) {
        now = &a->plain;
    }
    if (value.ok() && now != nullptr && text::canonicallyEqual(*now, text)) {
        return true;
    }
    s_.logger.log(
        "⚠️ [AX Direct Set] Il campo non mostra il testo scritto via Accessibility API: "
        "lo incollo.");
    return false;
}

void FieldIO::writeBackAndSend(const platform::AXElementRef& element, const std::string& corrected,
                               const platform::PasteboardContents& previous, bool tryAccessibility,
                               dispatch::Duration pasteWait) {
    const bool setByAccessibility =
        tryAccessibility && element && setValueVerified(element, corrected);
    if (setByAccessibility) {
        s_.logger.log("⚡️ [AX Direct Set] Testo rimpiazzato via Accessibility API in 0.2ms!");
    } else {
        // Another program taking the clipboard before the paste would put its
        // text in the field: the paste is redone while the clipboard changed
        // under it.
        for (int attempt = 0; attempt < kPasteAttempts; ++attempt) {
            if (attempt > 0) {
                s_.logger.log(
                    "📋 Gli appunti sono cambiati durante l'incolla (un altro programma): "
                    "incollo di nuovo.");
            }
            if (pasteOnce(corrected, pasteWait)) {
                break;
            }
        }
    }
    postKey(keys::kReturn);
    scheduleClipboardRestore(previous);
}

bool FieldIO::pasteOnce(const std::string& text, dispatch::Duration pasteWait) {
    auto& pb = s_.pasteboard;
    auto& clock = s_.dispatcher.clock();
    pb.clearContents();
    pb.setString(text);
    const int64_t pasted = pb.changeCount();
    const std::optional<int64_t> readsBefore = pb.ownTextReads();
    postKey(keys::kA, keys::kCommand);
    clock.sleepFor(kSelectAllBeforePaste);
    postKey(keys::kV, keys::kCommand);
    clock.sleepFor(pasteWait);
    if (!readsBefore) {
        return pb.changeCount() == pasted;
    }
    // The paste holds the text once the application has read it from the
    // program; a change of owner before that read put another program's text
    // in the field. Neither within the limit (the application does not
    // paste): whatever it reads later is still the text while it stays.
    for (int polls = 0;; ++polls) {
        if (pb.ownTextReads().value_or(0) > *readsBefore) {
            return true;
        }
        if (pb.changeCount() != pasted) {
            return false;
        }
        if (polls >= kPasteReadPollLimit) {
            return true;
        }
        clock.sleepFor(kPasteReadPoll);
    }
}

bool FieldIO::unchangedSince(platform::Pasteboard& pb, const RestoreState& state) {
    // Something copied since (the user's copy) stays; the same text taken
    // over by another program (a clipboard manager) does not count.
    return pb.changeCount() == state.pendingChangeCount ||
           (state.pendingText && pb.string() == state.pendingText);
}

void FieldIO::scheduleClipboardRestore(const platform::PasteboardContents& previous) {
    std::lock_guard lock(restore_->mutex);
    const int64_t mine = restore_->generation.fetch_add(1) + 1;
    restore_->pendingGeneration = 0;
    restore_->pendingItems.clear();
    if (previous.empty()) {
        return;  // nothing to put back; the increment still supersedes
    }
    restore_->pendingGeneration = mine;
    restore_->pendingItems = previous.items;
    restore_->pendingChangeCount = s_.pasteboard.changeCount();
    restore_->pendingText = s_.pasteboard.string();
    std::weak_ptr<RestoreState> weak = restore_;
    platform::Pasteboard& pb = s_.pasteboard;
    AppLogger& logger = s_.logger;
    s_.dispatcher.global(dispatch::QoS::defaultQoS)
        .asyncAfter(dispatch::seconds(kClipboardRestoreDelaySeconds), [weak, mine, &pb, &logger] {
            auto state = weak.lock();
            if (!state) {
                return;
            }
            std::lock_guard lock(state->mutex);
            if (state->generation.load() != mine || state->pendingGeneration != mine) {
                return;
            }
            restorePending(*state, pb, logger);
        });
}

void FieldIO::restorePending(RestoreState& state, platform::Pasteboard& pb, AppLogger& logger) {
    if (unchangedSince(pb, state)) {
        pb.clearContents();
        pb.setContents(state.pendingItems);
    } else {
        logger.log(kClipboardKept);
    }
    state.pendingGeneration = 0;
    state.pendingItems.clear();
}

void FieldIO::restorePendingClipboardNow() {
    std::lock_guard lock(restore_->mutex);
    const int64_t pending = restore_->pendingGeneration;
    if (pending == 0 || restore_->generation.load() != pending) {
        return;
    }
    restore_->generation.fetch_add(1);
    restorePending(*restore_, s_.pasteboard, s_.logger);
}

}  // namespace quorix

namespace quorix {

namespace {

struct LateCopyWatch {
    std::weak_ptr<std::atomic<int64_t>> generation;
    int64_t mine = 0;
    int64_t changeCount = 0;
    int32_t pid = 0;
    std::vector<platform::PasteboardItem> items;
    platform::Pasteboard* pasteboard = nullptr;
    dispatch::Queue* queue = nullptr;
    int pollsLeft = 0;

    static void poll(std::shared_ptr<LateCopyWatch> watch) {
        watch->queue->asyncAfter(kLateCopyPoll, [watch] {
            auto current = watch->generation.lock();
            if (!current || current->load() != watch->mine) {
                return;
            }
            if (watch->pasteboard->changeCount() != watch->changeCount) {
                // Another program's copy (the user's) stays.
                if (watch->pasteboard->isOwnedBy(watch->pid).value_or(true)) {
                    watch->pasteboard->clearContents();
                    watch->pasteboard->setContents(watch->items);
                }
                return;
            }
            if (--watch->pollsLeft > 0) {
                poll(watch);
            }
        });
    }
};

}  // namespace

void FieldIO::watchForLateCopy(int32_t pid, int64_t changeCount,
                               const platform::PasteboardContents& previous) {
    const int64_t mine = restore_->generation.fetch_add(1) + 1;
    if (previous.empty()) {
        return;
    }
    auto watch = std::make_shared<LateCopyWatch>();
    watch->generation = std::shared_ptr<std::atomic<int64_t>>(restore_, &restore_->generation);
    watch->mine = mine;
    watch->changeCount = changeCount;
    watch->pid = pid;
    watch->items = previous.items;
    watch->pasteboard = &s_.pasteboard;
    watch->queue = &s_.dispatcher.global(dispatch::QoS::defaultQoS);
    watch->pollsLeft = static_cast<int>(kLateCopyWatch / kLateCopyPoll);
    LateCopyWatch::poll(std::move(watch));
}

}  // namespace quorix
