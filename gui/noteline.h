#pragma once

#include <QLabel>

// A line beside "Step 4: Process" with advice that never stops the work and
// is no message box: which column a task missed, how far long work got.
class NoteLine : public QLabel {
    Q_OBJECT
public:
    explicit NoteLine(QWidget* parent = nullptr);

    void showNote(const QString& text);
    void clearNote() { clear(); setToolTip(QString()); }
};
