#pragma once
// Keeps a page's controls in step with the settings store. The store tells
// observers before a change, on the writing thread; ConfigWatch hops to the
// thread of its owner (the Qt main thread) and calls sync() there, after the
// change. Several notifications coalesce into one sync; a second sync shortly
// after covers a writer on another thread that had not finished its write when
// the first ran, so controls never stay on a stale value.
//
// Destroying the watch (with its page) stops the observation; notifications
// already queued are dropped.

#include <QObject>
#include <QTimer>
#include <functional>
#include <initializer_list>
#include <vector>

#include "core/config/AppConfig.h"

namespace quorix::ui::prefs {

class ConfigWatch : public QObject {
  public:
    ConfigWatch(AppConfig& config, std::initializer_list<ConfigField> fields,
                std::function<void()> sync, QObject* parent);

  private:
    void schedule();

    std::function<void()> sync_;
    QTimer settle_;
    bool queued_ = false;
    std::vector<ObservationToken> tokens_;
};

}  // namespace quorix::ui::prefs
