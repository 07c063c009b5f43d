#include "gui/inputcommands.h"

#include "gui/cleandatamessage.h"
#include "gui/filechooser.h"
#include "gui/removecolumnsdialog.h"
#include "gui/undoablereplace.h"

#include "engine/appfolder/appfolder.h"
#include "engine/appfolder/rememberedfolders.h"
#include "engine/io/backupreplace.h"
#include "engine/table/paneltext.h"
#include "engine/table/seencolumns.h"
#include "engine/ui/userfeedback.h"
#include "gui/utf8text.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>

#include <exception>

InputCommands::InputCommands(const Controls& controls, const pluvora::AppFolder& folder,
                             pluvora::UserFeedback& feedback, FileChooser& chooser,
                             const pluvora::RememberedFolders& remembered, QObject* parent)
    : QObject(parent)
    , mControls(controls)
    , mFolder(folder)
    , mUser(feedback)
    , mChooser(chooser)
    , mRemembered(remembered)
{
}

void InputCommands::CleanData1Click()
{
    if (pluvora::cleanExplanationWanted(mFolder))
        cleanDataMessageThen([this] { cleanData(); });
    else
        cleanData();
}

void InputCommands::cleanDataMessageThen(const std::function<void()>& next)
{
    auto* box = new CleanDataMessage(mControls.window);
    box->setAttribute(Qt::WA_DeleteOnClose);
    connect(box, &QDialog::finished, this, [this, box, next] {
        // Cancel: the input, the layout and the choice stay as they were.
        if (!box->closedWithOk())
            return;
        try {
            pluvora::rememberCleanExplanation(mFolder, !box->dontShowAgain());
        } catch (const std::exception& error) {
            pluvora::reportError(mUser, error.what());
        }
        next();
    });
    box->open();
}

bool InputCommands::fileAndRowsGiven()
{
    if (mControls.fileName->text().isEmpty()) {
        pluvora::reportError(mUser, kOpenFileFirst);
        return false;
    }
    if (mControls.rowsBefore->text().isEmpty()) {
        pluvora::reportError(mUser, kRowsNotSpecified);
        return false;
    }
    return true;
}

int InputCommands::rowsBefore() const { return mControls.rowsBefore->text().toInt(); }

bool InputCommands::replacePanel(const std::function<std::string(std::string_view, int)>& pass)
{
    const QByteArray text = mControls.panel->toPlainText().toUtf8();
    std::string result;
    try {
        result = pass(std::string_view(text.constData(), static_cast<std::size_t>(text.size())),
                      rowsBefore());
    } catch (const std::exception& error) {
        pluvora::reportError(mUser, error.what());
        return false;
    }
    replaceTextUndoably(mControls.panel, fromUtf8(result));
    return true;
}

void InputCommands::cleanData()
{
    if (!fileAndRowsGiven())
        return;
    if (replacePanel([this](std::string_view panel, int rows) {
            return pluvora::cleanInputData(mFolder, mUser, panel, rows);
        })) {
        emit cleaned();
        mUser.playSound(pluvora::Sound::Exclamation);
    }
}

void InputCommands::Usetabtoaligninputdata1Click()
{
    if (!fileAndRowsGiven())
        return;
    if (replacePanel([this](std::string_view panel, int rows) {
            return pluvora::alignData(mFolder, mUser, panel, rows);
        }))
        mUser.playSound(pluvora::Sound::Exclamation);
}

void InputCommands::RemoveDataColumnsClick()
{
    if (mControls.rowsBefore->text().isEmpty()) {
        pluvora::reportError(mUser, kRowsNotSpecifiedForRemoval);
        return;
    }
    if (mFieldSplitSource)
        mFieldSplit = mFieldSplitSource();
    const QByteArray text = mControls.panel->toPlainText().toUtf8();
    auto* dialog = new RemoveColumnsDialog(
        pluvora::describeSeenColumns(std::string_view(text.constData(),
                                                      static_cast<std::size_t>(text.size())),
                                     rowsBefore(), mFieldSplit),
        mControls.window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &RemoveColumnsDialog::columnsChosen, this, &InputCommands::removeColumns);
    dialog->open();
}

// A column goes as the user sees it; whatever the other columns hold stays.
void InputCommands::removeColumns(const std::vector<bool>& remove)
{
    if (!replacePanel([this, &remove](std::string_view panel, int rows) {
            pluvora::GaugeShown gauge(mUser);
            return pluvora::removeSeenColumns(panel, rows, remove, mFieldSplit);
        }))
        return;
    emit columnsRemoved(remove);
    mUser.playSound(pluvora::Sound::Exclamation);
    mUser.showMessage(pluvora::MessageKind::Information, kColumnsRemoved);
}

void InputCommands::Saveinputfile1Click()
{
    QString chosen = mChooser.saveFile(mControls.window, QString(),
                                       fromUtf8(mRemembered.inputFiles), kSaveFilter, "txt");
    if (chosen.isEmpty())
        return;
    if (QFileInfo(chosen).suffix().isEmpty())
        chosen += ".txt";
    const std::string text = mControls.panel->toPlainText().toStdString();
    try {
        pluvora::writeFileWhole(chosen.toStdString(), [&text](const std::filesystem::path& part) {
            pluvora::savePanelText(part, text);
        });
        mControls.panel->document()->setModified(false);
    } catch (const std::exception& error) {
        pluvora::reportError(mUser, error.what());
    }
}
