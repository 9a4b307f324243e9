// Correction counters and milestones.
#include "core/config/AppConfig.h"
#include "core/config/SaturatingAdd.h"

namespace quorix {

void AppConfig::recordTypo(const std::optional<std::string>& app) {
    const std::string key = normalizeAppName(app);
    const auto now = clock_.wallNow();
    notify({ConfigField::appTypoCounts, ConfigField::totalTyposCorrected,
            ConfigField::lastCorrectionDate});
    {
        std::unique_lock lock(mutex_);
        auto& count = state_.appTypoCounts[key];
        count = saturatingAdd(count, 1);
        state_.totalTyposCorrected = saturatingAdd(state_.totalTyposCorrected, 1);
        state_.lastCorrectionDate = now;
    }
    save();
}

std::optional<std::string> AppConfig::milestoneText(int64_t total) {
    switch (total) {
        case 10:
            return "🎉 Quorix: 10° Refuso evitato!";
        case 25:
            return "⚡️ Quorix: 25 Refusi salvati!";
        case 50:
            return "🔥 Quorix: 50 Refusi corretti!";
        case 100:
            return "🏆 Quorix: 100° Refuso celebrato!";
        case 250:
            return "💎 Quorix: 250 Refusi risparmiati!";
        case 500:
            return "🚀 Quorix: 500 Refusi evitati!";
        case 1000:
            return "👑 Quorix: 1.000 Refusi! Sei un Pro!";
        case 2500:
        case 5000:
        case 10000:
            return "🎉 Quorix: " + std::to_string(total) + " Refusi corretti!";
        default:
            return std::nullopt;
    }
}

std::optional<std::string> AppConfig::checkMilestone() const {
    return milestoneText(totalTyposCorrected());
}

void AppConfig::resetStatistics() {
    notify({ConfigField::totalTyposCorrected, ConfigField::appTypoCounts,
            ConfigField::lastCorrectedOriginalWord, ConfigField::lastOriginalFullText,
            ConfigField::lastCorrectedFullText, ConfigField::lastCorrectionDate});
    {
        std::unique_lock lock(mutex_);
        state_.totalTyposCorrected = 0;
        state_.appTypoCounts.clear();
        state_.lastCorrectedOriginalWord.reset();
        state_.lastOriginalFullText.reset();
        state_.lastCorrectedFullText.reset();
        state_.lastCorrectionDate = kDistantPast;
    }
    save();
    log("📊 [Config] Statistiche azzerate dall'utente.");
}

}  // namespace quorix
