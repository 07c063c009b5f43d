#include "gui/columnpanel.h"

#include "gui/controls.h"

#include "engine/columns/columnlayout.h"
#include "engine/run/processingrun.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QSpinBox>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QToolButton>

#include <algorithm>
#include <functional>

namespace {

using pluvora::kColumnBoxes;

constexpr int kFirstBoxLeft = 56;
constexpr int kNumberRowTop = 0;
constexpr int kVariableRowTop = 18;
constexpr int kUnitRowTop = 44;
constexpr int kControlRowTop = 72;
constexpr int kBoxHeight = 22;
constexpr int kLabelWidth = 24;
// The rows box sits right of the column boxes, level with the control row.
constexpr int kRowsLeft = 812;
constexpr int kPanelWidth = 1016;

QString text(std::string_view s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

} // namespace

ColumnPanel::ColumnPanel(QWidget* parent)
    : QWidget(parent)
{
    setObjectName("ColumnPanel");
    mDesignFont = font();

    auto rowLabel = [this](const char* caption, int top) {
        auto* label = new QLabel(QString::fromLatin1(caption), this);
        label->setGeometry(0, top + 3, kFirstBoxLeft - 4, 16);
    };
    rowLabel(kColumnCaption, kNumberRowTop - 3);
    rowLabel(kVariableCaption, kVariableRowTop);
    rowLabel(kUnitCaption, kUnitRowTop);

    QStringList variables;
    for (auto item : pluvora::variableItems())
        variables << text(item);

    for (int i = 0; i < kColumnBoxes; ++i) {
        const auto k = static_cast<std::size_t>(i);
        auto* number = new QLabel(QString::number(i + 1), this);
        number->setObjectName(QStringLiteral("Label%1").arg(23 + i));
        number->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        mNumberLabels[k] = number;

        auto* variable = new ClosingComboBox(this);
        variable->setObjectName(QStringLiteral("ComboBox%1").arg(kFirstVariableBox + i));
        variable->setMaxVisibleItems(20);
        // Box 12 is filled from the catalogue, the others copy its list.
        if (i == 0) {
            variable->addItems(variables);
        } else {
            for (int item = 0; item < mVariableBoxes[0]->count(); ++item)
                variable->addItem(mVariableBoxes[0]->itemText(item));
        }
        variable->setCurrentIndex(-1);
        const int boxNumber = kFirstVariableBox + i;
        variable->onCloseUp = [this, boxNumber] { VariableClick(boxNumber); };
        mVariableBoxes[k] = variable;

        auto* unit = new QComboBox(this);
        unit->setObjectName(QStringLiteral("ComboBox%1").arg(kFirstUnitBox + i));
        unit->setMaxVisibleItems(15);
        mUnitBoxes[k] = unit;
    }

    // Only a choice by the user empties the unit box; a template selecting a
    // variable sets its unit itself.
    for (int i = 0; i < kColumnBoxes; ++i)
        connect(mVariableBoxes[static_cast<std::size_t>(i)], &QComboBox::activated, this,
                [this, boxNumber = kFirstVariableBox + i] { variableChanged(boxNumber); });

    mReset = new QPushButton(QString::fromLatin1(kResetCaption), this);
    mReset->setObjectName("BitBtn5");
    mReset->setToolTip(QString::fromLatin1(kResetHint));
    mReset->setGeometry(0, kControlRowTop, 75, 25);
    connect(mReset, &QPushButton::clicked, this, &ColumnPanel::BitBtn5Click);

    mSpacerLabel = new QLabel(QString::fromLatin1(kSpacerCaption), this);
    mSpacerLabel->setObjectName("Label35");
    mSpacerLabel->setGeometry(100, kControlRowTop + 4, 45, 16);

    mSpacer = new QSpinBox(this);
    mSpacer->setObjectName("UpDown1");
    mSpacer->setRange(pluvora::kSpacerMinimum, pluvora::kSpacerMaximum);
    mSpacer->setValue(0);
    mSpacer->setToolTip(QString::fromLatin1(kSpacerHint));
    mSpacer->setGeometry(148, kControlRowTop, 60, 25);
    connect(mSpacer, &QSpinBox::valueChanged, this, &ColumnPanel::UpDown1Click);
    setSpacerEnabled(false);
    buildReadingControls();

    for (std::size_t k = 0; k < mVariableBoxes.size(); ++k) {
        mVariableBoxes[k]->move(kFirstBoxLeft, kVariableRowTop);
        mUnitBoxes[k]->move(kFirstBoxLeft, kUnitRowTop);
        recolour(mVariableBoxes[k]);
    }
    alignColumnBoxes();
    arrangecolumnLables();

    const auto startLayout = pluvora::columnLayout(0, kFirstBoxLeft);
    setMinimumSize(std::max(startLayout.boxLeft.back() + startLayout.width, kPanelWidth),
                   kControlRowTop + 26);
    resize(minimumSize());
}

void ColumnPanel::buildReadingControls()
{
    auto* rowsLabel = new QLabel(QString::fromLatin1(kRowsBeforeCaption), this);
    rowsLabel->setGeometry(kRowsLeft, kControlRowTop - 20, 160, 18);
    mRowsBefore = new QLineEdit(this);
    mRowsBefore->setObjectName("adpEdit1");
    mRowsBefore->setReadOnly(true);
    mRowsBefore->setAlignment(Qt::AlignCenter);
    mRowsBefore->setGeometry(kRowsLeft, kControlRowTop, 60, 26);
    auto* spin = new QWidget(this);
    spin->setObjectName("SpinButton1");
    spin->setGeometry(kRowsLeft + 62, kControlRowTop, 18, 26);
    mRowsUp = new QToolButton(spin);
    mRowsUp->setObjectName("SpinButton1Up");
    mRowsUp->setArrowType(Qt::UpArrow);
    mRowsUp->setGeometry(0, 0, 18, 13);
    mRowsDown = new QToolButton(spin);
    mRowsDown->setObjectName("SpinButton1Down");
    mRowsDown->setArrowType(Qt::DownArrow);
    mRowsDown->setGeometry(0, 13, 18, 13);
    connect(mRowsUp, &QToolButton::clicked, this, &ColumnPanel::SpinButton1UpClick);
    connect(mRowsDown, &QToolButton::clicked, this, &ColumnPanel::SpinButton1DownClick);

    // Between the spacer and the rows box, on the control row.
    auto* fieldsLabel = new QLabel(QString::fromLatin1(kFieldsCaption), this);
    fieldsLabel->setGeometry(222, kControlRowTop + 4, 124, 16);
    mFields = new QComboBox(this);
    mFields->setObjectName("FieldsBox");
    for (int k = 0; k <= static_cast<int>(pluvora::FieldSeparator::Fixed); ++k) {
        const auto name = pluvora::fieldSeparatorName(static_cast<pluvora::FieldSeparator>(k));
        mFields->addItem(k == static_cast<int>(pluvora::FieldSeparator::Fixed) ? QStringLiteral("fixed widths")
                                                                              : text(name));
    }
    mFields->setGeometry(348, kControlRowTop, 104, 24);
    mFieldEnds = new QLineEdit(this);
    mFieldEnds->setObjectName("FieldEndsBox");
    mFieldEnds->setToolTip(QString::fromLatin1(kFieldEndsHint));
    mFieldEnds->setPlaceholderText(QStringLiteral("5,11,17"));
    mFieldEnds->setGeometry(456, kControlRowTop, 112, 24);
    mDecimalComma = new QCheckBox(QString::fromLatin1(kDecimalCommaCaption), this);
    mDecimalComma->setObjectName("DecimalCommaBox");
    mDecimalComma->setGeometry(574, kControlRowTop + 2, 126, 20);
    auto* traceLabel = new QLabel(QString::fromLatin1(kTraceCaption), this);
    traceLabel->setToolTip(QString::fromLatin1(kTraceHint));
    traceLabel->setGeometry(704, kControlRowTop + 4, 36, 16);
    mTraceCode = new QLineEdit(this);
    mTraceCode->setObjectName("TraceCodeBox");
    mTraceCode->setToolTip(QString::fromLatin1(kTraceHint));
    // One word, as the stored layout keeps it.
    const QRegularExpression oneWord(QStringLiteral("\\S{0,16}"));
    mTraceCode->setValidator(new QRegularExpressionValidator(oneWord, mTraceCode));
    mTraceCode->setGeometry(742, kControlRowTop, 48, 24);
    connect(mFields, &QComboBox::currentIndexChanged, this, &ColumnPanel::fieldsChanged);
    fieldsChanged();
}

void ColumnPanel::fieldsChanged()
{
    const auto fields = static_cast<pluvora::FieldSeparator>(mFields->currentIndex());
    mFieldEnds->setEnabled(fields == pluvora::FieldSeparator::Fixed);
    // With comma fields a comma cannot also be the decimal mark.
    mDecimalComma->setEnabled(fields != pluvora::FieldSeparator::Comma);
    if (fields == pluvora::FieldSeparator::Comma)
        mDecimalComma->setChecked(false);
}

pluvora::DataLayout ColumnPanel::layout() const
{
    pluvora::DataLayout layout;
    // An empty box is stored as 0: an empty rows line would be skipped by
    // the template readers and shift every number after it.
    layout.rowsBefore = mRowsBefore->text().toInt();
    layout.fields = static_cast<pluvora::FieldSeparator>(std::max(0, mFields->currentIndex()));
    if (layout.fields == pluvora::FieldSeparator::Fixed) {
        try {
            layout.fieldEnds = pluvora::parseFieldEnds(mFieldEnds->text().toStdString());
        } catch (const pluvora::LayoutTextError&) {
            layout.fieldEnds.clear(); // the run names what is wrong
        }
    }
    layout.decimalComma = mDecimalComma->isChecked();
    layout.traceCode = mTraceCode->text().toStdString();
    for (int column = 1; column <= kColumnBoxes; ++column)
        layout.setColumn(column, variableBox(column)->currentIndex(), unitBox(column)->currentIndex());
    return layout;
}

void ColumnPanel::apply(const pluvora::DataLayout& layout)
{
    mRowsBefore->setText(QString::number(layout.rowsBefore));
    mFields->setCurrentIndex(static_cast<int>(layout.fields));
    QStringList ends;
    for (int end : layout.fieldEnds)
        ends << QString::number(end);
    mFieldEnds->setText(ends.join(','));
    mDecimalComma->setChecked(layout.decimalComma);
    mTraceCode->setText(QString::fromStdString(layout.traceCode));
    for (int column = 1; column <= kColumnBoxes; ++column)
        variableDisplay(kFirstVariableBox + column - 1, layout.variable(column));
    for (int column = 1; column <= kColumnBoxes; ++column)
        UnitDisplayControl(kFirstVariableBox + column - 1, layout.unit(column));
}

void ColumnPanel::SpinButton1UpClick()
{
    if (mRowsBefore->text().isEmpty())
        mRowsBefore->setText("0");
    const int rows = mRowsBefore->text().toInt();
    mRowsBefore->setText(QString::number(qMax(0, rows - 1)));
}

void ColumnPanel::SpinButton1DownClick()
{
    if (mRowsBefore->text().isEmpty())
        mRowsBefore->setText("0");
    mRowsBefore->setText(QString::number(mRowsBefore->text().toInt() + 1));
}

QComboBox* ColumnPanel::variableBox(int column) const
{
    return mVariableBoxes.at(static_cast<std::size_t>(column - 1));
}

QComboBox* ColumnPanel::unitBox(int column) const
{
    return mUnitBoxes.at(static_cast<std::size_t>(column - 1));
}

void ColumnPanel::setSpacerEnabled(bool enabled)
{
    mSpacerLabel->setEnabled(enabled);
    mSpacer->setEnabled(enabled);
}

std::array<int, pluvora::kColumnBoxes> ColumnPanel::variableIndexes() const
{
    std::array<int, kColumnBoxes> codes{};
    for (std::size_t k = 0; k < codes.size(); ++k)
        codes[k] = mVariableBoxes[k]->currentIndex();
    return codes;
}

std::array<std::string, pluvora::kColumnBoxes> ColumnPanel::unitTexts() const
{
    std::array<std::string, kColumnBoxes> units;
    for (std::size_t k = 0; k < units.size(); ++k)
        units[k] = mUnitBoxes[k]->currentText().toStdString();
    return units;
}

void ColumnPanel::fillRequest(pluvora::RunRequest& request) const
{
    request.rowsBeforeText = mRowsBefore->text().toStdString();
    request.layout = layout();
}

void ColumnPanel::variableChanged(int boxNumber)
{
    boxByNumber(boxNumber + kColumnBoxes)->clear();
    UnitDisplayControl(boxNumber, -1);
}

void ColumnPanel::VariableClick(int boxNumber)
{
    if (auto* box = boxByNumber(boxNumber))
        recolour(box);
}

void ColumnPanel::UnitDisplayControl(int boxNumber, int unitIndex)
{
    auto* variable = boxByNumber(boxNumber);
    auto* unit = boxByNumber(boxNumber + kColumnBoxes);
    if (!variable || !unit)
        return;
    const int code = variable->currentIndex();
    // Measured variables list their units, a Date its formats.
    if (code >= 0 && !pluvora::variableInfo(code).units.empty()) {
        const auto& info = pluvora::variableInfo(code);
        // Replacing rather than appending keeps a caller that forgot to
        // empty the box from showing every unit twice.
        unit->clear();
        for (auto name : info.units)
            unit->addItem(text(name));
        // A stored unit wins over the one a choice of the variable selects:
        // RelHum may be kept as a fraction.
        const int chosen = unitIndex >= 0 && unitIndex < unit->count() ? unitIndex : info.fixedUnit;
        unit->setCurrentIndex(chosen >= 0 && chosen < unit->count() ? chosen : -1);
    }
    for (auto* box : mVariableBoxes)
        recolour(box);
}

void ColumnPanel::variableDisplay(int boxNumber, int code)
{
    if (auto* box = boxByNumber(boxNumber))
        box->setCurrentIndex(code >= 0 && code < box->count() ? code : -1);
}

void ColumnPanel::clearUnitBoxes()
{
    for (auto* box : mUnitBoxes)
        box->clear();
}

void ColumnPanel::BitBtn5Click()
{
    for (std::size_t k = 0; k < mVariableBoxes.size(); ++k) {
        mVariableBoxes[k]->setCurrentIndex(-1);
        mUnitBoxes[k]->setCurrentIndex(-1);
    }
    mRowsBefore->clear();
    mFields->setCurrentIndex(0);
    mFieldEnds->clear();
    mDecimalComma->setChecked(false);
    mTraceCode->clear();
    emit resetClicked();
}

void ColumnPanel::UpDown1Click()
{
    alignColumnBoxes();
    arrangecolumnLables();
}

void ColumnPanel::alignColumnBoxes()
{
    const auto variableRow = pluvora::columnLayout(mSpacer->value(), mVariableBoxes[0]->x());
    const auto unitRow = pluvora::columnLayout(mSpacer->value(), mUnitBoxes[0]->x());
    // Boxes keep their pitch; one wider than it reaches under its right
    // neighbour, which hides only part of its arrow.
    const int least = leastBoxWidth(mDesignFont);
    for (std::size_t k = 0; k < mVariableBoxes.size(); ++k) {
        mVariableBoxes[k]->setGeometry(variableRow.boxLeft[k], mVariableBoxes[0]->y(),
                                       std::max(variableRow.width, least), kBoxHeight);
        mUnitBoxes[k]->setGeometry(unitRow.boxLeft[k], mUnitBoxes[0]->y(), std::max(unitRow.width, least),
                                   kBoxHeight);
    }
}

int ColumnPanel::leastWidth(const QWidget* widget) const
{
    for (std::size_t k = 0; k < mVariableBoxes.size(); ++k)
        if (widget == mVariableBoxes[k] || widget == mUnitBoxes[k])
            return leastBoxWidth(widget->font());
    return 0;
}

int ColumnPanel::leastBoxWidth(const QFont& font) const
{
    // A unit box is as wide as its variable box, so the columns line up;
    // its list opens wide enough for every unit.
    const QFontMetrics metrics(font);
    int widest = 0;
    const QComboBox* box = mVariableBoxes[0];
    for (int i = 0; i < box->count(); ++i)
        widest = std::max(widest, metrics.horizontalAdvance(box->itemText(i)));
    // The style decides how much of a box its frame and arrow take.
    QStyleOptionComboBox option;
    option.initFrom(box);
    option.rect = QRect(0, 0, 200, kBoxHeight);
    const QRect field = box->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, box);
    return widest + (option.rect.width() - field.width()) + 2;
}

void ColumnPanel::arrangecolumnLables()
{
    for (std::size_t k = 0; k < mNumberLabels.size(); ++k) {
        const auto* box = mVariableBoxes[k];
        mNumberLabels[k]->setGeometry(box->x() + box->width() / 2 - 12, kNumberRowTop,
                                      kLabelWidth, 16);
    }
}

QComboBox* ColumnPanel::boxByNumber(int boxNumber) const
{
    const int index = boxNumber - kFirstVariableBox;
    if (index >= 0 && index < kColumnBoxes)
        return mVariableBoxes[static_cast<std::size_t>(index)];
    if (index >= kColumnBoxes && index < 2 * kColumnBoxes)
        return mUnitBoxes[static_cast<std::size_t>(index - kColumnBoxes)];
    return nullptr;
}

void ColumnPanel::recolour(QComboBox* box)
{
    // "Ignore" looks like a button face so that skipped columns stand out.
    const auto standard = QApplication::palette(box);
    const QColor colour = box->currentIndex() == pluvora::kIgnore
        ? standard.color(QPalette::Button)
        : standard.color(QPalette::Base);
    QPalette palette = box->palette();
    palette.setColor(QPalette::Button, colour);
    palette.setColor(QPalette::Base, colour);
    box->setPalette(palette);
}
