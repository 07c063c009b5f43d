#pragma once

#include "engine/columns/datalayout.h"
#include "engine/suggest/layoutsuggestion.h"
#include "engine/suggest/suggestiontables.h"

#include <QWidget>

#include <optional>
#include <string>
#include <vector>

class ColumnPanel;
class QComboBox;
class QLabel;
class QPushButton;

// The line above the column panel that says the layout there was suggested
// from the file, with the command that takes the suggestion back. The boxes
// the suggestion set stay marked until the user changes them.
class LayoutSuggestionBar : public QWidget {
    Q_OBJECT
public:
    static constexpr const char* kSuggested = "Layout suggested from the file: check the columns";
    static constexpr const char* kTakeBack = "Take back";
    static constexpr const char* kTakeBackHint = "Put back the layout the columns had before";

    LayoutSuggestionBar(ColumnPanel* columns, QWidget* parent = nullptr);

    // Suggests a layout for the panel text `text` and shows it in the column
    // panel. False, with the panel as it was, when the text suggests none.
    bool offer(const QString& text, const pluvora::SuggestionTables& tables);
    // The same for a panel text already in UTF-8.
    bool offer(const QByteArray& utf8, const pluvora::SuggestionTables& tables);
    // Whether boxes are still marked as suggested.
    bool hasMarks() const { return !mMarked.empty(); }
    // While the boxes hold the suggestion as it was offered: why it may not
    // run `task` on its own (the variables it misses, the columns it left
    // unread), or nothing when it may.
    std::optional<std::string> stopBeforeRun(int task, bool rearrange) const;
    // The suggestion the boxes hold, while it is offered.
    const std::optional<pluvora::LayoutSuggestion>& offered() const { return mOffered; }

signals:
    // Take back put the layout from before back.
    void takenBack();

public slots:
    // The layout from before the suggestion returns.
    void takeBack();
    // The suggestion stays as the user's own layout: a template was picked
    // or the columns were reset.
    void dismiss();

private:
    void mark(QComboBox* box);
    void unmark(QComboBox* box);
    void clearMarks();

    ColumnPanel* mColumns;
    QLabel* mText = nullptr;
    QPushButton* mTakeBack = nullptr;
    std::optional<pluvora::DataLayout> mPrevious;
    std::optional<pluvora::LayoutSuggestion> mOffered;
    pluvora::DataLayout mSuggested;
    std::vector<QComboBox*> mMarked;
    std::size_t mMarkedWhenOffered = 0; // fewer now: the user has touched a box
};
