#pragma once
// What the desktop application needs from the engine, handed over by the
// composition root (the `quorix` entry point). The application never builds
// engine services itself: swapping the assembly behind this struct changes
// nothing in app/ or ui/.
//
// Every reference must outlive the AppDelegate built on it.

#include <functional>
#include <string>

#include "core/ai/AIClient.h"
#include "core/config/AppConfig.h"
#include "core/config/AppLogger.h"
#include "core/interception/Notice.h"
#include "core/knowledge/TypoCache.h"
#include "platform/FileSystem.h"
#include "platform/SoundPlayer.h"

namespace quorix::app {

struct AppServices {
    AppConfig& config;
    AppLogger& logger;
    // Where the log file is looked for before it is opened.
    platform::FileSystem& files;
    TypoCache& cache;
    AIClient& ai;
    platform::SoundPlayer& sounds;
    Notice& notice;
    // Whether the program may observe and post keys ("trusted").
    std::function<bool()> isTrusted;
    // The key interceptor: start() answers whether it runs.
    std::function<bool()> startInterceptor;
    std::function<void()> stopInterceptor;
    std::function<bool()> isInterceptorRunning;
    std::string version;
};

}  // namespace quorix::app
