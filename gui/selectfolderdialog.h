#pragma once

#include <QDialog>
#include <QString>

class QComboBox;
class QFileSystemModel;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class QTreeView;
namespace pluvora { class UserFeedback; }

inline constexpr const char* kSelectFolderTitle = "Select a folder";
inline constexpr const char* kSelectFolderOk = "OK";
inline constexpr const char* kSelectFolderCancel = "Cancel";
inline constexpr const char* kCreateNewDirectory = "Creat new directory...";
inline constexpr const char* kAllFilesFilter = "Files (*.*)";
inline constexpr const char* kFolderNotCreated = "The folder could not be created.";

// "Select a folder" (TForm7): a directory tree, the files of the current
// directory and a panel for making a new directory. OK leaves the current
// directory in chosenFolder().
class SelectFolderDialog : public QDialog {
    Q_OBJECT
public:
    SelectFolderDialog(const QString& startFolder, pluvora::UserFeedback& feedback,
                       QWidget* parent = nullptr);

    // Absolute, without a trailing separator (except for the root).
    QString currentDirectory() const { return mCurrent; }
    void setCurrentDirectory(const QString& path);
    // The directory confirmed with OK; empty until then.
    QString chosenFolder() const { return mChosen; }

public slots:
    // "OK": takes the current folder and closes.
    void bitBtn1Click();
    // "Cancel": closes, choosing nothing.
    void bitBtn2Click();
    // "Creat new directory...": shows the panel for a new folder's name.
    void Button3Click();
    // The new-folder panel's "OK": creates the typed folder and goes there.
    void bitBtn3Click();
    // The new-folder panel's "Cancel": hides the panel.
    void bitBtn4Click();
    // Closing: the new-folder panel is hidden for the next time.
    void FormClose();

private:
    void showNewDirectoryPanel(bool shown);
    void revealCurrentDirectory();

    pluvora::UserFeedback& mFeedback;
    QString mCurrent;
    QString mChosen;
    QFileSystemModel* mDirectories;
    QFileSystemModel* mFiles;
    QComboBox* mDrives;
    QTreeView* mDirectoryList;
    QListView* mFileList;
    QComboBox* mFilter;
    QLabel* mDirectoryLabel;
    QPushButton* mOk;
    QPushButton* mCancel;
    QPushButton* mCreate;
    QGroupBox* mNewDirectoryPanel;
    QLineEdit* mNewDirectory;
    QPushButton* mNewOk;
    QPushButton* mNewCancel;
};
