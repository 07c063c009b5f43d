#include "noteline.h"

NoteLine::NoteLine(QWidget* parent)
    : QLabel(parent)
{
    setObjectName("NoteLine");
    setWordWrap(true);
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setTextFormat(Qt::PlainText);
}

void NoteLine::showNote(const QString& text)
{
    setText(text);
    // The whole note, should the line cut it short.
    setToolTip(text);
}
