#pragma once

#include "ui/userfeedback.h"

#include <functional>

class QWidget;

// The desktop's way of telling the user: message boxes and beeps. Progress
// goes to whatever the window hands in (its gauge).
class MessageBoxFeedback : public pluvora::UserFeedback {
public:
    explicit MessageBoxFeedback(QWidget* parent);

    void showMessage(pluvora::MessageKind kind, std::string_view text) override;
    bool askYesNo(std::string_view text) override;
    void playSound(pluvora::Sound sound) override;
    void setProgressVisible(bool visible) override;
    void gaugeDisplay() override;

    std::function<void(bool)> onProgressVisible;
    std::function<void()> onGaugeTick;

private:
    QWidget* mParent;
};
