#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "AITestSupport.h"
#include "core/ai/AIClient.h"
#include "core/ai/SystemPrompt.h"

namespace quorix {
namespace {

// The complete instructions, as the product defines them, byte for byte.
std::string golden(const char* name) {
    std::ifstream in(std::string(QUORIX_TEST_DATA_DIR) + "/prompts/" + name, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!text.empty() && text.back() == '\n') {
        text.pop_back();  // an editor's final newline is not part of the instruction
    }
    EXPECT_FALSE(text.empty()) << name;
    return text;
}

// The protected-words line comes right before the closing line.
std::string withProtectedLine(const std::string& base, const std::string& words) {
    std::string out(base);
    out.insert(out.rfind('\n'), "\nPAROLE E BRAND DA NON MODIFICARE MAI: " + words + ".");
    return out;
}

TEST(SystemPrompt, BothStylesByteForByte) {
    const std::string natural = golden("natural.txt");
    const std::string formal = golden("formal.txt");
    EXPECT_EQ(SystemPrompt::build(false, true, {}), natural);
    EXPECT_EQ(SystemPrompt::build(false, false, {}), golden("natural-accents-off.txt"));
    EXPECT_EQ(SystemPrompt::build(true, true, {}), formal);
    EXPECT_EQ(SystemPrompt::build(true, false, {}), formal);
}

// At most 30 protected words, in order, before the closing line.
TEST(SystemPrompt, ProtectedWordsLineAndToneSetting) {
    const std::string natural = golden("natural.txt");
    const std::string formal = golden("formal.txt");
    std::set<std::string> many;
    std::string first30;
    for (int i = 0; i < 45; ++i) {
        many.insert("w" + std::to_string(100 + i));
        if (i < 30) {
            first30 += (i ? ", w" : "w") + std::to_string(100 + i);
        }
    }
    EXPECT_EQ(SystemPrompt::build(false, false, many),
              withProtectedLine(golden("natural-accents-off.txt"), first30));

    // The tone setting decides only when no tone is given.
    testing::ConfigWorld world;
    world.config.setCorrectAccents(true);
    world.config.setWhitelistWords({"brandx"});
    world.config.setToneStyle(ToneStyle::formal);
    EXPECT_EQ(AIClient::buildSystemPrompt(world.config, std::nullopt),
              withProtectedLine(formal, "brandx"));
    EXPECT_EQ(AIClient::buildSystemPrompt(world.config, false),
              withProtectedLine(natural, "brandx"));
}

}  // namespace
}  // namespace quorix
