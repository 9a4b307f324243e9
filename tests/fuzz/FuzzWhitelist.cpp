// whitelist.txt, the personal dictionary: any bytes load, every word is
// stored trimmed and lowercased, and the saved file loads back to the same set.
#include "core/text/Text.h"
#include "tests/fuzz/ConfigRig.h"
#include "tests/fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace quorix;
    fuzz::ConfigRig rig;
    rig.put("whitelist.txt", fuzz::asText(data, size));
    const auto loaded = rig.make();
    const std::set<std::string> words = loaded->whitelistWords();
    for (const std::string& word : words) {
        FUZZ_CHECK(!word.empty() && word.front() != '#');
        FUZZ_CHECK(text::toLower(text::trim(word)) == word);
    }
    loaded->saveWhitelist();
    FUZZ_CHECK(rig.make()->whitelistWords() == words);
    return 0;
}
