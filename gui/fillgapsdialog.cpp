#include "gui/fillgapsdialog.h"

#include "gui/controls.h"
#include "gui/filechooser.h"
#include "gui/utf8text.h"

#include "engine/ui/userfeedback.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

FillGapsDialog::FillGapsDialog(const pluvora::FillChoice& choice, FileChooser& files,
                               pluvora::UserFeedback& feedback, QWidget* parent)
    : QDialog(parent)
    , mFiles(files)
    , mFeedback(feedback)
    , mInterpolate(new QCheckBox(QString::fromUtf8(kInterpolateCaption), this))
    , mLimits(new QLineEdit(this))
    , mReference(new QLineEdit(this))
    , mLayout(new QLineEdit(this))
    , mLeastR2(new QDoubleSpinBox(this))
{
    setObjectName("FillGapsDialog");
    setWindowTitle(QString::fromUtf8(kCaption));

    mInterpolate->setObjectName("FillInterpolateBox");
    mInterpolate->setToolTip(QString::fromUtf8(kInterpolateHint));
    mInterpolate->setChecked(choice.interpolate);
    mLimits->setObjectName("FillLimitsEdit");
    mLimits->setPlaceholderText(QString::fromUtf8(kLimitsPlaceholder));
    mLimits->setText(fromUtf8(choice.limits));
    mLimits->setEnabled(choice.interpolate);
    connect(mInterpolate, &QCheckBox::toggled, mLimits, &QLineEdit::setEnabled);

    mReference->setObjectName("FillReferenceEdit");
    mReference->setToolTip(QString::fromUtf8(kReferenceHint));
    mReference->setText(fromUtf8(choice.referenceFile));
    auto* browse = makeButton("FillBrowseButton", kBrowseCaption, this);
    connect(browse, &QPushButton::clicked, this, &FillGapsDialog::browseClick);
    auto* referenceRow = new QHBoxLayout;
    referenceRow->addWidget(mReference, 1);
    referenceRow->addWidget(browse);
    mLayout->setObjectName("FillLayoutEdit");
    mLayout->setToolTip(QString::fromUtf8(kLayoutHint));
    mLayout->setPlaceholderText(QString::fromUtf8(kLayoutPlaceholder));
    mLayout->setText(fromUtf8(choice.referenceLayout));

    mLeastR2->setObjectName("FillLeastR2Box");
    mLeastR2->setRange(0.0, 1.0);
    mLeastR2->setDecimals(2);
    mLeastR2->setSingleStep(0.05);
    mLeastR2->setValue(choice.leastR2);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName("FillButtons");
    connect(buttons, &QDialogButtonBox::accepted, this, &FillGapsDialog::okClick);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* form = new QFormLayout(this);
    form->addRow(mInterpolate);
    form->addRow(QString::fromUtf8(kLimitsCaption), mLimits);
    form->addRow(QString::fromUtf8(kReferenceCaption), referenceRow);
    form->addRow(QString::fromUtf8(kLayoutCaption), mLayout);
    form->addRow(QString::fromUtf8(kLeastR2Caption), mLeastR2);
    form->addRow(buttons);
}

pluvora::FillChoice FillGapsDialog::choice() const
{
    pluvora::FillChoice choice;
    choice.interpolate = mInterpolate->isChecked();
    choice.limits = toUtf8(mLimits->text().trimmed());
    choice.referenceFile = toUtf8(mReference->text().trimmed());
    choice.referenceLayout = toUtf8(mLayout->text().trimmed());
    choice.leastR2 = mLeastR2->value();
    return choice;
}

void FillGapsDialog::okClick()
{
    const pluvora::FillChoice typed = choice();
    // Limits are kept even while interpolation is off, so they are checked
    // whenever a run could use them.
    if (const auto problem = pluvora::limitsProblem(typed.limits)) {
        pluvora::reportError(mFeedback, *problem);
        mLimits->setFocus();
        return;
    }
    accept();
    emit chosen(typed);
}

void FillGapsDialog::browseClick()
{
    const QString folder = mReference->text().isEmpty() ? QString() : QFileInfo(mReference->text()).absolutePath();
    const QString path = mFiles.openFile(this, QString::fromUtf8(kReferenceTitle), folder,
                                         QString::fromUtf8(kReferenceFilter));
    if (!path.isEmpty())
        mReference->setText(path);
}
