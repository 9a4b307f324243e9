#pragma once
// The floating notice in each state (working, result, offer to save a word,
// milestone) and a frame of its confetti, over a desktop-like backdrop.

#include <QImage>
#include <QString>
#include <functional>

namespace quorix {
class AppConfig;
class AppLogger;
}  // namespace quorix

namespace quorix::screenshots {

// save(image, name) writes <name>.png; lang is "it" or "en" (the
// configuration's language is already set). False when a save failed.
bool noticeShots(AppConfig& config, AppLogger& logger, const QString& lang,
                 const std::function<bool(const QImage&, const QString&)>& save);

}  // namespace quorix::screenshots
