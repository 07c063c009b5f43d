#include "gui/layoutsuggestionbar.h"

#include "engine/suggest/layoutsuggestion.h"
#include "engine/suggest/suggestionverdict.h"
#include "gui/columnpanel.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>
#include <exception>

namespace {

// A suggested box reads apart from the user's own choices.
constexpr const char* kMarkedStyle = "QComboBox { background: #d8ecff; }";

} // namespace

LayoutSuggestionBar::LayoutSuggestionBar(ColumnPanel* columns, QWidget* parent)
    : QWidget(parent)
    , mColumns(columns)
{
    setObjectName("LayoutSuggestion");
    setAutoFillBackground(true);
    QPalette shade = palette();
    shade.setColor(QPalette::Window, QColor(0xd8, 0xec, 0xff));
    setPalette(shade);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(6, 0, 2, 0);
    // The text comes with a suggestion; a hidden bar holds none.
    mText = new QLabel(this);
    mText->setObjectName("SuggestionText");
    mTakeBack = new QPushButton(QString::fromUtf8(kTakeBack), this);
    mTakeBack->setObjectName("TakeBackSuggestion");
    mTakeBack->setToolTip(QString::fromUtf8(kTakeBackHint));
    row->addWidget(mText, 1);
    row->addWidget(mTakeBack);
    connect(mTakeBack, &QPushButton::clicked, this, &LayoutSuggestionBar::takeBack);
    hide();
}

bool LayoutSuggestionBar::offer(const QString& text, const pluvora::SuggestionTables& tables)
{
    return offer(text.toUtf8(), tables);
}

bool LayoutSuggestionBar::offer(const QByteArray& utf8, const pluvora::SuggestionTables& tables)
{
    // A suggestion for the file before that nobody took up is no
    // description of this one: it goes back before anything else.
    if (mPrevious)
        takeBack();
    const auto suggestion = pluvora::suggestLayout(
        std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())), tables);
    if (!suggestion.found || !suggestion.anyAssigned())
        return false;
    const pluvora::DataLayout before = mColumns->layout();
    pluvora::DataLayout suggested;
    try {
        suggested = pluvora::suggestedLayout(suggestion, false);
    } catch (const std::exception&) {
        // A user's names table may name what this version cannot show.
        return false;
    }
    clearMarks();
    mPrevious = before;
    mOffered = suggestion;
    mSuggested = suggested;
    mColumns->apply(suggested);
    for (int column = 1; column <= pluvora::kColumnBoxes; ++column) {
        if (suggested.variable(column) < 0)
            continue;
        mark(mColumns->variableBox(column));
        if (suggested.unit(column) >= 0)
            mark(mColumns->unitBox(column));
    }
    mMarkedWhenOffered = mMarked.size();
    QString line = QString::fromUtf8(kSuggested);
    if (!suggestion.format.empty())
        line += QString::fromUtf8("; " + suggestion.format.substr(0, suggestion.format.find(':')));
    const auto beyond = suggestion.outOfReach();
    if (!beyond.empty())
        line += QString::fromUtf8("; columns past the twelfth hold data too: remove columns to reach them");
    mText->setText(line);
    mText->setToolTip(QString::fromUtf8(suggestionOptions(suggestion).c_str()));
    show();
    raise();
    return true;
}

void LayoutSuggestionBar::takeBack()
{
    const bool taken = mPrevious.has_value();
    if (mPrevious) {
        mColumns->apply(*mPrevious);
        // A column without a variable shows no unit either.
        for (int column = 1; column <= pluvora::kColumnBoxes; ++column)
            if (mPrevious->variable(column) < 0)
                mColumns->unitBox(column)->clear();
    }
    dismiss();
    if (taken)
        emit takenBack();
}

std::optional<std::string> LayoutSuggestionBar::stopBeforeRun(int task, bool rearrange) const
{
    if (!mOffered || !mPrevious || mMarked.size() != mMarkedWhenOffered)
        return std::nullopt;
    const pluvora::DataLayout shown = mColumns->layout();
    if (shown.variables != mSuggested.variables || shown.units != mSuggested.units)
        return std::nullopt;
    const auto verdict =
        pluvora::judgeSuggestion(*mOffered, false, task, rearrange);
    if (verdict.mayRun())
        return std::nullopt;
    std::string text = pluvora::kSuggestionNotSure;
    for (const auto& problem : verdict.problems)
        text += "\n" + problem;
    return text;
}

void LayoutSuggestionBar::dismiss()
{
    mPrevious.reset();
    mOffered.reset();
    clearMarks();
    hide();
}

void LayoutSuggestionBar::mark(QComboBox* box)
{
    if (!box || std::find(mMarked.begin(), mMarked.end(), box) != mMarked.end())
        return;
    box->setStyleSheet(QString::fromUtf8(kMarkedStyle));
    mMarked.push_back(box);
    // A choice of the user's own ends the mark; applying a layout does not
    // emit activated.
    connect(box, &QComboBox::activated, this, [this, box] { unmark(box); });
}

void LayoutSuggestionBar::unmark(QComboBox* box)
{
    const auto it = std::find(mMarked.begin(), mMarked.end(), box);
    if (it == mMarked.end())
        return;
    box->setStyleSheet(QString());
    disconnect(box, &QComboBox::activated, this, nullptr);
    mMarked.erase(it);
}

void LayoutSuggestionBar::clearMarks()
{
    while (!mMarked.empty())
        unmark(mMarked.back());
}
