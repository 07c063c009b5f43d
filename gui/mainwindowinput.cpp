// The main window's input: opening a file, a captured page, the output
// loaded back, and the layout they suggest.
#include "gui/mainwindow.h"

#include "engine/appfolder/settings.h"
#include "engine/columns/sharedvariable.h"
#include "engine/error.h"
#include "engine/explorer/explorerfiles.h"
#include "engine/formats/knownformat.h"
#include "engine/output/finishedoutput.h"
#include "engine/site/sitememory.h"
#include "engine/suggest/suggestiontables.h"
#include "engine/table/datastart.h"
#include "engine/table/paneltext.h"
#include "engine/table/seencolumns.h"
#include "engine/tasks/estimationframe.h"
#include "engine/tasks/missingvalues.h"
#include "gui/charts/qualityview.h"
#include "gui/columnpanel.h"
#include "gui/combolists.h"
#include "gui/controls.h"
#include "gui/defaultfoldersdialog.h"
#include "gui/desktopdocumentopener.h"
#include "gui/elasticlayout.h"
#include "gui/explorer/explorerwindow.h"
#include "gui/filechooser.h"
#include "gui/helpmenu.h"
#include "gui/helpwindow.h"
#include "gui/inputcommands.h"
#include "gui/inputfindbar.h"
#include "gui/inputpanel.h"
#include "gui/layoutsuggestionbar.h"
#include "gui/longwork.h"
#include "gui/mainmenu.h"
#include "gui/messageboxfeedback.h"
#include "gui/missingvaluebox.h"
#include "gui/needlegauge.h"
#include "gui/noteline.h"
#include "gui/outputpanel.h"
#include "gui/paneldocument.h"
#include "gui/recentfilesmenu.h"
#include "gui/reportlinks.h"
#include "gui/sitecoordinatedialog.h"
#include "gui/taskpanel.h"
#include "gui/templatecontrol.h"
#include "gui/typednumberbox.h"
#include "gui/utf8text.h"
#include "gui/windowfeedback.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSpinBox>
#include <QThread>
#include <QTextBlock>
#include <QToolButton>

#include <sstream>

void MainWindow::BitBtn3Click()
{
    const QString chosen = mFileChooser->openFile(this, kOpenTitle, fromUtf8(mRemembered.inputFiles),
                                                  kOpenFilter);
    if (!chosen.isEmpty())
        openInputFile(chosen);
}

void MainWindow::openInputFile(const QString& chosen)
{
    const QFileInfo info(chosen);
    std::string text;
    try {
        text = pluvora::loadTextFile(chosen.toStdString());
    } catch (const std::exception&) {
        mInputPanel->clear();
        mFileNameBox->setText(info.fileName());
        mRemembered.inputFileOpened(chosen.toStdString());
        pluvora::reportError(*mUser, pluvora::kNotATextFile);
        return;
    }
    // A file of a format read as days opens as its rows of days, which
    // read the same here as in a batch run.
    QString readAsDays;
    try {
        if (const auto format = pluvora::recogniseFormat(text); format && format->readAsDays) {
            std::istringstream in(text);
            std::ostringstream days;
            pluvora::writeFormatDays(*format, in, days);
            text = days.str();
            readAsDays = fromUtf8(format->name) + kShownAsDays;
        }
    } catch (const std::exception& error) {
        pluvora::reportError(*mUser, error.what());
        return;
    }
    // Cancelled: the panel, its name and the folders stay as they were.
    const QByteArray utf8(text.data(), static_cast<qsizetype>(text.size()));
    text = std::string();
    QTextDocument* document = buildPanelDocument(QString::fromUtf8(utf8), mInputPanel, this);
    if (document == nullptr)
        return;
    mFileNameBox->setText(info.fileName());
    mRemembered.inputFileOpened(chosen.toStdString());
    mRecentFiles->opened(info.absoluteFilePath());
    mInputPanel->replaceDocument(document, utf8);
    mOutput->clearText();
    suggestLayoutFor();
    if (!readAsDays.isEmpty())
        mNoteLine->addNote(readAsDays);
}

void MainWindow::openRecentFile(const QString& path)
{
    if (!QFileInfo(path).isFile()) {
        mRecentFiles->forget(path);
        pluvora::reportError(*mUser, RecentFilesMenu::kGone + toUtf8(path));
        return;
    }
    openInputFile(path);
}

ExplorerWindow* MainWindow::explorer() const { return mExplorer; }

void MainWindow::BitBtn4Click()
{
    if (mExplorerOpen && mExplorer) {
        // Back from the task bar, but a maximised explorer stays maximised.
        mExplorer->setWindowState(mExplorer->windowState() & ~Qt::WindowMinimized);
        mExplorer->show();
        mExplorer->raise();
        mExplorer->activateWindow();
        return;
    }
    ExplorerSetup setup;
    setup.folder = &mFolder;
    setup.feedback = mUser;
    setup.fileChooser = mFileChooser;
    setup.inputFolder = [this] { return fromUtf8(mRemembered.inputFiles); };
    mExplorer = new ExplorerWindow(setup, this);
    mExplorerOpen = true;
    connect(mExplorer, &ExplorerWindow::closed, this, [this] { mExplorerOpen = false; });
    connect(mExplorer, &ExplorerWindow::captured, this, &MainWindow::takeCapturedPage);
    connect(mExplorer, &ExplorerWindow::getPowerRequested, this, &MainWindow::GetPower1Click);
    // Help lives in the main window; the explorer only asks for it.
    connect(mExplorer, &ExplorerWindow::helpRequested, this, &MainWindow::showHelpContext);
    if (const QScreen* screen = this->screen())
        mExplorer->move(screen->availableGeometry().center() - mExplorer->rect().center());
    mExplorer->show();
}

void MainWindow::takeCapturedPage(const QString& text, const QString& title, const QString& source)
{
    mInputPanel->clear();
    mInputPanel->setPlainText(text);
    // The name makes the captured text count as an opened input.
    mFileNameBox->setText(title);
    setFileNameBoxProperty();
    mUser->playSound(pluvora::Sound::Exclamation);
    detectdataSource(source);
}

void MainWindow::detectdataSource(const QString& address)
{
    // The first stored template is made for a known data service's pages.
    if (pluvora::isKnownDataSource(address.toUtf8().toStdString()) && mTemplateBox->count() > 0)
        mTemplateBox->setCurrentIndex(0);
    mTemplates->applySelected();
    // With no template for the page, its own header may say what it holds.
    suggestLayoutFor();
}

// The column settings stay: the output is often processed again with the
// same layout. The rows box follows the output's own header.
void MainWindow::loadBackToInputPanel(const QString& text)
{
    if (text.isEmpty()) {
        mFileNameBox->setText(QString::fromUtf8(pluvora::workfile::kOutput.data(),
                                                static_cast<qsizetype>(pluvora::workfile::kOutput.size())));
        mInputPanel->setPlainText(text);
        return;
    }
    mFileNameBox->setText(OutputPanel::loadedBackName(mFileNameBox->text()));
    mInputPanel->setPlainText(text);
    mRowsBefore->setText(QString::number(pluvora::headerRowsOf(toUtf8(text))));
}

void MainWindow::suggestLayoutFor()
{
    // The last run's notes were about another file.
    mNoteLine->clearNotes();
    // A template the user picked wins over any suggestion.
    if (!mSuggestLayout->isChecked() || mTemplateBox->currentIndex() >= 0)
        return;
    mCodesBeforeSuggestion.reset();
    // The panel is copied only when a suggestion is wanted.
    if (!mSuggestion->offer(mInputPanel->plainTextUtf8(), pluvora::SuggestionTables::withUserFiles(mFolder.path()))) {
        if (mColumns->layout().variable(1) >= 0)
            mNoteLine->addNote(kLayoutKeptFromBefore);
        return;
    }
    // The codes the file writes for a missing value go with its layout
    // (-9999 in GHCN-Daily days, -999 in NASA POWER files).
    const auto& offered = mSuggestion->offered();
    if (!offered || (!offered->missingSign && offered->missingTexts.empty()))
        return;
    mCodesBeforeSuggestion.emplace(mMissingValues->signText(), mMissingValues->missingTexts());
    if (offered->missingSign)
        mMissingValues->setSignText(QString::number(*offered->missingSign));
    if (!offered->missingTexts.empty())
        mMissingValues->setMissingTexts(offered->missingTexts);
}
