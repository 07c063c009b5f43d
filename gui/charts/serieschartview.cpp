#include "gui/charts/serieschartview.h"

#include "engine/provenance/decimation.h"
#include "engine/provenance/flagsfile.h"

#include <QChart>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QKeyEvent>
#include <QLineSeries>
#include <QMouseEvent>
#include <QScatterSeries>
#include <QToolTip>
#include <QValueAxis>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double kMsPerDay = 86400000.0;
// A press that moves less than this is a click, not a drag.
constexpr int kClickSlack = 4;

QList<QPointF> toPoints(const std::vector<pluvora::PlotPoint>& points)
{
    QList<QPointF> list;
    list.reserve(static_cast<qsizetype>(points.size()));
    for (const auto& p : points)
        list.append(QPointF(p.x, p.y));
    return list;
}

QScatterSeries* markSeries(const QString& name, QScatterSeries::MarkerShape shape, const QColor& fill,
                           const QColor& border, double size)
{
    auto* s = new QScatterSeries;
    s->setName(name);
    s->setMarkerShape(shape);
    s->setMarkerSize(size);
    s->setColor(fill);
    s->setBorderColor(border);
    return s;
}

} // namespace

SeriesChartView::SeriesChartView(const pluvora::RunProvenance& provenance, std::size_t series,
                                 std::optional<std::size_t> estimate, QWidget* parent)
    : QChartView(parent), mProvenance(provenance), mSeries(series), mEstimate(estimate)
{
    const auto& info = provenance.series()[series];
    setObjectName(QString::fromStdString("chart " + pluvora::seriesTitle(info)));
    setRenderHint(QPainter::Antialiasing, false);
    setFocusPolicy(Qt::StrongFocus);
    setMinimumHeight(240);

    const std::size_t days = provenance.dayCount();
    mX.reserve(days);
    mY.reserve(days);
    double low = std::numeric_limits<double>::infinity(), high = -low;
    auto widen = [&](double v) {
        if (!std::isnan(v)) {
            low = std::min(low, v);
            high = std::max(high, v);
        }
    };
    for (std::size_t d = 0; d < days; ++d) {
        mX.push_back(static_cast<double>(pluvora::RunProvenance::dayNumber(provenance.day(d))) * kMsPerDay);
        mY.push_back(provenance.value(series, d));
        widen(mY.back());
        if (mEstimate) {
            mEstimateY.push_back(provenance.value(*mEstimate, d));
            widen(mEstimateY.back());
        }
    }
    // Out-of-order dates are flagged; drawn in file order they would fold
    // the line back on itself, so such a file is drawn by its day count.
    if (!std::is_sorted(mX.begin(), mX.end()))
        for (std::size_t d = 0; d < mX.size(); ++d)
            mX[d] = mX.front() + static_cast<double>(d) * kMsPerDay;
    if (!(low <= high)) {
        low = 0;
        high = 1;
    }
    const double pad = std::max((high - low) * 0.05, 0.5);
    mLow = low - pad;
    mHigh = high + pad;

    auto* chart = new QChart;
    chart->setTitle(QString::fromStdString(pluvora::seriesTitle(info)
                                           + (info.unit.empty() ? "" : " (" + info.unit + ")")));
    chart->legend()->setAlignment(Qt::AlignRight);
    chart->setMargins(QMargins(4, 4, 4, 4));
    mAxisX = new QDateTimeAxis;
    mAxisX->setFormat("yyyy-MM-dd");
    mAxisX->setTickCount(6);
    mAxisY = new QValueAxis;
    mAxisY->setTitleText(QString::fromStdString(info.unit));
    chart->addAxis(mAxisX, Qt::AlignBottom);
    chart->addAxis(mAxisY, Qt::AlignLeft);

    mLine = new QLineSeries;
    mLine->setName(info.estimated ? tr("estimated") : tr("values"));
    mLine->setColor(info.estimated ? QColor(0x1f, 0x6f, 0xb4) : QColor(0x33, 0x33, 0x33));
    chart->addSeries(mLine);
    if (mEstimate) {
        mEstimateLine = new QLineSeries;
        mEstimateLine->setName(tr("estimated"));
        mEstimateLine->setColor(QColor(0x1f, 0x6f, 0xb4));
        chart->addSeries(mEstimateLine);
    }
    mFlagged = markSeries(tr("flagged"), QScatterSeries::MarkerShapeCircle, Qt::transparent, QColor(0xdd, 0, 0), 9);
    mSubstituted = markSeries(tr("substituted"), QScatterSeries::MarkerShapeRectangle, QColor(0xe6, 0x95, 0),
                              QColor(0xe6, 0x95, 0), 7);
    mMissing = markSeries(tr("no value"), QScatterSeries::MarkerShapeTriangle, QColor(0x77, 0x77, 0x77),
                          QColor(0x77, 0x77, 0x77), 7);
    for (QAbstractSeries* s : {static_cast<QAbstractSeries*>(mFlagged), static_cast<QAbstractSeries*>(mSubstituted),
                               static_cast<QAbstractSeries*>(mMissing)})
        chart->addSeries(s);
    // A chart without filled values keeps the legend it always had.
    using Mark = pluvora::RunProvenance::Mark;
    auto filled = [this](Mark how) {
        for (std::size_t d = 0; d < mX.size(); ++d)
            if (mProvenance.mark(mSeries, d) == how)
                return true;
        return false;
    };
    if (filled(Mark::Interpolated)) {
        mInterpolated = markSeries(tr("interpolated"), QScatterSeries::MarkerShapeRotatedRectangle,
                                   QColor(0x2c, 0xa0, 0x2c), QColor(0x2c, 0xa0, 0x2c), 8);
        chart->addSeries(mInterpolated);
    }
    if (filled(Mark::FromReference)) {
        mFromReference = markSeries(tr("from the reference"), QScatterSeries::MarkerShapePentagon,
                                    QColor(0x94, 0x67, 0xbd), QColor(0x94, 0x67, 0xbd), 8);
        chart->addSeries(mFromReference);
    }
    for (QAbstractSeries* s : chart->series()) {
        s->attachAxis(mAxisX);
        s->attachAxis(mAxisY);
    }
    setChart(chart);
    addMarks();
    for (QScatterSeries* s : {mFlagged, mSubstituted, mMissing, mInterpolated, mFromReference})
        if (s)
            connect(s, &QScatterSeries::hovered, this, &SeriesChartView::showReason);
    connect(mAxisX, &QDateTimeAxis::rangeChanged, this, [this] { redecimate(); });
    connect(chart, &QChart::plotAreaChanged, this, [this] { redecimate(); });
    resetZoom();
}

const std::vector<std::size_t>& SeriesChartView::markedDays(MarkKind kind) const
{
    return mMarked[static_cast<int>(kind)];
}

void SeriesChartView::addMarks()
{
    QList<QPointF> flagged, substituted, missing, interpolated, fromReference;
    const double bottom = mLow + (mHigh - mLow) * 0.02;
    for (std::size_t d = 0; d < mX.size(); ++d) {
        const double y = std::isnan(mY[d]) ? bottom : mY[d];
        if (mProvenance.flagged(mSeries, d)) {
            flagged.append(QPointF(mX[d], y));
            mMarked[0].push_back(d);
        }
        const auto mark = mProvenance.mark(mSeries, d);
        if (mark == pluvora::RunProvenance::Mark::Substituted) {
            substituted.append(QPointF(mX[d], y));
            mMarked[1].push_back(d);
        } else if (mark == pluvora::RunProvenance::Mark::Missing) {
            missing.append(QPointF(mX[d], bottom));
            mMarked[2].push_back(d);
        } else if (mark == pluvora::RunProvenance::Mark::Interpolated) {
            interpolated.append(QPointF(mX[d], y));
            mMarked[3].push_back(d);
        } else if (mark == pluvora::RunProvenance::Mark::FromReference) {
            fromReference.append(QPointF(mX[d], y));
            mMarked[4].push_back(d);
        }
    }
    mFlagged->replace(flagged);
    mSubstituted->replace(substituted);
    mMissing->replace(missing);
    if (mInterpolated)
        mInterpolated->replace(interpolated);
    if (mFromReference)
        mFromReference->replace(fromReference);
}

void SeriesChartView::redecimate()
{
    const double x0 = static_cast<double>(mAxisX->min().toMSecsSinceEpoch());
    const double x1 = static_cast<double>(mAxisX->max().toMSecsSinceEpoch());
    const int columns = std::max(1, static_cast<int>(chart()->plotArea().width()));
    mLine->replace(toPoints(pluvora::decimateMinMax(mX, mY, x0, x1, columns)));
    if (mEstimateLine)
        mEstimateLine->replace(toPoints(pluvora::decimateMinMax(mX, mEstimateY, x0, x1, columns)));
}

qsizetype SeriesChartView::drawnPoints() const { return mLine->count(); }

void SeriesChartView::resetZoom()
{
    const double first = mX.empty() ? 0 : mX.front();
    const double last = mX.empty() ? kMsPerDay : std::max(mX.back(), first + kMsPerDay);
    mAxisY->setRange(mLow, mHigh);
    mAxisX->setRange(QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(first), Qt::UTC),
                     QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(last), Qt::UTC));
}

void SeriesChartView::zoomBy(double factor)
{
    // Only the dates zoom: the value axis keeps every value in sight.
    const double x0 = static_cast<double>(mAxisX->min().toMSecsSinceEpoch());
    const double x1 = static_cast<double>(mAxisX->max().toMSecsSinceEpoch());
    const double middle = (x0 + x1) / 2;
    const double half = std::max((x1 - x0) / 2 / factor, kMsPerDay * 2);
    mAxisX->setRange(QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(middle - half), Qt::UTC),
                     QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(middle + half), Qt::UTC));
}

QPoint SeriesChartView::positionOfDay(std::size_t day) const
{
    const double y = std::isnan(mY[day]) ? mLow : mY[day];
    const QPointF scene = chart()->mapToPosition(QPointF(mX[day], y), mLine);
    return mapFromScene(chart()->mapToScene(scene));
}

std::optional<std::size_t> SeriesChartView::dayNear(const QPointF& viewPosition) const
{
    if (mX.empty())
        return std::nullopt;
    const QPointF scene = chart()->mapFromScene(mapToScene(viewPosition.toPoint()));
    const double x = chart()->mapToValue(scene, mLine).x();
    const auto it = std::lower_bound(mX.begin(), mX.end(), x);
    std::size_t d = static_cast<std::size_t>(it - mX.begin());
    if (d == mX.size() || (d > 0 && x - mX[d - 1] < mX[d] - x))
        d = d == 0 ? 0 : d - 1;
    // A click far from any day (in a gap of the dates) selects nothing.
    const double pixelsPerMs = chart()->plotArea().width()
                               / std::max(1.0, static_cast<double>(mAxisX->max().toMSecsSinceEpoch()
                                                                   - mAxisX->min().toMSecsSinceEpoch()));
    if (std::fabs(mX[d] - x) * pixelsPerMs > std::max(6.0, kMsPerDay * pixelsPerMs))
        return std::nullopt;
    return d;
}

void SeriesChartView::showReason(const QPointF& point, bool state)
{
    if (!state) {
        QToolTip::hideText();
        return;
    }
    const auto it = std::lower_bound(mX.begin(), mX.end(), point.x());
    if (it == mX.end())
        return;
    const auto d = static_cast<std::size_t>(it - mX.begin());
    const auto day = mProvenance.day(d);
    QString text = QString::fromStdString(pluvora::RunProvenance::isoDate(day)) + tr(", input line %1").arg(day.inputLine);
    if (const auto reason = mProvenance.reason(day); !reason.empty())
        text += "\n" + QString::fromUtf8(reason.data(), static_cast<qsizetype>(reason.size()));
    const auto mark = mProvenance.mark(mSeries, d);
    if (mark == pluvora::RunProvenance::Mark::Substituted)
        text += "\n" + tr("substituted");
    else if (mark == pluvora::RunProvenance::Mark::Missing)
        text += "\n" + tr("no value");
    else if (mark == pluvora::RunProvenance::Mark::Interpolated)
        text += "\n" + tr("interpolated");
    else if (mark == pluvora::RunProvenance::Mark::FromReference)
        text += "\n" + tr("from the reference");
    QToolTip::showText(QCursor::pos(), text, this);
}

void SeriesChartView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QChartView::mousePressEvent(event);
        return;
    }
    mPressAt = event->position().toPoint();
    mLastDrag = *mPressAt;
    mDragged = false;
    setFocus();
    event->accept();
}

void SeriesChartView::mouseMoveEvent(QMouseEvent* event)
{
    if (!mPressAt || !(event->buttons() & Qt::LeftButton)) {
        QChartView::mouseMoveEvent(event);
        return;
    }
    const QPoint at = event->position().toPoint();
    if ((at - *mPressAt).manhattanLength() >= kClickSlack)
        mDragged = true;
    if (mDragged) {
        chart()->scroll(mLastDrag.x() - at.x(), 0);
        mLastDrag = at;
    }
    event->accept();
}

void SeriesChartView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !mPressAt) {
        QChartView::mouseReleaseEvent(event);
        return;
    }
    if (!mDragged)
        if (const auto day = dayNear(event->position()))
            emit daySelected(mProvenance.day(*day).inputLine);
    mPressAt.reset();
    event->accept();
}

void SeriesChartView::wheelEvent(QWheelEvent* event)
{
    const int steps = event->angleDelta().y() / 120;
    if (steps != 0)
        zoomBy(std::pow(1.25, steps));
    event->accept();
}

void SeriesChartView::keyPressEvent(QKeyEvent* event)
{
    const double step = chart()->plotArea().width() / 10;
    switch (event->key()) {
    case Qt::Key_Plus:
    case Qt::Key_Equal: zoomBy(1.5); break;
    case Qt::Key_Minus: zoomBy(1 / 1.5); break;
    case Qt::Key_Left: chart()->scroll(-step, 0); break;
    case Qt::Key_Right: chart()->scroll(step, 0); break;
    case Qt::Key_Home: resetZoom(); break;
    default: QChartView::keyPressEvent(event); return;
    }
    event->accept();
}

void SeriesChartView::resizeEvent(QResizeEvent* event)
{
    QChartView::resizeEvent(event);
    redecimate();
}
