#include "gui/messageboxfeedback.h"

#include <QApplication>
#include <QMessageBox>

MessageBoxFeedback::MessageBoxFeedback(QWidget* parent)
    : mParent(parent)
{
}

void MessageBoxFeedback::showMessage(pluvora::MessageKind kind, std::string_view text)
{
    const QString message = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    const QString title = QApplication::applicationDisplayName();
    switch (kind) {
    case pluvora::MessageKind::Error: QMessageBox::critical(mParent, title, message); break;
    case pluvora::MessageKind::Warning: QMessageBox::warning(mParent, title, message); break;
    case pluvora::MessageKind::Information: QMessageBox::information(mParent, title, message); break;
    case pluvora::MessageKind::Plain: {
        QMessageBox box(QMessageBox::NoIcon, title, message, QMessageBox::Ok, mParent);
        box.exec();
        break;
    }
    }
}

bool MessageBoxFeedback::askYesNo(std::string_view text)
{
    const QString message = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    return QMessageBox::question(mParent, QApplication::applicationDisplayName(), message,
                                 QMessageBox::Yes | QMessageBox::No)
        == QMessageBox::Yes;
}

void MessageBoxFeedback::playSound(pluvora::Sound)
{
    // Qt has one system beep; it serves for both the error and the
    // exclamation sound.
    QApplication::beep();
}

