#include "gui/elasticlayout.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QEvent>
#include <QHash>
#include <QPointF>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QTabBar>

#include <algorithm>
#include <cmath>

namespace {

// Controls whose children are their own inner parts (viewports, scroll
// bars, popups) and must not be placed from outside.
bool isContainer(const QWidget* w)
{
    return !qobject_cast<const QAbstractScrollArea*>(w) && !qobject_cast<const QComboBox*>(w)
           && !qobject_cast<const QAbstractButton*>(w) && !qobject_cast<const QLineEdit*>(w)
           && !qobject_cast<const QLabel*>(w) && !qobject_cast<const QAbstractSpinBox*>(w)
           && !qobject_cast<const QAbstractSlider*>(w) && !qobject_cast<const QTabBar*>(w);
}

QFont scaledFont(QFont font, double ratio)
{
    if (font.pixelSize() > 0)
        font.setPixelSize(std::max(1, static_cast<int>(std::lround(font.pixelSize() * ratio))));
    else
        font.setPointSizeF(std::max(1.0, std::round(font.pointSizeF() * ratio * 2.0) / 2.0));
    return font;
}

int scaled(int value, double ratio) { return static_cast<int>(std::lround(value * ratio)); }

QSize scaledSize(const QSize& size, double xRatio, double yRatio)
{
    auto one = [](int value, double ratio) {
        return value >= QWIDGETSIZE_MAX ? QWIDGETSIZE_MAX : scaled(value, ratio);
    };
    return {one(size.width(), xRatio), one(size.height(), yRatio)};
}

QRect unscaled(const QRect& r, double xRatio, double yRatio)
{
    const int left = scaled(r.left(), 1.0 / xRatio);
    const int top = scaled(r.top(), 1.0 / yRatio);
    return {left, top, scaled(r.left() + r.width(), 1.0 / xRatio) - left,
            scaled(r.top() + r.height(), 1.0 / yRatio) - top};
}

} // namespace

ElasticLayout::ElasticLayout(QWidget* root, QSize designSize)
    : QObject(root)
    , mRoot(root)
    , mDesign(designSize)
{
    mItems.push_back({root, {}, {}, {1.0, 1.0}, {}, {}, false, true, root->font()});
    record(root);
    root->installEventFilter(this);
}

void ElasticLayout::record(QWidget* parent)
{
    const QLayout* layout = parent->layout();
    const auto children = parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* w : children) {
        if (w->isWindow())
            continue;
        const bool placed = !(layout && layout->indexOf(w) >= 0);
        const bool ownFont = w->testAttribute(Qt::WA_SetFont);
        if (placed || ownFont)
            mItems.push_back({w, w->geometry(), w->geometry(), {1.0, 1.0}, w->minimumSize(), w->maximumSize(),
                              placed, ownFont, w->font()});
        if (isContainer(w))
            record(w);
    }
}

void ElasticLayout::setEnabled(bool enabled)
{
    mEnabled = enabled;
    if (enabled)
        apply();
    else
        layOut(1.0, 1.0);
}

void ElasticLayout::apply()
{
    if (!mEnabled || mDesign.isEmpty())
        return;
    layOut(double(mRoot->width()) / mDesign.width(), double(mRoot->height()) / mDesign.height());
}

void ElasticLayout::recordPlaces()
{
    for (Item& item : mItems) {
        if (item.widget && item.placed) {
            item.design = item.applied = item.widget->geometry();
            item.ratio = {1.0, 1.0};
        }
    }
}

void ElasticLayout::layOut(double xRatio, double yRatio, bool fonts)
{
    const double fontRatio = std::min(xRatio, yRatio);
    // A control is scaled by how much its parent actually grew, so that
    // rounding never pushes it a pixel past its parent's edge. Parents come
    // before their children in the list.
    QHash<const QWidget*, QPointF> grown;
    grown.insert(mRoot, {xRatio, yRatio});
    // One repaint for the whole pass, not one per control.
    const bool updates = mRoot->updatesEnabled();
    mRoot->setUpdatesEnabled(false);
    for (Item& item : mItems) {
        QWidget* w = item.widget;
        if (!w)
            continue;
        if (fonts && item.ownFont) {
            const QFont font = scaledFont(item.font, fontRatio);
            if (w->font() != font)
                w->setFont(font);
        }
        if (!item.placed)
            continue;
        const QPointF ratio = grown.value(w->parentWidget(), QPointF(xRatio, yRatio));
        if (w->geometry() != item.applied)
            item.design = unscaled(w->geometry(), item.ratio.x(), item.ratio.y());
        if (!item.minimum.isNull() || item.maximum != QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX)) {
            w->setMinimumSize(0, 0);
            w->setMaximumSize(scaledSize(item.maximum, ratio.x(), ratio.y()));
            w->setMinimumSize(scaledSize(item.minimum, ratio.x(), ratio.y()));
        }
        // Edges are scaled rather than sizes, so neighbours stay flush.
        const QRect& d = item.design;
        const int left = scaled(d.left(), ratio.x());
        const int top = scaled(d.top(), ratio.y());
        const int least = mLeastWidth ? mLeastWidth(w) : 0;
        w->setGeometry(left, top, std::max(least, scaled(d.left() + d.width(), ratio.x()) - left),
                       scaled(d.top() + d.height(), ratio.y()) - top);
        item.applied = w->geometry();
        item.ratio = ratio;
        if (d.width() > 0 && d.height() > 0)
            grown.insert(w, {double(w->width()) / d.width(), double(w->height()) / d.height()});
    }
    mRoot->setUpdatesEnabled(updates);
}

bool ElasticLayout::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == mRoot && event->type() == QEvent::Resize)
        apply();
    return QObject::eventFilter(watched, event);
}
