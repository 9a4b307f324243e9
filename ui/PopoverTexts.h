#pragma once
// The popover's texts. Pairs follow the interface language at the moment of
// the call; the rest ("ULTIMA CORREZIONE", "PRIMA", "DOPO", the speed figures,
// the exclusion label, the tooltips) read the same in every language.

#include <QString>
#include <string_view>

#include "core/config/ToneStyle.h"

namespace quorix {
class AppConfig;
}

namespace quorix::ui {

class PopoverTexts {
  public:
    explicit PopoverTexts(const AppConfig& config) : config_(config) {}

    QString statusLabel(bool active) const;
    QString statusTooltip(bool active) const;
    QString preferencesTooltip() const;
    QString typosFixed() const;
    QString fastAnswer() const;
    QString lastCorrectionTitle() const;
    QString before() const;
    QString after() const;
    QString excludeWord(const QString& word) const;
    QString placeholderTitle(bool enabled) const;
    QString placeholderSubtitle(bool enabled) const;
    QString toneTitle() const;
    QString toneLabel(ToneStyle tone) const;
    QString toneExample(ToneStyle tone) const;
    QString soundTooltip() const;
    QString settings() const;
    QString quit() const;
    QString updates() const;

  private:
    QString t(std::string_view it, std::string_view en) const;

    const AppConfig& config_;
};

}  // namespace quorix::ui
