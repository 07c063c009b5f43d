#pragma once

#include <QString>

class QWidget;

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
};

class DialogFileChooser : public FileChooser {
public:
    QString openFile(QWidget* parent, const QString& title, const QString& folder,
                     const QString& filter) override;
    QString saveFile(QWidget* parent, const QString& title, const QString& folder,
                     const QString& filter, const QString& defaultSuffix) override;
};
