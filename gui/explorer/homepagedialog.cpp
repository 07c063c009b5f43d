#include "gui/explorer/homepagedialog.h"

#include "gui/controls.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QVBoxLayout>

HomePageDialog::HomePageDialog(const QString& title, QWidget* parent)
    : QDialog(parent)
{
    setObjectName("TForm9");
    setWindowTitle(kCaption);
    mName = new QLineEdit(title, this);
    mName->setObjectName("Edit1");
    mName->setMinimumWidth(320);
    mName->installEventFilter(this);
    auto* ok = makeButton("BitBtn1", kOk, this);
    auto* cancel = makeButton("BitBtn2", kCancel, this);
    connect(ok, &QPushButton::clicked, this, &HomePageDialog::BitBtn1Click);
    connect(cancel, &QPushButton::clicked, this, &HomePageDialog::BitBtn2Click);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(mName);
    layout->addLayout(buttons);
}

bool HomePageDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == mName && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            BitBtn1Click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void HomePageDialog::BitBtn1Click()
{
    emit homePageAccepted(mName->text());
    close();
}

void HomePageDialog::BitBtn2Click() { close(); }
