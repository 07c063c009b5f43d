#include "gui/undoablereplace.h"

#include <QPlainTextEdit>
#include <QTextCursor>

void replaceTextUndoably(QPlainTextEdit* panel, const QString& text)
{
    QTextCursor cursor(panel->document());
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    cursor.insertText(text);
    cursor.endEditBlock();
    cursor.movePosition(QTextCursor::Start);
    panel->setTextCursor(cursor);
}
