// Saving config.json and whitelist.txt: read-modify-write under the folder's
// lock, merged with what other processes saved since this one last synced.
//
// Three states meet: base_ (the stored members as this process last read or
// wrote them), state_ (this process's values) and the file on disk. A setting
// this process changed since base_ keeps its value; one it did not change takes
// the file's. The counters add up: file + (mine - base), per application too.
// The personal dictionary merges word by word the same way.
#include <nlohmann/json.hpp>

#include "core/config/AppConfig.h"
#include "core/config/ConfigMembers.h"
#include "core/config/SaturatingAdd.h"
#include "core/text/Text.h"

namespace quorix {
namespace {

int64_t mergedCount(int64_t disk, int64_t mine, int64_t base) {
    const int64_t merged = saturatingAdd(disk, saturatingAdd(mine, -base));
    return merged < 0 ? 0 : merged;
}

std::map<std::string, int64_t> mergedCounts(const std::map<std::string, int64_t>& disk,
                                            const std::map<std::string, int64_t>& mine,
                                            const std::map<std::string, int64_t>& base) {
    auto at = [](const std::map<std::string, int64_t>& m, const std::string& k) -> int64_t {
        const auto it = m.find(k);
        return it == m.end() ? 0 : it->second;
    };
    std::set<std::string> keys;
    for (const auto* m : {&disk, &mine, &base}) {
        for (const auto& [k, v] : *m) {
            keys.insert(k);
        }
    }
    std::map<std::string, int64_t> out;
    for (const auto& k : keys) {
        if (const int64_t n = mergedCount(at(disk, k), at(mine, k), at(base, k)); n > 0) {
            out.emplace(k, n);
        }
    }
    return out;
}

std::set<std::string> parseWhitelist(const std::string& content) {
    std::set<std::string> words;
    for (const auto& line : text::splitLines(content)) {
        std::string word = text::toLower(text::trim(line));
        if (word.empty() || word.starts_with("#")) {
            continue;
        }
        words.insert(std::move(word));
    }
    return words;
}

}  // namespace

std::optional<ConfigState> AppConfig::readStoredState(const ConfigState& base) {
    const auto content = configFile_.read();
    if (!content) {
        return std::nullopt;
    }
    const auto document = nlohmann::json::parse(*content, nullptr, /*allow_exceptions=*/false);
    if (document.is_discarded() || !document.is_object()) {
        configFile_.markDamaged();
        return std::nullopt;
    }
    ConfigState disk = base;
    applyConfigMembers(disk, readConfigMembers(document));
    return disk;
}

void AppConfig::save() {
    if (!canWrite()) {
        return;
    }
    // Serialised: the merge and the write of one save are not interleaved with
    // another's, in this process (saveMutex_) or another (the folder lock).
    std::lock_guard saving(saveMutex_);
    const auto folderLock = configFile_.lockFolder();
    const ConfigState base = [&] {
        std::shared_lock lock(mutex_);
        return base_;
    }();
    const std::optional<ConfigState> disk = readStoredState(base);
    if (disk) {
        // Observers hear of every field another process may have changed.
        forEachStoredSetting([&](auto member, std::optional<ConfigField> field) {
            if (field && (*disk).*member != base.*member) {
                observers_.notify(*field);
            }
        });
        if (disk->totalTyposCorrected != base.totalTyposCorrected ||
            disk->appTypoCounts != base.appTypoCounts) {
            notify({ConfigField::totalTyposCorrected, ConfigField::appTypoCounts});
        }
    }
    std::string document;
    ConfigState written;
    {
        std::unique_lock lock(mutex_);
        ConfigState& s = state_;
        if (disk) {
            forEachStoredSetting([&](auto member, std::optional<ConfigField>) {
                if (s.*member == base_.*member) {
                    s.*member = (*disk).*member;
                }
            });
            s.totalTyposCorrected = mergedCount(disk->totalTyposCorrected, s.totalTyposCorrected,
                                                base_.totalTyposCorrected);
            s.appTypoCounts =
                mergedCounts(disk->appTypoCounts, s.appTypoCounts, base_.appTypoCounts);
        }
        document = configDocument(s);
        written = s;
    }
    const bool ok = configFile_.write(document);
    std::unique_lock lock(mutex_);
    if (ok) {
        base_ = std::move(written);
    } else if (disk) {
        // The file still holds what was read: what state_ adds to it is this
        // process's own, to be merged again at the next save.
        base_ = *disk;
    }
}

void AppConfig::saveWhitelist() {
    if (!canWrite()) {
        return;
    }
    std::lock_guard saving(whitelistSaveMutex_);
    const auto folderLock = whitelistFile_.lockFolder();
    const std::optional<std::string> content = whitelistFile_.read();
    std::optional<std::set<std::string>> disk;
    if (content) {
        disk = parseWhitelist(*content);
        bool changedElsewhere = false;
        {
            std::shared_lock lock(mutex_);
            changedElsewhere = *disk != baseWhitelist_;
        }
        if (changedElsewhere) {
            notify({ConfigField::whitelistWords});
        }
    }
    std::string out;
    std::set<std::string> merged;

    {
        std::unique_lock lock(mutex_);
        std::set<std::string>& mine = state_.whitelistWords;
        if (disk) {
            std::set<std::string> all = mine;
            all.insert(disk->begin(), disk->end());
            all.insert(baseWhitelist_.begin(), baseWhitelist_.end());
            std::set<std::string> result;
            for (const auto& w : all) {
                const bool inMine = mine.contains(w);
                const bool keep = inMine != baseWhitelist_.contains(w) ? inMine : disk->contains(w);
                if (keep) {
                    result.insert(w);
                }
            }
            mine = std::move(result);
        }

        for (const auto& word : mine) {  // ascending order
            if (!out.empty()) {
                out.push_back('\n');
            }
            out += word;
        }
        merged = mine;
    }
    const bool ok = whitelistFile_.write(out);
    std::unique_lock lock(mutex_);
    if (ok) {
        baseWhitelist_ = std::move(merged);
    } else if (disk) {
        baseWhitelist_ = std::move(*disk);
    }
}

void AppConfig::loadWhitelist() {
    if (!fs_.exists(whitelistFile_.path())) {
        const auto& defaults = defaultWhitelistWords();
        setWhitelistWords({defaults.begin(), defaults.end()});
        saveWhitelist();
        return;
    }
    const auto content = whitelistFile_.read();
    if (!content) {
        return;
    }
    auto words = parseWhitelist(*content);
    {
        std::unique_lock lock(mutex_);
        baseWhitelist_ = words;
    }
    setWhitelistWords(std::move(words));
}

}  // namespace quorix
