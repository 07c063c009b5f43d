#pragma once

#include "engine/appfolder/recentfiles.h"

#include <QMenu>

// File > Open recent: the input files opened last, newest first, kept in
// the application folder across sessions.
class RecentFilesMenu : public QMenu {
    Q_OBJECT
public:
    static constexpr const char* kCaption = "Open &recent";
    static constexpr const char* kNone = "(none yet)";
    static constexpr const char* kClear = "&Clear the list";
    static constexpr const char* kGone = "The file is no longer there, so it is taken off the list of recent files: ";

    RecentFilesMenu(const pluvora::AppFolder& folder, QWidget* parent);

    // A file opened as "Step 1" opens one: it goes first on the list.
    void opened(const QString& path);
    void forget(const QString& path);
    // Where a file dialog starts when no default folder is set.
    QString startFolder(const QString& home) const;

signals:
    void chosen(const QString& path);

private:
    void rebuild();
    void keep();

    const pluvora::AppFolder& mFolder;
    pluvora::RecentFiles mRecent;
};
