#pragma once

class QPlainTextEdit;
class QString;

// Replaces the whole text of `panel` as one edit, so that Ctrl+Z in the
// panel brings the text before it back. setPlainText would forget the
// panel's undo history instead.
void replaceTextUndoably(QPlainTextEdit* panel, const QString& text);
