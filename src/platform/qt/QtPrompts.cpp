#include "platform/qt/QtPrompts.h"

#include <QFileDialog>
#include <QMessageBox>

namespace vs {

PromptAnswer QtPrompts::message(const std::string& text, const std::string& caption, PromptButtons buttons) {
    QMessageBox::StandardButtons set = QMessageBox::Ok;
    switch (buttons) {
    case PromptButtons::Ok:
        break;
    case PromptButtons::OkCancel:
        set = QMessageBox::Ok | QMessageBox::Cancel;
        break;
    case PromptButtons::YesNo:
        set = QMessageBox::Yes | QMessageBox::No;
        break;
    case PromptButtons::YesNoCancel:
        set = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        break;
    }
    QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(caption), QString::fromStdString(text), set, parent_);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return PromptAnswer::Yes;
    case QMessageBox::No:
        return PromptAnswer::No;
    case QMessageBox::Cancel:
        return PromptAnswer::Cancel;
    default:
        // Closing a box that has a Cancel button counts as Cancel; Qt reports that itself.
        return PromptAnswer::Ok;
    }
}

std::string QtPrompts::pickFolder(const std::string& title, const std::string& startFolder) {
    return QFileDialog::getExistingDirectory(parent_, QString::fromStdString(title), QString::fromStdString(startFolder))
        .toStdString();
}

}  // namespace vs
