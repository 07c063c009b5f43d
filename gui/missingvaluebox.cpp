#include "gui/missingvaluebox.h"

#include "engine/columns/datalayout.h"
#include "engine/io/numbertext.h"
#include "engine/run/processingrun.h"
#include "engine/ui/userfeedback.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>

MissingValueBox::MissingValueBox(pluvora::UserFeedback& ui, QWidget* parent)
    : QGroupBox(QString::fromLatin1(kTitle), parent)
    , mUi(ui)
{
    setObjectName("GroupBox11");

    mEnabled = new QCheckBox(QString::fromLatin1(kEnabledCaption), this);
    mEnabled->setObjectName("CheckBox2");
    mEnabled->setChecked(true);
    mEnabled->setGeometry(10, 21, 80, 22);

    mSignLabel = new QLabel(QString::fromLatin1(kSignCaption), this);
    mSignLabel->setObjectName("Label59");
    mSignLabel->setGeometry(100, 23, 150, 18);

    mSign = new QLineEdit(QString::fromLatin1(kDefaultSign), this);
    mSign->setObjectName("adpEdit2");
    mSign->setAlignment(Qt::AlignCenter);
    mSign->setGeometry(252, 20, 70, 24);

    mSubstituteLabel = new QLabel(QString::fromLatin1(kSubstitutionCaption), this);
    mSubstituteLabel->setObjectName("Label60");
    mSubstituteLabel->setGeometry(340, 23, 100, 18);

    mSubstitute = new QLineEdit(QString::fromLatin1(kDefaultSubstitute), this);
    mSubstitute->setObjectName("adpEdit3");
    mSubstitute->setGeometry(442, 20, 70, 24);

    auto* textsLabel = new QLabel(QString::fromLatin1(kMissingTextsCaption), this);
    textsLabel->setGeometry(10, 47, 90, 18);
    mMissingTexts = new QLineEdit(this);
    mMissingTexts->setObjectName("MissingTextsBox");
    mMissingTexts->setToolTip(QString::fromLatin1(kMissingTextsHint));
    mMissingTexts->setPlaceholderText("NA,M,null");
    // Words and commas only, as the layout keeps them.
    const QRegularExpression words(QStringLiteral("[^\\s]*"));
    mMissingTexts->setValidator(new QRegularExpressionValidator(words, mMissingTexts));
    mMissingTexts->setGeometry(100, 45, 222, 21);

    // toggled rather than clicked: a restored setting must switch the boxes too.
    connect(mEnabled, &QCheckBox::toggled, this, &MissingValueBox::CheckBox2Click);
    connect(mSign, &QLineEdit::textChanged, this, &MissingValueBox::testInputTypeOne);
    connect(mSubstitute, &QLineEdit::textChanged, this, &MissingValueBox::testInputTypeTwo);

    // The second row fits above step 4 without moving it.
    resize(540, 68);
}

bool MissingValueBox::substitutionEnabled() const { return mEnabled->isChecked(); }

QString MissingValueBox::signText() const { return mSign->text(); }

QString MissingValueBox::substituteText() const { return mSubstitute->text(); }

void MissingValueBox::setSubstitutionEnabled(bool enabled)
{
    mEnabled->setChecked(enabled);
    CheckBox2Click();
}

void MissingValueBox::setSignText(const QString& text) { mSign->setText(text); }

void MissingValueBox::setSubstituteText(const QString& text) { mSubstitute->setText(text); }

std::vector<std::string> MissingValueBox::missingTexts() const
{
    // Empty items (a comma typed twice) mean nothing and are dropped.
    std::vector<std::string> texts;
    for (const QString& item : mMissingTexts->text().split(',', Qt::SkipEmptyParts))
        texts.push_back(item.toStdString());
    return texts;
}

void MissingValueBox::setMissingTexts(const std::vector<std::string>& texts)
{
    mMissingTexts->setText(QString::fromStdString(pluvora::missingTextsText(texts)));
}

void MissingValueBox::fillRequest(pluvora::RunRequest& request) const
{
    request.layout.missingTexts = missingTexts();
    request.substitutionEnabled = substitutionEnabled();
    request.signText = signText().toStdString();
    request.substituteText = substituteText().toStdString();
}

void MissingValueBox::CheckBox2Click()
{
    const bool on = mEnabled->isChecked();
    mSign->setEnabled(on);
    mSubstitute->setEnabled(on);
    mSignLabel->setEnabled(on);
    mSubstituteLabel->setEnabled(on);
}

void MissingValueBox::testInputTypeOne()
{
    if (pluvora::parseInteger(mSign->text().toStdString()))
        return;
    mUi.playSound(pluvora::Sound::Error);
    mUi.showMessage(pluvora::MessageKind::Plain, kIntegerOnly);
}

void MissingValueBox::testInputTypeTwo() {}
