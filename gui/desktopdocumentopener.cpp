#include "desktopdocumentopener.h"

#include <QDesktopServices>
#include <QString>
#include <QUrl>

bool DesktopDocumentOpener::openDocument(const std::filesystem::path& file)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(file.string())));
}
