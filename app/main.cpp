#include "engine/appfolder/appfolder.h"
#include "gui/mainwindow.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QMessageBox>
#include <QScreen>
#include <QStandardPaths>

#include <exception>
#include <memory>

#include <unistd.h>

namespace {

// The default files and the help sit beside the program in the build tree,
// and under share/pluvora once installed, found from the program's own
// place so that any prefix works; never in the shell's current folder.
QString programFilesFolder()
{
    const QDir beside(QCoreApplication::applicationDirPath());
    if (beside.exists("Option.pvd"))
        return beside.absolutePath();
    return QDir::cleanPath(beside.absoluteFilePath(PLUVORA_DATA_FROM_BIN));
}

void showStartError(const char* text)
{
    QApplication::beep();
    QMessageBox::critical(nullptr, "Pluvora", QString::fromUtf8(text));
}

} // namespace

int main(int argc, char* argv[])
{
    // The explorer's browser shares OpenGL contexts with the widgets; Qt
    // needs to know before the application object exists.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    // The browser refuses to start its sandbox as root (a container, a CI
    // machine); without this the explorer would stay blank there.
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QApplication app(argc, argv);
    QApplication::setApplicationName("Pluvora");
    QApplication::setWindowIcon(QIcon(":/pluvora/pluvora.png"));
    // Ties the windows to the installed desktop entry and its icon.
    QGuiApplication::setDesktopFileName("pluvora");

    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (base.isEmpty()) {
        showStartError(std::string(pluvora::kFolderPathNotFound).c_str());
        return 1;
    }

    MainWindowSetup setup;
    setup.appFolder = QDir(base).filePath(QString::fromUtf8(pluvora::kAppFolderName.data(),
                                                            static_cast<qsizetype>(pluvora::kAppFolderName.size())))
                          .toStdString();
    const QString programFiles = programFilesFolder();
    setup.startDirectory = programFiles.toStdString();
    setup.helpFolder = QDir(programFiles).filePath("help").toStdString();
    std::unique_ptr<MainWindow> window;
    try {
        window = std::make_unique<MainWindow>(setup);
    } catch (const std::exception& error) {
        showStartError(error.what());
        return 1;
    }
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        window->fitToScreen(screen->availableGeometry());
    window->show();
    return app.exec();
}
