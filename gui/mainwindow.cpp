#include "gui/mainwindow.h"

#include "engine/appfolder/settings.h"
#include "engine/columns/sharedvariable.h"
#include "engine/error.h"
#include "engine/explorer/explorerfiles.h"
#include "engine/modelfiles/daylog.h"
#include "engine/modelfiles/modelfilesave.h"
#include "engine/output/finishedoutput.h"
#include "engine/run/usertermsmessage.h"
#include "engine/site/sitememory.h"
#include "engine/suggest/suggestiontables.h"
#include "engine/table/datastart.h"
#include "engine/table/paneltext.h"
#include "engine/table/seencolumns.h"
#include "engine/tasks/datacheckup.h"
#include "engine/tasks/estimationframe.h"
#include "engine/tasks/missingvalues.h"
#include "engine/tasks/weatherfileupdate.h"
#include "gui/charts/qualityview.h"
#include "gui/columnpanel.h"
#include "gui/combolists.h"
#include "gui/controls.h"
#include "gui/defaultfoldersdialog.h"
#include "gui/desktopdocumentopener.h"
#include "gui/elasticlayout.h"
#include "gui/explorer/explorerwindow.h"
#include "gui/filechooser.h"
#include "gui/fillgapscontrol.h"
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
#include <QDir>
#include <QScreen>
#include <QScrollBar>
#include <QSpinBox>
#include <QThread>
#include <QTextBlock>
#include <QToolButton>

#include <algorithm>

MainWindow::MainWindow(const MainWindowSetup& setup, QWidget* parent)
    : QMainWindow(parent)
    , mFolder(pluvora::AppFolder::setUp(setup.appFolder, setup.startDirectory))
{
    setObjectName("TForm1");
    setWindowTitle(kCaption);

    if (setup.feedback == nullptr)
        mOwnFeedback = std::make_unique<MessageBoxFeedback>(this);
    mUser = setup.feedback ? setup.feedback : mOwnFeedback.get();
    if (setup.fileChooser == nullptr)
        mOwnFileChooser = std::make_unique<DialogFileChooser>();
    mFileChooser = setup.fileChooser ? setup.fileChooser : mOwnFileChooser.get();
    mHelpMenu = new HelpMenu(this, setup.helpFolder, setup.urlOpener);
    if (setup.documentOpener == nullptr)
        mOwnOpener = std::make_unique<DesktopDocumentOpener>();
    mOpener = setup.documentOpener ? setup.documentOpener : mOwnOpener.get();

    buildControls();
    mFeedback = std::make_unique<WindowFeedback>(*mUser, mGauge, mNoteLine);
    mInputCommands = new InputCommands({this, mInputPanel, mFileNameBox, mRowsBefore}, mFolder,
                                       *mFeedback, *mFileChooser, mRemembered, this);
    mInputCommands->setFieldSplitSource(
        [this] { return pluvora::fieldSplitOf(mColumns->layout().fields); });
    // The layout follows what the commands did to the columns.
    connect(mInputCommands, &InputCommands::cleaned, this, [this] {
        pluvora::DataLayout layout = mColumns->layout();
        layout.fields = pluvora::FieldSeparator::Blanks;
        layout.fieldEnds.clear();
        layout.decimalComma = false;
        mColumns->apply(layout);
        mNoteLine->addNote(kLayoutAfterCleaning);
    });
    connect(mInputCommands, &InputCommands::columnsRemoved, this, [this](const std::vector<bool>& removed) {
        mColumns->apply(pluvora::withoutColumns(mColumns->layout(), removed));
        mNoteLine->addNote(kLayoutAfterRemoval);
    });
    mFill = new FillGapsControl(this, mFolder, *mFileChooser, *mUser, this);
    mTemplates = new TemplateControl({this, mTemplateBox, mColumns, mMissingValues, mFill}, mFolder,
                                     *mFeedback, this);
    mQuality = new QualityView(this, *mFileChooser, *mUser,
                               [this](QByteArray& text) { return gatherRequest(text); });
    mRecentFiles = new RecentFilesMenu(mFolder, this);
    connect(mRecentFiles, &RecentFilesMenu::chosen, this, &MainWindow::openRecentFile);
    const ViewToggles toggles = buildMainMenu(*this, mRecentFiles, mFindBar, mQuality->actions());
    mElastic = toggles.elasticWindow;
    mHorizontalScroll = toggles.horizontalScrollBar;
    mSpacer = toggles.enableSpacer;
    mSuggestLayout = new QAction(QString::fromUtf8(kSuggestLayoutCaption), this);
    mSuggestLayout->setObjectName("Suggestlayout1");
    mSuggestLayout->setCheckable(true);
    mSuggestLayout->setChecked(true);
    mQuality->offerIn(mOutputPanel);
    // The input panel's own menu holds "Data start here" as well.
    mInputPanel->addContextActions(mQuality->actions());
    mInputPanel->addContextActions({mSuggestLayout});
    connect(mQuality, &QualityView::daySelected, this, [this](int line) { mInputPanel->selectLine(line); });
    widenComboLists(centralWidget());
    mElasticLayout = new ElasticLayout(centralWidget(), {kDesignWidth, kDesignHeight});
    mElasticLayout->setLeastWidth([this](const QWidget* widget) { return mColumns->leastWidth(widget); });
    // The spacer lines the column boxes up in design pixels.
    connect(mColumns->spacerBox(), &QSpinBox::valueChanged, this, [this] {
        mElasticLayout->redesign([this] { mColumns->UpDown1Click(); });
    });
    resize(kDesignWidth, kDesignHeight + menuBar()->sizeHint().height());
    startUp();
}

MainWindow::~MainWindow()
{
    // The panels are freed after this window's members; clearing them must
    // not call back into a window that is half gone.
    disconnect(mOutputPanel, nullptr, this, nullptr);
    disconnect(mRowsBefore, nullptr, this, nullptr);
    // Hiding a shown window closes the template list, which would apply a
    // template with the application folder already gone.
    if (auto* templates = dynamic_cast<ClosingComboBox*>(mTemplateBox))
        templates->onCloseUp = nullptr;
    // The explorer uses the folder and feedback members, which go before
    // the child windows would.
    delete mExplorer;
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    // The file-name box only names what the panel holds: no caret in it.
    if (watched == mFileNameBox && event->type() == QEvent::MouseButtonPress) {
        Edit1MouseDown();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::Edit1Change() { setFileNameBoxProperty(); }

void MainWindow::Edit1MouseDown() { mFileNameBox->clearFocus(); }

void MainWindow::setFileNameBoxProperty()
{
    const QString text = mFileNameBox->text();
    if (text.isEmpty()) {
        mFileNameBox->setFrame(false);
        mFileNameBox->resize(0, mFileNameBox->height());
        return;
    }
    mFileNameBox->setFrame(true);
    // The font is set in pixels; QFontInfo gives its size in points.
    const int pointSize = qMax(1, QFontInfo(mFileNameBox->font()).pointSize());
    const int widest = mInputPanel->width() - mOpenButton->width() - mExplorerButton->width();
    mFileNameBox->resize(qMin(static_cast<int>(text.size()) * pointSize, widest),
                         mFileNameBox->height());
}


void MainWindow::resetColumnSpecification()
{
    mTemplateBox->setCurrentIndex(-1);
}

pluvora::RunRequest MainWindow::gatherRequest(QByteArray& inputText) const
{
    pluvora::RunRequest request;
    request.fileName = toUtf8(mFileNameBox->text());
    mColumns->fillRequest(request);
    mTasks->fillRequest(request);
    mMissingValues->fillRequest(request);
    inputText = mInputPanel->plainTextUtf8();
    request.inputText = std::string_view(inputText.constData(),
                                         static_cast<std::size_t>(inputText.size()));
    return request;
}

void MainWindow::BitBtn1Click()
{
    QByteArray inputText;
    pluvora::RunRequest request = gatherRequest(inputText);
    mNoteLine->clearNotes();
    if (const auto shared = pluvora::findSharedVariable(request.layout.variables)) {
        pluvora::reportError(*mUser, pluvora::sharedVariableMessage(*shared));
        return;
    }
    if (const auto unsure = mSuggestion->stopBeforeRun(request.taskIndex + 1, request.rearrange)) {
        pluvora::reportError(*mUser, *unsure);
        return;
    }
    if (!mFill->prepare(request))
        return;
    request.provenance = mQuality->beginRun(request);
    mOutput->setRunTask(request.taskIndex + 1);
    mOutput->offerModelFile(std::nullopt);
    // A crop model's file is written from the days as the run converts them.
    const pluvora::ModelFormat format = mTasks->weatherFileFormat();
    std::optional<pluvora::DayLog> days;
    if (request.taskIndex == 0 && format != pluvora::ModelFormat::Wth) {
        days.emplace(mFolder.file(pluvora::kModelDaysFile));
        request.days = &*days;
    }
    // The passes step once per data line.
    const int dataLines = qMax(0, mInputPanel->blockCount() - qMax(0, mRowsBefore->text().toInt()));
    pluvora::RunOutcome outcome;
    bool cancelled = false;
    try {
        LongWork work(this, kRunningLabel, dataLines);
        const LongWorkWatch watch(*mFeedback, work);
        // Streamed as the batch runs: task 1 then converts in one pass, and
        // the result is read once, from the file, rather than through a copy.
        try {
            pluvora::savePanelText(mFolder.file(pluvora::workfile::kInput), request.inputText);
        } catch (const pluvora::Error& error) {
            throw pluvora::Error(pluvora::inUserTerms(error.what(), mFolder.path()));
        }
        request.streamed = true;
        outcome = pluvora::runProcessing(request, mFolder, *mFeedback);
        work.finish();
    } catch (const LongWorkCancelled&) {
        cancelled = true;
    } catch (const pluvora::RunCancelled&) {
        cancelled = true;
    } catch (const std::exception& error) {
        // File-layer and conversion failures end the run, not the program.
        mGauge->hide();
        pluvora::reportError(*mUser, error.what());
        return;
    }
    if (cancelled) {
        // Nothing the run wrote reaches a panel or a file.
        days.reset();
        mFolder.remove(pluvora::kModelDaysFile);
        pluvora::removeRunFiles(mFolder);
        mGauge->hide();
        // The notes of a run that did not happen would mislead.
        mNoteLine->clearNotes();
        mNoteLine->addNote(kRunCancelled);
        return;
    }
    // A completed run's result is finished before it reaches the panel, so
    // the panel is filled once.
    if (outcome.completed && !outcome.outputFile.empty()) {
        std::string text = pluvora::loadPanelText(outcome.outputFile);
        if (outcome.finishing != pluvora::Finishing::None)
            pluvora::finishPanelText(text, pluvora::outputFinishFor(outcome, std::nullopt));
        // The site dialog that follows need not wait for the last line.
        mOutput->showText(fromUtf8(text), outcome.finishing == pluvora::Finishing::SiteCoordinate);
    } else if (outcome.outputPanel) {
        mOutput->showText(fromUtf8(*outcome.outputPanel));
    }
    mReportLinks->setReport(outcome.reportedDays, outcome.reportedDaysFrom);
    if (outcome.missingVariable)
        mNoteLine->addNote(QString::fromLatin1(pluvora::kRequiredDataMissing) + " Missing: "
                        + fromUtf8(pluvora::missingColumnNote(*outcome.missingVariable)) + ".");
    showBadInput(outcome);
    if (!outcome.completed) {
        offerFill(outcome);
        return;
    }
    if (days) {
        days->close();
        mOutput->offerModelFile(pluvora::ModelFileOffer{format, days->file(), toUtf8(mFileNameBox->text())});
    }
    showCompletion();
    finishOutput(outcome);
}

void MainWindow::showCompletion()
{
    // The run blocks the window; so does the signal, which is why it is
    // painted at once and held by sleeping rather than by a timer.
    const QString caption = mProcessButton->text();
    QPalette palette = mProcessButton->palette();
    const QColor previous = palette.color(QPalette::ButtonText);
    palette.setColor(QPalette::ButtonText, Qt::red);
    mProcessButton->setPalette(palette);
    mProcessButton->setText(kItIsDone);
    mProcessButton->repaint();
    if (mCompletionPause > 0)
        QThread::msleep(static_cast<unsigned long>(mCompletionPause));
    palette.setColor(QPalette::ButtonText, previous);
    mProcessButton->setPalette(palette);
    mProcessButton->setText(caption);
}

void MainWindow::finishOutput(const pluvora::RunOutcome& outcome)
{
    using pluvora::Finishing;
    // The panel holds the finished text already (BitBtn1Click).
    if (outcome.finishing == Finishing::SiteCoordinate)
        askForLatValueAndInsert();
    else if (outcome.finishing == Finishing::UpdateWeatherFile) {
        mOutput->setRunDataStart(pluvora::runOutputDataStart(outcome.rowsBefore));
        mOutput->Button2Click();
    }
}

void MainWindow::askForLatValueAndInsert()
{
    auto* dialog = new SiteCoordinateDialog(*mUser, this);
    const std::string inputName = toUtf8(mFileNameBox->text());
    const QByteArray input = mInputPanel->plainTextUtf8();
    if (const auto site = pluvora::proposeSite(mFolder, inputName,
                                               std::string_view(input.constData(), static_cast<std::size_t>(input.size())),
                                               mRowsBefore->text().toInt()))
        dialog->setSite(*site);
    connect(dialog, &SiteCoordinateDialog::coordinateAccepted, this, [this, dialog, inputName](const QString& line) {
        mOutput->insertLine(1, line);
        try {
            pluvora::rememberSite(mFolder, inputName, dialog->site());
        } catch (const std::exception&) {
            // Only the next proposal is lost.
        }
    });
    connect(dialog, &QDialog::finished, mOutput, &OutputPanel::finishText);
    dialog->open();
}

void MainWindow::Enablespacer1Click() { mColumns->setSpacerEnabled(mSpacer->isChecked()); }

void MainWindow::Showhorizontalscrolbar1Click()
{
    mInputPanel->setHorizontalScrollBarPolicy(mHorizontalScroll->isChecked()
                                                  ? Qt::ScrollBarAlwaysOn
                                                  : Qt::ScrollBarAlwaysOff);
}

void MainWindow::Elasticwindow1Click() { mElasticLayout->setEnabled(mElastic->isChecked()); }

void MainWindow::FillGaps1Click() { mFill->FillGaps1Click(); }

void MainWindow::Preferences1Click()
{
    auto* dialog = new DefaultFoldersDialog(mFolder, mRemembered, *mUser, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::finished, mOutput, &OutputPanel::finishText);
    dialog->open();
}

void MainWindow::Exit1Click() { close(); }

HelpWindow* MainWindow::helpWindow() const { return mHelpMenu->helpWindow(); }

void MainWindow::Instructions1Click() { mHelpMenu->showContext(HelpWindow::kContents); }

void MainWindow::showHelpContext(int context) { mHelpMenu->showContext(context); }

void MainWindow::AboutPluvora1Click() { mHelpMenu->showAbout(); }

void MainWindow::fitToScreen(const QRect& available)
{
    // The desktop adds a frame and title bar outside the window.
    const int menuHeight = menuBar()->sizeHint().height();
    const QSize chrome(16, 48 + menuHeight);
    const QSize design(kDesignWidth, kDesignHeight);
    // Width and height scale apart, so a wide, low screen leaves the
    // column boxes the room their text needs.
    const QSize client = design.boundedTo(available.size() - chrome);
    if (client != design) {
        mElastic->setChecked(true);
        Elasticwindow1Click();
    }
    resize(client.width(), client.height() + menuHeight);
    const QSize spare = available.size() - client - chrome;
    move(available.topLeft() + QPoint(qMax(0, spare.width() / 2), qMax(0, spare.height() / 2)));
}

void MainWindow::showBadInput(const pluvora::RunOutcome& outcome)
{
    if (outcome.badInput)
        mInputPanel->selectLine(outcome.badInput->line);
}

void MainWindow::offerFill(const pluvora::RunOutcome& outcome)
{
    if (mFill->choice().asked())
        return;
    const bool missingValues = outcome.outputPanel
        && outcome.outputPanel->starts_with(pluvora::kMissingValuesReportHeading);
    const bool skippedDays = std::any_of(
        outcome.reportedDays.begin(), outcome.reportedDays.end(), [](const pluvora::ReportedDay& day) {
            return day.reason.find(pluvora::kDaysMissingBefore) != std::string::npos;
        });
    if (missingValues || skippedDays)
        mNoteLine->addNote(QString::fromUtf8(FillGapsControl::kFillOffer));
}

// A click on a row of the missing-value report finds that row in the input
// panel, where the user corrects it.
void MainWindow::selectReportedLine()
{
    // A cursor made while the panel is being cleared would join the set of
    // cursors the document is walking: look at the heading first.
    if (mOutputPanel->document()->firstBlock().text() != pluvora::kMissingValuesReportHeading)
        return;
    const QTextBlock row = mOutputPanel->textCursor().block();
    if (row.blockNumber() >= 2)
        mInputPanel->selectReportedRow(row.text(), mMissingValues->substituteText());
}

void MainWindow::Saveinputfile1Click() { mInputCommands->Saveinputfile1Click(); }
void MainWindow::CleanData1Click() { mInputCommands->CleanData1Click(); }
void MainWindow::Usetabtoaligninputdata1Click() { mInputCommands->Usetabtoaligninputdata1Click(); }
void MainWindow::RemoveDataColumnsClick() { mInputCommands->RemoveDataColumnsClick(); }
void MainWindow::Savedatatemplate1Click() { mTemplates->Savedatatemplate1Click(); }
void MainWindow::Managetemplatelist1Click() { mTemplates->Managetemplatelist1Click(); }
void MainWindow::SaveTheTemplate() { mTemplates->SaveTheTemplate(); }

void MainWindow::retrieveLastSessionTemplate()
{
    mSuggestion->dismiss();
    mTemplates->applyLastSession();
}

void MainWindow::ComboBox2CloseUp()
{
    // A template the user picks wins over the suggestion.
    mSuggestion->dismiss();
    mTemplates->applySelected();
}

void MainWindow::loadTemplateList() { mTemplates->loadTemplateList(); }

void MainWindow::startUp()
{
    setFileNameBoxProperty();
    loadTemplateList();
    const auto stored = pluvora::readSettings(mFolder);
    // With no default folder set, dialogs start where the user last was, or
    // at home: never in the hidden application folder.
    mRemembered = pluvora::RememberedFolders::load(
        stored, mFolder, toUtf8(mRecentFiles->startFolder(QDir::homePath() + QDir::separator())));
    const pluvora::Settings settings = stored.value_or(pluvora::Settings{});
    if (!stored)
        return;
    mElastic->setChecked(settings.elasticWindow);
    mHorizontalScroll->setChecked(settings.horizontalScrollBar);
    mSpacer->setChecked(settings.spacerEnabled);
    mSuggestLayout->setChecked(settings.suggestLayout);
    Elasticwindow1Click();
    Showhorizontalscrolbar1Click();
    Enablespacer1Click();
    mMissingValues->setSubstitutionEnabled(settings.substitutionEnabled);
    mMissingValues->setSignText(fromUtf8(settings.missingSign));
    mMissingValues->setSubstituteText(fromUtf8(settings.substitution));
}

void MainWindow::shutDown()
{
    mFolder.deleteFiles();
    pluvora::Settings settings;
    settings.elasticWindow = mElastic->isChecked();
    settings.horizontalScrollBar = mHorizontalScroll->isChecked();
    settings.spacerEnabled = mSpacer->isChecked();
    settings.suggestLayout = mSuggestLayout->isChecked();
    settings.substitutionEnabled = mMissingValues->substitutionEnabled();
    settings.missingSign = toUtf8(mMissingValues->signText());
    settings.substitution = toUtf8(mMissingValues->substituteText());
    pluvora::saveSettingsOnClose(mFolder, settings);
    SaveTheTemplate();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (!mShutDown && mInputPanel->document()->isModified() && !mUser->askYesNo(kCloseWithEdits)) {
        event->ignore();
        return;
    }
    if (!mShutDown) {
        mShutDown = true;
        try {
            shutDown();
        } catch (const std::exception& error) {
            pluvora::reportError(*mUser, error.what());
        }
        mHelpMenu->closeHelp();
    }
    event->accept();
}
