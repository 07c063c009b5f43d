#pragma once

#include <QFont>
#include <QObject>
#include <QPointF>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QWidget>

#include <functional>
#include <utility>
#include <vector>

// Scales a window's fixed-position controls with its client area: each
// control's design rectangle and font are recorded once, and every resize
// sets the geometry to the design rectangle times the width and height
// ratios and the font to the design size times the smaller ratio. Switched
// off, the design is restored. Controls that a Qt layout places keep to
// their layout; only their fonts scale. A control that the program itself
// moves or resizes (a box sized to its text, the column spacer) is taken at
// its new place from then on.
class ElasticLayout : public QObject {
public:
    // Records the children of `root` as they are now: call once the window
    // is built.
    ElasticLayout(QWidget* root, QSize designSize);

    // The least width a control may be given at its current font (0: no
    // limit), so that scaling never cuts a text the control must show whole.
    void setLeastWidth(std::function<int(const QWidget*)> leastWidth) { mLeastWidth = std::move(leastWidth); }

    void setEnabled(bool enabled);
    bool isEnabled() const { return mEnabled; }
    // Lays the controls out for the root's current size.
    void apply();
    // Runs `change`, a layout step the program makes in design pixels (the
    // column spacer), with the controls at their design places, takes its
    // result as the new design and scales it again.
    template <typename Change>
    void redesign(Change change)
    {
        if (mEnabled)
            layOut(1.0, 1.0, false);
        change();
        if (mEnabled) {
            recordPlaces();
            apply();
        }
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Item {
        QPointer<QWidget> widget;
        QRect design;
        QRect applied;   // the geometry the last pass left it with
        QPointF ratio{1.0, 1.0}; // the scale of the last pass
        QSize minimum;   // a size limit set by the program scales too
        QSize maximum;
        bool placed;     // false: a Qt layout places it
        bool ownFont;    // the font was set on this widget, not inherited
        QFont font;
    };

    void record(QWidget* parent);
    void layOut(double xRatio, double yRatio, bool fonts = true);
    void recordPlaces();

    QWidget* mRoot;
    QSize mDesign;
    std::vector<Item> mItems;
    std::function<int(const QWidget*)> mLeastWidth;
    bool mEnabled = false;
};
