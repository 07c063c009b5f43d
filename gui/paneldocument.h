#pragma once

class QPlainTextEdit;
class QString;
class QTextDocument;
class QWidget;

// A new document for `panel` holding `text`, built a block of lines at a
// time with progress and Cancel (a year of hourly data is 365,000 lines).
// The panel is not touched: the caller swaps the document in with
// setDocument. Null when the user cancelled.
QTextDocument* buildPanelDocument(const QString& text, QPlainTextEdit* panel,
                                  QWidget* progressParent);
