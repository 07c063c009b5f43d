#pragma once

#include <QLabel>
#include <QStringList>

// One line under the run button with the run's advice about its input.
// It never interrupts: the full notes are in its tool tip, and the line is
// cleared when the next run starts.
class NoteLine : public QLabel {
    Q_OBJECT
public:
    static constexpr const char* kObjectName = "NoteLine";

    explicit NoteLine(QWidget* parent = nullptr);

    void addNote(const QString& note);
    void clearNotes();
    const QStringList& notes() const { return mNotes; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void showNotes();

    QStringList mNotes;
};
