#pragma once
// Per-field observer lists. notify() calls the observers of one field
// synchronously on the calling thread, outside any lock, so an observer may read
// the store (it sees the value before the change) or add and remove observers.
// An ObservationToken removes its observer when destroyed or reset; the token may
// outlive the ConfigObservers.

#include <functional>
#include <memory>

#include "core/config/ConfigField.h"

namespace quorix {

class ObservationToken {
  public:
    ObservationToken() = default;
    ~ObservationToken();
    ObservationToken(ObservationToken&& other) noexcept;
    ObservationToken& operator=(ObservationToken&& other) noexcept;
    ObservationToken(const ObservationToken&) = delete;
    ObservationToken& operator=(const ObservationToken&) = delete;

    // Stops the observation now; further notifications do not reach it.
    void reset();
    bool isActive() const { return !registry_.expired(); }

  private:
    friend class ConfigObservers;
    struct Registry;
    ObservationToken(std::weak_ptr<Registry> registry, ConfigField field, unsigned long long id);

    std::weak_ptr<Registry> registry_;
    ConfigField field_ = ConfigField::isEnabled;
    unsigned long long id_ = 0;
};

class ConfigObservers {
  public:
    ConfigObservers();
    ~ConfigObservers();
    ConfigObservers(const ConfigObservers&) = delete;
    ConfigObservers& operator=(const ConfigObservers&) = delete;

    [[nodiscard]] ObservationToken add(ConfigField field, std::function<void()> willChange);
    void notify(ConfigField field) const;

  private:
    std::shared_ptr<ObservationToken::Registry> registry_;
};

}  // namespace quorix
