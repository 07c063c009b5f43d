#pragma once

#include <QDialog>
#include <QString>

#include <functional>

class QLineEdit;
class QPushButton;
namespace pluvora {
class AppFolder;
class UserFeedback;
struct RememberedFolders;
} // namespace pluvora

inline constexpr const char* kDefaultFoldersTitle = "Default input & output folders";
inline constexpr const char* kInputFolderLabel = "Default folder for input files";
inline constexpr const char* kOutputFolderLabel = "Default folder for output files";
inline constexpr const char* kBrowseText = "Browse...";
inline constexpr const char* kDefaultFoldersOk = "OK";
inline constexpr const char* kDefaultFoldersCancel = "Cancel";

// "Default input & output folders" (TForm6): edits the two folder lines of
// the settings file and the folders the file dialogs start in.
class DefaultFoldersDialog : public QDialog {
    Q_OBJECT
public:
    // Asks for a folder starting at `startFolder`; an empty answer means
    // Cancel. The default shows "Select a folder"; tests put in their own.
    using FolderPicker = std::function<QString(QWidget* parent, const QString& startFolder)>;

    DefaultFoldersDialog(const pluvora::AppFolder& folder, pluvora::RememberedFolders& remembered,
                         pluvora::UserFeedback& feedback, QWidget* parent = nullptr);

    void setFolderPicker(FolderPicker picker) { mPicker = std::move(picker); }

public slots:
    // Fills both boxes from the settings file.
    void FormCreate();
    // "Browse..." beside the input folder: picks a folder for it.
    void Button3Click();
    // "Browse..." beside the weather-file folder: picks a folder for it.
    void Button4Click();
    // "OK": saves both folders and closes.
    void BitBtn1Click();
    // "Cancel": closes without saving.
    void BitBtn2Click();

private:
    void browse(QLineEdit* box);

    const pluvora::AppFolder& mFolder;
    pluvora::RememberedFolders& mRemembered;
    pluvora::UserFeedback& mFeedback;
    FolderPicker mPicker;
    QLineEdit* mInputFolder;
    QLineEdit* mOutputFolder;
};
