#include "ui/prefs/AiEnginePage.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QSignalBlocker>
#include <QUrl>
#include <QVBoxLayout>

#include "core/text/Text.h"
#include "ui/prefs/ConfigWatch.h"
#include "ui/prefs/PageTools.h"
#include "ui/prefs/PrefsStyle.h"
#include "ui/prefs/PrefsSymbols.h"
#include "ui/prefs/SettingsCard.h"

namespace quorix::ui::prefs {
namespace {

QIcon symbolIcon(const char* name) {
    QPixmap pixmap(40, 40);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    PrefsSymbols::draw(p, name, QRectF(6, 6, 28, 28), secondaryText());
    return QIcon(pixmap);
}

void paintDot(QWidget* dot, const QColor& colour) {
    dot->setStyleSheet(QStringLiteral("background: %1; border-radius: 4px;").arg(colour.name()));
}

}  // namespace

AiEnginePage::AiEnginePage(PreferencesServices& services, EngineStatus& status, QWidget* parent)
    : QWidget(parent),
      s_(services),
      status_(status),
      engine_(services.ai, services.engineCheckLimit),
      statusTitle_(makeLabel({}, 15, QFont::Bold, primaryText())),
      statusBadge_(makeLabel({}, 9.5, QFont::Bold, accentGreen())),
      statusText_(makeLabel({}, 11.5, QFont::Normal, secondaryText(), true)),
      reachability_(makeLabel({}, 11.5, QFont::Medium, primaryText(), true)),
      statusDot_(new QWidget),
      key_(new QLineEdit),
      eye_(new QToolButton),
      savedLine_(new QWidget),
      check_(smallButton({}, "sparkles")),
      testStatus_(makeLabel({}, 12, QFont::Medium, primaryText(), true)) {
    AppConfig& config = s_.config;
    auto t = [&config](std::string_view it, std::string_view en) { return tr2(config, it, en); };
    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(0, 0, 0, 0);
    page->setSpacing(14);

    // Status card.
    auto* card = new SettingsCard;
    auto* header = new QHBoxLayout;
    header->setSpacing(10);
    header->addWidget(symbolView("sparkles", accentGreen(), 22));
    header->addWidget(statusTitle_);
    statusBadge_->setObjectName("statusBadge");
    statusBadge_->setContentsMargins(7, 2, 7, 2);
    header->addWidget(statusBadge_);
    header->addStretch(1);
    card->content()->addLayout(header);
    statusText_->setObjectName("statusText");
    card->content()->addWidget(statusText_);
    auto* reachRow = new QHBoxLayout;
    statusDot_->setFixedSize(8, 8);
    reachRow->addWidget(statusDot_, 0, Qt::AlignVCenter);
    reachability_->setObjectName("reachability");
    reachRow->addWidget(reachability_, 1);
    card->content()->addLayout(reachRow);
    page->addWidget(card);

    // Personal key card.
    card = new SettingsCard;
    card->content()->addLayout(
        cardHeader("bolt.shield.fill", accentBlue(),
                   t("Chiave API Personale (BYOK)", "Personal API Key (BYOK)")));
    card->content()->addWidget(makeLabel(
        t("Supporta Groq (consigliata, ultra-rapida e gratuita), Google Gemini o DeepSeek/OpenAI:",
          "Supports Groq (recommended, ultra-fast & free tier), Google Gemini, or "
          "DeepSeek/OpenAI:"),
        11.5, QFont::Normal, secondaryText(), true));
    auto* keyRow = new QHBoxLayout;
    key_->setObjectName("apiKey");
    key_->setPlaceholderText(t("Incolla qui la chiave API (gsk_..., AIza..., sk-...)...",
                               "Paste API key here (gsk_..., AIza..., sk-...)..."));
    key_->setFont(uiFont(12.5));
    key_->setMinimumHeight(32);
    key_->setStyleSheet(QStringLiteral(
        "QLineEdit { background: white; border: 1px solid rgba(0,0,0,0.18); border-radius: 8px;"
        " padding: 2px 10px; }"
        "QLineEdit:focus { border: 1.5px solid rgba(0,122,255,0.8); }"));
    key_->setEchoMode(QLineEdit::Password);
    keyRow->addWidget(key_, 1);
    eye_->setObjectName("showKey");
    eye_->setAutoRaise(true);
    eye_->setIconSize(QSize(20, 20));
    eye_->setCursor(Qt::PointingHandCursor);
    keyRow->addWidget(eye_);
    card->content()->addLayout(keyRow);
    auto* saved = new QHBoxLayout(savedLine_);
    saved->setContentsMargins(0, 0, 0, 0);
    saved->addWidget(symbolView("bolt.shield.fill", accentGreen(), 14));
    saved->addWidget(makeLabel(t("Chiave salvata nelle impostazioni di Quorix (solo per te). Il "
                                 "motore userà la tua chiave personale.",
                                 "Key saved in Quorix's settings (readable by you only). The "
                                 "engine will use your personal key."),
                               11, QFont::Medium, accentGreen().darker(120), true),
                     1);
    savedLine_->setVisible(false);
    card->content()->addWidget(savedLine_);
    page->addWidget(card);

    // Engine check card.
    card = new SettingsCard;
    auto* checkRow = new QHBoxLayout;
    auto* checkTexts = new QVBoxLayout;
    checkTexts->setSpacing(3);
    checkTexts->addWidget(makeLabel(t("Verifica Motore Neurale", "Neural Engine Check"), 13,
                                    QFont::DemiBold, primaryText()));
    checkTexts->addWidget(makeLabel(t("Invia una frase di test per misurare la latenza reale e "
                                      "la correzione",
                                      "Run a test to measure live latency and correction"),
                                    11, QFont::Normal, secondaryText(), true));
    checkRow->addLayout(checkTexts, 1);
    check_->setObjectName("checkEngine");
    checkRow->addWidget(check_);
    card->content()->addLayout(checkRow);
    testStatus_->setObjectName("testStatus");
    testStatus_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    testStatus_->setVisible(false);
    card->content()->addWidget(testStatus_);
    page->addWidget(card);
    page->addStretch(1);

    setShowKeyPlain(false);
    setTesting(false);
    settle_.setSingleShot(true);
    settle_.setInterval(kKeySettleMs);
    connect(&settle_, &QTimer::timeout, this, [this] { savePersonalKey(); });
    connect(key_, &QLineEdit::textEdited, this, [this](const QString& text) {
        savedLine_->setVisible(!text.trimmed().isEmpty());
        settle_.start();
    });
    connect(key_, &QLineEdit::editingFinished, this, [this] {
        if (settle_.isActive()) {
            savePersonalKey();
        }
    });
    connect(eye_, &QToolButton::clicked, this, [this] { setShowKeyPlain(!showKeyPlain_); });
    connect(check_, &QPushButton::clicked, this, [this] { runAITest(); });
    // Keys and the endpoint are not observable fields: the card follows the
    // switches that change with them (the page is rebuilt when shown).
    new ConfigWatch(
        config, {ConfigField::appLanguage}, [this] { syncStatusCard(); }, this);
    syncStatusCard();
}

AiEnginePage::~AiEnginePage() {
    if (settle_.isActive()) {
        savePersonalKey();
    }
    const QSignalBlocker blocker(key_);
    key_->setText(QString(key_->text().size(), QChar('\0')));
    key_->clear();
}

void AiEnginePage::setShowKeyPlain(bool plain) {
    showKeyPlain_ = plain;
    key_->setEchoMode(plain ? QLineEdit::Normal : QLineEdit::Password);
    eye_->setIcon(symbolIcon(plain ? "eye.slash" : "eye"));
    eye_->setToolTip(plain ? qs("Nascondi chiave") : qs("Mostra chiave in chiaro"));
}

void AiEnginePage::savePersonalKey() {
    settle_.stop();
    const std::string k = text::trim(key_->text().toStdString());
    AppConfig& config = s_.config;
    if (k.starts_with("gsk_")) {
        config.setGroqApiKey(k);
        config.setProvider(AIProvider::groq);
    } else if (k.starts_with("sk-")) {
        config.setDeepseekApiKey(k);
        config.setProvider(AIProvider::deepseek);
    } else {
        config.setApiKey(k);
        config.setProvider(AIProvider::gemini);
    }
    config.save();
    syncStatusCard();
}

void AiEnginePage::setTesting(bool testing) {
    check_->setEnabled(!testing);
    check_->setText(testing ? tr2(s_.config, "Verifica in corso...", "Checking...")
                            : tr2(s_.config, "Verifica Ora", "Check Now"));
}

void AiEnginePage::runAITest() {
    if (engine_.isRunning()) {
        return;
    }
    if (settle_.isActive()) {
        savePersonalKey();  // the check runs with the key just typed
    }
    setTesting(true);
    testStatus_->setText(
        tr2(s_.config, "Chiamata di verifica in corso...", "Running test check..."));
    testStatus_->setVisible(true);
    engine_.start(std::string(kSample), [this](const EngineCheck::Outcome& outcome) {
        setTesting(false);
        const std::string ms = std::to_string(outcome.elapsedMs);
        const AppConfig& config = s_.config;
        if (outcome.ok) {
            testStatus_->setText(
                QStringLiteral("✓ %1 in %2ms: \"%3\"")
                    .arg(tr2(config, "Successo", "Success"), qs(ms), qs(outcome.text)));
            status_ = {EngineStatus::State::reachable, outcome.elapsedMs, {}};
        } else {
            const std::string limit = std::to_string(engine_.limit().count());
            const QString why = outcome.timedOut ? tr2(config, "nessuna risposta entro %1 ms",
                                                       "no answer within %1 ms")
                                                       .arg(qs(limit))
                                                 : qs(outcome.text);
            testStatus_->setText(qs("❌ ") + tr2(config, "Errore", "Error") +
                                 QStringLiteral(" (%1ms): ").arg(qs(ms)) + why);
            status_ = {EngineStatus::State::unreachable, outcome.elapsedMs, why.toStdString()};
        }
        syncStatusCard();
    });
}

void AiEnginePage::syncStatusCard() {
    const ConfigState c = s_.config.snapshot();
    auto t = [this](std::string_view it, std::string_view en) { return tr2(s_.config, it, en); };
    const bool cloud = !text::isBlank(c.cloudProxyURL);
    std::string key;
    switch (c.provider) {
        case AIProvider::gemini:
            key = c.apiKey;
            break;
        case AIProvider::groq:
            key = c.groqApiKey;
            break;
        case AIProvider::deepseek:
            key = c.deepseekApiKey;
            break;
        case AIProvider::ollama:
            key = "local";
            break;
    }
    const bool personal = !text::isBlank(key);
    const bool configured = cloud || personal;
    statusTitle_->setText(
        configured
            ? t("Servizio di correzione configurato", "Correction service configured")
            : t("Nessun servizio di correzione configurato", "No correction service configured"));
    const QColor badge = configured ? accentGreen() : rgb(0.957, 0.247, 0.369);
    statusBadge_->setText(cloud      ? t("CLOUD", "CLOUD")
                          : personal ? t("CHIAVE PERSONALE", "PERSONAL KEY")
                                     : t("NON CONFIGURATO", "NOT CONFIGURED"));
    statusBadge_->setStyleSheet(QStringLiteral("color: %1; background: rgba(%2,%3,%4,0.12);"
                                               " border-radius: 8px;")
                                    .arg(badge.darker(115).name())
                                    .arg(badge.red())
                                    .arg(badge.green())
                                    .arg(badge.blue()));
    QString lines;
    if (cloud) {
        const QString host = QUrl(qs(c.cloudProxyURL)).host();
        lines += t("Servizio cloud: ", "Cloud service: ") + (host.isEmpty() ? qs("?") : host);
    } else {
        lines += t("Nessun servizio cloud impostato.", "No cloud service set.");
    }
    lines += QChar('\n') + t("Fornitore di riserva: ", "Fallback provider: ") +
             qs(displayName(c.provider)) + qs(" — ") +
             (c.provider == AIProvider::ollama ? t("server locale", "local server")
              : personal                       ? t("chiave personale presente", "personal key set")
                                               : t("nessuna chiave", "no key"));
    statusText_->setText(lines);
    switch (status_.state) {
        case EngineStatus::State::unchecked:
            paintDot(statusDot_, rgb(1.0, 0.584, 0.0));
            reachability_->setText(t("Raggiungibilità non ancora verificata: premi «Verifica Ora».",
                                     "Reachability not checked yet: press “Check Now”."));
            break;
        case EngineStatus::State::reachable:
            paintDot(statusDot_, accentGreen());
            reachability_->setText(t("Raggiungibile: ultima verifica riuscita in ",
                                     "Reachable: last check succeeded in ") +
                                   QString::number(status_.elapsedMs) + qs(" ms."));
            break;
        case EngineStatus::State::unreachable:
            paintDot(statusDot_, rgb(0.957, 0.247, 0.369));
            reachability_->setText(
                t("Non raggiungibile all'ultima verifica: ", "Not reachable at the last check: ") +
                qs(status_.detail));
            break;
    }
}

}  // namespace quorix::ui::prefs
