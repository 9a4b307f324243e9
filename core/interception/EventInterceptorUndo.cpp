#include <string>

#include "core/interception/EventInterceptor.h"

namespace quorix {

namespace {

constexpr double kToastSeconds = 2.2;
constexpr dispatch::Duration kClipboardBeforeSelectAll = dispatch::micros(15'000);
constexpr dispatch::Duration kSelectAllBeforePaste = dispatch::micros(25'000);

}  // namespace

void EventInterceptor::handleQuickUndo(const std::string& originalText) {
    const auto word = s_.config.lastCorrectedOriginalWord();
    const bool protectsWord = word && !word->empty();
    if (protectsWord) {
        s_.config.addWordToWhitelist(*word);
        s_.cache.clear();
    }
    s_.config.setLastOriginalFullText(std::nullopt);
    s_.config.setLastCorrectedOriginalWord(std::nullopt);

    s_.notice.showToast(protectsWord ? "↩️ Ripristinato & \"" + *word + "\" protetto"
                                     : std::string("↩️ Testo originale ripristinato"),
                        kToastSeconds);
    if (s_.config.soundEnabled()) {
        const std::string name = s_.config.soundName();
        s_.sounds.play(s_.sounds.hasSound(name) ? name : "Pop");
    }

    auto& clock = s_.dispatcher.clock();
    fieldIO_->restorePendingClipboardNow();
    s_.pasteboard.clearContents();
    s_.pasteboard.setString(originalText);
    clock.sleepFor(kClipboardBeforeSelectAll);
    fieldIO_->postKey(keys::kA, keys::kCommand);
    clock.sleepFor(kSelectAllBeforePaste);
    fieldIO_->postKey(keys::kV, keys::kCommand);
}

}  // namespace quorix
