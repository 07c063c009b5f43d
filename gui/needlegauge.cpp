#include "gui/needlegauge.h"

#include <QPainter>
#include <QtMath>

#include <algorithm>
#include <cmath>

namespace {

// Stages tick once per record inside the click handler, so the event loop
// never runs: the gauge has to paint itself. Reading the clock only every
// 1024 ticks and painting at most every 40 ms keeps a long file fast.
constexpr unsigned kTicksPerClockCheck = 1024;
constexpr qint64 kRepaintInterval = 40;

} // namespace

NeedleGauge::NeedleGauge(QWidget* parent)
    : QWidget(parent)
{
    setObjectName("Gauge1");
    resize(sizeHint());
    hide();
    mSinceRepaint.start();
}

void NeedleGauge::setPosition(int position)
{
    mPosition = ((position % kMaximum) + kMaximum) % kMaximum;
    update();
}

void NeedleGauge::gaugeDisplay()
{
    mPosition = (mPosition + 1) % kMaximum;
    if (++mTicks % kTicksPerClockCheck != 0)
        return;
    if (isVisible() && mSinceRepaint.elapsed() >= kRepaintInterval) {
        repaint();
        mSinceRepaint.restart();
    }
}

void NeedleGauge::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    // A half dial standing on the bottom edge; the needle sweeps it from
    // left to right over the range.
    const double radius = std::min(width() / 2.0, height() - 2.0) - 2;
    const QPointF centre(width() / 2.0, height() - 2.0);
    const QRectF dial(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.setBrush(palette().color(QPalette::Base));
    painter.drawChord(dial, 0, 180 * 16);

    const double angle = M_PI * mPosition / kMaximum;
    const QPointF tip(centre.x() - (radius - 3) * std::cos(angle),
                      centre.y() - (radius - 3) * std::sin(angle));
    painter.setPen(QPen(Qt::red, 2));
    painter.drawLine(centre, tip);
}
