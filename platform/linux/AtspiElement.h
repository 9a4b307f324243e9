#pragma once
// Element handle of the AT-SPI adapter: either the application element of a
// process (no bus object needed) or a reference to an AT-SPI object. The
// object reference is released on the adapter's thread; a handle outliving the
// adapter keeps its reference (libatspi is gone by then).

#include <atspi/atspi.h>

#include <cstdint>
#include <memory>

#include "platform/Accessibility.h"
#include "platform/linux/AtspiThread.h"

namespace quorix::platform {

class AtspiElement final : public AXElement {
  public:
    // The application element of a process.
    explicit AtspiElement(int32_t pid) : pid_(pid) {}
    // Takes a new reference to object; call on the adapter's thread.
    AtspiElement(AtspiAccessible* object, int32_t pid, std::weak_ptr<AtspiThread> thread)
        : object_(static_cast<AtspiAccessible*>(g_object_ref(object))),
          pid_(pid),
          thread_(std::move(thread)) {}
    ~AtspiElement() override {
        if (object_ == nullptr) {
            return;
        }
        auto thread = thread_.lock();
        if (!thread) {
            return;
        }
        if (thread->isCurrent()) {
            g_object_unref(object_);
        } else {
            thread->post([object = object_] { g_object_unref(object); });
        }
    }
    AtspiElement(const AtspiElement&) = delete;
    AtspiElement& operator=(const AtspiElement&) = delete;

    bool isApplication() const { return object_ == nullptr; }
    // Borrowed; use on the adapter's thread only.
    AtspiAccessible* object() const { return object_; }
    int32_t pid() const { return pid_; }

  private:
    AtspiAccessible* object_ = nullptr;
    int32_t pid_ = 0;
    std::weak_ptr<AtspiThread> thread_;
};

}  // namespace quorix::platform
