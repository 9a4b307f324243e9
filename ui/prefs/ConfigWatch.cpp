#include "ui/prefs/ConfigWatch.h"

#include <QCoreApplication>
#include <QPointer>

#include "ui/MainThread.h"

namespace quorix::ui::prefs {
namespace {
constexpr int kSettleMs = 60;
}

ConfigWatch::ConfigWatch(AppConfig& config, std::initializer_list<ConfigField> fields,
                         std::function<void()> sync, QObject* parent)
    : QObject(parent), sync_(std::move(sync)) {
    settle_.setSingleShot(true);
    settle_.setInterval(kSettleMs);
    connect(&settle_, &QTimer::timeout, this, [this] { sync_(); });
    for (ConfigField field : fields) {
        tokens_.push_back(config.observe(field, [guard = QPointer<ConfigWatch>(this)] {
            // Any thread: only hop, never wait for the main thread.
            runOnMainThread([guard] {
                if (guard) {
                    guard->schedule();
                }
            });
        }));
    }
}

void ConfigWatch::schedule() {
    if (!queued_) {
        queued_ = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                queued_ = false;
                sync_();
            },
            Qt::QueuedConnection);
    }
    settle_.start();
}

}  // namespace quorix::ui::prefs
