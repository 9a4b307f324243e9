// The three slides of OnboardingWindow.
#include <QFrame>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "ui/OnboardingMenuPicture.h"
#include "ui/OnboardingWindow.h"
#include "ui/PanelStyle.h"
#include "ui/ShellTexts.h"
#include "ui/SymbolLabel.h"

namespace quorix::ui {
namespace {

constexpr int kSide = 40;
constexpr int kDemoBoxHeight = 215;

QLabel* label(const QString& text, qreal size, QFont::Weight weight, QWidget* parent,
              const char* color = nullptr) {
    auto* l = new QLabel(text, parent);
    l->setFont(PanelStyle::font(size, weight));
    if (color != nullptr) {
        l->setStyleSheet(QStringLiteral("color: %1;").arg(QLatin1String(color)));
    }
    return l;
}

QLabel* paragraph(const QString& text, qreal size, QWidget* parent, const char* color) {
    QLabel* l = label(text, size, QFont::Normal, parent, color);
    l->setWordWrap(true);
    return l;
}

QFrame* frame(const char* name, QWidget* parent) {
    auto* f = new QFrame(parent);
    f->setObjectName(QLatin1String(name));
    return f;
}

}  // namespace

QWidget* OnboardingWindow::newSlide(const QString& title) {
    auto* slide = new QWidget(containerView_);
    auto* column = new QVBoxLayout(slide);
    column->setContentsMargins(kSide, 14, kSide, 26);
    column->setSpacing(14);
    column->addWidget(label(title, 19, QFont::Bold, slide));
    return slide;
}

QPushButton* OnboardingWindow::addButton(QWidget* slide, const QString& text, bool primary) {
    auto* button = new QPushButton(text, slide);
    button->setProperty("primary", primary);
    button->setFont(PanelStyle::font(13, QFont::DemiBold));
    button->setCursor(Qt::PointingHandCursor);
    return button;
}

QWidget* OnboardingWindow::buildIntroSlide() {
    QWidget* slide = newSlide(texts_.introTitle());
    auto* column = static_cast<QVBoxLayout*>(slide->layout());

    QFrame* box = frame("box", slide);
    box->setFixedHeight(kDemoBoxHeight);
    auto* inside = new QVBoxLayout(box);
    inside->setContentsMargins(18, 14, 18, 18);
    inside->setSpacing(12);
    inside->addWidget(
        label(texts_.demoApps(), 11.5, QFont::Medium, box, "rgba(255, 255, 255, 0.5)"));
    QLabel* incoming = label(texts_.demoIncoming(), 13, QFont::Normal, box);
    incoming->setStyleSheet(QStringLiteral(
        "background: rgba(255, 255, 255, 0.10); border-radius: 12px; padding: 7px 12px;"));
    inside->addWidget(incoming, 0, Qt::AlignLeft);
    QLabel* reply = label(texts_.demoReply(), 13, QFont::Normal, box);
    reply->setStyleSheet(
        QStringLiteral("background: #2f7cf6; border-radius: 12px; padding: 7px 12px;"));
    inside->addWidget(reply, 0, Qt::AlignRight);
    inside->addStretch(1);
    QFrame* field = frame("field", box);
    field->setFixedHeight(56);
    auto* fieldRow = new QHBoxLayout(field);
    fieldRow->setContentsMargins(16, 0, 12, 0);
    demoInputLabel_ = label(texts_.demoTypo(), 14.5, QFont::Normal, field);
    fieldRow->addWidget(demoInputLabel_, 1);
    demoKeyBadge_ = label(texts_.returnKey(), 12, QFont::DemiBold, field);
    demoKeyBadge_->setFixedSize(68, 32);
    demoKeyBadge_->setAlignment(Qt::AlignCenter);
    fieldRow->addWidget(demoKeyBadge_);
    inside->addWidget(field);
    column->addWidget(box);

    column->addWidget(paragraph(texts_.introSubtitle(), 12, slide, "rgba(255, 255, 255, 0.6)"));
    column->addWidget(paragraph(texts_.introText(), 13, slide, nullptr));
    column->addStretch(1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    forward_[0] = addButton(slide, texts_.continueButton(), true);
    buttons->addWidget(forward_[0]);
    column->addLayout(buttons);
    connect(forward_[0], &QPushButton::clicked, this, [this] { nextStep(); });
    return slide;
}

QWidget* OnboardingWindow::buildPermissionSlide() {
    QWidget* slide = newSlide(texts_.permissionTitle());
    auto* column = static_cast<QVBoxLayout*>(slide->layout());

    QFrame* box = frame("box", slide);
    auto* inside = new QVBoxLayout(box);
    inside->setContentsMargins(18, 14, 18, 18);
    inside->setSpacing(12);
    inside->addWidget(
        label(texts_.settingsPath(), 11.5, QFont::Medium, box, "rgba(255, 255, 255, 0.5)"));
    QFrame* app = frame("field", box);
    auto* appRow = new QHBoxLayout(app);
    appRow->setContentsMargins(14, 12, 14, 12);
    appRow->setSpacing(12);
    appRow->addWidget(new SymbolLabel("character.bubble.fill", 30, PanelStyle::blue(), app));
    auto* appText = new QVBoxLayout;
    appText->setSpacing(3);
    appText->addWidget(label(QStringLiteral("Quorix"), 14, QFont::DemiBold, app));
    appText->addWidget(paragraph(texts_.appLine(), 11.5, app, "rgba(255, 255, 255, 0.6)"));
    appRow->addLayout(appText, 1);
    inside->addWidget(app);

    permissionStatusPill_ = frame("pill", box);
    auto* pillRow = new QHBoxLayout(permissionStatusPill_);
    pillRow->setContentsMargins(14, 8, 14, 8);
    permissionStatusLabel_ = label(texts_.checking(), 12, QFont::Medium, permissionStatusPill_);
    pillRow->addWidget(permissionStatusLabel_);
    inside->addWidget(permissionStatusPill_);
    column->addWidget(box);

    auto* settingsRow = new QHBoxLayout;
    permissionButton_ = addButton(slide, texts_.openSettings(), true);
    settingsRow->addStretch(1);
    settingsRow->addWidget(permissionButton_);
    settingsRow->addStretch(1);
    column->addLayout(settingsRow);
    column->addStretch(1);

    auto* buttons = new QHBoxLayout;
    back_[1] = addButton(slide, texts_.backButton(), false);
    forward_[1] = addButton(slide, texts_.continueButton(), true);
    buttons->addWidget(back_[1]);
    buttons->addStretch(1);
    buttons->addWidget(forward_[1]);
    column->addLayout(buttons);
    connect(permissionButton_, &QPushButton::clicked, this, [this] { openAccessibility(); });
    connect(back_[1], &QPushButton::clicked, this, [this] { prevStep(); });
    connect(forward_[1], &QPushButton::clicked, this, [this] { nextStep(); });
    return slide;
}

QWidget* OnboardingWindow::buildExceptionsSlide() {
    QWidget* slide = newSlide(texts_.exceptionsTitle());
    auto* column = static_cast<QVBoxLayout*>(slide->layout());

    QFrame* box = frame("box", slide);
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(20, 20, 20, 20);
    row->setSpacing(20);
    row->addWidget(paragraph(texts_.exceptionsText(), 12.5, box, nullptr), 1);
    const ShellTexts menu(config_);
    auto* picture =
        new OnboardingMenuPicture({QString::fromStdString(menu.menuHeader(42)), QString(),
                                   QString::fromStdString(menu.menuActive()),
                                   QString::fromStdString(menu.menuIgnoreWord("qeusto")), QString(),
                                   QString::fromStdString(menu.menuPreferences())},
                                  3, box);
    row->addWidget(picture, 0, Qt::AlignVCenter);
    column->addWidget(box);
    column->addStretch(1);

    auto* buttons = new QHBoxLayout;
    back_[2] = addButton(slide, texts_.backButton(), false);
    forward_[2] = addButton(slide, texts_.finishButton(), true);
    buttons->addWidget(back_[2]);
    buttons->addStretch(1);
    buttons->addWidget(forward_[2]);
    column->addLayout(buttons);
    connect(back_[2], &QPushButton::clicked, this, [this] { prevStep(); });
    connect(forward_[2], &QPushButton::clicked, this, [this] { finishOnboarding(); });
    return slide;
}

}  // namespace quorix::ui
