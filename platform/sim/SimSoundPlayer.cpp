#include "platform/sim/SimSoundPlayer.h"

namespace quorix::platform {

SimSoundPlayer::SimSoundPlayer(SimJournal& journal) : journal_(journal) {}

void SimSoundPlayer::play(const std::string& name) {
    {
        std::lock_guard lock(mutex_);
        played_.push_back(name);
    }
    journal_.record("sound", name);
}

std::vector<std::string> SimSoundPlayer::played() const {
    std::lock_guard lock(mutex_);
    return played_;
}

bool SimSoundPlayer::hasSound(const std::string& name) const {
    std::lock_guard lock(mutex_);
    for (const auto& known : known_) {
        if (known == name) {
            return true;
        }
    }
    return false;
}

void SimSoundPlayer::addSound(const std::string& name) {
    std::lock_guard lock(mutex_);
    known_.push_back(name);
}

}  // namespace quorix::platform
