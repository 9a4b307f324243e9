#pragma once
// Applying a correction: cache store, notice completion, sounds, learning,
// statistics and quick-undo state (AI only), write-back, Return and clipboard
// restore. Four variants by where the correction came from.

#include <optional>
#include <string>

#include "core/interception/BrowserDetector.h"
#include "core/interception/FieldIO.h"
#include "core/interception/InterceptorServices.h"
#include "core/interception/TextHeuristics.h"

namespace quorix {

class CorrectionOutcome {
  public:
    enum class Variant { cache, local, offline, ai };

    struct Inputs {
        std::string text;       // as captured
        std::string corrected;  // the correction (before the offline clean-up)
        platform::AXElementRef element;
        platform::PasteboardContents previousClipboard;
        bool isBrowser = false;
        platform::RunningApplication frontApp;
        double elapsedSeconds = 0;                  // ai
        std::optional<std::string> misspelledWord;  // local
        bool isFormal = false;                      // ai: a formal rewrite teaches nothing
    };
    struct Applied {
        std::string text;                        // what was written back
        std::optional<std::string> changedWord;  // as given to the notice
    };

    CorrectionOutcome(InterceptorServices& services, const BrowserDetector& browser,
                      FieldIO& fieldIO);

    Applied apply(Variant variant, const Inputs& inputs);

    // First position where the typed and corrected word lists differ
    // (canonical comparison) and the typed word, trimmed of punctuation, has at
    // least 2 characters: that trimmed typed word.
    static std::optional<std::string> firstChangedWord(const std::string& typed,
                                                       const std::string& corrected);

  private:
    Applied applyCache(const Inputs& inputs);
    Applied applyLocal(const Inputs& inputs);
    Applied applyOffline(const Inputs& inputs);
    Applied applyAI(const Inputs& inputs);
    void playFeedbackSound();

    InterceptorServices& s_;
    const BrowserDetector& browser_;
    FieldIO& io_;
};

}  // namespace quorix
