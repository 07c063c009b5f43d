#include "gui/inputpanel.h"

#include "engine/table/reportedline.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QMimeData>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

// Header rows in a soft tint: seen at a glance, never mistaken for a
// selection.
const QColor kHeaderShade(255, 243, 200);
const QColor kHeaderNumberShade(240, 214, 140);
const QColor kGutterColour(236, 236, 236);

class Gutter : public QWidget {
public:
    explicit Gutter(InputPanel* panel)
        : QWidget(panel)
        , mPanel(panel)
    {
        setObjectName("LineNumbers");
    }
    QSize sizeHint() const override { return {mPanel->gutterWidth(), 0}; }

protected:
    void paintEvent(QPaintEvent* event) override { mPanel->paintGutter(event); }

private:
    InputPanel* mPanel;
};

} // namespace

InputPanel::InputPanel(QWidget* parent)
    : QPlainTextEdit(parent)
    , mGutter(new Gutter(this))
{
    connect(this, &QPlainTextEdit::blockCountChanged, this, [this] {
        updateGutterWidth();
        shadeWhenSafe();
    });
    // A new text of as many lines keeps the count but not the shaded lines.
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (mHeaderRows > 0)
            shadeWhenSafe();
    });
    connect(this, &QPlainTextEdit::updateRequest, this, &InputPanel::updateGutter);
    updateGutterWidth();
}

void InputPanel::changeEvent(QEvent* event)
{
    QPlainTextEdit::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        updateGutterWidth();
        const QRect area = contentsRect();
        mGutter->setGeometry(area.left(), area.top(), gutterWidth(), area.height());
    }
}

int InputPanel::gutterWidth() const
{
    int digits = 1;
    // A new width lays out every line again: while a document fills, the
    // gutter takes the width it will need at the end.
    for (int count = std::max({1, blockCount(), mShownBefore ? mFillingLines : 0}); count >= 10; count /= 10)
        ++digits;
    return 8 + fontMetrics().horizontalAdvance(QLatin1Char('9')) * qMax(3, digits);
}

void InputPanel::updateGutterWidth() { setViewportMargins(gutterWidth(), 0, 0, 0); }

void InputPanel::updateGutter(const QRect& rect, int dy)
{
    if (dy != 0)
        mGutter->scroll(0, dy);
    else
        mGutter->update(0, rect.y(), mGutter->width(), rect.height());
    if (rect.contains(viewport()->rect()))
        updateGutterWidth();
}

void InputPanel::contextMenuEvent(QContextMenuEvent* event)
{
    // The scroll area hands on the viewport's event in its coordinates.
    const int line = cursorForPosition(event->pos()).blockNumber();
    QMenu* menu = createStandardContextMenu(event->pos());
    menu->setAttribute(Qt::WA_DeleteOnClose);
    QAction* first = menu->actions().value(0);
    QAction* start = new QAction(kDataStartHere, menu);
    start->setObjectName("DataStartHere");
    connect(start, &QAction::triggered, this, [this, line] { emit dataStartChosen(line); });
    menu->insertAction(first, start);
    menu->insertSeparator(first);
    if (!mExtraActions.isEmpty()) {
        menu->addSeparator();
        menu->addActions(mExtraActions);
    }
    menu->popup(event->globalPos());
}

namespace {

QString droppedFile(const QMimeData* data)
{
    if (data == nullptr || !data->hasUrls() || data->urls().isEmpty())
        return {};
    const QUrl url = data->urls().first();
    return url.isLocalFile() ? url.toLocalFile() : QString();
}

} // namespace

void InputPanel::dragEnterEvent(QDragEnterEvent* event)
{
    if (droppedFile(event->mimeData()).isEmpty())
        QPlainTextEdit::dragEnterEvent(event);
    else
        event->acceptProposedAction();
}

void InputPanel::dragMoveEvent(QDragMoveEvent* event)
{
    if (droppedFile(event->mimeData()).isEmpty())
        QPlainTextEdit::dragMoveEvent(event);
    else
        event->acceptProposedAction();
}

// A file opens as a new input; dropped text goes into the panel as typed.
void InputPanel::dropEvent(QDropEvent* event)
{
    const QString file = droppedFile(event->mimeData());
    if (file.isEmpty()) {
        QPlainTextEdit::dropEvent(event);
        return;
    }
    event->acceptProposedAction();
    emit fileDropped(file);
}

void InputPanel::resizeEvent(QResizeEvent* event)
{
    QPlainTextEdit::resizeEvent(event);
    const QRect area = contentsRect();
    mGutter->setGeometry(area.left(), area.top(), gutterWidth(), area.height());
}

void InputPanel::paintGutter(QPaintEvent* event)
{
    QPainter painter(mGutter);
    painter.fillRect(event->rect(), kGutterColour);
    painter.setFont(font());
    QTextBlock block = firstVisibleBlock();
    int number = block.blockNumber() + 1;
    int top = qRound(blockBoundingGeometry(block).translated(contentOffset()).top());
    const int width = mGutter->width() - 4;
    while (block.isValid() && top <= event->rect().bottom()) {
        const int height = qRound(blockBoundingRect(block).height());
        if (block.isVisible() && top + height >= event->rect().top()) {
            if (number <= mHeaderRows)
                painter.fillRect(0, top, mGutter->width(), height, kHeaderNumberShade);
            painter.setPen(Qt::darkGray);
            painter.drawText(0, top, width, fontMetrics().height(), Qt::AlignRight,
                             QString::number(number));
        }
        block = block.next();
        top += height;
        ++number;
    }
}

void InputPanel::shadeWhenSafe()
{
    // A document being cleared signals while it still walks its cursors,
    // which new selections would free: then the shading waits for the end.
    if (document()->isEmpty())
        QMetaObject::invokeMethod(this, &InputPanel::shadeHeaderRows, Qt::QueuedConnection);
    else
        shadeHeaderRows();
}

void InputPanel::beginFilling(QTextDocument* document, int lines)
{
    mOpenedText = QByteArray();
    mFillingLines = lines;
    mShownBefore = this->document();
    // The editor frees a document of its own once another is set; this one
    // may have to come back.
    mShownBefore->setParent(this);
    setDocument(document);
}

void InputPanel::cancelFilling()
{
    if (mShownBefore == nullptr)
        return;
    setDocument(std::exchange(mShownBefore, nullptr));
    updateGutterWidth();
    shadeHeaderRows();
    mGutter->update();
}

void InputPanel::replaceDocument(QTextDocument* document)
{
    mOpenedText = QByteArray();
    QTextDocument* old = mShownBefore ? std::exchange(mShownBefore, nullptr) : this->document();
    if (old != document)
        old->setParent(this);
    if (document != this->document())
        setDocument(document);
    if (old != document)
        old->deleteLater();
    // A text just put in holds no edits of the user's.
    document->setModified(false);
    updateGutterWidth();
    shadeHeaderRows();
    mGutter->update();
}

namespace {

// Whether the document gives `utf8` back unchanged: it breaks lines at a
// CR too, and toPlainText turns a no-break space and Unicode's line and
// paragraph separators into others; plain ASCII has none of these.
bool readsBackUnchanged(const QByteArray& utf8)
{
    if (utf8.contains('\r'))
        return false;
    // Eight bytes a step: this runs over every byte of a long file.
    const char* data = utf8.constData();
    const qsizetype size = utf8.size();
    qsizetype i = 0;
    for (; i + 8 <= size; i += 8) {
        quint64 word;
        std::memcpy(&word, data + i, 8);
        if ((word & 0x8080808080808080u) != 0)
            return false;
    }
    return std::none_of(data + i, data + size, [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

} // namespace

void InputPanel::replaceDocument(QTextDocument* document, const QByteArray& utf8)
{
    replaceDocument(document);
    if (!readsBackUnchanged(utf8))
        return;
    mOpenedText = utf8;
    connect(document, &QTextDocument::contentsChange, this, [this, document](int, int removed, int added) {
        if ((removed > 0 || added > 0) && document == this->document())
            mOpenedText = QByteArray();
    });
}

QByteArray InputPanel::plainTextUtf8() const
{
    return mOpenedText.isNull() ? toPlainText().toUtf8() : mOpenedText;
}

void InputPanel::setHeaderRows(int rows)
{
    rows = qMax(0, rows);
    if (rows == mHeaderRows)
        return;
    mHeaderRows = rows;
    shadeHeaderRows();
    mGutter->update();
}

void InputPanel::shadeHeaderRows()
{
    QList<QTextEdit::ExtraSelection> shades;
    QTextBlock block = document()->firstBlock();
    for (int row = 0; row < mHeaderRows && block.isValid(); ++row, block = block.next()) {
        QTextEdit::ExtraSelection shade;
        shade.format.setBackground(kHeaderShade);
        shade.format.setProperty(QTextFormat::FullWidthSelection, true);
        shade.cursor = QTextCursor(block);
        shades.append(shade);
    }
    setExtraSelections(shades);
}

bool InputPanel::selectLine(int line)
{
    const QTextBlock block = document()->findBlockByNumber(line - 1);
    if (line < 1 || !block.isValid())
        return false;
    QTextCursor cursor(block);
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    setTextCursor(cursor);
    centerCursor();
    return true;
}

bool InputPanel::selectReportedRow(const QString& row, const QString& substitute)
{
    const auto line = pluvora::findReportedLine(row.toStdString(), plainTextUtf8().toStdString(),
                                                mHeaderRows, substitute.toStdString());
    return line && selectLine(*line);
}
