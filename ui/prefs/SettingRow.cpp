#include "ui/prefs/SettingRow.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "ui/prefs/PrefsStyle.h"

namespace quorix::ui::prefs {

SettingRow::SettingRow(const QString& title, const QString& subtitle, QWidget* control,
                       QWidget* accessory, QWidget* parent)
    : QWidget(parent), title_(makeLabel(title, 13, QFont::Medium, primaryText())) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(16);
    auto* texts = new QVBoxLayout;
    texts->setSpacing(3);
    auto* titleLine = new QHBoxLayout;
    titleLine->setSpacing(8);
    titleLine->addWidget(title_);
    if (accessory != nullptr) {
        titleLine->addWidget(accessory);
    }
    titleLine->addStretch(1);
    texts->addLayout(titleLine);
    if (!subtitle.isEmpty()) {
        texts->addWidget(makeLabel(subtitle, 11, QFont::Normal, secondaryText(), true));
    }
    row->addLayout(texts, 1);
    if (control != nullptr) {
        row->addWidget(control, 0, Qt::AlignVCenter | Qt::AlignRight);
    }
}

}  // namespace quorix::ui::prefs
