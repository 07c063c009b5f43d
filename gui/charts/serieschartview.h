#pragma once

#include "engine/provenance/runprovenance.h"

#include <QChartView>
#include <QList>
#include <QPointF>

#include <optional>
#include <vector>

class QDateTimeAxis;
class QLineSeries;
class QScatterSeries;
class QValueAxis;

// One series of a run's provenance against the date, in its unit: the
// values (a min/max per pixel column of what is in view, so a century of
// days pans smoothly), the flagged, substituted and missing days and, after
// a fill, the interpolated and from-the-reference ones as marks of their own, and the task's estimate of the same quantity as a second
// line. Drag or the arrow keys pan, the wheel or +/- zoom, Home shows all;
// a click on a day asks for its input line.
class SeriesChartView : public QChartView {
    Q_OBJECT
public:
    // `series` indexes provenance.series(); `estimate` is the index of an
    // estimated series drawn on the same chart, if any.
    SeriesChartView(const pluvora::RunProvenance& provenance, std::size_t series, std::optional<std::size_t> estimate,
                    QWidget* parent = nullptr);

    enum class MarkKind { Flagged, Substituted, Missing, Interpolated, FromReference };
    // The days a kind of mark is drawn at (index of the day in the provenance).
    const std::vector<std::size_t>& markedDays(MarkKind kind) const;
    // The scene position of a day's value, for tests that click it.
    QPoint positionOfDay(std::size_t day) const;
    // Points the value line holds now: at most two per pixel column.
    qsizetype drawnPoints() const;
    // Shows all days.
    void resetZoom();
    void zoomBy(double factor);

signals:
    void daySelected(int inputLine);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void redecimate();
    void addMarks();
    std::optional<std::size_t> dayNear(const QPointF& viewPosition) const;
    void showReason(const QPointF& point, bool state);

    const pluvora::RunProvenance& mProvenance;
    std::size_t mSeries;
    std::optional<std::size_t> mEstimate;
    std::vector<double> mX; // milliseconds since 1970, as the date axis counts
    std::vector<double> mY;
    std::vector<double> mEstimateY;
    double mLow = 0, mHigh = 1;
    QDateTimeAxis* mAxisX = nullptr;
    QValueAxis* mAxisY = nullptr;
    QLineSeries* mLine = nullptr;
    QLineSeries* mEstimateLine = nullptr;
    QScatterSeries* mFlagged = nullptr;
    QScatterSeries* mSubstituted = nullptr;
    QScatterSeries* mMissing = nullptr;
    // Only on the chart of a run that filled values of this series.
    QScatterSeries* mInterpolated = nullptr;
    QScatterSeries* mFromReference = nullptr;
    std::vector<std::size_t> mMarked[5];
    std::optional<QPoint> mPressAt;
    QPoint mLastDrag;
    bool mDragged = false;
};
