#pragma once

#include "engine/stage/runcontext.h"

#include <QObject>

#include <vector>

class QPlainTextEdit;

// Ties the days a report lists in the output panel to the input: hovering
// over a listed day tells why it is listed, clicking on it selects its line
// in the input panel. The report text stays as the checkup wrote it.
class ReportLinks : public QObject {
    Q_OBJECT
public:
    explicit ReportLinks(QPlainTextEdit* output, QObject* parent = nullptr);

    // The days of the report now in the panel, the first at line index
    // `firstLine`. Forgotten when the panel's text changes.
    void setReport(std::vector<pluvora::ReportedDay> days, int firstLine);
    // The listed day at output line index `line`, or null.
    const pluvora::ReportedDay* dayAt(int line) const;

signals:
    // The input line (1-based) the user clicked on in the report.
    void inputLineChosen(int line);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPlainTextEdit* mOutput;
    QWidget* mViewport = nullptr;
    std::vector<pluvora::ReportedDay> mDays;
    int mFirstLine = 0;
};
