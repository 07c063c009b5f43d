#include "gui/charts/chartswindow.h"

#include "gui/charts/serieschartview.h"
#include "gui/filechooser.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSaveFile>
#include <QScrollArea>
#include <QSvgGenerator>
#include <QVBoxLayout>

ChartsWindow::ChartsWindow(FileChooser& files, QWidget* parent)
    : QWidget(parent, Qt::Window), mFiles(files)
{
    setObjectName("ChartsWindow");
    setWindowTitle(kTitle);
    resize(960, 720);
    auto* layout = new QVBoxLayout(this);
    auto* bar = new QHBoxLayout;
    mWhat = new QLabel(this);
    mWhat->setObjectName("ChartsWhat");
    mSave = new QPushButton(kSaveCaption, this);
    mSave->setObjectName("SaveChartAs");
    bar->addWidget(mWhat, 1);
    bar->addWidget(mSave);
    layout->addLayout(bar);
    auto* hint = new QLabel(kHint, this);
    hint->setWordWrap(true);
    layout->addWidget(hint);

    auto* scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    mChartArea = new QWidget;
    mChartLayout = new QVBoxLayout(mChartArea);
    scroll->setWidget(mChartArea);
    layout->addWidget(scroll, 1);
    connect(mSave, &QPushButton::clicked, this, &ChartsWindow::saveChartAs);
}

void ChartsWindow::show(std::shared_ptr<const pluvora::RunProvenance> provenance, const QString& what)
{
    for (SeriesChartView* chart : mCharts)
        delete chart;
    mCharts.clear();
    while (QLayoutItem* item = mChartLayout->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    mProvenance = std::move(provenance);
    mWhat->setText(what);
    const auto& series = mProvenance->series();
    // The estimate joins the chart of a measured column of its quantity.
    std::optional<std::size_t> estimate;
    for (std::size_t s = 0; s < series.size(); ++s)
        if (series[s].estimated)
            estimate = s;
    bool estimateShown = false;
    for (std::size_t s = 0; s < series.size() && mProvenance->dayCount() > 0; ++s) {
        if (series[s].estimated)
            continue;
        std::optional<std::size_t> beside;
        if (estimate && !estimateShown && series[*estimate].code == series[s].code) {
            beside = estimate;
            estimateShown = true;
        }
        mCharts.push_back(new SeriesChartView(*mProvenance, s, beside, mChartArea));
    }
    if (estimate && !estimateShown && mProvenance->dayCount() > 0)
        mCharts.push_back(new SeriesChartView(*mProvenance, *estimate, std::nullopt, mChartArea));
    for (SeriesChartView* chart : mCharts) {
        mChartLayout->addWidget(chart);
        connect(chart, &SeriesChartView::daySelected, this, &ChartsWindow::daySelected);
    }
    if (mCharts.empty())
        mChartLayout->addWidget(new QLabel(kNoDays, mChartArea));
    mChartLayout->addStretch();
    mSave->setEnabled(!mCharts.empty());
    QWidget::show();
    raise();
}

bool ChartsWindow::saveCharts(const QString& path)
{
    if (mCharts.empty())
        return false;
    int height = 0, width = 0;
    for (SeriesChartView* chart : mCharts) {
        height += chart->height();
        width = std::max(width, chart->width());
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    auto paint = [&](QPainter& painter) {
        int top = 0;
        for (SeriesChartView* chart : mCharts) {
            chart->render(&painter, QRectF(0, top, chart->width(), chart->height()));
            top += chart->height();
        }
    };
    if (QFileInfo(path).suffix().compare("svg", Qt::CaseInsensitive) == 0) {
        QSvgGenerator svg;
        svg.setOutputDevice(&file);
        svg.setSize(QSize(width, height));
        svg.setViewBox(QRect(0, 0, width, height));
        svg.setTitle(kTitle);
        QPainter painter(&svg);
        paint(painter);
        painter.end();
    } else {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        paint(painter);
        painter.end();
        if (!image.save(&file, "PNG"))
            return false;
    }
    return file.commit();
}

void ChartsWindow::saveChartAs()
{
    const SaveChoice choice = mFiles.saveFileWithFilter(this, kSaveTitle, QString(), QString(), kSaveFilter);
    if (choice.path.isEmpty())
        return;
    QString path = choice.path;
    if (QFileInfo(path).suffix().isEmpty())
        path += choice.filterIndex == 1 ? ".svg" : ".png";
    if (!saveCharts(path))
        mWhat->setText(tr("Could not write %1").arg(path));
}
