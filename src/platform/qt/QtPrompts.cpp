#include "platform/qt/QtPrompts.h"

#include <QFileDialog>
#include <QMessageBox>

namespace vs {

namespace {

QMessageBox::StandardButtons ButtonSet(Buttons buttons) {
    switch (buttons) {
    case Buttons::Ok: return QMessageBox::Ok;
    case Buttons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case Buttons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case Buttons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case Buttons::RetryCancel: return QMessageBox::Retry | QMessageBox::Cancel;
    case Buttons::AbortRetryIgnore: break;
    }
    return QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore;
}

QMessageBox::Icon BoxIcon(Icon icon) {
    switch (icon) {
    case Icon::None: return QMessageBox::NoIcon;
    case Icon::Information: return QMessageBox::Information;
    case Icon::Warning: return QMessageBox::Warning;
    case Icon::Question: return QMessageBox::Question;
    case Icon::Error: break;
    }
    return QMessageBox::Critical;
}

}  // namespace

Answer QtPrompts::message(const std::string& text, const std::string& caption, Buttons buttons, Icon icon) {
    const QString title = caption.empty() ? QStringLiteral("Vantor See 1.1") : QString::fromStdString(caption);
    QMessageBox box(BoxIcon(icon), title, QString::fromStdString(text), ButtonSet(buttons), parent_);
    switch (box.exec()) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    case QMessageBox::Cancel: return Answer::Cancel;
    case QMessageBox::Retry: return Answer::Retry;
    case QMessageBox::Abort: return Answer::Abort;
    case QMessageBox::Ignore: return Answer::Ignore;
    default:
        // Closing a box that has a Cancel button counts as Cancel; Qt reports that itself.
        return Answer::Ok;
    }
}

std::optional<std::string> QtPrompts::pickFolder(const std::string& caption, const std::string& startFolder) {
    const QString folder =
        QFileDialog::getExistingDirectory(parent_, QString::fromStdString(caption), QString::fromStdString(startFolder));
    if (folder.isEmpty())
        return std::nullopt;
    return folder.toStdString();
}

}  // namespace vs
