#pragma once

#include "gui/filechooser.h"

#include <QStringList>

// Pops queued paths instead of showing a dialog; an empty path is Cancel.
// Keeps the titles, folders and filters it was asked with.
class ScriptedFileChooser : public FileChooser {
public:
    QString openFile(QWidget*, const QString& title, const QString& folder,
                     const QString& filter) override
    {
        return next(title, folder, filter);
    }
    QString saveFile(QWidget*, const QString& title, const QString& folder, const QString& filter,
                     const QString&) override
    {
        return next(title, folder, filter);
    }

    SaveChoice saveFileWithFilter(QWidget*, const QString& title, const QString& folder,
                                  const QString& name, const QString& filter) override
    {
        names << name;
        const int index = filterIndexes.isEmpty() ? 0 : filterIndexes.takeFirst();
        return {next(title, folder, filter), index};
    }

    QStringList paths;
    QList<int> filterIndexes; // the filter selected in each save dialog
    QStringList names;        // the names the save dialogs proposed
    QStringList titles;
    QStringList folders;
    QStringList filters;

private:
    QString next(const QString& title, const QString& folder, const QString& filter)
    {
        titles << title;
        folders << folder;
        filters << filter;
        return paths.isEmpty() ? QString() : paths.takeFirst();
    }
};
