#include "gui/longwork.h"

#include <QCoreApplication>
#include <QProgressDialog>

namespace {

int gShowDelay = 600;
// How often the window gets a turn: often enough to feel at once, rarely
// enough to cost nothing against the work.
int gLookEvery = 40;

} // namespace

void LongWork::setTiming(int showDelayMs, int lookEveryMs)
{
    gShowDelay = showDelayMs;
    gLookEvery = lookEveryMs;
}

LongWork::LongWork(QWidget* parent, const QString& label, int total)
    : mParent(parent)
    , mLabel(label)
    , mTotal(total)
{
    mStarted.start();
    mLastLook.start();
}

LongWork::~LongWork()
{
    delete mDialog;
}

void LongWork::step(int count)
{
    look(count);
    if (cancelled())
        throw LongWorkCancelled{};
}

bool LongWork::cancelled() const { return mDialog && mDialog->wasCanceled(); }

void LongWork::setPass(const QString& what)
{
    mPass = what;
    mDone = 0;
}

void LongWork::finish()
{
    if (mDialog)
        QCoreApplication::processEvents();
    if (cancelled())
        throw LongWorkCancelled{};
    delete mDialog;
    // Only now does the desktop take the box away; user input waits.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void LongWork::look(int count)
{
    mDone += count;
    if (mLastLook.elapsed() < gLookEvery)
        return;
    mLastLook.restart();
    if (!mDialog && mStarted.elapsed() >= gShowDelay) {
        // Made only now: a dialog made at the start would show itself on
        // its own timer while a message box of the work waits.
        mDialog = new QProgressDialog(mLabel, QString::fromLatin1(kCancelCaption), 0, mTotal, mParent);
        mDialog->setObjectName("LongWork");
        mDialog->setWindowModality(Qt::WindowModal);
        mDialog->setMinimumDuration(0);
        mDialog->setAutoClose(false);
        mDialog->setAutoReset(false);
        mDialog->show();
    }
    if (mDialog) {
        if (mTotal > 0)
            mDialog->setValue(static_cast<int>(qMin<long long>(mDone, mTotal)));
        // A bare count says nothing: the label names what is counted.
        if (!mPass.isEmpty())
            mDialog->setLabelText(mTotal > 0 ? QString::fromLatin1(kPassProgress).arg(mPass).arg(mDone).arg(mTotal)
                                             : QString::fromLatin1(kPassProgressOpen).arg(mPass).arg(mDone));
    }
    // Until the dialog holds the window, keys and clicks wait: a second
    // run must not start inside this one.
    QCoreApplication::processEvents(mDialog ? QEventLoop::AllEvents
                                            : QEventLoop::ExcludeUserInputEvents);
}
