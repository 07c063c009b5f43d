#include "mainwindow.h"

MainWindow::MainWindow(const MainWindowSetup& setup, QWidget* parent)
    : QMainWindow(parent)
    , mFolder(setup.appFolder)
{
    setObjectName("TForm1");
    setWindowTitle("Pluvora");
    resize(1048, 807);
}

MainWindow::~MainWindow() = default;
