#pragma once

#include "engine/table/seencolumns.h"

#include <QDialog>

#include <vector>

class QListWidget;

// "Remove data columns" (TForm3): which columns of each data row to drop.
// Lists every column of the widest row, at least 30, each with the header
// name above its number and a sample value below, so that nobody counts
// columns by hand. Created anew for every removal, so no tick carries over.
class RemoveColumnsDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kCaption = "Remove data columns";
    static constexpr const char* kColumnLabel = "Column to be removed";
    static constexpr const char* kOk = "OK";
    static constexpr const char* kCancel = "Cancel";
    static constexpr const char* kResetAll = "Reset all";
    static constexpr int kLeastColumns = 30;
    // Item data of a column beside its number.
    static constexpr int kHeaderRole = Qt::UserRole;
    static constexpr int kSampleRole = Qt::UserRole + 1;

    explicit RemoveColumnsDialog(const std::vector<pluvora::SeenColumn>& columns = {},
                                 QWidget* parent = nullptr);

    // Entry k-1 set: column k is removed.
    std::vector<bool> columnsToRemove() const;

signals:
    void columnsChosen(const std::vector<bool>& remove);

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
