#include "gui/cleandatamessage.h"

#include <QCheckBox>
#include <QPushButton>

CleanDataMessage::CleanDataMessage(QWidget* parent)
    : QMessageBox(QMessageBox::Information, kCaption, kText, QMessageBox::NoButton, parent)
{
    setObjectName("CleanDataMessage");
    auto* check = new QCheckBox(kDontShowAgain, this);
    check->setObjectName("DontShowAgain");
    setCheckBox(check);
    mOk = addButton(QMessageBox::Ok);
    mCancel = addButton(QMessageBox::Cancel);
    setDefaultButton(mOk);
    setEscapeButton(mCancel);
}

bool CleanDataMessage::dontShowAgain() const
{
    return checkBox() && checkBox()->isChecked();
}
