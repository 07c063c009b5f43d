#include "gui/templatemanagerdialog.h"

#include "gui/controls.h"

#include "engine/templates/templateoperations.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <exception>

TemplateManagerDialog::TemplateManagerDialog(const pluvora::TemplateStore& store,
                                             pluvora::UserFeedback& feedback, QWidget* parent)
    : QDialog(parent)
    , mStore(store)
    , mFeedback(feedback)
    , mListGroup(new QGroupBox(this))
    , mListLabel(new QLabel(kAvailable, mListGroup))
    , mList(new QListWidget(mListGroup))
    , mRename(makeButton("BitBtn1", kRename, mListGroup))
    , mDelete(makeButton("BitBtn2", kDelete, mListGroup))
    , mClose(makeButton("BitBtn3", kClose, mListGroup))
    , mRenamePanel(new QGroupBox(this))
    , mNewName(new QLineEdit(mRenamePanel))
{
    setObjectName("TForm5");
    setWindowTitle(kCaption);
    mListGroup->setObjectName("GroupBox1");
    mListLabel->setObjectName("Label1");
    mList->setObjectName("ListBox1");
    mRenamePanel->setObjectName("GroupBox2");
    mNewName->setObjectName("Edit1");

    auto* listButtons = new QVBoxLayout;
    listButtons->addWidget(mRename);
    listButtons->addWidget(mDelete);
    listButtons->addStretch(1);
    listButtons->addWidget(mClose);
    auto* listRow = new QHBoxLayout;
    listRow->addWidget(mList, 1);
    listRow->addLayout(listButtons);
    auto* listLayout = new QVBoxLayout(mListGroup);
    listLayout->addWidget(mListLabel);
    listLayout->addLayout(listRow);

    auto* newNameLabel = new QLabel(kNewName, mRenamePanel);
    newNameLabel->setObjectName("Label2");
    auto* ok = makeButton("BitBtn4", kOk, mRenamePanel);
    auto* cancel = makeButton("BitBtn5", kCancel, mRenamePanel);
    auto* renameButtons = new QHBoxLayout;
    renameButtons->addStretch(1);
    renameButtons->addWidget(ok);
    renameButtons->addWidget(cancel);
    auto* renameLayout = new QVBoxLayout(mRenamePanel);
    renameLayout->addWidget(newNameLabel);
    renameLayout->addWidget(mNewName);
    renameLayout->addLayout(renameButtons);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(mListGroup, 1);
    layout->addWidget(mRenamePanel);
    mRenamePanel->hide();
    mRenamePanel->setEnabled(false);
    resize(360, kHeight);
    setFixedHeight(kHeight);

    connect(mRename, &QPushButton::clicked, this, &TemplateManagerDialog::BitBtn1Click);
    connect(mDelete, &QPushButton::clicked, this, &TemplateManagerDialog::BitBtn2Click);
    connect(mClose, &QPushButton::clicked, this, &QDialog::reject); // Esc closes as well
    connect(ok, &QPushButton::clicked, this, &TemplateManagerDialog::BitBtn4Click);
    connect(cancel, &QPushButton::clicked, this, &TemplateManagerDialog::BitBtn5Click);
    connect(mNewName, &QLineEdit::returnPressed, this, &TemplateManagerDialog::BitBtn4Click);

    try {
        showList(mStore.names());
    } catch (const std::exception& error) {
        pluvora::reportError(mFeedback, error.what());
    }
}

void TemplateManagerDialog::showList(const std::vector<std::string>& names)
{
    std::vector<std::string> sorted = names;
    pluvora::sortTemplateNames(sorted);
    mList->clear();
    for (const auto& name : sorted)
        mList->addItem(QString::fromStdString(name));
}

std::vector<std::string> TemplateManagerDialog::listedNames() const
{
    std::vector<std::string> names;
    for (int row = 0; row < mList->count(); ++row)
        names.push_back(mList->item(row)->text().toStdString());
    return names;
}

void TemplateManagerDialog::BitBtn1Click()
{
    if (!mList->currentItem() || !mList->currentItem()->isSelected())
        return;
    mRenameOldName = mList->currentItem()->text();
    mNewName->setText(mRenameOldName);
    setFixedHeight(kRenameHeight);
    mListGroup->setEnabled(false);
    mRenamePanel->setEnabled(true);
    mRenamePanel->show();
    // The list side turns grey while the rename panel has the word.
    const QColor grey = palette().color(QPalette::Disabled, QPalette::WindowText);
    for (QWidget* widget : {static_cast<QWidget*>(mRename), static_cast<QWidget*>(mDelete),
                            static_cast<QWidget*>(mClose), static_cast<QWidget*>(mList),
                            static_cast<QWidget*>(mListLabel)}) {
        QPalette p = widget->palette();
        for (auto role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
            p.setColor(role, grey);
        widget->setPalette(p);
    }
    mNewName->setFocus();
}

void TemplateManagerDialog::RestoreTextColor()
{
    for (QWidget* widget : {static_cast<QWidget*>(mRename), static_cast<QWidget*>(mDelete),
                            static_cast<QWidget*>(mClose), static_cast<QWidget*>(mList),
                            static_cast<QWidget*>(mListLabel)})
        widget->setPalette(QPalette());
}

void TemplateManagerDialog::closeRenamePanel()
{
    RestoreTextColor();
    setFixedHeight(kHeight);
    mListGroup->setEnabled(true);
    mRenamePanel->setEnabled(false);
    mRenamePanel->hide();
}

void TemplateManagerDialog::BitBtn5Click() { closeRenamePanel(); }

void TemplateManagerDialog::keyPressEvent(QKeyEvent* event)
{
    // Esc is the "Close" button's key, and that button is off while a
    // rename is open: Esc backs out of the rename instead.
    if (event->key() == Qt::Key_Escape && mRenamePanel->isVisible()) {
        BitBtn5Click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TemplateManagerDialog::BitBtn4Click()
{
    const std::vector<std::string> names = listedNames();
    const std::string oldName = mRenameOldName.toStdString();
    const std::string typed = mNewName->text().toStdString();
    std::optional<std::vector<std::string>> after;
    try {
        after = pluvora::renameTemplate(mStore, mFeedback, names, oldName, typed);
    } catch (const std::exception& error) {
        pluvora::reportError(mFeedback, error.what());
        closeRenamePanel();
        return;
    }
    if (!after) {
        // No name, or the user kept the template of that name: as the save
        // dialog does, stay open for another name.
        const std::string_view newName = pluvora::templateName(typed);
        if (newName.empty()
            || (newName != oldName && std::find(names.begin(), names.end(), newName) != names.end()))
            return;
    } else {
        showList(*after);
    }
    closeRenamePanel();
}

void TemplateManagerDialog::BitBtn2Click()
{
    if (!mList->currentItem() || !mList->currentItem()->isSelected())
        return;
    std::optional<std::vector<std::string>> after;
    try {
        after = pluvora::deleteTemplate(mStore, mFeedback, listedNames(),
                                        mList->currentItem()->text().toStdString());
    } catch (const std::exception& error) {
        pluvora::reportError(mFeedback, error.what());
        return;
    }
    if (after)
        showList(*after);
}
