#pragma once
// A notice without a screen: writes what it would show to the log, one line per
// call, so that headless runs show the same story the pill would tell.

#include "core/config/AppLogger.h"
#include "core/interception/Notice.h"

namespace quorix {

class HeadlessNotice final : public Notice {
  public:
    explicit HeadlessNotice(AppLogger& logger) : logger_(logger) {}
    void show(const std::string& text) override;
    void hide(const std::optional<std::string>& completionText,
              const std::optional<std::string>& changedWord) override;
    void showToast(const std::string& text, double duration) override;

  private:
    AppLogger& logger_;
};

}  // namespace quorix
