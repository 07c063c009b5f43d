#include "mainwindow.h"

#include "appfolder/settings.h"
#include "charts/qualityview.h"
#include "columnpanel.h"
#include "combolists.h"
#include "controls.h"
#include "defaultfoldersdialog.h"
#include "desktopdocumentopener.h"
#include "explorer/tformweb.h"
#include "error.h"
#include "elasticlayout.h"
#include "filechooser.h"
#include "helpmenu.h"
#include "helpwindow.h"
#include "inputpanel.h"
#include "mainmenu.h"
#include "inputcommands.h"
#include "messageboxfeedback.h"
#include "missingvaluebox.h"
#include "needlegauge.h"
#include "noteline.h"
#include "outputpanel.h"
#include "sitecoordinatedialog.h"
#include "table/paneltext.h"
#include "tasks/missingvalues.h"
#include "taskpanel.h"
#include "templatecontrol.h"
#include "windowfeedback.h"
#include "utf8text.h"

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

namespace {

template <typename Panel = QPlainTextEdit>
Panel* makePanel(const char* name, QWidget* parent)
{
    auto* panel = new Panel(parent);
    panel->setObjectName(name);
    panel->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont mono("Monospace");
    mono.setStyleHint(QFont::TypeWriter);
    panel->setFont(mono);
    return panel;
}

QPushButton* makeStepButton(const char* name, const char* caption, QWidget* parent)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    QFont bold = button->font();
    bold.setBold(true);
    button->setFont(bold);
    QPalette palette = button->palette();
    palette.setColor(QPalette::ButtonText, Qt::blue);
    button->setPalette(palette);
    return button;
}

} // namespace

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
    mTemplates = new TemplateControl({this, mTemplateBox, mColumns}, mFolder,
                                     *mFeedback, this);
    const ViewToggles toggles = buildMainMenu(*this);
    mElastic = toggles.elasticWindow;
    mHorizontalScroll = toggles.horizontalScrollBar;
    mSpacer = toggles.enableSpacer;
    mQuality = new QualityView(this, *mFileChooser, *mUser,
                               [this](QByteArray& text) { return gatherRequest(text); });
    mQuality->offerIn(mOutputPanel);
    mQuality->offerIn(mInputPanel);
    connect(mQuality, &QualityView::daySelected, this, [this](int line) { mInputPanel->selectLine(line); });
    widenComboLists(centralWidget());
    mElasticLayout = new ElasticLayout(centralWidget(), {kDesignWidth, kDesignHeight});
    // The spacer lines the column boxes up in design pixels.
    if (auto* spacer = mColumns->findChild<QSpinBox*>("UpDown1"))
        connect(spacer, &QSpinBox::valueChanged, this, [this] {
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

void MainWindow::buildControls()
{
    auto* client = new QWidget(this);
    client->setObjectName("ClientArea");
    client->resize(kDesignWidth, kDesignHeight);
    client->setMinimumSize(kDesignWidth / 4, kDesignHeight / 4);
    client->setFont(layoutFont());
    setCentralWidget(client);

    // Top row: step 1 and the explorer.
    mOpenButton = makeStepButton("BitBtn3", kOpenCaption, client);
    mOpenButton->setGeometry(8, 6, 200, 30);
    connect(mOpenButton, &QPushButton::clicked, this, &MainWindow::BitBtn3Click);

    mFileNameBox = new QLineEdit(client);
    mFileNameBox->setObjectName("Edit1");
    mFileNameBox->setReadOnly(true);
    mFileNameBox->setGeometry(216, 10, 0, 24);
    mFileNameBox->installEventFilter(this);
    connect(mFileNameBox, &QLineEdit::textChanged, this, &MainWindow::Edit1Change);

    mExplorerButton = new QPushButton(kExplorerCaption, client);
    mExplorerButton->setObjectName("BitBtn4");
    mExplorerButton->setToolTip(kExplorerHint);
    mExplorerButton->setGeometry(900, 6, 140, 30);
    connect(mExplorerButton, &QPushButton::clicked, this, &MainWindow::BitBtn4Click);

    // Step 2: the input panel and what each column holds.
    mStep2 = new QGroupBox(kStep2Title, client);
    mStep2->setObjectName("GroupBox1");
    mStep2->setGeometry(8, 40, 1032, 396);

    mInputPanel = makePanel<InputPanel>("Memo1", mStep2);
    mInputPanel->setGeometry(8, 20, 1016, 250);
    mInputPanel->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    mInputPanel->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    mColumns = new ColumnPanel(mStep2);
    mColumns->setGeometry(8, 276, 896, 114);
    connect(mColumns, &ColumnPanel::resetClicked, this, &MainWindow::resetColumnSpecification);

    auto* templateLabel = new QLabel(kTemplateCaption, mStep2);
    templateLabel->setGeometry(820, 278, 200, 18);
    auto* templateBox = new ClosingComboBox(mStep2);
    templateBox->onCloseUp = [this] { mTemplates->listClosed(); };
    mTemplateBox = templateBox;
    mTemplateBox->setObjectName("ComboBox2");
    mTemplateBox->setGeometry(820, 296, 204, 24);

    mRowsBefore = mColumns->rowsBox();
    connect(mRowsBefore, &QLineEdit::textChanged, this,
            [this](const QString& rows) { mInputPanel->setHeaderRows(rows.toInt()); });

    // Missing values, step 3 and step 4 on the left; the output on the right.
    mMissingValues = new MissingValueBox(*mUser, client);
    mMissingValues->move(8, 440);

    mTasks = new TaskPanel(client);
    mTasks->move(8, 440 + mMissingValues->height() + 4);
    connect(mTasks, &TaskPanel::helpRequested, this, &MainWindow::showHelpContext);

    mProcessButton = makeStepButton("BitBtn1", kProcessCaption, client);
    mProcessButton->setGeometry(8, 762, 200, 36);
    connect(mProcessButton, &QPushButton::clicked, this, &MainWindow::BitBtn1Click);

    mGauge = new NeedleGauge(client);
    mGauge->setGeometry(220, 756, 48, 48);
    mGauge->hide();

    mNoteLine = new NoteLine(client);
    mNoteLine->setGeometry(276, 762, 276, 36);

    mOutput = new OutputPanel({mFolder, mRemembered, *mUser, *mFileChooser, *mOpener, *mFileNameBox},
                              client);
    mOutput->move(560, 440);
    mOutputPanel = mOutput->panel();
    connect(mOutput, &OutputPanel::loadBack, this, &MainWindow::loadBackToInputPanel);
    connect(mOutputPanel, &QPlainTextEdit::cursorPositionChanged, this,
            &MainWindow::selectReportedLine);
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

void MainWindow::BitBtn3Click()
{
    const QString chosen = mFileChooser->openFile(this, kOpenTitle, fromUtf8(mRemembered.inputFiles),
                                                  kOpenFilter);
    if (chosen.isEmpty())
        return;
    const QFileInfo info(chosen);
    mInputPanel->clear();
    mFileNameBox->setText(info.fileName());
    mRemembered.inputFileOpened(chosen.toStdString());
    try {
        const std::string text = pluvora::loadTextFile(chosen.toStdString());
        mInputPanel->setPlainText(fromUtf8(text));
        mOutputPanel->clear();
    } catch (const std::exception&) {
        pluvora::reportError(*mUser, pluvora::kNotATextFile);
    }
}

TformWeb* MainWindow::explorer() const { return mExplorer; }

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
    setup.mainWindow = this;
    mExplorer = new TformWeb(setup, this);
    mExplorerOpen = true;
    connect(mExplorer, &TformWeb::closed, this, [this] { mExplorerOpen = false; });
    // Help lives in the main window; the explorer only asks for it.
    connect(mExplorer, &TformWeb::helpRequested, this, &MainWindow::showHelpContext);
    if (const QScreen* screen = this->screen())
        mExplorer->move(screen->availableGeometry().center() - mExplorer->rect().center());
    mExplorer->show();
}

// The column settings and the rows box stay: the output is often
// processed again with the same layout.
void MainWindow::loadBackToInputPanel(const QString& text)
{
    mFileNameBox->setText(QString::fromUtf8(pluvora::workfile::kOutput.data(),
                                            static_cast<qsizetype>(pluvora::workfile::kOutput.size())));
    mInputPanel->setPlainText(text);
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
    inputText = mInputPanel->toPlainText().toUtf8();
    request.inputText = std::string_view(inputText.constData(),
                                         static_cast<std::size_t>(inputText.size()));
    return request;
}

void MainWindow::BitBtn1Click()
{
    QByteArray inputText;
    pluvora::RunRequest request = gatherRequest(inputText);
    request.provenance = mQuality->beginRun(request);
    mOutput->setRunTask(request.taskIndex + 1);
    mNoteLine->clearNotes();
    pluvora::RunOutcome outcome;
    try {
        outcome = pluvora::runProcessing(request, mFolder, *mFeedback);
    } catch (const std::exception& error) {
        // File-layer and conversion failures end the run, not the program.
        mGauge->hide();
        pluvora::reportError(*mUser, error.what());
        return;
    }
    if (outcome.outputPanel)
        mOutputPanel->setPlainText(fromUtf8(*outcome.outputPanel));
    showBadInput(outcome);
    if (!outcome.completed)
        return;
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
    if (outcome.finishing == Finishing::None)
        return;
    std::string text = toUtf8(mOutputPanel->toPlainText());
    pluvora::removeExtraRows(text, outcome.rowsBefore);
    if (outcome.finishing == Finishing::LatitudeLine)
        pluvora::insertLine(text, 1, outcome.latitudeLine);
    mOutputPanel->setPlainText(fromUtf8(text));
    if (outcome.finishing == Finishing::SiteCoordinate)
        askForLatValueAndInsert();
    else if (outcome.finishing == Finishing::UpdateWeatherFile)
        mOutput->Button2Click();
}

void MainWindow::askForLatValueAndInsert()
{
    auto* dialog = new SiteCoordinateDialog(*mUser, this);
    connect(dialog, &SiteCoordinateDialog::coordinateAccepted, this, [this](const QString& line) {
        std::string text = toUtf8(mOutputPanel->toPlainText());
        pluvora::insertLine(text, 1, toUtf8(line));
        mOutputPanel->setPlainText(fromUtf8(text));
    });
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

void MainWindow::Preferences1Click()
{
    auto* dialog = new DefaultFoldersDialog(mFolder, mRemembered, *mUser, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
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
    const QSize client = ElasticLayout::fittedSize(design, available.size() - chrome);
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

// A click on a row of the missing-value report finds that row in the input
// panel, where the user corrects it.
void MainWindow::selectReportedLine()
{
    const QTextBlock row = mOutputPanel->textCursor().block();
    if (row.blockNumber() >= 2
        && mOutputPanel->document()->firstBlock().text() == pluvora::kMissingValuesReportHeading)
        mInputPanel->selectReportedRow(row.text(), mMissingValues->substituteText());
}

void MainWindow::Saveinputfile1Click() { mInputCommands->Saveinputfile1Click(); }
void MainWindow::CleanData1Click() { mInputCommands->CleanData1Click(); }
void MainWindow::Usetabtoaligninputdata1Click() { mInputCommands->Usetabtoaligninputdata1Click(); }
void MainWindow::RemoveDataColumnsClick() { mInputCommands->RemoveDataColumnsClick(); }
void MainWindow::Savedatatemplate1Click() { mTemplates->Savedatatemplate1Click(); }
void MainWindow::Managetemplatelist1Click() { mTemplates->Managetemplatelist1Click(); }
void MainWindow::SaveTheTemplate() { mTemplates->SaveTheTemplate(); }

void MainWindow::retrieveLastSessionTemplate() { mTemplates->applyLastSession(); }

void MainWindow::ComboBox2CloseUp()
{
    // Matched by name: the menu bar may be built anew by other code.
    if (sender() && sender()->objectName() == QLatin1String("Retrievelastsessiontemplate1"))
        mTemplates->applyLastSession();
    else
        mTemplates->applySelected();
}

void MainWindow::loadTemplateList() { mTemplates->loadTemplateList(); }

void MainWindow::startUp()
{
    setFileNameBoxProperty();
    loadTemplateList();
    const auto stored = pluvora::readSettings(mFolder);
    mRemembered = pluvora::RememberedFolders::load(stored, mFolder);
    const pluvora::Settings settings = stored.value_or(pluvora::Settings{});
    if (!stored)
        return;
    mElastic->setChecked(settings.elasticWindow);
    mHorizontalScroll->setChecked(settings.horizontalScrollBar);
    mSpacer->setChecked(settings.spacerEnabled);
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
    settings.substitutionEnabled = mMissingValues->substitutionEnabled();
    settings.missingSign = toUtf8(mMissingValues->signText());
    settings.substitution = toUtf8(mMissingValues->substituteText());
    pluvora::saveSettingsOnClose(mFolder, settings);
    SaveTheTemplate();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
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
