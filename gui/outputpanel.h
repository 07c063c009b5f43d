#pragma once

#include "engine/modelfiles/modelfilesave.h"

#include <QGroupBox>

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>

class FileChooser;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
namespace pluvora {
class AppFolder;
class DocumentOpener;
class UserFeedback;
struct RememberedFolders;
}

// "Output": the result of the last run as editable text, and what can be
// done with it: save it, hand it to a spreadsheet, load it back into the
// input panel, or append it to an existing weather file.
class OutputPanel : public QGroupBox {
    Q_OBJECT
public:
    static constexpr const char* kTitle = "Output";
    static constexpr const char* kSaveCaption = "Save";
    static constexpr const char* kSaveTitle = "Save output";
    static constexpr const char* kExcelCaption = "Load in Excel";
    static constexpr const char* kLoadBackCaption = "Load back to input panel";
    static constexpr const char* kLoadBackHint = "For another round of processing.";
    static constexpr const char* kUpdateCaption = "Update Maravel weather file";
    static constexpr const char* kUpdateHint = "Update an existing Maravel weather";
    static constexpr const char* kNothingToSave = "The output panel is empty: there is nothing to save.";
    // What the file-name box says once the output is loaded back: it names
    // the input the output came from, never a working file.
    static QString loadedBackName(const QString& inputName)
    {
        return inputName.isEmpty() ? QStringLiteral("Output") : QStringLiteral("Output of ") + inputName;
    }

    // What the panel works with, all owned by the main window. The file-name
    // box (Edit1) gives the name proposed by "Save".
    struct Services {
        const pluvora::AppFolder& folder;
        pluvora::RememberedFolders& remembered;
        pluvora::UserFeedback& ui;
        FileChooser& chooser;
        pluvora::DocumentOpener& opener;
        const QLineEdit& fileNameBox;
    };

    OutputPanel(const Services& services, QWidget* parent = nullptr);
    // Removes the copy no spreadsheet program took: nothing else reads it.
    ~OutputPanel() override;

    QPlainTextEdit* panel() const { return mPanel; }
    // The task of the last run: a task-2 run has told the user what the
    // update expects, so it gets no notice.
    void setRunTask(int task) { mRunTask = task; }
    // Where the data of a task-2 run's output begin, so one new day can be
    // appended; forgotten once the panel's text changes.
    void setRunDataStart(std::size_t line) { mRunDataStart = line; }
    // A task-1 run that kept its days for a crop model's file: "Save"
    // writes that file instead of the panel's text; nothing for any other run.
    void offerModelFile(std::optional<pluvora::ModelFileOffer> offer) { mModelFile = std::move(offer); }

    // Puts a run's result in the panel. With `inSteps`, a long text goes in
    // a block of lines at a time between the window's events, read-only
    // until the last line is in, so a dialog that follows the run is not
    // kept waiting: a 365,000-line text takes about a second to lay in.
    void showText(const QString& text, bool inSteps = false);
    // The rest of a text shown in steps, at once; whatever reads or edits
    // the panel's text calls this first.
    void finishText();
    void clearText();
    // Inserts `line` so that it becomes line `index` (0-based), as
    // pluvora::insertLine does on the text, without laying the whole panel
    // in again.
    void insertLine(int index, const QString& line);

public slots:
    // "Save": writes the output panel to a file the user chooses.
    void Button4Click();
    // "Load in Excel": opens the output in the spreadsheet program.
    void Button6Click();
    // "Load back to input panel": the output becomes the next input.
    void Button7Click();
    // "Update Maravel weather file": appends the output to an existing weather file.
    void Button2Click();

signals:
    // "Load back to input panel": the text for the input panel.
    void loadBack(const QString& text);

private:
    std::string text();
    void fillStep();
    void saveModelFile(const QString& proposed);

    Services mServices;
    int mRunTask = 0;
    std::optional<std::size_t> mRunDataStart;
    std::optional<pluvora::ModelFileOffer> mModelFile;
    std::filesystem::path mUntakenCopy; // "~.wb1" once nobody took it
    bool mUpdateNoticePending = true;
    QString mPending;                    // the part of a text shown in steps not yet in
    qsizetype mPendingFrom = 0;
    bool mPendingNbsp = false;           // whether the text holds a no-break space
    QPlainTextEdit* mPanel = nullptr;   // Memo2
    QPushButton* mSave = nullptr;       // Button4
    QPushButton* mExcel = nullptr;      // Button6
    QPushButton* mLoadBack = nullptr;   // Button7
    QPushButton* mUpdate = nullptr;     // Button2
};
