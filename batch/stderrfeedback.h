#pragma once

#include "engine/ui/userfeedback.h"

#include <string>
#include <string_view>

namespace pluvora {

// Messages become lines on standard error; sounds and the gauge are silent.
class StderrFeedback : public UserFeedback {
public:
    explicit StderrFeedback(bool answerYes) : mAnswerYes(answerYes) {}

    void showMessage(MessageKind kind, std::string_view text) override;
    bool askYesNo(std::string_view text) override;
    void playSound(Sound) override {}
    void setProgressVisible(bool) override {}
    void gaugeDisplay() override {}
    void notice(std::string_view text) override { line("notice", text); }

    bool noSuspiciousData() const { return mNoSuspiciousData; }

    // One "kind: text" line, written in one call so that lines of
    // processes sharing the stream do not mix.
    static void line(std::string_view kind, std::string_view text);

private:
    bool mAnswerYes;
    bool mNoSuspiciousData = false;
};

} // namespace pluvora
