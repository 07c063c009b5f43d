#pragma once

#include "engine/ui/userfeedback.h"

class QWidget;

// The desktop's way of telling the user: message boxes and beeps. The
// window drives its own gauge.
class MessageBoxFeedback : public pluvora::UserFeedback {
public:
    explicit MessageBoxFeedback(QWidget* parent);

    void showMessage(pluvora::MessageKind kind, std::string_view text) override;
    bool askYesNo(std::string_view text) override;
    void playSound(pluvora::Sound sound) override;
    void setProgressVisible(bool) override {}
    void gaugeDisplay() override {}

private:
    QWidget* mParent;
};
