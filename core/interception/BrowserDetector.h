#pragma once
// Browser, address-bar, completion-list and popup detection, and the display
// name of the front application (including the web application of a browser
// tab). Reads accessibility attributes only; keeps no state.

#include <optional>
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
    std::optional<AutocompleteState> checkAutocompleteState(
        const platform::RunningApplication& app) const;
    std::string resolveDisplayName(const platform::RunningApplication& app) const;

  private:
    InterceptorServices& s_;
    const TextHeuristics& heuristics_;
};

}  // namespace quorix
