#pragma once

#include "engine/error.h"

#include <string>
#include <string_view>

namespace pluvora {

enum class MessageKind { Error, Warning, Information, Plain };
enum class Sound { Error, Exclamation };

// The one way the engine talks to the user. The desktop implements it with
// message boxes and beeps, the batch program with lines on standard error,
// and the tests with a recorder that scripts the answers.
class UserFeedback {
public:
    virtual ~UserFeedback() = default;

    virtual void showMessage(MessageKind kind, std::string_view text) = 0;
    virtual bool askYesNo(std::string_view text) = 0;
    virtual void playSound(Sound sound) = 0;

    // The run's progress gauge: shown while stages loop over records.
    virtual void setProgressVisible(bool visible) = 0;
    // One step of the gauge per record (position + 1, modulo its maximum).
    virtual void gaugeDisplay() = 0;
    // A pass begins whose gauge steps are one data line each; `what` names
    // it as the user reads it.
    virtual void progressPass(std::string_view what) { (void)what; }
    // Looked at after each gauge step of a run: true once the user asked
    // the work to stop.
    virtual bool cancelRequested() { return false; }

    // Advice about the input that never stops the work (lines that hold a
    // different number of fields, values that were substituted). Never a
    // message box: the user reads it after the run, beside the result.
    virtual void notice(std::string_view text) { (void)text; }
};

// Shows the gauge for a pass and hides it again, also when the pass throws.
class GaugeShown {
public:
    explicit GaugeShown(UserFeedback& ui) : mUi(ui) { mUi.setProgressVisible(true); }
    ~GaugeShown() { mUi.setProgressVisible(false); }
    GaugeShown(const GaugeShown&) = delete;
    GaugeShown& operator=(const GaugeShown&) = delete;

private:
    UserFeedback& mUi;
};

// One gauge step of a run; throws RunCancelled once the user asked the run
// to stop, so a stop is seen within a line.
inline void stepGauge(UserFeedback& ui)
{
    ui.gaugeDisplay();
    if (ui.cancelRequested())
        throw RunCancelled{};
}

// Error sound followed by an error box: how every stage reports a failure.
inline void reportError(UserFeedback& ui, std::string_view text)
{
    ui.playSound(Sound::Error);
    ui.showMessage(MessageKind::Error, text);
}

} // namespace pluvora
