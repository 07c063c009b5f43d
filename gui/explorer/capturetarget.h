#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

// The main window as the explorer sees it. Its controls are found by their
// names and its commands called by name, so the explorer builds without the
// main window's header and a missing command simply does nothing.
class CaptureTarget {
public:
    explicit CaptureTarget(QWidget* mainWindow);

    // The input panel `Memo1` gets `text`, the file-name box `Edit1` gets
    // `name`, and the box is fitted to it (`setFileNameBoxProperty`).
    void putInput(const QString& text, const QString& name) const;
    // Selects the first template of `ComboBox2` when asked, then applies
    // the selected one (`ComboBox2CloseUp`).
    void applyTemplate(bool selectFirst) const;

private:
    QWidget* clientArea() const;

    QPointer<QWidget> mMainWindow;
};
