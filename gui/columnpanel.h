#pragma once

#include "engine/columns/datalayout.h"

#include <QWidget>

#include <array>
#include <string>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QToolButton;
class QPushButton;
class QSpinBox;
namespace pluvora { struct RunRequest; }

// The column panel of "Step 2": per input column a variable box and the unit
// box under it, their number labels, "Reset", the spacer, how fields are
// separated and "Rows before data start". Boxes are addressed by number as
// the rest of the window does: variable boxes 12 to 23 are columns 1 to 12,
// a unit box is numbered 12 higher.
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
    static constexpr const char* kRowsBeforeCaption = "Rows before data start";
    static constexpr const char* kFieldsCaption = "Fields separated by";
    static constexpr const char* kDecimalCommaCaption = "Decimal comma";
    static constexpr const char* kTraceCaption = "Trace";
    static constexpr const char* kTraceHint =
        "Rain trace code: a precipitation value written this way (such as -1) reads as 0";
    static constexpr const char* kFieldEndsHint = "Fixed widths: the character position where each field ends, e.g. 5,11,17";
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

    // "Rows before data start" (adpEdit1): read-only, set by its arrows.
    QLineEdit* rowsBox() const { return mRowsBefore; }

    // What the panel shows, by column number; an empty rows box counts as 0.
    pluvora::DataLayout layout() const;
    // Shows `layout` as a stored template is applied: the variables first,
    // then each column's unit list with the stored unit.
    void apply(const pluvora::DataLayout& layout);

    // The least width that shows the longest variable whole in a column
    // box of `widget` (0 for any other control) at the box's current font.
    int leastWidth(const QWidget* widget) const;

    std::array<int, pluvora::kColumnBoxes> variableIndexes() const;
    std::array<std::string, pluvora::kColumnBoxes> unitTexts() const;
    void fillRequest(pluvora::RunRequest& request) const;

signals:
    // "Reset" was pressed: the window empties the rows-before box and
    // deselects the template list.
    void resetClicked();

public slots:
    // The user chose a variable in box `boxNumber` (12 to 23): its unit box
    // is emptied and refilled for the new variable.
    void variableChanged(int boxNumber);
    // The list of variable box `boxNumber` (12 to 23) closed.
    void VariableClick(int boxNumber);
    // Fills unit box `boxNumber` for its variable and shows `unitIndex`.
    void UnitDisplayControl(int boxNumber, int unitIndex);
    // Shows variable `code` in box `boxNumber` (none for an unknown code).
    void variableDisplay(int boxNumber, int code);
    // Empties every unit box.
    void clearUnitBoxes();
    // "Reset": every column back to no variable and no unit; tells the window.
    void BitBtn5Click();
    // The spacer turned: the column boxes move to the new spacing.
    void UpDown1Click();
    // Places the variable and unit boxes at the spacer's spacing.
    void alignColumnBoxes();
    // Centres each column number above its variable box.
    void arrangecolumnLables();
    // The rows box one less (not below 0) and one more; an empty box
    // becomes 0 first.
    void SpinButton1UpClick();
    // The rows box one less.
    void SpinButton1DownClick();

private:
    void buildReadingControls();
    void fieldsChanged();
    QComboBox* boxByNumber(int boxNumber) const;
    void recolour(QComboBox* box);
    int leastBoxWidth(const QFont& font) const;

    std::array<QComboBox*, pluvora::kColumnBoxes> mVariableBoxes{};
    std::array<QComboBox*, pluvora::kColumnBoxes> mUnitBoxes{};
    std::array<QLabel*, pluvora::kColumnBoxes> mNumberLabels{};
    QPushButton* mReset = nullptr;
    QSpinBox* mSpacer = nullptr;
    QLabel* mSpacerLabel = nullptr;
    QLineEdit* mRowsBefore = nullptr;  // adpEdit1
    QToolButton* mRowsUp = nullptr;    // SpinButton1, upper arrow
    QToolButton* mRowsDown = nullptr;  // SpinButton1, lower arrow
    QComboBox* mFields = nullptr;
    QLineEdit* mFieldEnds = nullptr;
    QCheckBox* mDecimalComma = nullptr;
    QLineEdit* mTraceCode = nullptr;
    // The font the box spacing was designed for; the elastic window scales
    // from it.
    QFont mDesignFont;
};
