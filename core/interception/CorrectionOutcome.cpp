#include "core/interception/CorrectionOutcome.h"

#include <utility>

#include "core/dispatch/Clock.h"
#include "core/text/Text.h"

namespace quorix {
namespace {

constexpr const char* kCorrectedLabel = "Corretto ✓";
constexpr const char* kOfflineLabel = "Offline ✓";
constexpr const char* kFallbackSound = "Pop";
constexpr const char* kMilestoneSound = "Glass";
constexpr auto kPasteWait = std::chrono::microseconds(25'000);
constexpr auto kBrowserPasteWait = std::chrono::microseconds(40'000);

std::string quoted(const std::string& s) {
    return "\"" + s + "\"";
}

}  // namespace

CorrectionOutcome::CorrectionOutcome(InterceptorServices& services, const BrowserDetector& browser,
                                     FieldIO& fieldIO)
    : s_(services), browser_(browser), io_(fieldIO) {}

std::optional<std::string> CorrectionOutcome::firstChangedWord(const std::string& typed,
                                                               const std::string& corrected) {
    const auto before = text::splitWords(typed);
    const auto after = text::splitWords(corrected);
    for (std::size_t i = 0; i < before.size() && i < after.size(); ++i) {
        if (text::canonicallyEqual(before[i], after[i])) {
            continue;
        }
        std::string word = text::trimPunctuation(before[i]);
        if (text::characterCount(word) >= 2) {
            return word;
        }
    }
    return std::nullopt;
}

void CorrectionOutcome::playFeedbackSound() {
    if (!s_.config.soundEnabled()) {
        return;
    }
    const std::string name = s_.config.soundName();
    s_.sounds.play(s_.sounds.hasSound(name) ? name : std::string(kFallbackSound));
}

CorrectionOutcome::Applied CorrectionOutcome::apply(Variant variant, const Inputs& in) {
    switch (variant) {
        case Variant::cache:
            return applyCache(in);
        case Variant::local:
            return applyLocal(in);
        case Variant::offline:
            return applyOffline(in);
        case Variant::ai:
            break;
    }
    return applyAI(in);
}

CorrectionOutcome::Applied CorrectionOutcome::applyCache(const Inputs& in) {
    Applied applied{in.corrected, firstChangedWord(in.text, in.corrected)};
    if (applied.changedWord) {
        s_.config.setLastCorrectedOriginalWord(applied.changedWord);
    }
    s_.notice.hide(std::string(kCorrectedLabel), applied.changedWord);
    playFeedbackSound();
    // In a browser a page field may report a set it did not apply: paste there.
    io_.writeBackAndSend(in.element, applied.text, in.previousClipboard, !in.isBrowser,
                         in.isBrowser ? kBrowserPasteWait : kPasteWait);
    return applied;
}

CorrectionOutcome::Applied CorrectionOutcome::applyLocal(const Inputs& in) {
    Applied applied{in.corrected, in.misspelledWord};
    s_.cache.set(in.text, applied.text);
    s_.notice.hide(std::string(kCorrectedLabel), applied.changedWord);
    playFeedbackSound();
    io_.writeBackAndSend(in.element, applied.text, in.previousClipboard, !in.isBrowser,
                         in.isBrowser ? kBrowserPasteWait : kPasteWait);
    return applied;
}

CorrectionOutcome::Applied CorrectionOutcome::applyOffline(const Inputs& in) {
    Applied applied{in.corrected, std::nullopt};
    if (s_.config.autoFixPunctuation()) {
        applied.text = TextHeuristics::cleanPunctuationAndSpacing(applied.text);
    }
    s_.cache.set(in.text, applied.text);
    s_.notice.hide(std::string(kOfflineLabel), std::nullopt);
    playFeedbackSound();
    io_.writeBackAndSend(in.element, applied.text, in.previousClipboard, !in.isBrowser,
                         in.isBrowser ? kBrowserPasteWait : kPasteWait);
    return applied;
}

CorrectionOutcome::Applied CorrectionOutcome::applyAI(const Inputs& in) {
    Applied applied{in.corrected, firstChangedWord(in.text, in.corrected)};

    if (!in.isFormal) {
        s_.dispatcher.global(dispatch::QoS::utility)
            .async([&dictionary = s_.dictionary, original = in.text, corrected = in.corrected] {
                dictionary.learnFromCorrection(original, corrected);
            });
    }

    AppConfig& config = s_.config;
    config.setLastCorrectedOriginalWord(applied.changedWord);
    config.recordTypo(browser_.resolveDisplayName(in.frontApp));
    config.setLastOriginalFullText(in.text);
    config.setLastCorrectedFullText(in.corrected);
    config.setLastCorrectionDate(s_.dispatcher.clock().wallNow());
    config.save();

    std::string label = kCorrectedLabel;
    if (auto milestone = config.checkMilestone()) {
        if (config.soundEnabled()) {
            s_.sounds.play(kMilestoneSound);
        }
        label = std::move(*milestone);
    }
    s_.notice.hide(label, applied.changedWord);

    s_.logger.log("🪄 [" + dispatch::formatSeconds(in.elapsedSeconds) + "s] Refuso corretto:");
    s_.logger.log("   Originale: " + quoted(in.text));
    s_.logger.log("   Corretto:  " + quoted(in.corrected));

    playFeedbackSound();
    io_.replaceTextAndSend(in.element, applied.text, in.previousClipboard, in.isBrowser);
    s_.logger.log("🚀 Messaggio corretto inviato con successo!");
    // Supersedes the restore scheduled by replaceTextAndSend (generation counter).
    io_.scheduleClipboardRestore(in.previousClipboard);
    return applied;
}

}  // namespace quorix
