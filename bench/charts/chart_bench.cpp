#include "engine/provenance/runprovenance.h"
#include "gui/charts/serieschartview.h"

#include <QApplication>
#include <QChart>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

constexpr int kDays = 365000;

// A thousand years of daily T-max with a flagged day now and then, as a
// run would leave them.
const pluvora::RunProvenance& longRecord()
{
    // Filled in place once: a run's record of days is neither copied nor moved.
    static pluvora::RunProvenance p;
    static const bool filled = [] {
        pluvora::ColumnSpec columns;
        columns.columnVariable[1] = pluvora::kYear;
        columns.columnVariable[2] = pluvora::kDoy;
        columns.columnVariable[3] = pluvora::kTmax;
        columns.unitText[pluvora::kTmax] = "oC";
        p.describe(columns, 3, 3);
        pluvora::Record r;
        for (int i = 0; i < kDays; ++i) {
            r.tmax = 15 + 10 * std::sin(i / 58.1) + (i % 997 == 0 ? 30 : 0);
            p.noteDay(static_cast<std::size_t>(i), r, 1000 + i / 365, i % 365 + 1,
                      i % 997 == 0 ? "T-max above 60 oC" : "", 1u << pluvora::kTmax);
        }
        return true;
    }();
    (void)filled;
    return p;
}

// Building the chart of 365,000 days and painting it once: what opening
// the chart view costs.
void BM_ChartOfThousandYears(benchmark::State& state)
{
    const auto& p = longRecord();
    QImage image(1000, 300, QImage::Format_RGB32);
    for (auto _ : state) {
        SeriesChartView view(p, 0, std::nullopt);
        view.resize(image.size());
        view.resetZoom();
        QPainter painter(&image);
        view.render(&painter);
        benchmark::DoNotOptimize(view.drawnPoints());
    }
    state.SetItemsProcessed(state.iterations() * kDays);
}
BENCHMARK(BM_ChartOfThousandYears)->Unit(benchmark::kMillisecond);

// One step of panning: the view decimates what comes into sight and paints.
void BM_PanThousandYears(benchmark::State& state)
{
    const auto& p = longRecord();
    SeriesChartView view(p, 0, std::nullopt);
    view.resize(1000, 300);
    view.zoomBy(10);
    QImage image(1000, 300, QImage::Format_RGB32);
    int direction = 1;
    int steps = 0;
    for (auto _ : state) {
        if (++steps % 50 == 0)
            direction = -direction;
        view.chart()->scroll(20 * direction, 0);
        QPainter painter(&image);
        view.render(&painter);
    }
}
BENCHMARK(BM_PanThousandYears)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
