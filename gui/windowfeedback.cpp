#include "gui/windowfeedback.h"

#include "gui/longwork.h"
#include "gui/needlegauge.h"
#include "gui/noteline.h"

WindowFeedback::WindowFeedback(pluvora::UserFeedback& user, NeedleGauge* gauge, NoteLine* notes)
    : mUser(user)
    , mGauge(gauge)
    , mNotes(notes)
{
}

void WindowFeedback::showMessage(pluvora::MessageKind kind, std::string_view text)
{
    mUser.showMessage(kind, text);
}

bool WindowFeedback::askYesNo(std::string_view text) { return mUser.askYesNo(text); }

void WindowFeedback::playSound(pluvora::Sound sound) { mUser.playSound(sound); }

void WindowFeedback::setProgressVisible(bool visible)
{
    mGauge->setVisible(visible);
    mUser.setProgressVisible(visible);
}

void WindowFeedback::gaugeDisplay()
{
    mGauge->gaugeDisplay();
    mUser.gaugeDisplay();
    if (mLongWork)
        mLongWork->look();
}

void WindowFeedback::progressPass(std::string_view what)
{
    mUser.progressPass(what);
    if (mLongWork)
        mLongWork->setPass(QString::fromUtf8(what.data(), static_cast<qsizetype>(what.size())));
}

bool WindowFeedback::cancelRequested() { return mLongWork && mLongWork->cancelled(); }

void WindowFeedback::notice(std::string_view text)
{
    if (mNotes)
        mNotes->addNote(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    mUser.notice(text);
}
