// A minimal chat window for the end-to-end tests: one line edit; Return (with
// any modifier) appends the line to the file named by the first argument and
// empties the field, as a chat sends a message. Every key press the field
// receives is appended to <first argument>.keys as "<CLOCK_MONOTONIC ns>
// <Qt key>", before the field acts on it.
//
// An optional second argument names a FIFO of commands, one per line:
//   freeze MS   the application stops answering (events, accessibility) for MS ms
//   refuse 1|0  the field rejects any change but typing or deleting one
//               character (text set through accessibility, paste)

#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSocketNotifier>
#include <QTextStream>
#include <QThread>
#include <QVBoxLayout>
#include <QValidator>
#include <QWidget>
#include <ctime>
#include <memory>

namespace {

long long monotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

void append(const QString& path, const QString& line) {
    QFile file(path);
    if (file.open(QIODevice::Append | QIODevice::Text)) {
        QTextStream(&file) << line << '\n';
    }
}

class KeyLog : public QObject {
  public:
    explicit KeyLog(QString path) : path_(std::move(path)) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            append(path_, QString::number(monotonicNs()) + ' ' + QString::number(key->key()));
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    QString path_;
};

class RefusingValidator : public QValidator {
  public:
    bool refusing = false;
    QString accepted;
    State validate(QString& input, int&) const override {
        if (!refusing || input.isEmpty() || input == accepted) {
            return Acceptable;
        }
        const bool typedOne = input.size() == accepted.size() + 1 && input.startsWith(accepted);
        const bool deletedOne = input.size() + 1 == accepted.size() && accepted.startsWith(input);
        return typedOne || deletedOne ? Acceptable : Invalid;
    }
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("quorix-e2e-chat");
    if (argc < 2) {
        return 2;
    }
    const QString sentPath = QString::fromLocal8Bit(argv[1]);

    QWidget window;
    window.setWindowTitle("Chat");
    auto* layout = new QVBoxLayout(&window);
    auto* field = new QLineEdit(&window);
    field->setAccessibleName("Messaggio");
    layout->addWidget(field);
    KeyLog keyLog(sentPath + ".keys");
    field->installEventFilter(&keyLog);
    RefusingValidator validator;
    field->setValidator(&validator);
    QObject::connect(field, &QLineEdit::textChanged,
                     [&validator](const QString& text) { validator.accepted = text; });
    QObject::connect(field, &QLineEdit::returnPressed, [field, sentPath] {
        append(sentPath, field->text());
        field->clear();
    });

    std::unique_ptr<QSocketNotifier> control;
    if (argc >= 3) {
        const int fd = open(argv[2], O_RDWR | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            return 2;
        }
        control = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
        QObject::connect(control.get(), &QSocketNotifier::activated, [fd, &validator] {
            static QByteArray pending;
            char buffer[256];
            ssize_t n = 0;
            while ((n = read(fd, buffer, sizeof buffer)) > 0) {
                pending.append(buffer, static_cast<int>(n));
            }
            for (int end = pending.indexOf('\n'); end >= 0; end = pending.indexOf('\n')) {
                const QList<QByteArray> words = pending.left(end).split(' ');
                pending.remove(0, end + 1);
                if (words.size() != 2) {
                    continue;
                }
                if (words[0] == "freeze") {
                    QThread::msleep(words[1].toULong());
                } else if (words[0] == "refuse") {
                    validator.refusing = words[1] == "1";
                }
            }
        });
    }

    window.resize(480, 80);
    window.show();
    field->setFocus();
    return app.exec();
}
