#pragma once
// Named sounds shipped with the program: "<folder>/<name>.wav" in the first
// resource folder's Sounds/ that has it (16-bit PCM WAV, mono or stereo).
// Playback goes through ALSA's default device on the player's own thread, one
// sound after another; play() never waits. Without an audio device, or with a
// file that is not such a WAV, nothing is heard and nothing fails.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/SoundPlayer.h"
#include "platform/posix/PosixFileSystem.h"

namespace quorix::platform {

// PCM samples of a WAV file.
struct WavSound {
    unsigned channels = 0;
    unsigned rate = 0;
    std::vector<int16_t> samples;  // interleaved
};

class LinuxSoundPlayer final : public SoundPlayer {
  public:
    // resourceFolders: the program's resource folders (each may hold Sounds/).
    explicit LinuxSoundPlayer(std::vector<std::string> resourceFolders,
                              FileSystem& fs = PosixFileSystem::instance());
    ~LinuxSoundPlayer() override;
    LinuxSoundPlayer(const LinuxSoundPlayer&) = delete;
    LinuxSoundPlayer& operator=(const LinuxSoundPlayer&) = delete;

    void play(const std::string& name) override;
    bool hasSound(const std::string& name) const override;
    // The file a name plays; nullopt for unknown or unsafe names.
    std::optional<std::string> pathFor(const std::string& name) const;

    // Parses a 16-bit PCM WAV image; nullopt for anything else.
    static std::optional<WavSound> parseWav(const std::string& bytes);

  private:
    void run();

    std::vector<std::string> folders_;
    FileSystem& fs_;
    std::mutex mutex_;
    std::condition_variable cv_;
    std::deque<std::string> queue_;
    bool stopping_ = false;
    std::thread worker_;
};

}  // namespace quorix::platform
