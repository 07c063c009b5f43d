#include "gui/desktopdocumentopener.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QUrl>

namespace {

// xdg-open may run the program in the foreground; still running after this
// long means a program has taken the document.
constexpr int kLaunchWaitMs = 3000;

} // namespace

bool DesktopDocumentOpener::openDocument(const std::filesystem::path& file)
{
    const QString path = QString::fromStdString(file.string());
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    // QDesktopServices only tells whether xdg-open started, so a file type
    // no program is associated with would pass for opened; xdg-open's exit
    // status tells.
    const QString launcher = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (!launcher.isEmpty()) {
        auto* process = new QProcess(QCoreApplication::instance());
        QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
        process->setStandardInputFile(QProcess::nullDevice());
        process->start(launcher, {path});
        if (!process->waitForStarted()) {
            process->deleteLater();
            return false;
        }
        if (!process->waitForFinished(kLaunchWaitMs))
            return true;
        return process->exitStatus() == QProcess::NormalExit && process->exitCode() == 0;
    }
#endif
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}
