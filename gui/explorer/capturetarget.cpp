#include "explorer/capturetarget.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMainWindow>
#include <QPlainTextEdit>

CaptureTarget::CaptureTarget(QWidget* mainWindow)
    : mMainWindow(mainWindow)
{
}

QWidget* CaptureTarget::clientArea() const
{
    // Dialogs of the main window may reuse its control names.
    if (auto* window = qobject_cast<QMainWindow*>(mMainWindow.data()); window && window->centralWidget())
        return window->centralWidget();
    return mMainWindow;
}

void CaptureTarget::putInput(const QString& text, const QString& name) const
{
    QWidget* area = clientArea();
    if (!area)
        return;
    if (auto* memo = area->findChild<QPlainTextEdit*>("Memo1")) {
        memo->clear();
        memo->setPlainText(text);
    }
    if (auto* nameBox = area->findChild<QLineEdit*>("Edit1"))
        nameBox->setText(name);
    if (mMainWindow->metaObject()->indexOfMethod("setFileNameBoxProperty()") >= 0)
        QMetaObject::invokeMethod(mMainWindow, "setFileNameBoxProperty");
}

void CaptureTarget::applyTemplate(bool selectFirst) const
{
    QWidget* area = clientArea();
    if (!area)
        return;
    auto* templates = area->findChild<QComboBox*>("ComboBox2");
    if (selectFirst && templates && templates->count() > 0)
        templates->setCurrentIndex(0);
    if (mMainWindow->metaObject()->indexOfMethod("ComboBox2CloseUp()") >= 0)
        QMetaObject::invokeMethod(mMainWindow, "ComboBox2CloseUp");
}
