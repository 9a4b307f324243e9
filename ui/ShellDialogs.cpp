#include "ui/ShellDialogs.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace quorix::ui {

int QtShellDialogs::alert(Style style, const std::string& title, const std::string& text,
                          const std::vector<std::string>& buttons) {
    QMessageBox box(style == Style::warning ? QMessageBox::Warning : QMessageBox::Information,
                    QString::fromStdString(title), QString::fromStdString(text));
    box.setTextInteractionFlags(Qt::TextBrowserInteraction);
    std::vector<QAbstractButton*> added;
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        added.push_back(box.addButton(QString::fromStdString(buttons[i]),
                                      i == 0 ? QMessageBox::AcceptRole : QMessageBox::RejectRole));
    }
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.raise();
    box.activateWindow();
    box.exec();
    for (std::size_t i = 0; i < added.size(); ++i) {
        if (box.clickedButton() == added[i]) {
            return static_cast<int>(i);
        }
    }
    return static_cast<int>(buttons.size()) - 1;
}

std::optional<std::string> QtShellDialogs::askText(const std::string& title,
                                                   const std::string& text,
                                                   const std::string& initial,
                                                   const std::vector<std::string>& buttons) {
    QDialog dialog;
    dialog.setWindowTitle(QString::fromStdString(title));
    dialog.setWindowFlag(Qt::WindowStaysOnTopHint);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(QString::fromStdString(text)));
    auto* field = new QLineEdit(QString::fromStdString(initial));
    field->setMinimumSize(340, 48);
    layout->addWidget(field);
    auto* box = new QDialogButtonBox;
    if (!buttons.empty()) {
        box->addButton(QString::fromStdString(buttons[0]), QDialogButtonBox::AcceptRole);
    }
    for (std::size_t i = 1; i < buttons.size(); ++i) {
        box->addButton(QString::fromStdString(buttons[i]), QDialogButtonBox::RejectRole);
    }
    QObject::connect(box, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(box, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(box);
    dialog.raise();
    dialog.activateWindow();
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return field->text().toStdString();
}

}  // namespace quorix::ui
