#pragma once

#include <QMessageBox>
#include <QPushButton>

class QCheckBox;

// What "Clean input data" does, told before it does it, with the choice not
// to be told again.
class CleanDataMessage : public QMessageBox {
    Q_OBJECT
public:
    static constexpr const char* kCaption = "Clean data";
    static constexpr const char* kText =
        "This procedure removes all non-value characters (e.g., quality control flags) in the data.";
    static constexpr const char* kDontShowAgain = "Don't show me again.";

    explicit CleanDataMessage(QWidget* parent = nullptr);

    QPushButton* okButton() const { return mOk; }
    QPushButton* cancelButton() const { return mCancel; }
    // True when the box was closed with OK; Esc and the frame's close
    // count as Cancel.
    bool closedWithOk() const { return clickedButton() == mOk; }
    bool dontShowAgain() const;

private:
    QPushButton* mOk;
    QPushButton* mCancel;
};
