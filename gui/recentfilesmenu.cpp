#include "gui/recentfilesmenu.h"

#include "gui/utf8text.h"

RecentFilesMenu::RecentFilesMenu(const pluvora::AppFolder& folder, QWidget* parent)
    : QMenu(QString::fromLatin1(kCaption), parent), mFolder(folder), mRecent(pluvora::RecentFiles::load(folder))
{
    setObjectName("OpenRecent1");
    rebuild();
}

void RecentFilesMenu::opened(const QString& path)
{
    mRecent.opened(toUtf8(path));
    keep();
}

void RecentFilesMenu::forget(const QString& path)
{
    mRecent.forget(toUtf8(path));
    keep();
}

QString RecentFilesMenu::startFolder(const QString& home) const
{
    return fromUtf8(mRecent.startFolder(toUtf8(home)));
}

void RecentFilesMenu::keep()
{
    // The list is a convenience: a folder that cannot take it stops nothing.
    try {
        mRecent.save(mFolder);
    } catch (const std::exception&) {
    }
    rebuild();
}

void RecentFilesMenu::rebuild()
{
    clear();
    const auto& paths = mRecent.paths();
    if (paths.empty()) {
        addAction(QString::fromLatin1(kNone))->setEnabled(false);
        return;
    }
    for (std::size_t k = 0; k < paths.size(); ++k) {
        const QString path = fromUtf8(paths[k]);
        // 1 to 9 and 0 as mnemonics; an ampersand in a name is shown as one.
        const QString number = k < 9 ? QString::number(k + 1) : QStringLiteral("0");
        QAction* item = addAction(QStringLiteral("&%1 %2").arg(number, QString(path).replace('&', "&&")));
        item->setObjectName(QStringLiteral("OpenRecentFile%1").arg(k + 1));
        // Queued: opening the file rebuilds this menu, item included.
        connect(item, &QAction::triggered, this, [this, path] { emit chosen(path); }, Qt::QueuedConnection);
    }
    addSeparator();
    QAction* clearList = addAction(QString::fromLatin1(kClear));
    clearList->setObjectName("ClearRecent1");
    connect(
        clearList, &QAction::triggered, this,
        [this] {
            mRecent.clear();
            keep();
        },
        Qt::QueuedConnection);
}
