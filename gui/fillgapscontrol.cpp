#include "gui/fillgapscontrol.h"

#include "gui/fillgapsdialog.h"
#include "gui/utf8text.h"

#include "engine/appfolder/appfolder.h"
#include "engine/error.h"
#include "engine/run/processingrun.h"
#include "engine/templates/templatestore.h"
#include "engine/ui/userfeedback.h"

#include <exception>
#include <filesystem>

namespace {

// The reference is run in a folder of its own, so its working files never
// meet those of the run it serves.
constexpr const char* kReferenceFolder = "reference";

} // namespace

FillGapsControl::FillGapsControl(QWidget* window, const pluvora::AppFolder& folder, FileChooser& files,
                                 pluvora::UserFeedback& feedback, QObject* parent)
    : QObject(parent)
    , mWindow(window)
    , mFolder(folder)
    , mFiles(files)
    , mUser(feedback)
{
}

void FillGapsControl::setChoice(const pluvora::FillChoice& choice)
{
    mChoice = choice;
    emit choiceChanged(mChoice);
}

void FillGapsControl::FillGaps1Click()
{
    auto* dialog = new FillGapsDialog(mChoice, mFiles, mUser, mWindow);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &FillGapsDialog::chosen, this, &FillGapsControl::setChoice);
    dialog->open();
}

bool FillGapsControl::prepare(pluvora::RunRequest& request)
{
    mReference.reset();
    if (!mChoice.asked())
        return true;
    try {
        if (!mChoice.referenceFile.empty())
            mReference = readReference();
        request.fill = pluvora::fillSettingsOf(mChoice, mReference ? &*mReference : nullptr);
    } catch (const std::exception& error) {
        mReference.reset();
        pluvora::reportError(mUser, error.what());
        return false;
    }
    return true;
}

pluvora::ReferenceSeries FillGapsControl::readReference() const
{
    std::optional<pluvora::DataLayout> layout;
    if (!mChoice.referenceLayout.empty()) {
        layout = pluvora::TemplateStore(mFolder).find(mChoice.referenceLayout);
        if (!layout)
            throw pluvora::Error(QString::fromUtf8(kTemplateNotFound)
                                     .arg(fromUtf8(mChoice.referenceLayout))
                                     .toUtf8()
                                     .toStdString());
    }
    const std::filesystem::path place = mFolder.file(kReferenceFolder);
    std::filesystem::create_directories(place);
    const pluvora::AppFolder scratch(place);
    struct Cleared {
        std::filesystem::path folder;
        ~Cleared()
        {
            std::error_code ec;
            std::filesystem::remove_all(folder, ec);
        }
    } cleared{place};
    return pluvora::readReferenceFile(pathOf(fromUtf8(mChoice.referenceFile)), layout, scratch);
}
