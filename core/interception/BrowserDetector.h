#pragma once
// Browser, address-bar, completion-list and popup detection, and the display
// name of the front application (including the web application of a browser
// tab). Reads accessibility attributes only; the only state is which browsers
// were already told how to turn accessibility on.

#include <mutex>
#include <optional>
#include <set>
#include <string>

#include "core/interception/InterceptorServices.h"
#include "core/interception/TextHeuristics.h"

namespace quorix {

struct AutocompleteState {
    bool isActive = false;
    std::string reason;
};

class BrowserDetector {
  public:
    BrowserDetector(InterceptorServices& services, const TextHeuristics& heuristics);

    static bool isBrowserApp(const std::optional<std::string>& bundleId);
    bool isBrowserAddressBarOrUI(const platform::RunningApplication& app) const;
    // A browser whose focused element cannot be read: a page field cannot be
    // told from the address bar, so Return must pass untouched. Logs once per
    // browser how to turn its accessibility on.
    bool isUnreadableBrowser(const platform::RunningApplication& app) const;
    std::optional<AutocompleteState> checkAutocompleteState(
        const platform::RunningApplication& app) const;
    std::string resolveDisplayName(const platform::RunningApplication& app) const;

  private:
    InterceptorServices& s_;
    const TextHeuristics& heuristics_;
    mutable std::mutex hintedMutex_;
    mutable std::set<std::string> hinted_;  // bundle identifiers
};

}  // namespace quorix
