#pragma once

#include "table/layoutpasses.h"

#include <QDialog>

class QListWidget;

// "Remove data columns" (TForm3): which number tokens of each data row to
// drop. Created anew for every removal, so no tick carries over.
class RemoveColumnsDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kCaption = "Remove data columns";
    static constexpr const char* kColumnLabel = "Column to be removed";
    static constexpr const char* kOk = "OK";
    static constexpr const char* kCancel = "Cancel";
    static constexpr const char* kResetAll = "Reset all";

    explicit RemoveColumnsDialog(QWidget* parent = nullptr);

    pluvora::ColumnRemoveFlags columnRemoveFlags() const;

signals:
    void columnsChosen(const pluvora::ColumnRemoveFlags& flags);

public slots:
    // "OK": hands on the ticked columns and closes.
    void BitBtn1Click();
    // "Cancel": closes, removing nothing.
    void BitBtn2Click();
    // "Reset all": unticks every column.
    void BitBtn3Click();

private:
    QListWidget* mColumns;
};
