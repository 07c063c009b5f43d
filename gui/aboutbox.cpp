#include "gui/aboutbox.h"

#include "gui/controls.h"
#include "gui/urlopener.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

AboutBox::AboutBox(UrlOpener& opener, QWidget* parent)
    : QDialog(parent)
    , mOpener(opener)
{
    setObjectName("TForm4");
    setWindowTitle(QString::fromLatin1(kCaption));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(layoutFont());

    auto* logo = new QLabel(this);
    logo->setObjectName("Image1");
    logo->setPixmap(QPixmap(":/pluvora/pluvora.png"));
    logo->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    auto* program = addTextBox("Memo1", QString::fromLatin1(kProgram) + "\n\n"
                                            + QString::fromLatin1(kCredits));
    auto* contact = addTextBox("Memo2", QString::fromLatin1(kContactHeading) + "\n"
                                            + QString::fromLatin1(kContact));
    auto* disclaimer = addTextBox("Memo3", QString::fromLatin1(kDisclaimerHeading) + "\n"
                                               + QString::fromLatin1(kDisclaimer));

    mLink = new QLabel(QString::fromLatin1(kWebAddress), this);
    mLink->setObjectName("StaticText1");
    QFont underlined = mLink->font();
    underlined.setUnderline(true);
    mLink->setFont(underlined);
    QPalette palette = mLink->palette();
    palette.setColor(QPalette::WindowText, Qt::blue);
    mLink->setPalette(palette);
    mLink->setCursor(Qt::PointingHandCursor);
    mLink->installEventFilter(this);

    auto* ok = makeButton("Button1", kOkCaption, this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &AboutBox::Button1Click);

    auto* grid = new QGridLayout(this);
    grid->addWidget(logo, 0, 0, 2, 1);
    grid->addWidget(program, 0, 1);
    grid->addWidget(contact, 1, 1);
    grid->addWidget(disclaimer, 2, 0, 1, 2);
    grid->addWidget(mLink, 3, 0, 1, 2, Qt::AlignHCenter);
    grid->addWidget(ok, 4, 0, 1, 2, Qt::AlignHCenter);
    resize(460, 380);
}

AboutBox::~AboutBox() { releaseParent(); }

QPlainTextEdit* AboutBox::addTextBox(const char* name, const QString& text)
{
    // Read-only, no caret and no focus: the boxes read as static text.
    auto* box = new QPlainTextEdit(text, this);
    box->setObjectName(name);
    box->setReadOnly(true);
    box->setTextInteractionFlags(Qt::NoTextInteraction);
    box->setFocusPolicy(Qt::NoFocus);
    box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    box->setMinimumHeight(box->fontMetrics().height() * 4);
    return box;
}

void AboutBox::Button1Click() { close(); }

void AboutBox::StaticText1Click() { mOpener.openUrl(QUrl(QString::fromLatin1(kWebAddress))); }

bool AboutBox::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == mLink && event->type() == QEvent::MouseButtonRelease) {
        StaticText1Click();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void AboutBox::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    auto* owner = parentWidget();
    if (!owner)
        return;
    move(owner->frameGeometry().center() - rect().center());
    if (!mParentDisabled && owner->isEnabled()) {
        owner->setEnabled(false);
        mParentDisabled = true;
        // Disabling the owner disables its child windows too.
        setEnabled(true);
    }
}

void AboutBox::closeEvent(QCloseEvent* event)
{
    releaseParent();
    QDialog::closeEvent(event);
}

void AboutBox::done(int result)
{
    // Escape ends here without a close event.
    releaseParent();
    QDialog::done(result);
}

void AboutBox::releaseParent()
{
    if (!mParentDisabled)
        return;
    mParentDisabled = false;
    if (auto* owner = parentWidget())
        owner->setEnabled(true);
}
