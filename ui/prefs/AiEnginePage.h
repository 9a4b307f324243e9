#pragma once
// The AI engine page: a status card that says which correction service is
// configured and whether the last check reached it; the personal key field,
// which picks the provider from the key's prefix; and the engine check.
//
// The key is stored once typing settles (or the field is left), so a Groq or
// DeepSeek key typed by hand never passes through the Gemini key on its way.
// The field starts empty and is wiped when the page goes (the window closing);
// the key is never logged.

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QWidget>
#include <memory>

#include "ui/prefs/EngineCheck.h"
#include "ui/prefs/EngineStatus.h"
#include "ui/prefs/PreferencesServices.h"

namespace quorix::ui::prefs {

class AiEnginePage : public QWidget {
  public:
    static constexpr int kKeySettleMs = 400;
    static constexpr std::string_view kSample = "prov testto scirtto velocemnte";

    AiEnginePage(PreferencesServices& services, EngineStatus& status, QWidget* parent = nullptr);
    ~AiEnginePage() override;

    // Routes and saves the key in the field now (what settling does).
    void savePersonalKey();
    void runAITest();
    QLineEdit* keyField() const { return key_; }
    QToolButton* eyeButton() const { return eye_; }
    QPushButton* checkButton() const { return check_; }
    QString testStatus() const { return testStatus_->text(); }
    bool isTesting() const { return engine_.isRunning(); }
    void syncStatusCard();

  private:
    void setShowKeyPlain(bool plain);
    void setTesting(bool testing);

    PreferencesServices& s_;
    EngineStatus& status_;
    EngineCheck engine_;
    QLabel* statusTitle_;
    QLabel* statusBadge_;
    QLabel* statusText_;
    QLabel* reachability_;
    QWidget* statusDot_;
    QLineEdit* key_;
    QToolButton* eye_;
    QWidget* savedLine_;
    QPushButton* check_;
    QLabel* testStatus_;
    QTimer settle_;
    bool showKeyPlain_ = false;
};

}  // namespace quorix::ui::prefs
