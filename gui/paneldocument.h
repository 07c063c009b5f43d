#pragma once

class InputPanel;
class QString;
class QTextDocument;
class QWidget;

// A new document for `panel` holding `text`, built a block of lines at a
// time with progress and Cancel (a year of hourly data is 365,000 lines).
// A long text fills the document while the panel shows it
// (InputPanel::beginFilling); the caller hands the result to
// InputPanel::replaceDocument. Null when the user cancelled: the panel
// shows what it showed before.
QTextDocument* buildPanelDocument(const QString& text, InputPanel* panel,
                                  QWidget* progressParent);
