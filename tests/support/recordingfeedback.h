#pragma once

#include "engine/ui/userfeedback.h"

#include <deque>
#include <string>
#include <vector>

namespace pluvora::test {

// Keeps every call in order as a line of text ("error: Columns are not
// specified.", "sound: error", "ask: ...") and answers questions from a
// script; a question without a scripted answer fails the test.
class RecordingFeedback : public UserFeedback {
public:
    void showMessage(MessageKind kind, std::string_view text) override;
    bool askYesNo(std::string_view text) override;
    void playSound(Sound sound) override;
    void setProgressVisible(bool visible) override;
    void gaugeDisplay() override { ++ticks; }
    // Kept apart from the calls: advice is no message box.
    void notice(std::string_view text) override { notices.emplace_back(text); }

    void scriptAnswer(bool yes) { answers.push_back(yes); }
    // Only the message boxes, as "kind: text".
    std::vector<std::string> messages() const;

    std::vector<std::string> calls;
    std::deque<bool> answers;
    std::vector<std::string> notices;
    long ticks = 0;
    bool progressVisible = false;
};

std::string kindName(MessageKind kind);

} // namespace pluvora::test
