#include "gui/explorer/addfavoritedialog.h"

#include "engine/explorer/explorerfiles.h"
#include "engine/explorer/favorites.h"
#include "engine/ui/userfeedback.h"
#include "gui/controls.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>

AddFavoriteDialog::AddFavoriteDialog(const pluvora::AppFolder& folder, pluvora::UserFeedback& user,
                                     const QString& title, const QString& address, QWidget* parent)
    : QDialog(parent)
    , mFolder(folder)
    , mUser(user)
    , mAddress(address)
{
    setObjectName("TForm8");
    setWindowTitle(kCaption);

    mName = new QLineEdit(title, this);
    mName->setObjectName("Edit1");
    mName->installEventFilter(this);
    mSavedNames = new QListWidget(this);
    mSavedNames->setObjectName("ListBox1");
    // The list scrolls sideways to its widest name by itself.
    mSavedNames->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    for (const std::string& name : pluvora::loadFavoriteNames(mFolder))
        mSavedNames->addItem(QString::fromStdString(name));

    auto* save = makeButton("BitBtn1", kSave, this);
    auto* cancel = makeButton("BitBtn2", kCancel, this);
    connect(save, &QPushButton::clicked, this, &AddFavoriteDialog::BitBtn1Click);
    connect(cancel, &QPushButton::clicked, this, &AddFavoriteDialog::BitBtn2Click);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(save);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(kNameLabel, this));
    layout->addWidget(mName);
    layout->addWidget(new QLabel(kSavedNamesLabel, this));
    layout->addWidget(mSavedNames);
    layout->addLayout(buttons);
    resize(420, 320);
}

bool AddFavoriteDialog::eventFilter(QObject* watched, QEvent* event)
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

void AddFavoriteDialog::BitBtn1Click()
{
    std::vector<std::string> names;
    for (int row = 0; row < mSavedNames->count(); ++row)
        names.push_back(mSavedNames->item(row)->text().toStdString());
    const std::string name = pluvora::oneLine(mName->text().toStdString());
    if (pluvora::favoriteNameIsUsed(names, name)) {
        mUser.playSound(pluvora::Sound::Error);
        mUser.showMessage(pluvora::MessageKind::Plain, pluvora::kNameAlreadyUsed);
        return;
    }
    try {
        pluvora::addFavorite(mFolder, names, name, mAddress.toStdString());
    } catch (const std::exception& error) {
        pluvora::reportError(mUser, error.what());
        return;
    }
    mSavedNames->addItem(QString::fromStdString(name));
    emit favoritesChanged();
    close();
}

void AddFavoriteDialog::BitBtn2Click() { close(); }
