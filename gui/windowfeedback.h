#pragma once

#include "engine/ui/userfeedback.h"

class LongWork;
class NeedleGauge;
class NoteLine;

// Passes messages on to the user's feedback (message boxes, or a recorder
// in tests), drives the window's gauge and shows notices on its note line.
class WindowFeedback : public pluvora::UserFeedback {
public:
    WindowFeedback(pluvora::UserFeedback& user, NeedleGauge* gauge, NoteLine* notes = nullptr);

    void showMessage(pluvora::MessageKind kind, std::string_view text) override;
    bool askYesNo(std::string_view text) override;
    void playSound(pluvora::Sound sound) override;
    void setProgressVisible(bool visible) override;
    void gaugeDisplay() override;
    void progressPass(std::string_view what) override;
    bool cancelRequested() override;
    void notice(std::string_view text) override;

    pluvora::UserFeedback& user() { return mUser; }
    // Long work that each gauge step gives its turn and whose Cancel stops
    // the run; null for none.
    void setLongWork(LongWork* work) { mLongWork = work; }

private:
    pluvora::UserFeedback& mUser;
    NeedleGauge* mGauge;
    NoteLine* mNotes;
    LongWork* mLongWork = nullptr;
};
