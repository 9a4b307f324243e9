#pragma once
// The floating notice as the correction flow sees it. Every call may come from
// any thread and returns at once; implementations do their drawing elsewhere
// (the desktop shell hops to its main thread).

#include <optional>
#include <string>

namespace quorix {

class Notice {
  public:
    static constexpr const char* kWorkingText = "Correzione in corso...";

    virtual ~Notice() = default;
    // Working state: spinner and text; arms a 3.5 s safety dismissal.
    virtual void show(const std::string& text) = 0;
    // No completionText: fade out now. Otherwise the result state with
    // completionText, offering changedWord (when not empty) for exemption.
    virtual void hide(const std::optional<std::string>& completionText,
                      const std::optional<std::string>& changedWord) = 0;
    // A one-off message in the result state, dismissed after `duration` seconds.
    virtual void showToast(const std::string& text, double duration) = 0;
};

}  // namespace quorix
