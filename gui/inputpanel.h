#pragma once

#include <QPlainTextEdit>

// The input panel (`Memo1`): the text with its line numbers beside it, the
// header rows ("Rows before data start") shaded, so that nobody counts 33
// header lines by hand.
class InputPanel : public QPlainTextEdit {
    Q_OBJECT
public:
    static constexpr const char* kDataStartHere = "Data start here";

    explicit InputPanel(QWidget* parent = nullptr);

    int headerRows() const { return mHeaderRows; }
    void setHeaderRows(int rows);

    // Scrolls to line `line` (1-based) and selects it whole; false when the
    // panel has no such line.
    bool selectLine(int line);
    // Selects the data row that a row of the missing-value report shows,
    // found by its values; `substitute` stands in for any value.
    bool selectReportedRow(const QString& row, const QString& substitute);

    // Shows `document` instead of the current one, which goes if the panel
    // owns it; for a text built elsewhere, as a large file is.
    void replaceDocument(QTextDocument* document);
    // For a text that goes into `document` while the panel shows it (laying
    // out 365,000 lines again once they are in costs a fifth of a second):
    // the document shown before stays until replaceDocument is called with
    // `document`, or comes back with cancelFilling.
    void beginFilling(QTextDocument* document, int lines);
    void cancelFilling();
    // The same for the text of an opened file, `utf8` being the document's
    // text as UTF-8: kept until the panel's text changes, so a run and a
    // suggestion need not copy 365,000 lines out of the document.
    void replaceDocument(QTextDocument* document, const QByteArray& utf8);
    // The panel's text as UTF-8, as toPlainText gives it.
    QByteArray plainTextUtf8() const;

    // Items other parts of the window add below the panel's own in its
    // context menu.
    void addContextActions(const QList<QAction*>& actions) { mExtraActions += actions; }

    QWidget* gutter() const { return mGutter; }
    int gutterWidth() const;
    void paintGutter(QPaintEvent* event);

signals:
    // "Data start here" on line index `line`: the lines above it are the
    // header rows.
    void dataStartChosen(int line);
    // A file dropped on the panel, to be opened as "Step 1" opens one.
    void fileDropped(const QString& path);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void updateGutterWidth();
    void updateGutter(const QRect& rect, int dy);
    void shadeHeaderRows();
    void shadeWhenSafe();

    QWidget* mGutter = nullptr;
    int mHeaderRows = 0;
    QList<QAction*> mExtraActions;
    QByteArray mOpenedText; // null once the text is not the opened file's
    QTextDocument* mShownBefore = nullptr; // while a new document fills
    int mFillingLines = 0; // the lines it will hold: the gutter is as wide from the start
};
