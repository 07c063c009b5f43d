#include "gui/removecolumnsdialog.h"

#include "gui/controls.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

namespace {

QString fromUtf8(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Paints the header name above the tick and number of a column and its
// sample value below them, so the columns read like the data.
class ColumnDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override
    {
        const int line = option.fontMetrics.height();
        const QRect top(option.rect.left(), option.rect.top(), option.rect.width(), line);
        const QRect bottom(option.rect.left(), option.rect.bottom() - line, option.rect.width(),
                           line);
        QStyleOptionViewItem middle = option;
        middle.rect = option.rect.adjusted(0, line, 0, -line);
        QStyledItemDelegate::paint(painter, middle, index);
        painter->save();
        QFont bold = option.font;
        bold.setBold(true);
        painter->setFont(bold);
        painter->setPen(option.palette.color(QPalette::Text));
        painter->drawText(top, Qt::AlignCenter,
                          option.fontMetrics.elidedText(
                              index.data(RemoveColumnsDialog::kHeaderRole).toString(),
                              Qt::ElideRight, top.width()));
        painter->setFont(option.font);
        painter->setPen(option.palette.color(QPalette::PlaceholderText));
        painter->drawText(bottom, Qt::AlignCenter,
                          option.fontMetrics.elidedText(
                              index.data(RemoveColumnsDialog::kSampleRole).toString(),
                              Qt::ElideRight, bottom.width()));
        painter->restore();
    }

    // The tick is where paint() drew it.
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override
    {
        const int line = option.fontMetrics.height();
        QStyleOptionViewItem middle = option;
        middle.rect = option.rect.adjusted(0, line, 0, -line);
        return QStyledItemDelegate::editorEvent(event, model, middle, index);
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const QSize number = QStyledItemDelegate::sizeHint(option, index);
        const int wide = qMax(index.data(RemoveColumnsDialog::kHeaderRole).toString().size(),
                              index.data(RemoveColumnsDialog::kSampleRole).toString().size());
        const int width = option.fontMetrics.horizontalAdvance(QLatin1Char('0'))
                          * static_cast<int>(qMin<qsizetype>(wide, 14));
        return {qMax(number.width(), width) + 12, number.height() + 2 * option.fontMetrics.height()};
    }
};

} // namespace

RemoveColumnsDialog::RemoveColumnsDialog(const std::vector<pluvora::SeenColumn>& columns,
                                         QWidget* parent)
    : QDialog(parent)
    , mColumns(new QListWidget(this))
{
    setObjectName("TForm3");
    setWindowTitle(kCaption);
    auto* label = new QLabel(kColumnLabel, this);
    label->setObjectName("Label1");
    mColumns->setObjectName("CheckListBox1");
    mColumns->setFlow(QListView::LeftToRight);
    mColumns->setWrapping(true);
    mColumns->setResizeMode(QListView::Adjust);
    mColumns->setSpacing(2);
    mColumns->setItemDelegate(new ColumnDelegate(mColumns));
    const int count = qMax(kLeastColumns, static_cast<int>(columns.size()));
    for (int column = 1; column <= count; ++column) {
        auto* item = new QListWidgetItem(QString::number(column), mColumns);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
        if (static_cast<std::size_t>(column) <= columns.size()) {
            const pluvora::SeenColumn& seen = columns[static_cast<std::size_t>(column - 1)];
            item->setData(kHeaderRole, fromUtf8(seen.header));
            item->setData(kSampleRole, fromUtf8(seen.sample));
            item->setToolTip(fromUtf8(seen.header + (seen.header.empty() ? "" : ": ") + seen.sample));
        }
    }
    auto* ok = makeButton("BitBtn1", kOk, this);
    auto* cancel = makeButton("BitBtn2", kCancel, this);
    auto* reset = makeButton("BitBtn3", kResetAll, this);
    connect(ok, &QPushButton::clicked, this, &RemoveColumnsDialog::BitBtn1Click);
    connect(cancel, &QPushButton::clicked, this, &RemoveColumnsDialog::BitBtn2Click);
    connect(reset, &QPushButton::clicked, this, &RemoveColumnsDialog::BitBtn3Click);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addStretch(1);
    buttons->addWidget(reset);
    auto* row = new QHBoxLayout;
    row->addWidget(mColumns, 1);
    row->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addLayout(row);
    resize(640, 360);
}

std::vector<bool> RemoveColumnsDialog::columnsToRemove() const
{
    std::vector<bool> remove(static_cast<std::size_t>(mColumns->count()));
    for (int row = 0; row < mColumns->count(); ++row)
        remove[static_cast<std::size_t>(row)] = mColumns->item(row)->checkState() == Qt::Checked;
    return remove;
}

void RemoveColumnsDialog::BitBtn1Click()
{
    const auto remove = columnsToRemove();
    accept();
    emit columnsChosen(remove);
}

void RemoveColumnsDialog::BitBtn2Click() { reject(); }

void RemoveColumnsDialog::BitBtn3Click()
{
    for (int row = 0; row < mColumns->count(); ++row)
        mColumns->item(row)->setCheckState(Qt::Unchecked);
}
