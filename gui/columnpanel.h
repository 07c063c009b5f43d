#pragma once

#include "columns/variablecatalogue.h"

#include <QWidget>

#include <array>
#include <string>

class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
namespace pluvora { struct RunRequest; }

// The column panel of "Step 2": per input column a variable box and the unit
// box under it, their number labels, "Reset" and the spacer. Boxes are
// addressed by number as the rest of the window does: variable boxes 12 to
// 23 are columns 1 to 12, a unit box is numbered 12 higher.
class ColumnPanel : public QWidget {
    Q_OBJECT
public:
    static constexpr const char* kColumnCaption = "Column";
    static constexpr const char* kVariableCaption = "Variable";
    static constexpr const char* kUnitCaption = "Unit";
    static constexpr const char* kResetCaption = "Reset";
    static constexpr const char* kResetHint = "Clear current column  specifications";
    static constexpr const char* kSpacerCaption = "Spacer";
    static constexpr const char* kSpacerHint = "Move comboboxes for column variables and units";
    static constexpr int kFirstVariableBox = 12;
    static constexpr int kFirstUnitBox = 24;

    explicit ColumnPanel(QWidget* parent = nullptr);

    // column 1 to 12
    QComboBox* variableBox(int column) const;
    QComboBox* unitBox(int column) const;

    // The menu's "  Enable spacer" check.
    void setSpacerEnabled(bool enabled);
    // The spacer box `UpDown1`: the window redesigns its layout when it turns.
    QSpinBox* spacerBox() const { return mSpacer; }

    std::array<int, pluvora::kColumnBoxes> variableIndexes() const;
    std::array<std::string, pluvora::kColumnBoxes> unitTexts() const;
    void fillRequest(pluvora::RunRequest& request) const;

signals:
    // "Reset" was pressed: the window empties the rows-before box and
    // deselects the template list.
    void resetClicked();

public slots:
    // ComboBox12Change to ComboBox23Change: the variable of column 1 to 12
    // changed; its unit box is emptied and offered the new variable's units.
    void ComboBox12Change();
    void ComboBox13Change();
    void ComboBox14Change();
    void ComboBox15Change();
    void ComboBox16Change();
    void ComboBox17Change();
    void ComboBox18Change();
    void ComboBox19Change();
    void ComboBox20Change();
    void ComboBox21Change();
    void ComboBox22Change();
    void ComboBox23Change();
    // The list of variable box `boxNumber` (12 to 23) closed.
    void VariableClick(int boxNumber);
    void UnitDisplayControl(int boxNumber, int unitIndex);
    void variableDisplay(int boxNumber, int code);
    void clearUnitBoxes();
    // "Reset": every column back to no variable and no unit; tells the window.
    void BitBtn5Click();
    // The spacer turned: the column boxes move to the new spacing.
    void UpDown1Click();
    void alignColumnBoxes();
    void arrangecolumnLables();

private:
    void variableChanged(int boxNumber);
    QComboBox* boxByNumber(int boxNumber) const;
    void recolour(QComboBox* box);

    std::array<QComboBox*, pluvora::kColumnBoxes> mVariableBoxes{};
    std::array<QComboBox*, pluvora::kColumnBoxes> mUnitBoxes{};
    std::array<QLabel*, pluvora::kColumnBoxes> mNumberLabels{};
    QPushButton* mReset = nullptr;
    QSpinBox* mSpacer = nullptr;
    QLabel* mSpacerLabel = nullptr;
};
