#pragma once

#include "engine/appfolder/appfolder.h"
#include "engine/appfolder/rememberedfolders.h"
#include "engine/run/processingrun.h"

#include <QMainWindow>
#include <QPointer>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class QAction;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QToolButton;
class ColumnPanel;
class ElasticLayout;
class FileChooser;
class FillGapsControl;
class HelpMenu;
class HelpWindow;
class InputPanel;
class InputCommands;
class InputFindBar;
class LayoutSuggestionBar;
class TemplateControl;
class MissingValueBox;
class NeedleGauge;
class NoteLine;
class OutputPanel;
class QualityView;
class RecentFilesMenu;
class ReportLinks;
class TaskPanel;
class UrlOpener;
class ExplorerWindow;
class WindowFeedback;
namespace pluvora { class DocumentOpener; class UserFeedback; struct PowerRequest; }

// Where the main window finds its files and how it talks to the user. Tests
// hand in a recorder and a scripted file chooser.
struct MainWindowSetup {
    std::filesystem::path appFolder;
    // Folder holding the default files seeded into the application folder.
    std::filesystem::path startDirectory;
    pluvora::UserFeedback* feedback = nullptr;   // null: message boxes
    FileChooser* fileChooser = nullptr;          // null: Qt's dialogs
    UrlOpener* urlOpener = nullptr;              // null: the desktop's browser
    // Folder of the HTML help pages; help shows nothing when they are missing.
    std::filesystem::path helpFolder;
    pluvora::DocumentOpener* documentOpener = nullptr; // null: the desktop's
};

// The program's window: the four steps of the work, top to bottom.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    static constexpr const char* kCaption = "Pluvora";
    static constexpr const char* kOpenCaption = "Step 1: Open input file...";
    static constexpr const char* kOpenTitle = " Select input file";
    // In the input panel's context menu; kept with the settings.
    static constexpr const char* kSuggestLayoutCaption = "Suggest a layout when a file is opened";
    // "*" rather than "*.*": here a file name need not have a dot.
    static constexpr const char* kOpenFilter =
        "All weather data (*.txt *.csv *.dat *.dly *.DLY *.met *.wth *.WTH *.prn *.op *.pcp *.tmp);;Text file (*.txt);;All files (*)";
    static constexpr const char* kExplorerCaption = "Pluvora Explorer";
    static constexpr const char* kExplorerHint = "Open Internet Weather  Explorer to download weather data";
    static constexpr const char* kStep2Title = "Step 2: Specify input data";
    static constexpr const char* kTemplateCaption = "Data template";
    static constexpr const char* kProcessCaption = "Step 4: Process";
    static constexpr const char* kLayoutAfterCleaning =
        "The input was cleaned: its fields are now read as separated by blanks.";
    // After the format's name, when a file opens as its rows of days.
    static constexpr const char* kShownAsDays =
        ": shown as its rows of days, one a day, as its reader writes them; the file itself is unchanged.";
    static constexpr const char* kLayoutKeptFromBefore =
        "No layout was suggested for this file: the columns keep the layout they had; check them.";
    static constexpr const char* kLayoutAfterRemoval =
        "Columns were removed: the column boxes moved left with them.";
    static constexpr const char* kItIsDone = "It is Done";
    static constexpr const char* kRunningLabel = "Processing...";
    static constexpr const char* kRunCancelled = "The run was cancelled; nothing was changed.";
    static constexpr const char* kOutputTitle = "Output";
    // Begins the error box of a failed fetch; the reason follows.
    static constexpr const char* kPowerFetchFailed = "No data came from NASA POWER: ";
    // Asked on closing, by Exit (Ctrl+Q) as by the window's frame.
    static constexpr const char* kCloseWithEdits =
        "The input data were edited and not saved. Close Pluvora anyway?";
    // The client area the controls' positions were drawn for.
    static constexpr int kDesignWidth = 1048;
    static constexpr int kDesignHeight = 807;

    explicit MainWindow(const MainWindowSetup& setup, QWidget* parent = nullptr);
    ~MainWindow() override;

    const pluvora::AppFolder& appFolder() const { return mFolder; }
    const pluvora::RememberedFolders& rememberedFolders() const { return mRemembered; }
    // How long "It is Done" stays on the process button.
    void setCompletionPause(int milliseconds) { mCompletionPause = milliseconds; }
    // Sizes and places the window for a desktop whose free area is
    // `available`: a desktop smaller than the design gets the window scaled
    // to fit, elastic layout on.
    void fitToScreen(const QRect& available);
    HelpWindow* helpWindow() const;
    // True from the explorer's creation until it closes; there is never more than one.
    bool explorerOpen() const { return mExplorerOpen; }
    ExplorerWindow* explorer() const;

public slots:
    // "Step 1: Open input file...": loads a text file into the input panel.
    void BitBtn3Click();
    // Opens `path` as "Step 1" does once a file is chosen.
    void openInputFile(const QString& path);
    // File > Open recent: opens `path` as "Step 1" would, or takes a file
    // that is gone off the list.
    void openRecentFile(const QString& path);
    // "Step 4: Process": runs the chosen task on the input.
    void BitBtn1Click();
    // "Pluvora Explorer": opens the one explorer, or brings it to the front.
    void BitBtn4Click();
    // The file name changed: the box is fitted to it.
    void Edit1Change();
    // A click in the file-name box: it takes no caret.
    void Edit1MouseDown();
    // Fits the file-name box to the name it shows.
    void setFileNameBoxProperty();
    // Asks the site's coordinates and writes them into the weather file's head.
    void askForLatValueAndInsert();
    // "Enable spacer": turns the column spacer on or off.
    void Enablespacer1Click();
    // "Show horizontal scroll bar" for the input panel, on or off.
    void Showhorizontalscrolbar1Click();
    // "Elastic window": scales the controls with the window, or back to the design.
    void Elasticwindow1Click();
    // "Fill gaps...": how missing values are filled instead of substituted.
    void FillGaps1Click();
    // "Default input & output folders...": the folders dialog.
    void Preferences1Click();
    // "Exit": closes the window.
    void Exit1Click();
    // "Instructions": the help at its contents.
    void Instructions1Click();
    // "About Pluvora": the about box.
    void AboutPluvora1Click();
    // Opens the help at a numbered context (0: contents); nothing happens
    // when the help pages are missing.
    void showHelpContext(int context);
    // A click on a row the missing-value report lists selects that input line.
    void selectReportedLine();
    // "Get daily data for a site...": asks for a site and fetches its NASA POWER series.
    void GetPower1Click();

    // Menu commands, each handed to the input commands or the template control.
    void Saveinputfile1Click();
    // "Clean input data".
    void CleanData1Click();
    // "Align input data using tabs".
    void Usetabtoaligninputdata1Click();
    // "Remove input data columns...".
    void RemoveDataColumnsClick();
    // "Save current data template...".
    void Savedatatemplate1Click();
    // "Manage template list...".
    void Managetemplatelist1Click();
    // Applies the template "Data template" shows.
    void ComboBox2CloseUp();
    // "Retrieve last session template": applies the last session's layout.
    void retrieveLastSessionTemplate();
    // Keeps the current layout as the last session's.
    void SaveTheTemplate();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The explorer's "Capture data": the page becomes the input, named
    // `title`; a known data service's page gets its template.
    void takeCapturedPage(const QString& text, const QString& title, const QString& source);
    void detectdataSource(const QString& address);
    // Fetches off the UI thread; the reply comes back to takePowerReply.
    void fetchPower(const pluvora::PowerRequest& request);
    // Saves the reply where the user chooses and opens it as the input.
    void takePowerReply(const std::string& reply);
    void buildControls();
    void showBadInput(const pluvora::RunOutcome& outcome);
    // Points to "Fill gaps..." after a run stopped on gaps a fill could close.
    void offerFill(const pluvora::RunOutcome& outcome);
    void startUp();
    void loadTemplateList();
    // Fills the column panel with the layout the input panel suggests, when the
    // option is on and no template was chosen.
    void suggestLayoutFor();
    void shutDown();
    void showCompletion();
    void finishOutput(const pluvora::RunOutcome& outcome);
    pluvora::RunRequest gatherRequest(QByteArray& inputText) const;
    void resetColumnSpecification();
    void loadBackToInputPanel(const QString& text);

    pluvora::AppFolder mFolder;
    std::unique_ptr<pluvora::UserFeedback> mOwnFeedback;
    pluvora::UserFeedback* mUser = nullptr;
    QualityView* mQuality = nullptr;
    RecentFilesMenu* mRecentFiles = nullptr;
    std::unique_ptr<WindowFeedback> mFeedback;
    std::unique_ptr<FileChooser> mOwnFileChooser;
    FileChooser* mFileChooser = nullptr;
    HelpMenu* mHelpMenu = nullptr;
    ElasticLayout* mElasticLayout = nullptr;
    std::unique_ptr<pluvora::DocumentOpener> mOwnOpener;
    pluvora::DocumentOpener* mOpener = nullptr;
    pluvora::RememberedFolders mRemembered;
    int mCompletionPause = 1000;
    bool mShutDown = false;
    bool mExplorerOpen = false;
    bool mFetchingPower = false;
    QPointer<ExplorerWindow> mExplorer;

    QPushButton* mOpenButton = nullptr;     // BitBtn3
    QLineEdit* mFileNameBox = nullptr;      // Edit1
    QPushButton* mExplorerButton = nullptr; // BitBtn4
    QGroupBox* mStep2 = nullptr;            // GroupBox1
    InputPanel* mInputPanel = nullptr;      // Memo1
    QComboBox* mTemplateBox = nullptr;      // ComboBox2
    QLineEdit* mRowsBefore = nullptr;       // adpEdit1, in the column panel
    ColumnPanel* mColumns = nullptr;
    MissingValueBox* mMissingValues = nullptr;
    TaskPanel* mTasks = nullptr;
    QPushButton* mProcessButton = nullptr;  // BitBtn1
    NeedleGauge* mGauge = nullptr;          // Gauge1
    NoteLine* mNoteLine = nullptr;
    ReportLinks* mReportLinks = nullptr;
    OutputPanel* mOutput = nullptr;         // GroupBox6
    QPlainTextEdit* mOutputPanel = nullptr; // Memo2
    QAction* mElastic = nullptr;            // Elasticwindow1
    QAction* mHorizontalScroll = nullptr;   // Showhorizontalscrolbar1
    QAction* mSpacer = nullptr;             // Enablespacer1
    QAction* mSuggestLayout = nullptr;      // Suggestlayout1
    LayoutSuggestionBar* mSuggestion = nullptr;
    // The missing-value sign and texts from before a suggestion set its own.
    std::optional<std::pair<QString, std::vector<std::string>>> mCodesBeforeSuggestion;
    InputFindBar* mFindBar = nullptr;
    InputCommands* mInputCommands = nullptr;
    TemplateControl* mTemplates = nullptr;
    FillGapsControl* mFill = nullptr;
};
