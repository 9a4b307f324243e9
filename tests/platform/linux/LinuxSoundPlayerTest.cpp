#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/linux/LinuxSoundPlayer.h"

namespace quorix::platform {
namespace {

std::string le(uint32_t v, int bytes) {
    std::string out;
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    }
    return out;
}

std::string wav(uint16_t format, uint16_t channels, uint16_t bits, const std::string& data,
                const std::string& extraChunk = {}) {
    std::string fmt = le(format, 2) + le(channels, 2) + le(8000, 4) +
                      le(8000U * channels * bits / 8, 4) + le(channels * bits / 8, 2) + le(bits, 2);
    std::string body = "WAVE" + extraChunk + "fmt " + le(16, 4) + fmt + "data" +
                       le(static_cast<uint32_t>(data.size()), 4) + data;
    return "RIFF" + le(static_cast<uint32_t>(body.size()), 4) + body;
}

TEST(LinuxSoundPlayer, ParsesPcmWavSkippingUnknownChunksAndRejectsTheRest) {
    const std::string samples = le(0x1234, 2) + le(0xFFFF, 2);
    const auto sound = LinuxSoundPlayer::parseWav(
        wav(1, 1, 16, samples, "LIST" + le(3, 4) + "abc" + std::string(1, '\0')));
    ASSERT_TRUE(sound.has_value());
    EXPECT_EQ(sound->rate, 8000U);
    EXPECT_EQ(sound->samples, (std::vector<int16_t>{0x1234, -1}));

    // What it cannot play is refused without crashing.
    const std::string silence(8, '\0');
    EXPECT_FALSE(LinuxSoundPlayer::parseWav("RIFF").has_value());
    EXPECT_FALSE(LinuxSoundPlayer::parseWav(wav(3, 1, 32, silence)).has_value());  // float
    EXPECT_FALSE(LinuxSoundPlayer::parseWav(wav(1, 1, 8, silence)).has_value());   // 8-bit
    EXPECT_FALSE(LinuxSoundPlayer::parseWav(wav(1, 6, 16, silence)).has_value());  // 5.1
    std::string truncated = wav(1, 1, 16, silence);
    truncated.resize(truncated.size() - 4);  // data chunk claims more than there is
    EXPECT_FALSE(LinuxSoundPlayer::parseWav(truncated).has_value());
}

TEST(LinuxSoundPlayer, FindsShippedSoundsAndRefusesPathsOutsideTheFolder) {
    const std::string resources = QUORIX_SOURCE_ROOT "/resources";
    LinuxSoundPlayer player({"/nonexistent", resources});
    for (const char* name : {"Pop", "Glass", "Tink", "Basso"}) {
        EXPECT_TRUE(player.hasSound(name)) << name;
        const auto bytes =
            PosixFileSystem::instance().read(*player.pathFor(name), 1 << 20, LinkPolicy::follow);
        ASSERT_TRUE(bytes.ok());
        EXPECT_TRUE(LinuxSoundPlayer::parseWav(bytes.data).has_value()) << name;
    }
    EXPECT_FALSE(player.hasSound(""));
    EXPECT_FALSE(player.hasSound("../Sounds/Pop"));
    EXPECT_FALSE(player.hasSound(".hidden"));
    // Unknown names and a machine without audio are silent; play never blocks.
    player.play("Nope");
    player.play("Pop");
}

}  // namespace
}  // namespace quorix::platform
