#include "gui/typednumberbox.h"

#include <QKeyEvent>
#include <QLineEdit>

namespace {

constexpr int kMostDigits = 6;

} // namespace

TypedNumberBox::TypedNumberBox(QLineEdit* box)
    : QObject(box)
    , mBox(box)
{
    mBox->setFocusPolicy(Qt::StrongFocus);
    mBox->installEventFilter(this);
}

bool TypedNumberBox::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != mBox)
        return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::FocusIn) {
        // The first digit typed replaces the number shown.
        mFresh = true;
        return false;
    }
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    const QString typed = key->text();
    QString text = (mFresh || mBox->hasSelectedText()) ? QString() : mBox->text();
    if (typed.size() == 1 && typed.at(0).isDigit()) {
        if (text.size() >= kMostDigits)
            return true;
        text += typed;
        mFresh = false;
        // No leading zeros: "07" reads as 7 everywhere else too.
        mBox->setText(QString::number(text.toInt()));
        return true;
    }
    if (key->key() == Qt::Key_Backspace || key->key() == Qt::Key_Delete) {
        text = mBox->text();
        text.chop(1);
        mFresh = false;
        mBox->setText(text);
        return true;
    }
    return false;
}
