#include "columnpanel.h"

#include "controls.h"

#include "columns/columnlayout.h"
#include "run/processingrun.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

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

QString text(std::string_view s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

} // namespace

ColumnPanel::ColumnPanel(QWidget* parent)
    : QWidget(parent)
{
    setObjectName("ColumnPanel");

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
    using Handler = void (ColumnPanel::*)();
    const Handler handlers[kColumnBoxes] = {
        &ColumnPanel::ComboBox12Change, &ColumnPanel::ComboBox13Change,
        &ColumnPanel::ComboBox14Change, &ColumnPanel::ComboBox15Change,
        &ColumnPanel::ComboBox16Change, &ColumnPanel::ComboBox17Change,
        &ColumnPanel::ComboBox18Change, &ColumnPanel::ComboBox19Change,
        &ColumnPanel::ComboBox20Change, &ColumnPanel::ComboBox21Change,
        &ColumnPanel::ComboBox22Change, &ColumnPanel::ComboBox23Change,
    };
    for (std::size_t k = 0; k < mVariableBoxes.size(); ++k)
        connect(mVariableBoxes[k], &QComboBox::activated, this, handlers[k]);

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

    for (std::size_t k = 0; k < mVariableBoxes.size(); ++k) {
        mVariableBoxes[k]->move(kFirstBoxLeft, kVariableRowTop);
        mUnitBoxes[k]->move(kFirstBoxLeft, kUnitRowTop);
        recolour(mVariableBoxes[k]);
    }
    alignColumnBoxes();
    arrangecolumnLables();

    const auto startLayout = pluvora::columnLayout(0, kFirstBoxLeft);
    setMinimumSize(startLayout.boxLeft.back() + startLayout.width, kControlRowTop + 26);
    resize(minimumSize());
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
    const auto codes = variableIndexes();
    for (int column = 1; column <= kColumnBoxes; ++column) {
        const auto k = static_cast<std::size_t>(column - 1);
        request.layout.setColumn(column, codes[k], mUnitBoxes[k]->currentIndex());
    }
}

void ColumnPanel::ComboBox12Change() { variableChanged(12); }
void ColumnPanel::ComboBox13Change() { variableChanged(13); }
void ColumnPanel::ComboBox14Change() { variableChanged(14); }
void ColumnPanel::ComboBox15Change() { variableChanged(15); }
void ColumnPanel::ComboBox16Change() { variableChanged(16); }
void ColumnPanel::ComboBox17Change() { variableChanged(17); }
void ColumnPanel::ComboBox18Change() { variableChanged(18); }
void ColumnPanel::ComboBox19Change() { variableChanged(19); }
void ColumnPanel::ComboBox20Change() { variableChanged(20); }
void ColumnPanel::ComboBox21Change() { variableChanged(21); }
void ColumnPanel::ComboBox22Change() { variableChanged(22); }
void ColumnPanel::ComboBox23Change() { variableChanged(23); }

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
    if (pluvora::isMeasured(code)) {
        const auto& info = pluvora::variableInfo(code);
        // Replacing rather than appending keeps a caller that forgot to
        // empty the box from showing every unit twice.
        unit->clear();
        for (auto name : info.units)
            unit->addItem(text(name));
        const int chosen = info.fixedUnit >= 0 ? info.fixedUnit : unitIndex;
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
    for (std::size_t k = 0; k < mVariableBoxes.size(); ++k) {
        mVariableBoxes[k]->setGeometry(variableRow.boxLeft[k], mVariableBoxes[0]->y(),
                                       variableRow.width, kBoxHeight);
        mUnitBoxes[k]->setGeometry(unitRow.boxLeft[k], mUnitBoxes[0]->y(), unitRow.width,
                                   kBoxHeight);
    }
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
