#include "removecolumnsdialog.h"

#include "controls.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

RemoveColumnsDialog::RemoveColumnsDialog(QWidget* parent)
    : QDialog(parent)
    , mColumns(new QListWidget(this))
{
    setObjectName("TForm3");
    setWindowTitle(kCaption);
    auto* label = new QLabel(kColumnLabel, this);
    label->setObjectName("Label1");
    mColumns->setObjectName("CheckListBox1");
    for (int column = 1; column <= pluvora::kRemovableColumns; ++column) {
        auto* item = new QListWidgetItem(QString::number(column), mColumns);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    auto* ok = makeButton("BitBtn1", kOk, this);
    auto* cancel = makeButton("BitBtn2", kCancel, this);
    auto* reset = makeButton("BitBtn3", kResetAll, this);
    connect(ok, &QPushButton::clicked, this, &RemoveColumnsDialog::BitBtn1Click);
    connect(cancel, &QPushButton::clicked, this, &RemoveColumnsDialog::BitBtn2Click);
    connect(reset, &QPushButton::clicked, this, &RemoveColumnsDialog::BitBtn3Click);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addStretch(1);
    buttons->addWidget(reset);
    auto* row = new QHBoxLayout;
    row->addWidget(mColumns, 1);
    row->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addLayout(row);
    resize(sizeHint().width(), 360);
}

pluvora::ColumnRemoveFlags RemoveColumnsDialog::columnRemoveFlags() const
{
    pluvora::ColumnRemoveFlags flags{};
    for (int row = 0; row < mColumns->count(); ++row)
        flags[static_cast<std::size_t>(row)] = mColumns->item(row)->checkState() == Qt::Checked;
    return flags;
}

void RemoveColumnsDialog::BitBtn1Click()
{
    const auto flags = columnRemoveFlags();
    accept();
    emit columnsChosen(flags);
}

void RemoveColumnsDialog::BitBtn2Click() { reject(); }

void RemoveColumnsDialog::BitBtn3Click()
{
    for (int row = 0; row < mColumns->count(); ++row)
        mColumns->item(row)->setCheckState(Qt::Unchecked);
}
