#pragma once

#include "ui/userfeedback.h"

class LongWork;
class NeedleGauge;

// Passes messages on to the user's feedback (message boxes, or a recorder
// in tests) and drives the window's gauge.
class WindowFeedback : public pluvora::UserFeedback {
public:
    WindowFeedback(pluvora::UserFeedback& user, NeedleGauge* gauge);

    void showMessage(pluvora::MessageKind kind, std::string_view text) override;
    bool askYesNo(std::string_view text) override;
    void playSound(pluvora::Sound sound) override;
    void setProgressVisible(bool visible) override;
    void gaugeDisplay() override;

    pluvora::UserFeedback& user() { return mUser; }
    // Long work whose Cancel each gauge step looks at; null for none.
    void setLongWork(LongWork* work) { mLongWork = work; }

private:
    pluvora::UserFeedback& mUser;
    NeedleGauge* mGauge;
    LongWork* mLongWork = nullptr;
};
