#pragma once
// Everything the interception flow talks to, passed in by the composition root.
// References must outlive the EventInterceptor built on them.

#include <functional>

#include "core/ai/AIClient.h"
#include "core/config/AppConfig.h"
#include "core/config/AppLogger.h"
#include "core/dispatch/Dispatcher.h"
#include "core/interception/Notice.h"
#include "core/knowledge/LanguageDetector.h"
#include "core/knowledge/LocalTypoDictionary.h"
#include "core/knowledge/TypoCache.h"
#include "platform/Accessibility.h"
#include "platform/Keyboard.h"
#include "platform/Pasteboard.h"
#include "platform/SoundPlayer.h"
#include "platform/SpellChecker.h"
#include "platform/Workspace.h"

namespace quorix {

struct InterceptorServices {
    AppConfig& config;
    AppLogger& logger;
    TypoCache& cache;
    LocalTypoDictionary& dictionary;
    AIClient& ai;
    LanguageDetector& detector;
    platform::SpellChecker& spell;
    platform::KeyboardHook& keyboardHook;
    platform::KeyPoster& keyPoster;
    platform::Accessibility& accessibility;
    platform::Pasteboard& pasteboard;
    platform::Workspace& workspace;
    platform::SoundPlayer& sounds;
    Notice& notice;
    // clock(), main() (the main-queue port) and global(QoS) queues.
    dispatch::Dispatcher& dispatcher;
    // ⌥U target, run on the main queue; empty while no application shell exists.
    std::function<void()> togglePopover;
};

}  // namespace quorix
