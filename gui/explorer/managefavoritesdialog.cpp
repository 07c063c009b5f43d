#include "gui/explorer/managefavoritesdialog.h"

#include "engine/ui/userfeedback.h"
#include "gui/controls.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

ManageFavoritesDialog::ManageFavoritesDialog(const pluvora::AppFolder& folder,
                                             pluvora::UserFeedback& user, QWidget* parent)
    : QDialog(parent)
    , mUser(user)
    , mEditor(folder)
{
    setObjectName("TForm10");
    setWindowTitle(kCaption);

    mNames = new ClosingComboBox(this);
    mNames->setObjectName("ComboBox1");
    mNames->setEditable(true);
    mNames->setInsertPolicy(QComboBox::NoInsert);
    mNames->setMinimumWidth(340);
    mNames->onCloseUp = [this] { ComboBox1CloseUp(); };
    // Choosing with the arrow keys is choosing too.
    connect(mNames, &QComboBox::activated, this, &ManageFavoritesDialog::ComboBox1CloseUp);
    mNames->lineEdit()->installEventFilter(this);
    showNames();

    auto* accept = makeButton("BitBtn1", kAccept, this);
    auto* remove = makeButton("BitBtn2", kDelete, this);
    auto* closeButton = makeButton("BitBtn3", kClose, this);
    connect(accept, &QPushButton::clicked, this, &ManageFavoritesDialog::BitBtn1Click);
    connect(remove, &QPushButton::clicked, this, &ManageFavoritesDialog::BitBtn2Click);
    connect(closeButton, &QPushButton::clicked, this, &ManageFavoritesDialog::BitBtn3Click);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(accept);
    buttons->addWidget(remove);
    buttons->addWidget(closeButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(kHint, this));
    layout->addWidget(mNames);
    layout->addLayout(buttons);
}

void ManageFavoritesDialog::showNames()
{
    const QSignalBlocker block(mNames);
    mNames->clear();
    for (const std::string& name : mEditor.names())
        mNames->addItem(QString::fromStdString(name));
    mNames->setMaxVisibleItems(qMax(1, mNames->count()));
    mNames->setCurrentIndex(mEditor.chosen());
    if (mEditor.chosen() < 0)
        mNames->setEditText(QString());
}

bool ManageFavoritesDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == mNames->lineEdit() && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            BitBtn1Click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void ManageFavoritesDialog::ComboBox1CloseUp() { mEditor.choose(mNames->currentIndex()); }

void ManageFavoritesDialog::BitBtn1Click()
{
    // Nothing chosen in this use of the dialog: no position to rename.
    if (mEditor.chosen() < 0)
        return;
    mUser.playSound(pluvora::Sound::Exclamation);
    const QString text = mNames->currentText();
    mEditor.rename(text.toStdString());
    showNames();
}

void ManageFavoritesDialog::BitBtn2Click()
{
    try {
        if (!mEditor.removeChosen())
            return;
    } catch (const std::exception& error) {
        pluvora::reportError(mUser, error.what());
    }
    showNames();
}

void ManageFavoritesDialog::BitBtn3Click() { close(); }

void ManageFavoritesDialog::saveOnce()
{
    if (mSaved)
        return;
    mSaved = true;
    try {
        mEditor.save();
    } catch (const std::exception& error) {
        pluvora::reportError(mUser, error.what());
    }
    emit favoritesChanged();
}

void ManageFavoritesDialog::closeEvent(QCloseEvent* event)
{
    saveOnce();
    event->accept();
}

void ManageFavoritesDialog::done(int result)
{
    saveOnce();
    QDialog::done(result);
}
