#include "platform/linux/LinuxSoundPlayer.h"

#include <alsa/asoundlib.h>

#include <cstring>
#include <utility>

namespace quorix::platform {
namespace {

constexpr std::size_t kMaxQueued = 4;
constexpr std::size_t kMaxSoundBytes = std::size_t{16} << 20;

uint32_t le32(const std::string& b, std::size_t at) {
    return static_cast<uint32_t>(static_cast<unsigned char>(b[at])) |
           static_cast<uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8 |
           static_cast<uint32_t>(static_cast<unsigned char>(b[at + 2])) << 16 |
           static_cast<uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
}

uint16_t le16(const std::string& b, std::size_t at) {
    return static_cast<uint16_t>(static_cast<unsigned char>(b[at]) |
                                 static_cast<unsigned char>(b[at + 1]) << 8);
}

void silentAlsaErrors(const char*, int, const char*, int, const char*, ...) {}

}  // namespace

LinuxSoundPlayer::LinuxSoundPlayer(std::vector<std::string> resourceFolders, FileSystem& fs)
    : folders_(std::move(resourceFolders)), fs_(fs) {
    worker_ = std::thread([this] { run(); });
}

LinuxSoundPlayer::~LinuxSoundPlayer() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        queue_.clear();
    }
    cv_.notify_all();
    worker_.join();
}

std::optional<std::string> LinuxSoundPlayer::pathFor(const std::string& name) const {
    if (name.empty() || name.find('/') != std::string::npos || name.front() == '.') {
        return std::nullopt;
    }
    for (const auto& folder : folders_) {
        const std::string path = joinPath(joinPath(folder, "Sounds"), name + ".wav");
        if (fs_.exists(path)) {
            return path;
        }
    }
    return std::nullopt;
}

bool LinuxSoundPlayer::hasSound(const std::string& name) const {
    return pathFor(name).has_value();
}

void LinuxSoundPlayer::play(const std::string& name) {
    {
        std::lock_guard lock(mutex_);
        if (queue_.size() >= kMaxQueued) {
            return;
        }
        queue_.push_back(name);
    }
    cv_.notify_one();
}

std::optional<WavSound> LinuxSoundPlayer::parseWav(const std::string& bytes) {
    if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0) {
        return std::nullopt;
    }
    WavSound sound;
    bool haveFormat = false;
    for (std::size_t at = 12; at + 8 <= bytes.size();) {
        const std::string id = bytes.substr(at, 4);
        const uint32_t size = le32(bytes, at + 4);
        const std::size_t body = at + 8;
        if (size > bytes.size() - body) {
            return std::nullopt;
        }
        if (id == "fmt ") {
            if (size < 16 || le16(bytes, body) != 1 || le16(bytes, body + 14) != 16) {
                return std::nullopt;
            }
            sound.channels = le16(bytes, body + 2);
            sound.rate = le32(bytes, body + 4);
            if (sound.channels == 0 || sound.channels > 2 || sound.rate < 1000 ||
                sound.rate > 192000) {
                return std::nullopt;
            }
            haveFormat = true;
        } else if (id == "data") {
            if (!haveFormat) {
                return std::nullopt;
            }
            const std::size_t frames = size / (2 * sound.channels);
            sound.samples.resize(frames * sound.channels);
            std::memcpy(sound.samples.data(), bytes.data() + body, sound.samples.size() * 2);
            return sound;
        }
        at = body + size + (size & 1);
    }
    return std::nullopt;
}

void LinuxSoundPlayer::run() {
    snd_lib_error_set_handler(silentAlsaErrors);
    for (;;) {
        std::string name;
        {
            std::unique_lock lock(mutex_);
            cv_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
            if (stopping_) {
                return;
            }
            name = std::move(queue_.front());
            queue_.pop_front();
        }
        const auto path = pathFor(name);
        const auto bytes = path ? fs_.read(*path, kMaxSoundBytes, LinkPolicy::follow) : FileRead{};
        const auto sound = path && bytes.ok() ? parseWav(bytes.data) : std::nullopt;
        if (!sound || sound->samples.empty()) {
            continue;
        }
        snd_pcm_t* pcm = nullptr;
        if (snd_pcm_open(&pcm, "default", SND_PCM_STREAM_PLAYBACK, 0) < 0) {
            continue;
        }
        if (snd_pcm_set_params(pcm, SND_PCM_FORMAT_S16_LE, SND_PCM_ACCESS_RW_INTERLEAVED,
                               sound->channels, sound->rate, 1, 200000) == 0) {
            const auto frames =
                static_cast<snd_pcm_uframes_t>(sound->samples.size() / sound->channels);
            snd_pcm_sframes_t written = snd_pcm_writei(pcm, sound->samples.data(), frames);
            if (written < 0) {
                written = snd_pcm_recover(pcm, static_cast<int>(written), 1);
            }
            if (written >= 0) {
                snd_pcm_drain(pcm);
            }
        }
        snd_pcm_close(pcm);
    }
}

}  // namespace quorix::platform
