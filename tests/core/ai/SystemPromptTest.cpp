#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "AITestSupport.h"
#include "core/ai/AIClient.h"
#include "core/ai/SystemPrompt.h"
#include "core/text/Text.h"

namespace quorix {
namespace {

// The two complete instructions, as the product defines them, byte for byte.
std::string golden(const char* name) {
    std::ifstream in(std::string(QUORIX_TEST_DATA_DIR) + "/prompts/" + name, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!text.empty() && text.back() == '\n')
        text.pop_back();  // an editor's final newline is not part of the instruction
    EXPECT_FALSE(text.empty()) << name;
    return text;
}

constexpr std::string_view kAccentsOnLine =
    R"P(Correggi accenti mancanti o errati (es. 'perche' -> 'perché', 'piu' -> 'più', 'cioe' -> 'cioè', 'e' verbo -> 'è').)P";

constexpr std::string_view kAccentsOffLine =
    R"P(NON correggere gli accenti mancanti nelle parole comuni informali (es. NON trasformare 'perche' in 'perché', 'piu' in 'più', 'cioe' in 'cioè', 'pero' in 'però', 'gia' in 'già', 'cosi' in 'così'). Lasciali invariati come scritti dall'utente!)P";

constexpr std::string_view kClosingLine =
    "\n- Restituisci ESCLUSIVAMENTE il testo finale corretto. Niente spiegazioni, commenti o "
    "virgolette.";

// The expected text with a protected-words line before the closing line.
std::string withProtectedLine(const std::string& base, const std::string& words) {
    std::string out(base);
    out.insert(out.size() - kClosingLine.size(),
               "\nPAROLE E BRAND DA NON MODIFICARE MAI: " + words + ".");
    return out;
}

std::string naturalAccentsOff() {
    return text::replaceAll(golden("natural.txt"), kAccentsOnLine, kAccentsOffLine);
}

TEST(SystemPrompt, BothStylesByteForByte) {
    const std::string natural = golden("natural.txt");
    const std::string formal = golden("formal.txt");
    EXPECT_EQ(SystemPrompt::build(false, true, {}), natural);
    EXPECT_EQ(SystemPrompt::build(false, false, {}), naturalAccentsOff());
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
        if (i < 30)
            first30 += (i ? ", w" : "w") + std::to_string(100 + i);
    }
    EXPECT_EQ(SystemPrompt::build(false, false, many),
              withProtectedLine(naturalAccentsOff(), first30));

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
