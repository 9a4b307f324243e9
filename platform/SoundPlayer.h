#pragma once
// Named system sounds ("Pop", "Glass", ...). Thread: any; never blocks on
// playback. Unknown names and missing audio devices are silent.

#include <string>

namespace quorix::platform {

class SoundPlayer {
  public:
    virtual ~SoundPlayer() = default;
    virtual void play(const std::string& name) = 0;
    // Whether a sound of this name exists (callers fall back to "Pop").
    virtual bool hasSound(const std::string& name) const = 0;
};

}  // namespace quorix::platform
