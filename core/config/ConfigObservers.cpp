#include "core/config/ConfigObservers.h"

#include <array>
#include <mutex>
#include <utility>
#include <vector>

namespace quorix {

struct ObservationToken::Registry {
    struct Entry {
        unsigned long long id;
        std::shared_ptr<std::function<void()>> callback;
    };
    std::mutex mutex;
    unsigned long long nextId = 1;
    std::array<std::vector<Entry>, kConfigFieldCount> entries;

    void remove(ConfigField field, unsigned long long id) {
        std::lock_guard lock(mutex);
        auto& list = entries[static_cast<std::size_t>(field)];
        std::erase_if(list, [id](const Entry& e) { return e.id == id; });
    }
};

ObservationToken::ObservationToken(std::weak_ptr<Registry> registry, ConfigField field,
                                   unsigned long long id)
    : registry_(std::move(registry)), field_(field), id_(id) {}

ObservationToken::~ObservationToken() {
    reset();
}

ObservationToken::ObservationToken(ObservationToken&& other) noexcept
    : registry_(std::exchange(other.registry_, {})), field_(other.field_), id_(other.id_) {}

ObservationToken& ObservationToken::operator=(ObservationToken&& other) noexcept {
    if (this != &other) {
        reset();
        registry_ = std::exchange(other.registry_, {});
        field_ = other.field_;
        id_ = other.id_;
    }
    return *this;
}

void ObservationToken::reset() {
    if (auto registry = registry_.lock()) {
        registry->remove(field_, id_);
    }
    registry_.reset();
}

ConfigObservers::ConfigObservers() : registry_(std::make_shared<ObservationToken::Registry>()) {}

ConfigObservers::~ConfigObservers() = default;

ObservationToken ConfigObservers::add(ConfigField field, std::function<void()> willChange) {
    std::lock_guard lock(registry_->mutex);
    const auto id = registry_->nextId++;
    registry_->entries[static_cast<std::size_t>(field)].push_back(
        {id, std::make_shared<std::function<void()>>(std::move(willChange))});
    return ObservationToken(registry_, field, id);
}

void ConfigObservers::notify(ConfigField field) const {
    std::vector<std::shared_ptr<std::function<void()>>> callbacks;
    {
        std::lock_guard lock(registry_->mutex);
        for (const auto& entry : registry_->entries[static_cast<std::size_t>(field)]) {
            callbacks.push_back(entry.callback);
        }
    }
    for (const auto& callback : callbacks) {
        if (*callback) {
            (*callback)();
        }
    }
}

}  // namespace quorix
