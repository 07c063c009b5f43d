// The main window's "Get daily data for a site": a NASA POWER series
// fetched, saved and opened as the input.
#include "gui/mainwindow.h"

#include "batch/powerfetch.h"
#include "engine/error.h"
#include "engine/io/backupreplace.h"
#include "engine/ui/userfeedback.h"
#include "gui/filechooser.h"
#include "gui/getpowerdialog.h"
#include "gui/noteline.h"
#include "gui/utf8text.h"

#include <QThread>

#include <memory>
#include <new>

namespace {

constexpr const char* kSaveTitle = " Save the fetched data as";
constexpr const char* kSaveFilter = "CSV file (*.csv);;All files (*)";

// What the fetching thread hands back: the reply or why there is none.
struct PowerOutcome {
    std::string reply;
    std::string error;
};

} // namespace

void MainWindow::GetPower1Click()
{
    if (mFetchingPower)
        return;
    auto* dialog = new GetPowerDialog(this);
    connect(dialog, &GetPowerDialog::requestAccepted, this, &MainWindow::fetchPower);
    dialog->open();
}

void MainWindow::fetchPower(const pluvora::PowerRequest& request)
{
    mFetchingPower = true;
    setCursor(Qt::BusyCursor);
    auto outcome = std::make_shared<PowerOutcome>();
    // The thread owns copies only, so the window may close while it runs.
    QThread* thread = QThread::create([request, outcome] {
        try {
            outcome->reply = pluvora::powerReplyFor(request);
        } catch (const std::bad_alloc&) {
            outcome->error = "there is not enough memory for the reply.";
        } catch (const std::exception& error) {
            outcome->error = error.what();
        }
    });
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    connect(thread, &QThread::finished, this, [this, outcome] {
        mFetchingPower = false;
        unsetCursor();
        if (!outcome->error.empty())
            pluvora::reportError(*mUser, kPowerFetchFailed + outcome->error);
        else
            takePowerReply(outcome->reply);
    });
    thread->start();
}

void MainWindow::takePowerReply(const std::string& reply)
{
    const QString path = mFileChooser->saveFile(this, kSaveTitle, fromUtf8(mRemembered.inputFiles),
                                                kSaveFilter, "csv");
    if (path.isEmpty())
        return;
    try {
        pluvora::writeAtomically(path.toStdString(), reply);
    } catch (const std::exception& error) {
        pluvora::reportError(*mUser, error.what());
        return;
    }
    openInputFile(path);
    mNoteLine->addNote(QString::fromLatin1(pluvora::kPowerAttribution));
}
