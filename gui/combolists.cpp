#include "gui/combolists.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QScrollBar>

namespace {

void fitList(QComboBox* box)
{
    int widest = 0;
    const QFontMetrics metrics = box->view()->fontMetrics();
    for (int i = 0; i < box->count(); ++i)
        widest = qMax(widest, metrics.horizontalAdvance(box->itemText(i)));
    // Room for the item margins and a scroll bar of a long list.
    const int needed = widest + 2 * metrics.averageCharWidth()
                       + box->view()->verticalScrollBar()->sizeHint().width();
    box->view()->setMinimumWidth(qMax(box->width(), needed));
}

} // namespace

void widenComboList(QComboBox* box)
{
    // A hint set by the design stays; the text tooltip is for boxes without.
    const bool ownTip = box->toolTip().isEmpty();
    auto refresh = [box, ownTip] {
        fitList(box);
        if (ownTip)
            box->setToolTip(box->currentText());
    };
    QObject::connect(box->model(), &QAbstractItemModel::rowsInserted, box, refresh);
    QObject::connect(box->model(), &QAbstractItemModel::rowsRemoved, box, refresh);
    QObject::connect(box->model(), &QAbstractItemModel::modelReset, box, refresh);
    QObject::connect(box->model(), &QAbstractItemModel::dataChanged, box, refresh);
    QObject::connect(box, &QComboBox::currentTextChanged, box, refresh);
    refresh();
}

void widenComboLists(QWidget* root)
{
    for (QComboBox* box : root->findChildren<QComboBox*>())
        widenComboList(box);
}
