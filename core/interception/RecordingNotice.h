#pragma once
// A notice that records every call as one line, for tests and the simulated
// desktop's journal: show "text" / hide "completion" "word" / hide - / toast "text" 2.2s.

#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "core/interception/Notice.h"

namespace quorix {

class RecordingNotice final : public Notice {
  public:
    // Optional sink receiving each recorded line as it happens (e.g. a journal).
    explicit RecordingNotice(std::function<void(const std::string&)> sink = {})
        : sink_(std::move(sink)) {}

    void show(const std::string& text) override;
    void hide(const std::optional<std::string>& completionText,
              const std::optional<std::string>& changedWord) override;
    void showToast(const std::string& text, double duration) override;

    std::vector<std::string> calls() const;

  private:
    void record(std::string line);

    std::function<void(const std::string&)> sink_;
    mutable std::mutex mutex_;
    std::vector<std::string> calls_;
};

}  // namespace quorix
