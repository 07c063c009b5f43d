#include "gui/inputfindbar.h"

#include "gui/inputpanel.h"

#include <QHBoxLayout>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextDocument>

InputFindBar::InputFindBar(InputPanel* panel)
    : QFrame(panel)
    , mPanel(panel)
    , mCaption(new QLabel(this))
    , mField(new QLineEdit(this))
    , mAction(new QPushButton(this))
    , mStatus(new QLabel(this))
{
    setObjectName("InputFindBar");
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    mField->setObjectName("InputFindText");
    mStatus->setObjectName("InputFindStatus");
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(4, 2, 4, 2);
    row->addWidget(mCaption);
    row->addWidget(mField, 1);
    row->addWidget(mAction);
    row->addWidget(mStatus);
    hide();

    connect(mAction, &QPushButton::clicked, this, &InputFindBar::accept);
    mField->installEventFilter(this);
    mPanel->installEventFilter(this);
}

void InputFindBar::keepClearOf(QWidget* cover)
{
    mCover = cover;
    cover->installEventFilter(this);
}

void InputFindBar::place()
{
    const int height = sizeHint().height();
    const int width = qMin(mPanel->width() - 24, 420);
    int bottom = mPanel->height() - 4;
    if (mCover && mCover->isVisible())
        bottom = qMin(bottom, mCover->mapTo(window(), QPoint(0, 0)).y()
                                  - mPanel->mapTo(window(), QPoint(0, 0)).y() - 2);
    setGeometry(mPanel->width() - width - 20, bottom - height, width, height);
}

void InputFindBar::startFind()
{
    mGoToMode = false;
    mCaption->setText(kFindCaption);
    mAction->setText(kNextCaption);
    mField->setValidator(nullptr);
    mField->setText(mPanel->textCursor().hasSelection() && !mPanel->textCursor().selectedText().contains(QChar::ParagraphSeparator)
                        ? mPanel->textCursor().selectedText()
                        : mLastFound);
    mStatus->clear();
    place();
    show();
    raise();
    mField->setFocus();
    mField->selectAll();
}

void InputFindBar::startGoToLine()
{
    mGoToMode = true;
    mCaption->setText(kGoToCaption);
    mAction->setText(kGoCaption);
    mField->clear();
    mField->setValidator(new QIntValidator(1, 1 << 30, mField));
    mStatus->setText(QStringLiteral("1 - %1").arg(mPanel->blockCount()));
    place();
    show();
    raise();
    mField->setFocus();
}

void InputFindBar::accept()
{
    if (mGoToMode)
        goToLine();
    else
        findNext();
}

void InputFindBar::goToLine()
{
    if (mPanel->selectLine(mField->text().toInt())) {
        hide();
        mPanel->setFocus();
    }
}

// From the caret onwards, then once round from the top.
void InputFindBar::findNext()
{
    const QString text = (isVisible() && !mGoToMode) ? mField->text() : mLastFound;
    if (text.isEmpty()) {
        startFind();
        return;
    }
    mLastFound = text;
    QTextCursor found = mPanel->document()->find(text, mPanel->textCursor());
    if (found.isNull())
        found = mPanel->document()->find(text, 0);
    if (found.isNull()) {
        mStatus->setText(kNotFound);
        return;
    }
    mStatus->clear();
    mPanel->setTextCursor(found);
    mPanel->centerCursor();
}

bool InputFindBar::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == mField && event->type() == QEvent::KeyPress) {
        const auto key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            accept();
            return true;
        }
        if (key == Qt::Key_Escape) {
            hide();
            mPanel->setFocus();
            return true;
        }
    }
    const bool coverMoved = watched == mCover
                            && (event->type() == QEvent::Show || event->type() == QEvent::Hide
                                || event->type() == QEvent::Move || event->type() == QEvent::Resize);
    if ((coverMoved || (watched == mPanel && event->type() == QEvent::Resize)) && isVisible())
        place();
    return QFrame::eventFilter(watched, event);
}
