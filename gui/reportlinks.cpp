#include "gui/reportlinks.h"

#include <QHelpEvent>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QToolTip>

ReportLinks::ReportLinks(QPlainTextEdit* output, QObject* parent)
    : QObject(parent)
    , mOutput(output)
{
    mViewport = mOutput->viewport();
    mViewport->installEventFilter(this);
    connect(mOutput->document(), &QTextDocument::contentsChanged, this, [this] { mDays.clear(); });
    connect(mOutput, &QPlainTextEdit::cursorPositionChanged, this, [this] {
        // No cursor is made without a report: the panel may be mid-clear.
        if (mDays.empty())
            return;
        if (const auto* day = dayAt(mOutput->textCursor().blockNumber()))
            emit inputLineChosen(day->inputLine);
    });
}

void ReportLinks::setReport(std::vector<pluvora::ReportedDay> days, int firstLine)
{
    mDays = std::move(days);
    mFirstLine = firstLine;
}

const pluvora::ReportedDay* ReportLinks::dayAt(int line) const
{
    const int index = line - mFirstLine;
    if (index < 0 || index >= static_cast<int>(mDays.size()))
        return nullptr;
    return &mDays[static_cast<std::size_t>(index)];
}

bool ReportLinks::eventFilter(QObject* watched, QEvent* event)
{
    // Compared by the kept pointer: events still come while the panel is
    // being destroyed, when it is no scroll area any more.
    if (watched == mViewport && event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const int line = mOutput->cursorForPosition(help->pos()).blockNumber();
        if (const auto* day = dayAt(line)) {
            QToolTip::showText(help->globalPos(),
                               QStringLiteral("Input line %1: %2")
                                   .arg(day->inputLine)
                                   .arg(QString::fromStdString(day->reason)),
                               mOutput->viewport());
            return true;
        }
        QToolTip::hideText();
    }
    return QObject::eventFilter(watched, event);
}
