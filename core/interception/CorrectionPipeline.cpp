#include "core/interception/CorrectionPipeline.h"

#include <cstdio>
#include <memory>
#include <mutex>
#include <utility>

#include "core/dispatch/Cancellation.h"
#include "core/dispatch/Semaphore.h"
#include "core/interception/AnswerDivergence.h"
#include "core/interception/KeyCodes.h"
#include "core/text/Text.h"

namespace quorix {

// How an exit that sends the text as typed treats the selection left by
// select-all (Right Arrow, only when the capture used the clipboard), the wait
// after it, the clipboard restore and the Return.
struct CorrectionPipeline::ExitRule {
    PipelineExit exit;
    bool waitAfterArrow;
    enum class Restore { whenClipboard, alwaysAfterReturn } restore;
    bool postReturn;
};

namespace {

constexpr const char* kExecutiveWorkingText = "Dirav Aroveridide in azione...";
constexpr auto kExitWait = std::chrono::microseconds(15'000);

using ExitRule = CorrectionPipeline::ExitRule;

constexpr ExitRule kAutocompleteInProgress{PipelineExit::autocompleteInProgress, false,
                                           ExitRule::Restore::whenClipboard, false};
// The same unfinished token on a second Return soon after: sent as typed.
constexpr ExitRule kAutocompleteRepeated{PipelineExit::autocompleteInProgress, false,
                                         ExitRule::Restore::whenClipboard, true};
constexpr ExitRule kLinkOnly{PipelineExit::linkOnly, true, ExitRule::Restore::whenClipboard, true};
constexpr ExitRule kSingleTag{PipelineExit::singleTag, true, ExitRule::Restore::whenClipboard,
                              true};
constexpr ExitRule kCachedAsCorrect{PipelineExit::cachedAsCorrect, false,
                                    ExitRule::Restore::whenClipboard, true};
constexpr ExitRule kAllWordsValid{PipelineExit::allWordsValid, true,
                                  ExitRule::Restore::whenClipboard, true};
constexpr ExitRule kTruncatedAnswer{PipelineExit::truncatedAnswer, false,
                                    ExitRule::Restore::whenClipboard, true};
constexpr ExitRule kBlankAnswer{PipelineExit::blankAnswer, false, ExitRule::Restore::whenClipboard,
                                true};
constexpr ExitRule kAnswerUnchanged{PipelineExit::answerUnchanged, true,
                                    ExitRule::Restore::alwaysAfterReturn, true};
constexpr ExitRule kNoOfflineCorrection{PipelineExit::noOfflineCorrection, true,
                                        ExitRule::Restore::whenClipboard, true};
constexpr ExitRule kLocalDeadline{PipelineExit::localDeadline, true,
                                  ExitRule::Restore::whenClipboard, true};

std::string quoted(const std::string& s) {
    return "\"" + s + "\"";
}

// "gemini" -> "Gemini".
std::string providerName(AIProvider provider) {
    std::string name(rawValue(provider));
    if (!name.empty()) {
        name = text::toUpper(text::firstCharacter(name)) +
               name.substr(text::firstCharacter(name).size());
    }
    return name;
}

std::string twoDecimals(double v) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.2f", v);
    return buffer;
}

bool hasNewline(const std::string& s) {
    return text::splitLines(s).size() > 1;
}

bool wrappedIn(const std::string& s, std::string_view open, std::string_view close) {
    return text::startsWith(s, open) && text::endsWith(s, close);
}

// An answer is long enough when it keeps at least a third of a text of six
// characters or more, or two characters of a shorter one.
bool isLongEnough(std::size_t answerLength, std::size_t textLength) {
    if (textLength <= 5) {
        return answerLength >= 2;
    }
    return answerLength >= textLength / 3;
}

// The slots filled by the AI completion. Shared with the completion, which may
// arrive after the run has stopped waiting and must still find them alive.
struct AIWait {
    explicit AIWait(dispatch::Clock& clock) : semaphore(clock) {}
    dispatch::Semaphore semaphore;
    std::mutex mutex;
    std::optional<std::string> result;
    std::optional<Error> error;
};

}  // namespace

bool CorrectionPipeline::isSingleTagToken(std::string_view text) {
    const std::string trimmed = text::trim(text);
    if (trimmed.empty() || trimmed.find(' ') != std::string::npos || hasNewline(trimmed)) {
        return false;
    }
    return text::startsWith(trimmed, "@") || text::startsWith(trimmed, "#") ||
           wrappedIn(trimmed, "[", "]") || wrappedIn(trimmed, "<", ">");
}

struct CorrectionPipeline::Run {
    platform::RunningApplication frontApp;
    dispatch::Instant start{};
    platform::PasteboardContents previousClipboard;
    platform::AXElementRef element;
    std::string text;
    bool usedClipboard = false;
    bool isBrowser = false;
    bool isExecutive = false;
    SpellScan scan;
    std::string provider;
    dispatch::Deadline localDeadline;

    double elapsedSeconds(const dispatch::Clock& clock) const {
        return std::chrono::duration<double>(clock.now() - start).count();
    }
};

CorrectionPipeline::CorrectionPipeline(InterceptorServices& services,
                                       const TextHeuristics& heuristics,
                                       const BrowserDetector& browser, FieldIO& fieldIO,
                                       HeldBackMessage& heldBack)
    : s_(services),
      heuristics_(heuristics),
      browser_(browser),
      io_(fieldIO),
      heldBack_(heldBack),
      outcome_(services, browser, fieldIO) {}

void CorrectionPipeline::log(const std::string& line) {
    s_.logger.log(line);
}

PipelineReport CorrectionPipeline::run(const platform::RunningApplication& frontApp) {
    dispatch::Clock& clock = s_.dispatcher.clock();
    Run r;
    r.frontApp = frontApp;
    r.start = clock.now();
    io_.restorePendingClipboardNow();
    r.previousClipboard = io_.saveClipboard();
    const int64_t changeCount = s_.pasteboard.changeCount();
    const FieldIO::TargetScope target(io_, frontApp.pid);

    FieldIO::Capture capture = io_.capture(frontApp, changeCount, r.previousClipboard);
    switch (capture.outcome) {
        case FieldIO::Capture::Outcome::clipboardUnchanged:
            return PipelineReport{std::string(exitCode(PipelineExit::clipboardUnchanged)), "",
                                  std::nullopt, std::nullopt, true};
        case FieldIO::Capture::Outcome::noText:
            return PipelineReport{std::string(exitCode(PipelineExit::blankText)), capture.text,
                                  std::nullopt, std::nullopt, true};
        case FieldIO::Capture::Outcome::terminal:
            return PipelineReport{"terminal", "", std::nullopt, std::nullopt, true};
        case FieldIO::Capture::Outcome::text:
            break;
    }
    r.element = std::move(capture.element);
    r.text = std::move(capture.text);
    r.usedClipboard = capture.usedClipboard;
    // Loading at start-up is not local work: a Return that arrives before the
    // spell and typo dictionaries are ready waits for them (the typo
    // dictionary at most its load wait), then the local stages get their
    // whole budget.
    s_.spell.preload();
    s_.dictionary.waitUntilLoaded();
    r.localDeadline = dispatch::Deadline(clock, kLocalStagesLimit);

    const AutocompleteToken token = heuristics_.isUnfinishedAutocompleteToken(r.text);
    if (token.isMatch) {
        if (heldBack_.isRepeat(r.text, r.start)) {
            log("⚡️ [Autocomplete Fallback (" + token.matched +
                ")] Secondo Invio sullo stesso testo entro 3 s: invio il testo così com'è.");
            return sendUnchanged(kAutocompleteRepeated, r);
        }
        log("⚡️ [Autocomplete Fallback (" + token.matched +
            ")] Testo copiato termina con completamento in corso. Annullamento invio automatico.");
        return sendUnchanged(kAutocompleteInProgress, r);
    }

    // The application in front now; the one captured at Return when none is.
    if (auto front = s_.workspace.frontmostApplication()) {
        r.frontApp = std::move(*front);
    }
    r.isBrowser = BrowserDetector::isBrowserApp(r.frontApp.bundleIdentifier);
    if (outOfLocalTime(r)) {
        return sendUnchanged(kLocalDeadline, r);
    }

    if (heuristics_.isPureURLOrNavigation(r.text)) {
        log("⚡️ [URL/Link Bypass] Rilevato link web o URL ('" + r.text +
            "'). Invio immediato a 0ms per preservarlo intatto al 100%.");
        return sendUnchanged(kLinkOnly, r);
    }

    const std::string trimmed = text::trim(r.text);
    if (isSingleTagToken(trimmed)) {
        log("🏷️ [Tag Token] Rilevato tag o menzione singola ('" + trimmed +
            "'). Salto correzione per preservare il tag intatto.");
        return sendUnchanged(kSingleTag, r);
    }

    if (auto cached = s_.cache.get(r.text)) {
        // Entries are stored trimmed: compare with the trimmed text.
        if (*cached == trimmed) {
            log("⚡️ [Cache HIT] Frase verificata corretta in cache (0ms). Invio istantaneo!");
            return sendUnchanged(kCachedAsCorrect, r);
        }
        log("⚡️ [Cache HIT] Correzione istantanea da cache (0ms): " + quoted(*cached));
        return applyOutcome(CorrectionOutcome::Variant::cache, r, *cached);
    }

    if (outOfLocalTime(r)) {
        return sendUnchanged(kLocalDeadline, r);
    }

    AppConfig& config = s_.config;
    const ToneStyle tone = config.toneStyle();
    r.isExecutive = tone == ToneStyle::formal ||
                    config.isExecutiveApp(r.frontApp.bundleIdentifier, r.frontApp.localizedName);

    r.scan = heuristics_.findMisspelledWord(r.text, r.isExecutive, r.localDeadline);
    r.provider = providerName(config.provider());
    if (outOfLocalTime(r)) {
        return sendUnchanged(kLocalDeadline, r);
    }

    if (r.scan.misspelledWord) {
        log("🔍 [NSSpellChecker] Refuso rilevato su '" + *r.scan.misspelledWord + "'. Chiamo " +
            r.provider + "...");
    } else if (!heuristics_.hasContextualSuspicion(r.text, r.scan.candidateWords, r.isExecutive)) {
        log("⚡️ [Tutte parole valide] Frase corretta al 100% ('" + r.text +
            "'). Invio istantaneo a 0ms!");
        return sendUnchanged(kAllWordsValid, r);
    } else {
        log("🔍 [Contesto Sospetto / Executive] Rilevato testo da verificare con " + r.provider +
            "...");
    }

    s_.notice.show(r.isExecutive ? kExecutiveWorkingText : Notice::kWorkingText);

    if (!r.isExecutive && tone == ToneStyle::natural) {
        const auto local = s_.dictionary.tryCorrectLocally(r.text);
        if (local && !heuristics_.hasPotentialTypo(*local, r.localDeadline)) {
            log("⚡️ [LocalTypoDictionary] Risolto interamente in locale a 0ms (senza "
                "AI): " +
                quoted(*local));
            return applyOutcome(CorrectionOutcome::Variant::local, r, *local);
        }
        // The last local step: what the maps left, through the keyboard model.
        // Loading a language's model on its first use is not local work.
        const std::string base = local.value_or(r.text);
        const dispatch::Instant loadStart = clock.now();
        s_.dictionary.loadKeyboardModel(base);
        r.localDeadline.extend(clock.now() - loadStart);
        if (outOfLocalTime(r)) {
            s_.notice.hide(std::nullopt, std::nullopt);
            return sendUnchanged(kLocalDeadline, r);
        }
        // The keyboard model corrects in the message's own language, so its
        // result is vouched for by the same multilingual scan that flagged it.
        if (auto keyed = correctWithKeyboard(base)) {
            if (heuristics_.isFreeOfMisspellings(*keyed, r.localDeadline)) {
                log("⚡️ [Correttore tastiera] Risolto interamente in locale a 0ms (senza "
                    "AI): " +
                    quoted(*keyed));
                return applyOutcome(CorrectionOutcome::Variant::local, r, *keyed);
            }
        }
        if (local) {
            log("🔍 [LocalTypoDictionary] Correzione parziale trovata, ma rimangono altri refusi "
                "non coperti dal dizionario. Procedo con AI per correggerli tutti...");
        }
    }

    return askAI(r);
}

PipelineReport CorrectionPipeline::askAI(Run& r) {
    dispatch::Clock& clock = s_.dispatcher.clock();
    if (outOfLocalTime(r)) {
        s_.notice.hide(std::nullopt, std::nullopt);
        return sendUnchanged(kLocalDeadline, r);
    }
    auto wait = std::make_shared<AIWait>(clock);
    // Given up with the wait: the run is over, and so is every exchange for it.
    auto cancellation = std::make_shared<dispatch::Cancellation>();
    s_.ai.correctText(
        r.text, r.isExecutive,
        [wait](CorrectionResult result) {
            {
                std::lock_guard lock(wait->mutex);
                if (result.text) {
                    wait->result = std::move(result.text);
                } else {
                    wait->error = std::move(result.error);
                }
            }
            wait->semaphore.signal();
        },
        cancellation);
    const bool timedOut = !wait->semaphore.wait(dispatch::seconds(kAITimeoutSeconds));
    if (timedOut) {
        cancellation->cancel();
    }
    const double elapsed = r.elapsedSeconds(clock);

    std::optional<std::string> answer;
    std::optional<Error> error;
    if (!timedOut) {
        std::lock_guard lock(wait->mutex);
        answer = wait->result;
        error = wait->error;
    }

    if (timedOut || !answer || error) {
        if (timedOut) {
            log("⏱️ TIMEOUT di sicurezza scattato dopo " + dispatch::formatSeconds(elapsed) + "s!");
        } else if (error) {
            log("❌ Errore risposta " + r.provider + ": " + error->description + ".");
        }
        return offlineFallback(r);
    }

    if (text::isBlank(*answer)) {
        s_.notice.hide(std::nullopt, std::nullopt);
        log("⚠️ Risultato AI vuoto. Invio testo originale.");
        return sendUnchanged(kBlankAnswer, r);
    }

    const std::size_t answerLength = text::characterCount(*answer);
    const std::size_t textLength = text::characterCount(r.text);
    if (!isLongEnough(answerLength, textLength)) {
        s_.notice.hide(std::nullopt, std::nullopt);
        log("⚠️ Risultato AI troncato (" + std::to_string(answerLength) + " vs " +
            std::to_string(textLength) + " car). Invio originale.");
        return sendUnchanged(kTruncatedAnswer, r);
    }

    std::string finalText = *answer;
    if (s_.config.autoFixPunctuation()) {
        finalText = TextHeuristics::cleanPunctuationAndSpacing(finalText);
    }
    // A natural-tone answer must stay a correction of the message; a formal
    // rewrite may change it freely.
    if (!r.isExecutive) {
        const AnswerDivergence divergence = AnswerDivergence::measure(r.text, finalText);
        if (divergence.isTooDifferent()) {
            log("⚠️ Risultato AI troppo diverso dal messaggio (" +
                std::to_string(divergence.changedWords) + " parole cambiate su " +
                std::to_string(divergence.wordCount) + ", " +
                std::to_string(divergence.answerLength) + " vs " +
                std::to_string(divergence.textLength) + " car). Scartato.");
            return offlineFallback(r);
        }
    }
    return settleAnswer(r, finalText, elapsed);
}

std::optional<std::string> CorrectionPipeline::correctWithKeyboard(const std::string& base) {
    const ModelPass pass = s_.dictionary.correctWithKeyboardModel(base);
    for (const WordDecision& d : pass.words) {
        if (d.applied) {
            log("🧠 [Correttore tastiera] '" + d.word + "' → '" + d.suggestion.candidate +
                "' (fiducia " + twoDecimals(d.suggestion.confidence) + ")");
        }
    }
    return pass.text;
}

PipelineReport CorrectionPipeline::offlineFallback(Run& r) {
    const auto local = s_.dictionary.tryCorrectLocally(r.text);
    auto keyed = correctWithKeyboard(local.value_or(r.text));
    if (auto corrected = keyed ? std::move(keyed) : local) {
        log("✈️ [Offline Fallback] Rete/AI non disponibile. Applicata correzione on-device da "
            "160k "
            "parole: " +
            quoted(*corrected));
        return applyOutcome(CorrectionOutcome::Variant::offline, r, *corrected);
    }
    s_.notice.hide(std::nullopt, std::nullopt);
    log("ℹ️ Nessuna correzione offline applicabile. Invio testo originale.");
    return sendUnchanged(kNoOfflineCorrection, r);
}

PipelineReport CorrectionPipeline::settleAnswer(Run& r, const std::string& finalText,
                                                double elapsed) {
    const bool wordsEqual = text::splitWords(r.text) == text::splitWords(finalText);
    if (!wordsEqual) {
        s_.cache.set(r.text, finalText);
        return applyOutcome(CorrectionOutcome::Variant::ai, r, finalText, elapsed);
    }

    const std::string trimmedText = text::trim(r.text);
    const std::string trimmedFinal = text::trim(finalText);
    if (r.isExecutive && trimmedText != trimmedFinal) {
        // Same words, different spacing: a formal rewrite may settle on it.
        if (!text::canonicallyEqual(trimmedText, trimmedFinal)) {
            s_.cache.set(r.text, finalText);
            return applyOutcome(CorrectionOutcome::Variant::ai, r, finalText, elapsed);
        }
    }

    // The text leaves as typed, so only that verdict is cached: the answer
    // itself was not applied and must never be served as a correction.
    if (!r.scan.misspelledWord) {
        s_.cache.set(r.text, r.text);
    }
    return noChange(r);
}

PipelineReport CorrectionPipeline::noChange(Run& r) {
    s_.config.setLastCorrectedOriginalWord(std::nullopt);
    s_.notice.hide(std::nullopt, std::nullopt);
    log("✅ Nessun refuso sostanziale corretto dall'AI (" + r.provider + "). Invio testo.");
    return sendUnchanged(kAnswerUnchanged, r);
}

PipelineReport CorrectionPipeline::applyOutcome(CorrectionOutcome::Variant variant, Run& r,
                                                const std::string& corrected, double elapsed) {
    CorrectionOutcome::Inputs inputs;
    inputs.text = r.text;
    inputs.corrected = corrected;
    inputs.element = r.element;
    inputs.previousClipboard = r.previousClipboard;
    inputs.isBrowser = r.isBrowser;
    inputs.frontApp = r.frontApp;
    inputs.elapsedSeconds = elapsed;
    inputs.misspelledWord = r.scan.misspelledWord;
    inputs.isFormal = r.isExecutive;
    CorrectionOutcome::Applied applied = outcome_.apply(variant, inputs);

    static constexpr const char* kVariantNames[] = {"cache", "local", "offline", "ai"};
    return PipelineReport{kVariantNames[static_cast<int>(variant)], r.text, std::move(applied.text),
                          std::move(applied.changedWord), true};
}

bool CorrectionPipeline::outOfLocalTime(const Run& r) {
    if (!r.localDeadline.passed()) {
        return false;
    }
    log("⏱️ [Limite locale] Controlli locali oltre " +
        std::to_string(
            std::chrono::duration_cast<std::chrono::milliseconds>(kLocalStagesLimit).count()) +
        " ms. Invio del testo originale.");
    return true;
}

PipelineReport CorrectionPipeline::sendUnchanged(const ExitRule& rule, Run& r) {
    if (r.usedClipboard) {
        io_.postKey(keys::kRightArrow);
        if (rule.waitAfterArrow) {
            s_.dispatcher.clock().sleepFor(kExitWait);
        }
        if (rule.restore == ExitRule::Restore::whenClipboard) {
            io_.scheduleClipboardRestore(r.previousClipboard);
        }
    }
    if (rule.postReturn) {
        io_.postKey(keys::kReturn);
    }
    if (rule.restore == ExitRule::Restore::alwaysAfterReturn) {
        io_.scheduleClipboardRestore(r.previousClipboard);
    }
    return PipelineReport{std::string(exitCode(rule.exit)), r.text, std::nullopt, std::nullopt,
                          rule.postReturn};
}

}  // namespace quorix
