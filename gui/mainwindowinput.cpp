// The main window's input: opening a file, a captured page, the output
// loaded back, and the layout they suggest.
#include "mainwindow.h"

#include "appfolder/settings.h"
#include "charts/qualityview.h"
#include "columns/sharedvariable.h"
#include "suggest/suggestiontables.h"
#include "columnpanel.h"
#include "combolists.h"
#include "controls.h"
#include "defaultfoldersdialog.h"
#include "desktopdocumentopener.h"
#include "explorer/explorerfiles.h"
#include "explorer/explorerwindow.h"
#include "error.h"
#include "elasticlayout.h"
#include "filechooser.h"
#include "helpmenu.h"
#include "helpwindow.h"
#include "inputpanel.h"
#include "layoutsuggestionbar.h"
#include "mainmenu.h"
#include "inputcommands.h"
#include "messageboxfeedback.h"
#include "missingvaluebox.h"
#include "inputfindbar.h"
#include "longwork.h"
#include "needlegauge.h"
#include "noteline.h"
#include "output/finishedoutput.h"
#include "outputpanel.h"
#include "paneldocument.h"
#include "reportlinks.h"
#include "sitecoordinatedialog.h"
#include "site/sitememory.h"
#include "table/datastart.h"
#include "table/seencolumns.h"
#include "table/paneltext.h"
#include "tasks/estimationframe.h"
#include "tasks/missingvalues.h"
#include "taskpanel.h"
#include "templatecontrol.h"
#include "typednumberbox.h"
#include "windowfeedback.h"
#include "utf8text.h"

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
    // Cancelled: the panel, its name and the folders stay as they were.
    QTextDocument* document = buildPanelDocument(fromUtf8(text), mInputPanel, this);
    if (document == nullptr)
        return;
    mInputPanel->clear();
    mFileNameBox->setText(info.fileName());
    mRemembered.inputFileOpened(chosen.toStdString());
    mInputPanel->replaceDocument(document);
    mOutputPanel->clear();
    suggestLayoutFor(mInputPanel->toPlainText());
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
    suggestLayoutFor(mInputPanel->toPlainText());
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

void MainWindow::suggestLayoutFor(const QString& text)
{
    // A template the user picked wins over any suggestion.
    if (!mSuggestLayout->isChecked() || mTemplateBox->currentIndex() >= 0)
        return;
    mSuggestion->offer(text, pluvora::SuggestionTables::withUserFiles(mFolder.path()));
}
