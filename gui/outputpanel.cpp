#include "gui/outputpanel.h"

#include "engine/appfolder/appfolder.h"
#include "engine/appfolder/rememberedfolders.h"
#include "engine/output/outputactions.h"
#include "engine/table/paneltext.h"
#include "engine/tasks/weatherfileupdate.h"
#include "engine/ui/documentopener.h"
#include "engine/ui/userfeedback.h"
#include "gui/filechooser.h"
#include "gui/utf8text.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>

#include <exception>

namespace {

QPushButton* makeOutputButton(const char* name, const char* caption, QWidget* parent, const QRect& geometry)
{
    auto* button = new QPushButton(QString::fromLatin1(caption), parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(geometry);
    return button;
}

// About 25 ms of laying in: the dialog in front stays answering.
constexpr int kLinesPerStep = 8192;

// Where the `lines` lines from `from` end, just past their last break.
qsizetype endOfLines(const QString& text, qsizetype from, int lines)
{
    qsizetype end = from;
    for (int line = 0; line < lines && end < text.size(); ++line) {
        const qsizetype next = text.indexOf(QLatin1Char('\n'), end);
        end = next < 0 ? text.size() : next + 1;
    }
    return end;
}

} // namespace

OutputPanel::OutputPanel(const Services& services, QWidget* parent)
    : QGroupBox(QString::fromLatin1(kTitle), parent)
    , mServices(services)
{
    setObjectName("GroupBox6");
    resize(480, 360);

    mPanel = new QPlainTextEdit(this);
    mPanel->setObjectName("Memo2");
    mPanel->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont mono("Monospace");
    mono.setStyleHint(QFont::TypeWriter);
    mPanel->setFont(mono);
    mPanel->setGeometry(8, 20, 464, 256);
    mPanel->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    mPanel->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    mSave = makeOutputButton("Button4", kSaveCaption, this, QRect(8, 282, 228, 32));
    mExcel = makeOutputButton("Button6", kExcelCaption, this, QRect(244, 282, 228, 32));
    mLoadBack = makeOutputButton("Button7", kLoadBackCaption, this, QRect(8, 318, 228, 32));
    mLoadBack->setToolTip(QString::fromLatin1(kLoadBackHint));
    mUpdate = makeOutputButton("Button2", kUpdateCaption, this, QRect(244, 318, 228, 32));
    mUpdate->setToolTip(QString::fromLatin1(kUpdateHint));

    connect(mSave, &QPushButton::clicked, this, &OutputPanel::Button4Click);
    connect(mExcel, &QPushButton::clicked, this, &OutputPanel::Button6Click);
    connect(mLoadBack, &QPushButton::clicked, this, &OutputPanel::Button7Click);
    connect(mUpdate, &QPushButton::clicked, this, &OutputPanel::Button2Click);
    connect(mPanel, &QPlainTextEdit::textChanged, this, [this] { mRunDataStart.reset(); });
}

std::string OutputPanel::text()
{
    finishText();
    return mPanel->toPlainText().toUtf8().toStdString();
}

void OutputPanel::showText(const QString& text, bool inSteps)
{
    mPending.clear();
    mPendingFrom = 0;
    mPendingNbsp = false;
    mPanel->setReadOnly(false);
    const qsizetype firstStep = inSteps ? endOfLines(text, 0, kLinesPerStep) : text.size();
    if (firstStep >= text.size()) {
        mPanel->setPlainText(text);
        return;
    }
    mPendingNbsp = text.contains(QChar::Nbsp);
    mPanel->setPlainText(text.first(firstStep));
    mPending = text;
    mPendingFrom = firstStep;
    // The panel's undo history and modified state stay as setPlainText
    // leaves them; the user edits only the whole text.
    mPanel->document()->setUndoRedoEnabled(false);
    mPanel->setReadOnly(true);
    QTimer::singleShot(0, this, &OutputPanel::fillStep);
}

void OutputPanel::fillStep()
{
    if (mPending.isEmpty())
        return;
    const qsizetype end = endOfLines(mPending, mPendingFrom, kLinesPerStep);
    QTextCursor cursor(mPanel->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(mPending.sliced(mPendingFrom, end - mPendingFrom));
    mPendingFrom = end;
    if (mPendingFrom < mPending.size()) {
        QTimer::singleShot(0, this, &OutputPanel::fillStep);
        return;
    }
    mPending.clear();
    mPendingFrom = 0;
    mPanel->document()->setUndoRedoEnabled(true);
    mPanel->document()->setModified(false);
    mPanel->setReadOnly(false);
}

void OutputPanel::finishText()
{
    while (!mPending.isEmpty())
        fillStep();
}

void OutputPanel::clearText()
{
    mPending.clear();
    mPendingFrom = 0;
    mPanel->setReadOnly(false);
    mPanel->clear();
}

void OutputPanel::insertLine(int index, const QString& line)
{
    finishText();
    QTextDocument* document = mPanel->document();
    // toPlainText gives a no-break space as a space: the text way keeps that.
    if (mPendingNbsp || document->find(QString(QChar::Nbsp)).hasSelection()) {
        std::string text = toUtf8(mPanel->toPlainText());
        pluvora::insertLine(text, index, toUtf8(line));
        mPanel->setPlainText(fromUtf8(text));
        return;
    }
    const bool undo = document->isUndoRedoEnabled();
    document->setUndoRedoEnabled(false);
    QTextCursor cursor(document);
    if (document->isEmpty()) {
        cursor.insertText(line);
    } else if (index < document->blockCount()) {
        cursor.setPosition(document->findBlockByNumber(index).position());
        cursor.insertText(line + QLatin1Char('\n'));
    } else {
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(QLatin1Char('\n') + line);
    }
    document->setUndoRedoEnabled(undo);
    document->setModified(false);
}

OutputPanel::~OutputPanel()
{
    // A path of its own: the window's folder object is gone by now.
    std::error_code ignored;
    if (!mUntakenCopy.empty())
        std::filesystem::remove(mUntakenCopy, ignored);
}

void OutputPanel::Button4Click()
{
    finishText();
    if (mPanel->toPlainText().isEmpty()) {
        mServices.ui.showMessage(pluvora::MessageKind::Information, kNothingToSave);
        return;
    }
    const QString proposed =
        fromUtf8(pluvora::getNameOnlyNoExt(mServices.fileNameBox.text().toStdString()));
    if (mModelFile) {
        saveModelFile(proposed);
        return;
    }
    const SaveChoice choice = mServices.chooser.saveFileWithFilter(
        window(), QString::fromLatin1(kSaveTitle), fromUtf8(mServices.remembered.outputSaveStart()), proposed,
        qtFilter(QString::fromLatin1(pluvora::kOutputSaveFilter)));
    if (choice.path.isEmpty())
        return;
    const auto target = pluvora::withSaveExtension(pathOf(choice.path), choice.filterIndex);
    try {
        pluvora::saveOutputPanel(target, text());
    } catch (const std::exception& error) {
        pluvora::reportError(mServices.ui, error.what());
    }
}

void OutputPanel::saveModelFile(const QString& proposed)
{
    const SaveChoice choice = mServices.chooser.saveFileWithFilter(
        window(), QString::fromLatin1(kSaveTitle), fromUtf8(mServices.remembered.outputSaveStart()), proposed,
        qtFilter(fromUtf8(pluvora::modelFileSaveFilter(mModelFile->format))));
    if (choice.path.isEmpty())
        return;
    try {
        const auto written = pluvora::saveModelFile(*mModelFile, text(), pathOf(choice.path));
        for (const auto& notice : written.notices)
            mServices.ui.notice(notice);
    } catch (const std::exception& error) {
        pluvora::reportError(mServices.ui, error.what());
    }
}

void OutputPanel::Button6Click()
{
    try {
        const auto taken = pluvora::loadInSpreadsheet(text(), mServices.folder, mServices.opener, mServices.ui);
        if (taken.empty() && mServices.folder.exists(pluvora::kSpreadsheetFallbackName))
            mUntakenCopy = mServices.folder.file(pluvora::kSpreadsheetFallbackName);
    } catch (const std::exception& error) {
        pluvora::reportError(mServices.ui, error.what());
    }
}

void OutputPanel::Button7Click()
{
    finishText();
    const QString output = mPanel->toPlainText();
    mModelFile.reset();
    emit loadBack(output);
    mPanel->clear();
}

void OutputPanel::Button2Click()
{
    pluvora::showFirstUpdateNotice(mRunTask, mUpdateNoticePending, mServices.ui);
    const QString chosen = mServices.chooser.openFile(
        window(), QString::fromLatin1(pluvora::kUpdateDialogTitle),
        fromUtf8(mServices.remembered.weatherFiles),
        qtFilter(QString::fromLatin1(pluvora::kUpdateDialogFilter)));
    if (chosen.isEmpty())
        return;
    try {
        pluvora::UpdateSettings settings;
        settings.newDataStart = mRunDataStart;
        const auto result = pluvora::updateWeatherFile(pathOf(chosen), text(), mServices.folder, mServices.ui,
                                                       pluvora::systemFileOperations(), settings);
        if (result == pluvora::UpdateResult::Updated)
            mServices.remembered.weatherFileUpdated(pathOf(chosen));
    } catch (const std::exception& error) {
        pluvora::reportError(mServices.ui, error.what());
    }
}
