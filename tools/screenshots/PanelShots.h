#pragma once
// The popover and onboarding shots of the screenshot tool.

#include <QImage>
#include <QString>
#include <functional>

namespace quorix {
class AppConfig;
}

namespace quorix::screenshots {

using SaveShot = std::function<bool(const QImage&, const QString& name)>;

// popover-<state>-<lang>: active, paused, correction, long-correction, rtl.
bool savePopoverShots(AppConfig& config, const QString& lang, const SaveShot& save);
// onboarding-<slide>-<lang>: intro, permission-waiting, permission-granted,
// exceptions.
bool saveOnboardingShots(AppConfig& config, const QString& lang, const SaveShot& save);

}  // namespace quorix::screenshots
