#pragma once

#include "appfolder/appfolder.h"
#include "appfolder/rememberedfolders.h"
#include "run/processingrun.h"

#include <QMainWindow>
#include <QPointer>

#include <filesystem>
#include <memory>

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
class HelpMenu;
class HelpWindow;
class InputPanel;
class InputCommands;
class TemplateControl;
class MissingValueBox;
class NeedleGauge;
class NoteLine;
class OutputPanel;
class QualityView;
class TaskPanel;
class UrlOpener;
class TformWeb;
class WindowFeedback;
namespace pluvora { class DocumentOpener; class UserFeedback; }

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
    // "*" rather than "*.*": here a file name need not have a dot.
    static constexpr const char* kOpenFilter = "Text file (*.txt);;All files (*)";
    static constexpr const char* kExplorerCaption = "Pluvora Explorer";
    static constexpr const char* kExplorerHint = "Open Internet Weather  Explorer to download weather data";
    static constexpr const char* kStep2Title = "Step 2: Specify input data";
    static constexpr const char* kTemplateCaption = "Data template";
    static constexpr const char* kProcessCaption = "Step 4: Process";
    static constexpr const char* kItIsDone = "It is Done";
    static constexpr const char* kOutputTitle = "Output";
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
    TformWeb* explorer() const;

public slots:
    void BitBtn3Click();
    void BitBtn1Click();
    void BitBtn4Click();
    void Edit1Change();
    void Edit1MouseDown();
    void setFileNameBoxProperty();
    void askForLatValueAndInsert();
    void Enablespacer1Click();
    void Showhorizontalscrolbar1Click();
    void Elasticwindow1Click();
    void Preferences1Click();
    void Exit1Click();
    void Instructions1Click();
    void AboutPluvora1Click();
    // Opens the help at a numbered context (0: contents); nothing happens
    // when the help pages are missing.
    void showHelpContext(int context);
    void selectReportedLine();

    void Saveinputfile1Click();
    void CleanData1Click();
    void Usetabtoaligninputdata1Click();
    void RemoveDataColumnsClick();
    void Savedatatemplate1Click();
    void Managetemplatelist1Click();
    // Applies the template "Data template" shows, or the last session's when
    // the sender is "Retrieve last session template".
    void ComboBox2CloseUp();
    // "Retrieve last session template" for a caller that has no sender.
    void retrieveLastSessionTemplate();
    void SaveTheTemplate();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void showBadInput(const pluvora::RunOutcome& outcome);
    void startUp();
    void loadTemplateList();
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
    QPointer<TformWeb> mExplorer;

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
    OutputPanel* mOutput = nullptr;         // GroupBox6
    QPlainTextEdit* mOutputPanel = nullptr; // Memo2
    QAction* mElastic = nullptr;            // Elasticwindow1
    QAction* mHorizontalScroll = nullptr;   // Showhorizontalscrolbar1
    QAction* mSpacer = nullptr;             // Enablespacer1
    InputCommands* mInputCommands = nullptr;
    TemplateControl* mTemplates = nullptr;
};
