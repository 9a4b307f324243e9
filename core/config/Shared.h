#pragma once
// The one process-wide instance of a service, installed by the composition root.
// Usage: class AppConfig : public SharedInstance<AppConfig> { ... };
//        AppConfig::setShared(&config);  ...  AppConfig::shared().isEnabled();
// The composition root owns the instance and keeps it alive while it is shared.

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <typeinfo>

namespace quorix {

template <class T>
class SharedInstance {
  public:
    // Aborts with a message when no instance has been installed.
    static T& shared() {
        T* instance = slot().load(std::memory_order_acquire);
        if (instance == nullptr) {
            std::fprintf(stderr, "quorix: no shared instance of %s installed\n", typeid(T).name());
            std::abort();
        }
        return *instance;
    }
    // nullptr uninstalls.
    static void setShared(T* instance) { slot().store(instance, std::memory_order_release); }
    static bool hasShared() { return slot().load(std::memory_order_acquire) != nullptr; }

  private:
    static std::atomic<T*>& slot() {
        static std::atomic<T*> instance{nullptr};
        return instance;
    }
};

}  // namespace quorix
