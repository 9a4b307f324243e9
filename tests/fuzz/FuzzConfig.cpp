// config.json as the user (or a damaged disk) left it. Loading never fails, and
// what the store saves loads back to the same settings.
#include "tests/fuzz/ConfigRig.h"
#include "tests/fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace quorix;
    fuzz::ConfigRig rig;
    rig.put("config.json", fuzz::asText(data, size));
    const auto loaded = rig.make();
    const std::string document = loaded->toJSON();
    loaded->save();
    FUZZ_CHECK(rig.make()->toJSON() == document);
    return 0;
}
