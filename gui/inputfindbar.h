#pragma once

#include <QFrame>

class InputPanel;
class QLabel;
class QLineEdit;
class QPushButton;

// Find (Ctrl+F), Find next (F3) and Go to line (Ctrl+G) for the input
// panel: a slim bar over the panel's lower edge, shown while in use. Enter
// finds the next match or goes to the line; Escape hides the bar.
class InputFindBar : public QFrame {
    Q_OBJECT
public:
    static constexpr const char* kFindCaption = "Find:";
    static constexpr const char* kGoToCaption = "Go to line:";
    static constexpr const char* kNextCaption = "Find next";
    static constexpr const char* kGoCaption = "Go";
    static constexpr const char* kNotFound = "Not found";

    // The window's Edit menu gives the keys.
    explicit InputFindBar(InputPanel* panel);

    QLineEdit* field() const { return mField; }
    // The bar sits above `cover` (a bar over the panel's lower edge) while
    // that shows, so that neither hides the other.
    void keepClearOf(QWidget* cover);

public slots:
    // Ctrl+F: shows the bar to type the text to find.
    void startFind();
    // F3: the next place the text is found, from the caret on.
    void findNext();
    // Ctrl+G: shows the bar to type a line number.
    void startGoToLine();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void place();
    void accept();
    void goToLine();

    InputPanel* mPanel;
    QLabel* mCaption;
    QLineEdit* mField;
    QPushButton* mAction;
    QLabel* mStatus;
    QString mLastFound;
    bool mGoToMode = false;
    QWidget* mCover = nullptr;
};
