// A minimal chat window for the end-to-end tests: one line edit; Return (with
// any modifier) appends the line to the file named by the first argument and
// empties the field, as a chat sends a message.

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QTextStream>
#include <QVBoxLayout>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("quorix-e2e-chat");
    if (argc < 2)
        return 2;
    const QString sentPath = QString::fromLocal8Bit(argv[1]);

    QWidget window;
    window.setWindowTitle("Chat");
    auto* layout = new QVBoxLayout(&window);
    auto* field = new QLineEdit(&window);
    field->setAccessibleName("Messaggio");
    layout->addWidget(field);
    QObject::connect(field, &QLineEdit::returnPressed, [field, sentPath] {
        QFile sent(sentPath);
        if (sent.open(QIODevice::Append | QIODevice::Text)) {
            QTextStream out(&sent);
            out << field->text() << '\n';
        }
        field->clear();
    });
    window.resize(480, 80);
    window.show();
    field->setFocus();
    return app.exec();
}
