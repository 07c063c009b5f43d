// The main window's controls at their design positions.
#include "gui/mainwindow.h"

#include "gui/columnpanel.h"
#include "gui/controls.h"
#include "gui/inputfindbar.h"
#include "gui/inputpanel.h"
#include "gui/layoutsuggestionbar.h"
#include "gui/missingvaluebox.h"
#include "gui/needlegauge.h"
#include "gui/noteline.h"
#include "gui/outputpanel.h"
#include "gui/reportlinks.h"
#include "gui/taskpanel.h"
#include "gui/templatecontrol.h"
#include "gui/typednumberbox.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
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
    // As wide as the input panel: the rows box sits at its right end.
    mColumns->setGeometry(8, 276, 1016, 114);
    connect(mColumns, &ColumnPanel::resetClicked, this, &MainWindow::resetColumnSpecification);

    auto* templateLabel = new QLabel(kTemplateCaption, mStep2);
    templateLabel->setGeometry(820, 278, 200, 18);
    auto* templateBox = new ClosingComboBox(mStep2);
    templateBox->onCloseUp = [this] { mTemplates->listClosed(); };
    mTemplateBox = templateBox;
    mTemplateBox->setObjectName("ComboBox2");
    mTemplateBox->setGeometry(820, 296, 204, 24);

    // Over the input panel's last line, right above the boxes it fills.
    mSuggestion = new LayoutSuggestionBar(mColumns, mStep2);
    mSuggestion->setGeometry(8, 248, 1016, 22);
    connect(mColumns, &ColumnPanel::resetClicked, mSuggestion, &LayoutSuggestionBar::dismiss);
    connect(mSuggestion, &LayoutSuggestionBar::takenBack, this, [this] {
        if (!mCodesBeforeSuggestion)
            return;
        mMissingValues->setSignText(mCodesBeforeSuggestion->first);
        mMissingValues->setMissingTexts(mCodesBeforeSuggestion->second);
        mCodesBeforeSuggestion.reset();
    });

    mRowsBefore = mColumns->rowsBox();
    // Typed as well as stepped: 33 header rows are many clicks.
    new TypedNumberBox(mRowsBefore);
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
    mReportLinks = new ReportLinks(mOutputPanel, this);
    connect(mReportLinks, &ReportLinks::inputLineChosen, mInputPanel, &InputPanel::selectLine);
    mFindBar = new InputFindBar(mInputPanel);
    mFindBar->keepClearOf(mSuggestion);
    connect(mInputPanel, &InputPanel::fileDropped, this, &MainWindow::openInputFile);
    connect(mInputPanel, &InputPanel::dataStartChosen, this,
            [this](int line) { mRowsBefore->setText(QString::number(line)); });
}
