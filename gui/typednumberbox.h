#pragma once

#include <QObject>

class QLineEdit;

// Lets the user type a whole number into a box the window keeps read-only
// (so no stray text gets in): the first digit after the box gets focus
// starts a new number, the next ones are added at the end; Backspace and
// Delete take the last digit away.
class TypedNumberBox : public QObject {
    Q_OBJECT
public:
    explicit TypedNumberBox(QLineEdit* box);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* mBox;
    bool mFresh = false; // focus just came: a digit starts a new number
};
