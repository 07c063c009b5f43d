#include "mainwindow.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QStandardPaths>

namespace {

// The default files sit beside the program in the build tree, and under
// share/pluvora once installed.
std::filesystem::path defaultFilesFolder()
{
    const QString beside = QCoreApplication::applicationDirPath();
    if (QFileInfo::exists(beside + "/Option.pvd"))
        return beside.toStdString();
    return PLUVORA_INSTALLED_DEFAULTS;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("Pluvora");
    QApplication::setApplicationDisplayName("Pluvora");

    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (base.isEmpty()) {
        QMessageBox::critical(nullptr, "Pluvora", "Could not find the folder path.");
        return 1;
    }

    MainWindowSetup setup;
    setup.appFolder = QDir(base).filePath("Pluvora2016_1").toStdString();
    setup.startDirectory = defaultFilesFolder();
    MainWindow window(setup);
    window.show();
    return app.exec();
}
