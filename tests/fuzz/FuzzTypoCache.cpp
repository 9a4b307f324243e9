// cache.json as found on disk, then one store: loading never fails, the table
// keeps its bound, and the stored entry is what a fresh cache reads back.
#include "core/dispatch/ManualQueue.h"
#include "core/knowledge/TypoCache.h"
#include "core/text/Text.h"
#include "tests/fuzz/ConfigRig.h"
#include "tests/fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace quorix;
    const auto parts = fuzz::splitInput(data, size, 3);  // file, message, correction
    fuzz::ConfigRig rig;
    rig.put("cache.json", parts[0]);
    dispatch::ManualQueue io(rig.clock);
    const std::string folder(fuzz::ConfigRig::kFolder);
    {
        TypoCache cache(folder, rig.fs, io, rig.logger);
        FUZZ_CHECK(cache.count() <= TypoCache::kMaxEntries);
        cache.set(parts[1], parts[2]);
        FUZZ_CHECK(cache.count() <= TypoCache::kMaxEntries);
        io.runUntilIdle();
    }
    TypoCache reread(folder, rig.fs, io, rig.logger);
    FUZZ_CHECK(reread.count() <= TypoCache::kMaxEntries);
    const std::string key = text::trim(parts[1]);
    const std::string value = text::trim(parts[2]);
    if (!key.empty() && !value.empty()) {
        FUZZ_CHECK(reread.get(key) == value);
    }
    return 0;
}
