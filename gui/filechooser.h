#pragma once

#include <QString>

class QWidget;

// A save dialog's answer: the file and the index of the filter selected.
struct SaveChoice {
    QString path; // empty: cancelled
    int filterIndex = 0;
};

// "Text files|*.txt|All files|*" in Qt's form: "Text files (*.txt);;All files (*)".
QString qtFilter(const QString& pairs);

// Open and save dialogs behind an interface, so tests choose files without
// a dialog. An empty result means the user cancelled.
class FileChooser {
public:
    virtual ~FileChooser() = default;
    // `filter` uses Qt's form: "Text file (*.txt);;All files (*)".
    virtual QString openFile(QWidget* parent, const QString& title, const QString& folder,
                             const QString& filter) = 0;
    virtual QString saveFile(QWidget* parent, const QString& title, const QString& folder,
                             const QString& filter, const QString& defaultSuffix) = 0;
    // A save dialog in `folder` proposing `name`; a name typed without an
    // extension gets the one of the selected filter.
    virtual SaveChoice saveFileWithFilter(QWidget* parent, const QString& title, const QString& folder,
                                          const QString& name, const QString& filter);
};

class DialogFileChooser : public FileChooser {
public:
    QString openFile(QWidget* parent, const QString& title, const QString& folder,
                     const QString& filter) override;
    QString saveFile(QWidget* parent, const QString& title, const QString& folder,
                     const QString& filter, const QString& defaultSuffix) override;
    SaveChoice saveFileWithFilter(QWidget* parent, const QString& title, const QString& folder,
                                  const QString& name, const QString& filter) override;
};
