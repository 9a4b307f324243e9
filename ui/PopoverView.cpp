#include "ui/PopoverView.h"

#include <QCoreApplication>
#include <QPointer>
#include <QVBoxLayout>

#include "ui/MainThread.h"
#include "ui/PopoverFooter.h"
#include "ui/PopoverHeader.h"
#include "ui/PopoverLastCorrection.h"
#include "ui/PopoverStatsCard.h"
#include "ui/PopoverTone.h"

namespace quorix::ui {
namespace {

constexpr ConfigField kObservedFields[] = {
    ConfigField::isEnabled,
    ConfigField::soundEnabled,
    ConfigField::toneStyle,
    ConfigField::appLanguage,
    ConfigField::totalTyposCorrected,
    ConfigField::lastCorrectedOriginalWord,
    ConfigField::lastOriginalFullText,
    ConfigField::lastCorrectedFullText,
};

// Observers run before the value is stored; the redraw runs this long after
// the first change it was asked for, so that a write from another thread has
// landed.
constexpr int kRefreshDelayMs = 30;
constexpr int kSectionGap = 17;

}  // namespace

PopoverView::PopoverView(AppConfig& config, PopoverActions actions, QWidget* parent)
    : QWidget(parent), config_(config), actions_(std::move(actions)), texts_(config) {
    setFixedSize(calculateSize(config_));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(14, 12, 14, 14);
    column->setSpacing(kSectionGap);
    header_ = new PopoverHeader(this);
    stats_ = new PopoverStatsCard(this);
    last_ = new PopoverLastCorrection(this);
    tone_ = new PopoverTone(this);
    footer_ = new PopoverFooter(this);
    column->addWidget(header_);
    column->addWidget(stats_);
    column->addWidget(last_);
    column->addWidget(tone_);
    column->addStretch(1);
    column->addWidget(footer_);

    connect(header_->pill(), &QAbstractButton::clicked, this, [this] { toggleEnabled(); });
    connect(header_->gear(), &QAbstractButton::clicked, this, [this] {
        if (actions_.openPreferences) {
            actions_.openPreferences(PrefsTab::general);
        }
    });
    stats_->setOnClicked([this] {
        if (actions_.openPreferences) {
            actions_.openPreferences(PrefsTab::stats);
        }
    });
    connect(last_->excludeButton(), &QAbstractButton::clicked, this, [this] { excludeLastWord(); });
    tone_->setOnSelect([this](ToneStyle tone) { selectTone(tone); });
    connect(footer_->sound(), &QAbstractButton::clicked, this, [this] { toggleSound(); });
    connect(footer_->preferences(), &QAbstractButton::clicked, this, [this] {
        if (actions_.openPreferences) {
            actions_.openPreferences(PrefsTab::general);
        }
    });
    connect(footer_->quit(), &QAbstractButton::clicked, this, [this] {
        if (actions_.quit) {
            actions_.quit();
        }
    });
    connect(footer_->updates(), &QAbstractButton::clicked, this, [this] {
        if (actions_.checkForUpdates) {
            actions_.checkForUpdates();
        }
    });
    for (HoverButton* button :
         {header_->gear(), footer_->preferences(), footer_->quit(), footer_->updates()}) {
        button->setOnHover([this](const std::string& key, bool entered) { onHover(key, entered); });
    }

    refreshTimer_.setSingleShot(true);
    refreshTimer_.setInterval(kRefreshDelayMs);
    connect(&refreshTimer_, &QTimer::timeout, this, [this] { refresh(); });
    observe();
    refresh();
}

PopoverView::~PopoverView() {
    observations_.clear();
}

QSize PopoverView::calculateSize(const AppConfig& config) {
    const auto before = config.lastOriginalFullText();
    const bool hasText = before && !before->empty();
    return {kWidth, kHeight + (hasText ? kCorrectionExtra : 0)};
}

void PopoverView::observe() {
    const QPointer<PopoverView> weak(this);
    for (ConfigField field : kObservedFields) {
        observations_.push_back(config_.observe(field, [weak] {
            // Any thread: only hop to the main thread, never wait for it.
            runOnMainThread([weak] {
                if (weak && !weak->refreshTimer_.isActive()) {
                    weak->refreshTimer_.start();
                }
            });
        }));
    }
}

void PopoverView::refresh() {
    ++refreshCount_;
    const ConfigState state = config_.snapshot();
    header_->refresh(state.isEnabled, texts_);
    stats_->refresh(state.totalTyposCorrected, texts_);
    last_->refresh(state, texts_);
    tone_->refresh(state.toneStyle, texts_);
    footer_->refresh(state.soundEnabled, texts_);
    const QSize wanted = calculateSize(config_);
    if (wanted != size()) {
        setFixedSize(wanted);
        if (onResized_) {
            onResized_(wanted);
        }
    }
}

void PopoverView::pop() {
    if (config_.soundEnabled() && actions_.playSound) {
        actions_.playSound("Pop");
    }
}

void PopoverView::toggleEnabled() {
    config_.setIsEnabled(!config_.isEnabled());
    config_.save();
    pop();
}

void PopoverView::excludeLastWord() {
    const auto word = config_.lastCorrectedOriginalWord();
    if (!word || word->empty()) {
        return;
    }
    config_.addWordToWhitelist(*word);
    if (actions_.clearCache) {
        actions_.clearCache();
    }
    config_.setLastCorrectedOriginalWord(std::nullopt);
    pop();
}

void PopoverView::selectTone(ToneStyle tone) {
    config_.setToneStyle(tone);
    config_.save();
}

void PopoverView::toggleSound() {
    config_.setSoundEnabled(!config_.soundEnabled());
    config_.save();
}

void PopoverView::onHover(const std::string& key, bool entered) {
    if (entered) {
        hoveredButton_ = key;
    } else if (hoveredButton_ == key) {
        hoveredButton_.reset();
    }
}

}  // namespace quorix::ui
