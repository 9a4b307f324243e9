#include "core/interception/EventInterceptor.h"

#include <chrono>
#include <exception>
#include <string>
#include <thread>
#include <utility>

#include "core/interception/CorrectionPipeline.h"

namespace quorix {

namespace {

constexpr double kQuickUndoWindowSeconds = 5.0;

const char* const kBypassMessage =
    "⚡️ [Bypass manuale (⌥+⏎)] Invio immediato del testo originale senza verifica.";

}  // namespace

EventInterceptor::EventInterceptor(InterceptorServices services)
    : s_(std::move(services)),
      heuristics_(std::make_unique<TextHeuristics>(s_.config, s_.detector, s_.spell)),
      browser_(std::make_unique<BrowserDetector>(s_, *heuristics_)),
      fieldIO_(std::make_unique<FieldIO>(s_)),
      self_(std::make_shared<EventInterceptor*>(this)),
      weakSelf_(self_),
      precheckQueue_(
          std::make_unique<dispatch::SerialQueue>("com.quorix.precheck", s_.dispatcher.clock())) {
    // The spell dictionaries load in the background now rather than on the
    // first Return; a check made before they are ready waits for them.
    s_.dispatcher.global(dispatch::QoS::utility).async([weak = weakSelf_] {
        if (auto self = weak.lock()) {
            (*self)->s_.spell.preload();
        }
    });
}

EventInterceptor::~EventInterceptor() {
    if (installed_.exchange(false)) {
        s_.keyboardHook.uninstall();
    }
    {
        std::lock_guard lock(precheckMutex_);
        precheckDue_ = kNoPrecheck;
    }
    // Queued tasks find the token gone and do nothing; a task already running
    // (a hook call, a pipeline run) holds it until it returns.
    self_.reset();
    while (!weakSelf_.expired()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    precheckQueue_.reset();
}

bool EventInterceptor::start() {
    if (installed_.load()) {
        return true;
    }
    if (!s_.accessibility.isProcessTrusted()) {
        s_.logger.log("⚠️ Accessibility non ancora autorizzata da macOS.");
        return false;
    }
    std::weak_ptr<EventInterceptor*> weak = weakSelf_;
    const bool ok = s_.keyboardHook.install([weak](const platform::KeyEvent& event) {
        auto self = weak.lock();
        if (!self) {
            return platform::KeyDecision::pass;
        }
        return (*self)->handleEvent(event);
    });
    if (!ok) {
        s_.logger.log("⚠️ CGEvent.tapCreate ha restituito nil.");
        return false;
    }
    installed_.store(true);
    s_.logger.log("✅ EventInterceptor agganciato e attivo!");
    return true;
}

void EventInterceptor::stop() {
    if (!installed_.exchange(false)) {
        return;
    }
    s_.keyboardHook.uninstall();
    s_.logger.log("🛑 EventInterceptor disattivato.");
}

bool EventInterceptor::isRunning() const {
    return installed_.load() && s_.accessibility.isProcessTrusted();
}

void EventInterceptor::setPipelineObserver(std::function<void(const PipelineReport&)> observer) {
    std::lock_guard lock(observerMutex_);
    observer_ = std::move(observer);
}

platform::KeyDecision EventInterceptor::handleEvent(const platform::KeyEvent& event) {
    using platform::KeyDecision;
    // Our own posts come back through the hook, possibly on the pipeline's
    // thread: recognise them before touching anything else.
    if (event.userData == syntheticMarker) {
        return KeyDecision::pass;
    }
    const bool isReturn = event.keyCode == keys::kReturn || event.keyCode == keys::kKeypadEnter;
    // A key the application already has only postpones the precheck.
    if (event.alreadyDelivered && !isReturn) {
        if (!typedMeanwhile_.isHolding()) {
            scheduleBackgroundPrecheck(event.keyCode);
        }
        return KeyDecision::pass;
    }
    // Other keys that are neither Return nor a shortcut read no configuration
    // unless a correction runs.
    const uint64_t modifiers = event.flags & keys::kRoutingMask;
    const bool shortcut =
        (event.keyCode == keys::kZ || event.keyCode == keys::kU) && modifiers == keys::kOption;
    if (!isReturn && !shortcut && !typedMeanwhile_.isHolding()) {
        scheduleBackgroundPrecheck(event.keyCode);
        return KeyDecision::pass;
    }
    if (!s_.config.isEnabled()) {
        return KeyDecision::pass;
    }
    // A key the application already has (the adapter's hold on the keyboard
    // lapsed) would arrive twice if it were replayed.
    if (event.alreadyDelivered && typedMeanwhile_.isHolding()) {
        return KeyDecision::pass;
    }
    if (typedMeanwhile_.recordIfHolding(event)) {
        s_.logger.log(
            "⏳ [Debounce Invio] Intercettazione già in corso, sopprimo Invio simultaneo.");
        return KeyDecision::swallow;
    }
    return route(event) == Route::pass ? KeyDecision::pass : KeyDecision::swallow;
}

EventInterceptor::Route EventInterceptor::route(const platform::KeyEvent& event) {
    const uint16_t keyCode = event.keyCode;
    const uint64_t flags = event.flags;
    const uint64_t modifiers = flags & keys::kRoutingMask;

    if (keyCode == keys::kZ && modifiers == keys::kOption) {
        const auto original = s_.config.lastOriginalFullText();
        const auto sinceCorrection =
            s_.dispatcher.clock().wallNow() - s_.config.lastCorrectionDate();
        if (original && sinceCorrection < dispatch::seconds(kQuickUndoWindowSeconds)) {
            s_.logger.log("↩️ [Undo Rapido (⌥+Z)] Ripristino testo originale: \"" + *original +
                          "\"");
            handleQuickUndo(*original);
            return Route::swallow;
        }
    }

    if (keyCode == keys::kU && modifiers == keys::kOption && s_.config.globalHotkeyEnabled()) {
        s_.logger.log("⚡️ [Scorciatoia Globale (⌥+U)] Toggle popover barra dei menu.");
        s_.dispatcher.main().async([toggle = s_.togglePopover] {
            if (toggle) {
                toggle();
            }
        });
        return Route::swallow;
    }

    if (keyCode != keys::kReturn && keyCode != keys::kKeypadEnter) {
        scheduleBackgroundPrecheck(keyCode);
        return Route::pass;
    }

    const CorrectionMode mode = s_.config.mode();
    const bool control = (flags & keys::kControl) != 0;
    if ((flags & keys::kOption) != 0 || (mode == CorrectionMode::autoSend && control)) {
        s_.logger.log(kBypassMessage);
        fieldIO_->postKey(keys::kReturn);
        return Route::swallow;
    }
    if ((flags & (keys::kShift | keys::kCommand)) != 0) {
        return Route::pass;
    }
    if (control != (mode == CorrectionMode::ctrlEnter)) {
        return Route::pass;
    }

    const auto front = s_.workspace.frontmostApplication();
    if (!front) {
        return Route::pass;
    }
    if (!s_.config.isAppTargeted(front->bundleIdentifier, front->localizedName)) {
        return Route::pass;
    }
    if (browser_->isUnreadableBrowser(*front)) {
        return Route::pass;
    }
    if (BrowserDetector::isBrowserApp(front->bundleIdentifier) &&
        browser_->isBrowserAddressBarOrUI(*front)) {
        s_.logger.log(
            "⚡️ [Browser Barra Indirizzi/Omnibox] Lascio passare Invio per navigazione o "
            "selezione sito.");
        return Route::pass;
    }
    if (auto state = browser_->checkAutocompleteState(*front); state && state->isActive) {
        s_.logger.log("⚡️ [Autocomplete/Tendina attiva (" + state->reason +
                      ")] Lascio passare Invio per confermare la selezione.");
        return Route::pass;
    }

    typedMeanwhile_.startHolding();
    s_.logger.log("⌨️ Intercettato Invio in '" + front->localizedName.value_or("Sconosciuta") +
                  "' (" + front->bundleIdentifier.value_or("") + ")");
    std::weak_ptr<EventInterceptor*> weak = weakSelf_;
    s_.dispatcher.global(dispatch::QoS::userInitiated).async([weak, app = *front] {
        if (auto self = weak.lock()) {
            (*self)->processTypoCorrection(app);
        }
    });
    return Route::startedCorrection;
}

void EventInterceptor::processTypoCorrection(const platform::RunningApplication& frontApp) {
    // Whatever happens in the run, the guard is lifted on the main queue;
    // otherwise every later key press would be swallowed.
    struct ClearWorking {
        EventInterceptor& owner;
        ~ClearWorking() {
            std::weak_ptr<EventInterceptor*> weak = owner.weakSelf_;
            owner.s_.dispatcher.main().async([weak] {
                if (auto self = weak.lock()) {
                    (*self)->finishCorrection();
                }
            });
        }
    } clearWorking{*this};

    const uint64_t returnsBefore = fieldIO_->returnsPosted();
    try {
        CorrectionPipeline pipeline(s_, *heuristics_, *browser_, *fieldIO_, heldBack_);
        const PipelineReport report = pipeline.run(frontApp);
        std::function<void(const PipelineReport&)> observer;
        {
            std::lock_guard lock(observerMutex_);
            observer = observer_;
        }
        if (observer) {
            observer(report);
        }
    } catch (const std::exception& e) {
        s_.logger.log(std::string("❌ [Pipeline] Correzione interrotta: ") + e.what());
        sendAsTypedAfterFailure(returnsBefore);
    } catch (...) {
        s_.logger.log("❌ [Pipeline] Correzione interrotta.");
        sendAsTypedAfterFailure(returnsBefore);
    }
}

void EventInterceptor::sendAsTypedAfterFailure(uint64_t returnsBefore) {
    // No failure holds a message back: the text leaves as it stands, unless
    // the run had already sent it.
    if (fieldIO_->returnsPosted() != returnsBefore) {
        return;
    }
    s_.logger.log("📤 [Pipeline] Invio del testo così come è stato scritto.");
    try {
        s_.notice.hide(std::nullopt, std::nullopt);
        fieldIO_->postKey(keys::kReturn);
    } catch (...) {
        s_.logger.log("❌ [Pipeline] Invio non riuscito.");
    }
}

void EventInterceptor::finishCorrection() {
    while (true) {
        KeysTypedDuringCorrection::Taken typed = typedMeanwhile_.takeOrRelease();
        if (typed.escaped) {
            s_.logger.log("⎋ [Tasti durante la correzione] Esc premuto: " +
                          std::to_string(typed.discarded) + " tasti scartati.");
            return;
        }
        if (typed.keys.empty()) {
            return;
        }
        s_.logger.log("⌨️ [Tasti durante la correzione] Reinvio " +
                      std::to_string(typed.keys.size()) + " tasti digitati durante la correzione.");
        if (!replay(typed.keys)) {
            return;
        }
    }
}

bool EventInterceptor::replay(const std::vector<platform::KeyEvent>& typed) {
    for (std::size_t i = 0; i < typed.size(); ++i) {
        platform::KeyEvent key = typed[i];
        key.userData = 0;
        const bool isReturn = key.keyCode == keys::kReturn || key.keyCode == keys::kKeypadEnter;
        if (isReturn) {
            const Route routed = route(key);
            if (routed == Route::startedCorrection) {
                typedMeanwhile_.putBack(
                    {typed.begin() + static_cast<std::ptrdiff_t>(i) + 1, typed.end()});
                return false;
            }
            if (routed == Route::swallow) {
                continue;
            }
        }
        s_.keyPoster.replayKey(key, keys::kSyntheticMarker);
    }
    return true;
}

}  // namespace quorix
