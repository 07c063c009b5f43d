#pragma once

#include "appfolder/appfolder.h"

#include <QMainWindow>

#include <filesystem>
#include <memory>

class FileChooser;
namespace pluvora { class UserFeedback; }

// Where the main window finds its files and how it talks to the user. Tests
// hand in a recorder and a scripted file chooser.
struct MainWindowSetup {
    std::filesystem::path appFolder;
    // Folder holding the default files seeded into the application folder.
    std::filesystem::path startDirectory;
    pluvora::UserFeedback* feedback = nullptr;   // null: message boxes
    FileChooser* fileChooser = nullptr;          // null: Qt's dialogs
};

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(const MainWindowSetup& setup, QWidget* parent = nullptr);
    ~MainWindow() override;

private:
    pluvora::AppFolder mFolder;
};
