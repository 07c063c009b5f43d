#include "appfolder/appfolder.h"
#include "mainwindow.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QStandardPaths>

#include <exception>
#include <memory>

#include <unistd.h>

namespace {

// The default files sit beside the program in the build tree, and under
// share/pluvora once installed; never in the shell's current folder.
std::filesystem::path defaultFilesFolder()
{
    const QString beside = QCoreApplication::applicationDirPath();
    if (QFileInfo::exists(beside + "/Option.pvd"))
        return beside.toStdString();
    return PLUVORA_INSTALLED_DEFAULTS;
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

    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (base.isEmpty()) {
        showStartError(std::string(pluvora::kFolderPathNotFound).c_str());
        return 1;
    }

    MainWindowSetup setup;
    setup.appFolder = QDir(base).filePath(QString::fromUtf8(pluvora::kAppFolderName.data(),
                                                            static_cast<qsizetype>(pluvora::kAppFolderName.size())))
                          .toStdString();
    setup.startDirectory = defaultFilesFolder();
    std::unique_ptr<MainWindow> window;
    try {
        window = std::make_unique<MainWindow>(setup);
    } catch (const std::exception& error) {
        showStartError(error.what());
        return 1;
    }
    window->show();
    return app.exec();
}
