#include "gui/charts/qualityview.h"

#include "gui/charts/chartswindow.h"
#include "gui/filechooser.h"

#include "engine/stage/taskcatalogue.h"
#include "engine/ui/userfeedback.h"

#include <QAction>
#include <QByteArray>
#include <QFileInfo>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTemporaryDir>

namespace {

// The charts of the input need the days, not the checkup's messages: a
// run for them says nothing, but keeps the first error to show instead.
class QuietFeedback : public pluvora::UserFeedback {
public:
    void showMessage(pluvora::MessageKind kind, std::string_view text) override
    {
        if (kind == pluvora::MessageKind::Error && firstError.empty())
            firstError = std::string(text);
    }
    bool askYesNo(std::string_view) override { return false; }
    void playSound(pluvora::Sound) override {}
    void setProgressVisible(bool) override {}
    void gaugeDisplay() override {}
    std::string firstError;
};

constexpr int kCheckupTaskIndex = 2;

pluvora::ReportSettings settingsOf(const pluvora::RunRequest& request)
{
    pluvora::ReportSettings settings;
    settings.file = request.fileName;
    settings.layout = pluvora::layoutDescription(request.layout);
    settings.rowsBefore = std::atoi(request.rowsBeforeText.c_str());
    if (request.taskIndex >= 0 && request.taskIndex < pluvora::kTaskCount)
        settings.task = std::string(pluvora::kTasks[static_cast<std::size_t>(request.taskIndex)].item);
    switch (request.taskIndex + 1) {
    case 4: settings.site = request.pages.latitudeTask4; break;
    case 5: settings.site = request.pages.latitudeTask5; break;
    case 7: settings.site = request.pages.latitudeTask7; break;
    default: break;
    }
    if (!settings.site.empty())
        settings.site = "latitude " + settings.site;
    return settings;
}

} // namespace

QualityView::QualityView(QWidget* window, FileChooser& files, pluvora::UserFeedback& user,
                         std::function<pluvora::RunRequest(QByteArray&)> gather)
    : QObject(window), mWindow(window), mFiles(files), mUser(user), mGather(std::move(gather))
{
    auto add = [&](const char* caption, const char* name, void (QualityView::*slot)()) {
        auto* item = new QAction(caption, this);
        item->setObjectName(name);
        connect(item, &QAction::triggered, this, slot);
        mActions.append(item);
    };
    add(kCharts, "Charts1", &QualityView::showCharts);
    add(kInputCharts, "InputCharts1", &QualityView::showInputCharts);
    add(kSaveReport, "SaveQualityReport1", &QualityView::saveQualityReport);
}

QualityView::~QualityView() = default;

ChartsWindow* QualityView::chartsWindow() const { return mCharts; }

void QualityView::offerIn(QPlainTextEdit* panel)
{
    panel->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(panel, &QWidget::customContextMenuRequested, this, [this, panel](const QPoint& at) {
        QMenu* menu = panel->createStandardContextMenu(at);
        menu->addSeparator();
        menu->addActions(mActions);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(panel->viewport()->mapToGlobal(at));
    });
}

pluvora::RunProvenance* QualityView::beginRun(const pluvora::RunRequest& request)
{
    mProvenance = std::make_shared<pluvora::RunProvenance>();
    mSettings = settingsOf(request);
    mWhat = tr("Last run: %1").arg(QString::fromStdString(request.fileName));
    // Charts already open follow every run.
    if (mCharts && mCharts->isVisible())
        QMetaObject::invokeMethod(this, [this] { chart(mWhat); }, Qt::QueuedConnection);
    return mProvenance.get();
}

bool QualityView::readInput()
{
    QByteArray text;
    pluvora::RunRequest request = mGather(text);
    request.taskIndex = kCheckupTaskIndex;
    QTemporaryDir scratch;
    if (!scratch.isValid())
        return false;
    pluvora::AppFolder folder(scratch.path().toStdString());
    auto provenance = std::make_shared<pluvora::RunProvenance>();
    request.provenance = provenance.get();
    QuietFeedback quiet;
    try {
        pluvora::runProcessing(request, folder, quiet);
    } catch (const std::exception& error) {
        quiet.firstError = error.what();
    }
    if (provenance->dayCount() == 0 && provenance->missingRows().empty() && !quiet.firstError.empty()) {
        pluvora::reportError(mUser, quiet.firstError);
        return false;
    }
    mProvenance = std::move(provenance);
    mSettings = settingsOf(request);
    mWhat = tr("Input: %1").arg(QString::fromStdString(request.fileName));
    return true;
}

void QualityView::chart(const QString& what)
{
    if (!mCharts) {
        mCharts = new ChartsWindow(mFiles, mWindow);
        connect(mCharts, &ChartsWindow::daySelected, this, &QualityView::daySelected);
    }
    mCharts->show(mProvenance, what);
}

void QualityView::showCharts()
{
    if (!mProvenance && !readInput())
        return;
    chart(mWhat);
}

void QualityView::showInputCharts()
{
    if (readInput())
        chart(mWhat);
}

void QualityView::saveQualityReport()
{
    if (!mProvenance && !readInput())
        return;
    const QString name = QFileInfo(QString::fromStdString(mSettings.file)).completeBaseName();
    const SaveChoice choice = mFiles.saveFileWithFilter(mWindow, kSaveReportTitle, QString(),
                                                        name.isEmpty() ? QString() : name + ".html", kReportFilter);
    if (choice.path.isEmpty())
        return;
    QString path = choice.path;
    if (QFileInfo(path).suffix().isEmpty())
        path += ".html";
    try {
        pluvora::writeQualityReport(path.toStdString(), *mProvenance, mSettings);
    } catch (const std::exception& error) {
        pluvora::reportError(mUser, error.what());
    }
}
