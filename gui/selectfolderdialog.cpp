#include "gui/selectfolderdialog.h"

#include "gui/controls.h"

#include "engine/ui/userfeedback.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

} // namespace

SelectFolderDialog::SelectFolderDialog(const QString& startFolder, pluvora::UserFeedback& feedback,
                                       QWidget* parent)
    : QDialog(parent)
    , mFeedback(feedback)
    , mDirectories(new QFileSystemModel(this))
    , mFiles(new QFileSystemModel(this))
    , mDrives(new QComboBox(this))
    , mDirectoryList(new QTreeView(this))
    , mFileList(new QListView(this))
    , mFilter(new QComboBox(this))
    , mDirectoryLabel(new QLabel(this))
    , mOk(makeButton("BitBtn1", kSelectFolderOk, this))
    , mCancel(makeButton("BitBtn2", kSelectFolderCancel, this))
    , mCreate(makeButton("Button3", kCreateNewDirectory, this))
    , mNewDirectoryPanel(new QGroupBox(this))
    , mNewDirectory(new QLineEdit(mNewDirectoryPanel))
    , mNewOk(makeButton("BitBtn3", kSelectFolderOk, mNewDirectoryPanel))
    , mNewCancel(makeButton("BitBtn4", kSelectFolderCancel, mNewDirectoryPanel))
{
    setObjectName("TForm7");
    setWindowTitle(QString::fromUtf8(kSelectFolderTitle));
    setWindowFlag(Qt::WindowStaysOnTopHint);

    mDrives->setObjectName("DriveComboBox1");
    for (const QFileInfo& drive : QDir::drives())
        mDrives->addItem(QDir::toNativeSeparators(drive.absolutePath()), drive.absolutePath());

    mDirectories->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    mDirectories->setRootPath(QDir::rootPath());
    mDirectoryList->setObjectName("DirectoryListBox1");
    mDirectoryList->setModel(mDirectories);
    connect(mDirectories, &QFileSystemModel::directoryLoaded, this, [this](const QString& loaded) {
        if (mCurrent == loaded || mCurrent.startsWith(loaded.endsWith('/') ? loaded : loaded + '/'))
            revealCurrentDirectory();
    });
    mDirectoryList->setHeaderHidden(true);
    for (int column = 1; column < mDirectories->columnCount(); ++column)
        mDirectoryList->hideColumn(column);

    mFiles->setFilter(QDir::Files);
    mFileList->setObjectName("FileListBox1");
    mFileList->setModel(mFiles);

    mFilter->setObjectName("FilterComboBox1");
    mFilter->addItem(QString::fromUtf8(kAllFilesFilter));
    mDirectoryLabel->setObjectName("Label1");

    mNewDirectoryPanel->setObjectName("Panel1");
    mNewDirectory->setObjectName("Edit1");
    auto* panelLayout = new QHBoxLayout(mNewDirectoryPanel);
    panelLayout->addWidget(mNewDirectory, 1);
    panelLayout->addWidget(mNewOk);
    panelLayout->addWidget(mNewCancel);
    mNewDirectoryPanel->hide();

    auto* lists = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addWidget(mDirectoryLabel);
    left->addWidget(mDirectoryList, 1);
    left->addWidget(mDrives);
    auto* right = new QVBoxLayout;
    right->addWidget(mFileList, 1);
    right->addWidget(mFilter);
    lists->addLayout(left, 3);
    lists->addLayout(right, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(mCreate);
    buttons->addStretch(1);
    buttons->addWidget(mOk);
    buttons->addWidget(mCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(lists, 1);
    layout->addWidget(mNewDirectoryPanel);
    layout->addLayout(buttons);
    resize(560, 400);

    connect(mOk, &QPushButton::clicked, this, &SelectFolderDialog::bitBtn1Click);
    connect(mCancel, &QPushButton::clicked, this, &SelectFolderDialog::bitBtn2Click);
    connect(mCreate, &QPushButton::clicked, this, &SelectFolderDialog::Button3Click);
    connect(mNewOk, &QPushButton::clicked, this, &SelectFolderDialog::bitBtn3Click);
    connect(mNewCancel, &QPushButton::clicked, this, &SelectFolderDialog::bitBtn4Click);
    connect(mNewDirectory, &QLineEdit::returnPressed, this, &SelectFolderDialog::bitBtn3Click);
    connect(mDrives, &QComboBox::activated, this,
            [this](int index) { setCurrentDirectory(mDrives->itemData(index).toString()); });
    connect(mDirectoryList->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& index) {
                if (index.isValid())
                    setCurrentDirectory(mDirectories->filePath(index));
            });
    connect(this, &QDialog::finished, this, &SelectFolderDialog::FormClose);

    setCurrentDirectory(startFolder);
}

void SelectFolderDialog::setCurrentDirectory(const QString& path)
{
    const QString cleaned = QDir::cleanPath(QDir(path).absolutePath());
    if (cleaned == mCurrent)
        return;
    mCurrent = cleaned;
    mDirectoryLabel->setText(QDir::toNativeSeparators(mCurrent));
    revealCurrentDirectory();
    mFileList->setRootIndex(mFiles->setRootPath(mCurrent));
}

// Opens the tree down to the current directory, so the user sees where they
// are. The model reads folders in the background, so this runs again as each
// folder on the way arrives.
void SelectFolderDialog::revealCurrentDirectory()
{
    const QModelIndex index = mDirectories->index(mCurrent);
    if (!index.isValid())
        return;
    for (QModelIndex parent = index.parent(); parent.isValid(); parent = parent.parent())
        mDirectoryList->expand(parent);
    mDirectoryList->setCurrentIndex(index);
    // The model sorts the rows it adds a moment later, which moves them:
    // scroll once that has settled.
    QTimer::singleShot(100, mDirectoryList, [this] {
        mDirectoryList->scrollTo(mDirectoryList->currentIndex(), QAbstractItemView::PositionAtCenter);
    });
}

void SelectFolderDialog::bitBtn1Click()
{
    mChosen = mCurrent;
    accept();
}

void SelectFolderDialog::bitBtn2Click() { reject(); }

void SelectFolderDialog::Button3Click()
{
    QString start = mCurrent;
    if (!start.endsWith('/'))
        start += '/';
    mNewDirectory->setText(QDir::toNativeSeparators(start));
    showNewDirectoryPanel(true);
    mNewDirectory->setFocus();
}

void SelectFolderDialog::bitBtn3Click()
{
    const QString typed = QDir::fromNativeSeparators(mNewDirectory->text());
    const QString path = QDir::cleanPath(QDir(mCurrent).absoluteFilePath(typed));
    const QFileInfo info(path);
    if (!info.exists())
        QDir().mkdir(path);
    if (!QFileInfo(path).isDir()) {
        pluvora::reportError(mFeedback, kFolderNotCreated);
        return;
    }
    setCurrentDirectory(path);
    showNewDirectoryPanel(false);
}

void SelectFolderDialog::bitBtn4Click() { showNewDirectoryPanel(false); }

void SelectFolderDialog::FormClose() { showNewDirectoryPanel(false); }

void SelectFolderDialog::showNewDirectoryPanel(bool shown)
{
    mNewDirectoryPanel->setVisible(shown);
    mOk->setEnabled(!shown);
    mCancel->setEnabled(!shown);
    mCreate->setEnabled(!shown);
}
