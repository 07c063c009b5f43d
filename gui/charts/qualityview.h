#pragma once

#include "engine/provenance/runprovenance.h"
#include "engine/report/qualityreport.h"
#include "engine/run/processingrun.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>

class ChartsWindow;
class FileChooser;
class QByteArray;
class QPlainTextEdit;
class QAction;
namespace pluvora { class UserFeedback; }

// Charts of the last run or of the input as it stands, and the quality
// report of either, offered in the context menus of the input and output
// panels (the menu bar keeps the items it has always had). Keeps each
// run's provenance.
class QualityView : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kCharts = "&Charts";
    static constexpr const char* kInputCharts = "Charts of the &input";
    static constexpr const char* kSaveReport = "Save &quality report...";
    static constexpr const char* kSaveReportTitle = "Save quality report";
    static constexpr const char* kReportFilter = "HTML file (*.html)";

    // `gather` reads the window's controls as a run would.
    QualityView(QWidget* window, FileChooser& files, pluvora::UserFeedback& user,
                std::function<pluvora::RunRequest(QByteArray&)> gather);
    ~QualityView() override;

    // Adds the items to the context menu of `panel`.
    void offerIn(QPlainTextEdit* panel);
    // The items, for a panel that builds its own context menu.
    const QList<QAction*>& actions() const { return mActions; }
    // A fresh account for the run about to start; the run fills it.
    pluvora::RunProvenance* beginRun(const pluvora::RunRequest& request);
    // Shows the last run, or the input when there has been none.
    void showCharts();
    // Reads the input as a checkup would and shows its days.
    void showInputCharts();
    void saveQualityReport();
    ChartsWindow* chartsWindow() const;

signals:
    void daySelected(int inputLine);

private:
    bool readInput();
    void chart(const QString& what);

    QWidget* mWindow;
    FileChooser& mFiles;
    pluvora::UserFeedback& mUser;
    std::function<pluvora::RunRequest(QByteArray&)> mGather;
    std::shared_ptr<pluvora::RunProvenance> mProvenance;
    pluvora::ReportSettings mSettings;
    QString mWhat;
    QPointer<ChartsWindow> mCharts;
    QList<QAction*> mActions;
};
