#pragma once
// Records the sounds the program plays ("sound Pop" in the journal).
// Thread: any.

#include <mutex>
#include <string>
#include <vector>

#include "platform/SoundPlayer.h"
#include "platform/sim/SimJournal.h"

namespace quorix::platform {

class SimSoundPlayer final : public SoundPlayer {
  public:
    explicit SimSoundPlayer(SimJournal& journal);

    void play(const std::string& name) override;
    // The system sound names ("Pop", "Glass", ...) plus any added by a test.
    bool hasSound(const std::string& name) const override;
    void addSound(const std::string& name);
    // Names played so far, in order.
    std::vector<std::string> played() const;

  private:
    SimJournal& journal_;
    mutable std::mutex mutex_;
    std::vector<std::string> played_;
    std::vector<std::string> known_{"Basso", "Blow",   "Bottle",    "Frog", "Funk",
                                    "Glass", "Hero",   "Morse",     "Ping", "Pop",
                                    "Purr",  "Sosumi", "Submarine", "Tink"};
};

}  // namespace quorix::platform
