#include "gui/noteline.h"

#include <QResizeEvent>

NoteLine::NoteLine(QWidget* parent)
    : QLabel(parent)
{
    setObjectName(kObjectName);
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    QPalette tint = palette();
    tint.setColor(QPalette::WindowText, QColor(0x80, 0x40, 0x00));
    setPalette(tint);
}

void NoteLine::addNote(const QString& note)
{
    mNotes.append(note);
    showNotes();
}

void NoteLine::clearNotes()
{
    mNotes.clear();
    showNotes();
}

void NoteLine::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    showNotes();
}

void NoteLine::showNotes()
{
    // Elided to the line, so the label never grows over its neighbours.
    const QString all = mNotes.join(QStringLiteral("  "));
    setText(fontMetrics().elidedText(all, Qt::ElideRight, qMax(0, width() - 4)));
    setToolTip(mNotes.join(QLatin1Char('\n')));
}
