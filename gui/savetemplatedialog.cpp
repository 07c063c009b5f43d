#include "gui/savetemplatedialog.h"

#include "gui/controls.h"

#include "engine/templates/templateoperations.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>

#include <exception>

SaveTemplateDialog::SaveTemplateDialog(const pluvora::TemplateStore& store,
                                       pluvora::UserFeedback& feedback, const QStringList& names,
                                       const pluvora::DataTemplate& spec, QWidget* parent)
    : QDialog(parent)
    , mStore(store)
    , mFeedback(feedback)
    , mSpec(spec)
    , mName(new QLineEdit(this))
    , mNames(new QListWidget(this))
{
    setObjectName("TForm2");
    setWindowTitle(kCaption);
    auto* label = new QLabel(kSaveAs, this);
    label->setObjectName("Label1");
    mName->setObjectName("Edit1");
    mNames->setObjectName("ListBox1");
    mNames->addItems(names);
    mNames->setCurrentRow(-1);
    auto* save = makeButton("BitBtn1", kSave, this);
    auto* cancel = makeButton("BitBtn2", kCancel, this);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(save);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(mName);
    layout->addWidget(mNames, 1);
    layout->addLayout(buttons);
    resize(320, 300);
    mName->setFocus();

    connect(mNames, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { mName->setText(item->text()); });
    connect(mName, &QLineEdit::returnPressed, this, &SaveTemplateDialog::bitBtn1Click);
    connect(save, &QPushButton::clicked, this, &SaveTemplateDialog::bitBtn1Click);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void SaveTemplateDialog::bitBtn1Click()
{
    const std::string typed = mName->text().toStdString();
    const QString name = QString::fromStdString(std::string(pluvora::templateName(typed)));
    std::vector<std::string> names;
    for (int row = 0; row < mNames->count(); ++row)
        names.push_back(mNames->item(row)->text().toStdString());
    std::optional<std::vector<std::string>> after;
    try {
        after = pluvora::saveTemplate(mStore, mFeedback, std::move(names), typed, mSpec);
    } catch (const std::exception& error) {
        pluvora::reportError(mFeedback, error.what());
        return;
    }
    if (!after)
        return; // no name, or the user kept the old template: the dialog stays
    QStringList list;
    for (const auto& n : *after)
        list << QString::fromStdString(n);
    accept();
    emit saved(list, name);
}
