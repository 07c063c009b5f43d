#include "gui/defaultfoldersdialog.h"

#include "gui/controls.h"

#include "gui/selectfolderdialog.h"

#include "engine/appfolder/appfolder.h"
#include "engine/appfolder/rememberedfolders.h"
#include "engine/appfolder/settings.h"
#include "engine/error.h"
#include "engine/ui/userfeedback.h"

#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

QLabel* makeLabel(const char* name, const char* text, QWidget* parent)
{
    auto* label = new QLabel(QString::fromUtf8(text), parent);
    label->setObjectName(name);
    return label;
}

} // namespace

DefaultFoldersDialog::DefaultFoldersDialog(const pluvora::AppFolder& folder,
                                           pluvora::RememberedFolders& remembered,
                                           pluvora::UserFeedback& feedback, QWidget* parent)
    : QDialog(parent)
    , mFolder(folder)
    , mRemembered(remembered)
    , mFeedback(feedback)
    , mInputFolder(new QLineEdit(this))
    , mOutputFolder(new QLineEdit(this))
{
    setObjectName("TForm6");
    setWindowTitle(QString::fromUtf8(kDefaultFoldersTitle));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    mInputFolder->setObjectName("Edit1");
    mOutputFolder->setObjectName("Edit2");

    auto* browseInput = makeButton("Button3", kBrowseText, this);
    auto* browseOutput = makeButton("Button4", kBrowseText, this);
    auto* ok = makeButton("BitBtn1", kDefaultFoldersOk, this);
    auto* cancel = makeButton("BitBtn2", kDefaultFoldersCancel, this);

    auto* grid = new QGridLayout;
    grid->addWidget(makeLabel("Label1", kInputFolderLabel, this), 0, 0, 1, 2);
    grid->addWidget(mInputFolder, 1, 0);
    grid->addWidget(browseInput, 1, 1);
    grid->addWidget(makeLabel("Label2", kOutputFolderLabel, this), 2, 0, 1, 2);
    grid->addWidget(mOutputFolder, 3, 0);
    grid->addWidget(browseOutput, 3, 1);
    grid->setColumnStretch(0, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    resize(520, sizeHint().height());

    connect(browseInput, &QPushButton::clicked, this, &DefaultFoldersDialog::Button3Click);
    connect(browseOutput, &QPushButton::clicked, this, &DefaultFoldersDialog::Button4Click);
    connect(ok, &QPushButton::clicked, this, &DefaultFoldersDialog::BitBtn1Click);
    connect(cancel, &QPushButton::clicked, this, &DefaultFoldersDialog::BitBtn2Click);

    mPicker = [this](QWidget* owner, const QString& startFolder) {
        SelectFolderDialog picker(startFolder, mFeedback, owner);
        return picker.exec() == QDialog::Accepted ? picker.chosenFolder() : QString();
    };
    FormCreate();
}

void DefaultFoldersDialog::FormCreate()
{
    const pluvora::FolderLines lines = pluvora::readFolderLines(mFolder);
    mInputFolder->setText(QString::fromStdString(lines.inputFolder));
    mOutputFolder->setText(QString::fromStdString(lines.weatherFolder));
}

void DefaultFoldersDialog::Button3Click() { browse(mInputFolder); }

void DefaultFoldersDialog::Button4Click() { browse(mOutputFolder); }

void DefaultFoldersDialog::browse(QLineEdit* box)
{
    QString start = box->text();
    if (start.isEmpty() || !QDir(start).exists())
        start = QString::fromStdString(mFolder.pathText());
    const QString chosen = mPicker(this, start);
    if (!chosen.isEmpty())
        box->setText(chosen);
}

void DefaultFoldersDialog::BitBtn1Click()
{
    const std::string input = mInputFolder->text().toStdString();
    const std::string output = mOutputFolder->text().toStdString();
    try {
        pluvora::saveFolderSettings(mFolder, input, output);
    } catch (const pluvora::Error& e) {
        pluvora::reportError(mFeedback, e.what());
        return;
    }
    mRemembered.setFromDialog(input, output, mFolder);
    accept();
}

void DefaultFoldersDialog::BitBtn2Click() { reject(); }
