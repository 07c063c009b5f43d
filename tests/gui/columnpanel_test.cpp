#include "gui/columnpanel.h"

#include "engine/columns/variablecatalogue.h"
#include "engine/run/processingrun.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

QStringList items(const QComboBox* box)
{
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out << box->itemText(i);
    return out;
}

// What the user does: pick an item from the open list.
void choose(QComboBox* box, int index)
{
    box->setCurrentIndex(index);
    box->hidePopup();
    emit box->activated(index);
}

QComboBox* box(const ColumnPanel& panel, int number)
{
    auto* found = panel.findChild<QComboBox*>(QStringLiteral("ComboBox%1").arg(number));
    EXPECT_NE(found, nullptr) << number;
    return found;
}

bool looksIgnored(const QComboBox* b)
{
    return b->palette().color(QPalette::Button) == QApplication::palette(b).color(QPalette::Button)
        && b->palette().color(QPalette::Base) == QApplication::palette(b).color(QPalette::Button);
}

bool looksWindow(const QComboBox* b)
{
    return b->palette().color(QPalette::Button) == QApplication::palette(b).color(QPalette::Base);
}

} // namespace

TEST(ColumnPanel, StartsWithCatalogueListsAndNothingSelected)
{
    ColumnPanel panel;
    QStringList catalogue;
    for (auto item : pluvora::variableItems())
        catalogue << QString::fromLatin1(item.data(), static_cast<qsizetype>(item.size()));
    for (int n = 12; n <= 23; ++n) {
        EXPECT_EQ(items(box(panel, n)), catalogue) << n;
        EXPECT_EQ(box(panel, n)->currentIndex(), -1);
        EXPECT_EQ(box(panel, n)->maxVisibleItems(), 20);
        EXPECT_EQ(box(panel, n + 12)->count(), 0);
        EXPECT_EQ(box(panel, n + 12)->maxVisibleItems(), 15);
        auto* label = panel.findChild<QLabel*>(QStringLiteral("Label%1").arg(n + 11));
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text(), QString::number(n - 11));
    }
    auto* reset = panel.findChild<QPushButton*>("BitBtn5");
    ASSERT_NE(reset, nullptr);
    EXPECT_EQ(reset->toolTip(), ColumnPanel::kResetHint);
    auto* spacer = panel.findChild<QSpinBox*>("UpDown1");
    ASSERT_NE(spacer, nullptr);
    EXPECT_FALSE(spacer->isEnabled());
    EXPECT_FALSE(panel.findChild<QLabel*>("Label35")->isEnabled());
    panel.setSpacerEnabled(true);
    EXPECT_TRUE(spacer->isEnabled());
    EXPECT_TRUE(panel.findChild<QLabel*>("Label35")->isEnabled());
}

struct UnitCase {
    int from;           // variable first chosen, -1 for none
    int to;             // variable chosen after it
    QStringList units;  // the unit list then
    int selected;       // selected unit index
};

void PrintTo(const UnitCase& c, std::ostream* os) { *os << c.from << " to " << c.to; }

class ColumnPanelUnits : public ::testing::TestWithParam<UnitCase> {};

TEST_P(ColumnPanelUnits, UnitBoxFollowsTheChosenVariable)
{
    const auto c = GetParam();
    ColumnPanel panel;
    if (c.from >= 0) {
        choose(box(panel, 14), c.from);
        box(panel, 26)->setCurrentIndex(box(panel, 26)->count() - 1);
    }
    choose(box(panel, 14), c.to);
    EXPECT_EQ(items(box(panel, 26)), c.units);
    EXPECT_EQ(box(panel, 26)->currentIndex(), c.selected);
    // Other columns are left alone.
    EXPECT_EQ(box(panel, 25)->count(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Variables, ColumnPanelUnits,
    ::testing::Values(UnitCase{pluvora::kSolar, pluvora::kRelHum, {"%", "fraction"}, 0},
                      UnitCase{pluvora::kSolar, pluvora::kYear, {}, -1},
                      UnitCase{-1, pluvora::kPrecip, {"mm", "cm", "inch", "0.1 mm"}, -1},
                      UnitCase{pluvora::kPrecip, pluvora::kEt, {"mm", "cm", "inch", "0.1 mm"}, -1},
                      UnitCase{-1, pluvora::kSunHr, {"hr", "min"}, 0},
                      UnitCase{-1, pluvora::kSolar,
                               {"MJ/m2/d", "Langley", "W/m2", "kWh/m2/d", "J/cm2", "cal/cm2", "kJ/m2/d", "Wh/m2/d"}, -1},
                      UnitCase{-1, pluvora::kVapPr, {"kPa", "hPa", "Pa"}, -1},
                      UnitCase{pluvora::kTmax, pluvora::kIgnore, {}, -1}));

TEST(ColumnPanel, TemplateSelectionKeepsTheUnitBoxUntilAsked)
{
    ColumnPanel panel;
    panel.clearUnitBoxes();
    panel.variableDisplay(12, pluvora::kTmax);
    EXPECT_EQ(box(panel, 12)->currentIndex(), pluvora::kTmax);
    EXPECT_EQ(box(panel, 24)->count(), 0); // no change event
    panel.UnitDisplayControl(12, 1);
    EXPECT_EQ(box(panel, 24)->currentText(), "oF");
    panel.UnitDisplayControl(12, 1); // a second call does not double the list
    EXPECT_EQ(items(box(panel, 24)), QStringList({"oC", "oF", "0.1 oC"}));
    panel.variableDisplay(13, pluvora::kRelHum);
    panel.UnitDisplayControl(13, 2); // one-unit variables always show their unit
    EXPECT_EQ(box(panel, 25)->currentText(), "%");
}

TEST(ColumnPanel, IgnoreIsShownInButtonFaceEverythingElseInWindowColour)
{
    ColumnPanel panel;
    choose(box(panel, 12), pluvora::kYear);
    choose(box(panel, 13), pluvora::kIgnore);
    choose(box(panel, 15), pluvora::kSolar);
    EXPECT_TRUE(looksWindow(box(panel, 12)));
    EXPECT_TRUE(looksIgnored(box(panel, 13)));
    EXPECT_TRUE(looksWindow(box(panel, 14))); // unselected between two columns
    choose(box(panel, 13), pluvora::kDoy);
    EXPECT_TRUE(looksWindow(box(panel, 13)));

    // A template selection recolours only when its units are shown...
    panel.variableDisplay(16, pluvora::kIgnore);
    EXPECT_TRUE(looksWindow(box(panel, 16)));
    panel.UnitDisplayControl(16, -1);
    EXPECT_TRUE(looksIgnored(box(panel, 16)));
    // ...and closing a list recolours that box alone.
    panel.variableDisplay(17, pluvora::kIgnore);
    box(panel, 17)->hidePopup();
    EXPECT_TRUE(looksIgnored(box(panel, 17)));
}

TEST(ColumnPanel, ResetClearsSelectionsButKeepsListsAndColours)
{
    ColumnPanel panel;
    choose(box(panel, 12), pluvora::kIgnore);
    choose(box(panel, 13), pluvora::kPrecip);
    box(panel, 25)->setCurrentIndex(1);
    QSignalSpy reset(&panel, &ColumnPanel::resetClicked);
    panel.findChild<QPushButton*>("BitBtn5")->click();
    EXPECT_EQ(reset.count(), 1);
    for (int n = 12; n <= 35; ++n)
        EXPECT_EQ(box(panel, n)->currentIndex(), -1) << n;
    EXPECT_EQ(items(box(panel, 25)), QStringList({"mm", "cm", "inch", "0.1 mm"}));
    EXPECT_TRUE(looksIgnored(box(panel, 12)));
}

TEST(ColumnPanel, GathersCodesAndShownUnits)
{
    ColumnPanel panel;
    choose(box(panel, 12), pluvora::kYydoy);
    choose(box(panel, 13), pluvora::kWndSpd);
    box(panel, 25)->setCurrentIndex(2);
    choose(box(panel, 14), pluvora::kSolar);
    pluvora::RunRequest request;
    panel.fillRequest(request);
    EXPECT_EQ(request.layout.variable(1), pluvora::kYydoy);
    EXPECT_EQ(request.layout.variable(2), pluvora::kWndSpd);
    EXPECT_EQ(request.layout.variable(3), pluvora::kSolar);
    EXPECT_EQ(request.layout.variable(4), -1);
    EXPECT_EQ(request.layout.unitText(1), "");
    EXPECT_EQ(request.layout.unitText(2), "m/s");
    EXPECT_EQ(request.layout.unitText(3), "");
}

class ColumnPanelSpacer : public ::testing::TestWithParam<std::array<int, 3>> {};

TEST_P(ColumnPanelSpacer, MovesBoxesAndLabels)
{
    const auto [position, width, pitch] = GetParam();
    ColumnPanel panel;
    panel.setSpacerEnabled(true);
    const QPoint firstVariable = box(panel, 12)->pos();
    const QPoint firstUnit = box(panel, 24)->pos();
    panel.findChild<QSpinBox*>("UpDown1")->setValue(position);
    EXPECT_EQ(box(panel, 12)->pos(), firstVariable);
    EXPECT_EQ(box(panel, 24)->pos(), firstUnit);
    // A box is never narrower than its longest variable needs; the pitch
    // stays the spacer's.
    const int shown = std::max(width, panel.leastWidth(box(panel, 12)));
    for (int n = 12; n <= 23; ++n) {
        EXPECT_EQ(box(panel, n)->width(), shown);
        EXPECT_EQ(box(panel, n + 12)->width(), shown);
        EXPECT_EQ(box(panel, n)->x(), firstVariable.x() + (n - 12) * pitch);
        EXPECT_EQ(box(panel, n + 12)->x(), firstUnit.x() + (n - 12) * pitch);
        const auto* label = panel.findChild<QLabel*>(QStringLiteral("Label%1").arg(n + 11));
        EXPECT_EQ(label->x(), box(panel, n)->x() + shown / 2 - 12);
    }
}

INSTANTIATE_TEST_SUITE_P(Positions, ColumnPanelSpacer,
                         ::testing::Values(std::array{-20, 42, 36}, std::array{0, 62, 56},
                                           std::array{100, 162, 156}));

TEST(ColumnPanel, ShowsAndGivesBackAWholeLayout)
{
    ColumnPanel panel;
    pluvora::DataLayout layout =
        pluvora::layoutFromColumns("Date:DD.MM.YYYY,Ignore,T-max:oF,T-min:oF,,RelHum:%,Precip:inch");
    layout.rowsBefore = 4;
    layout.fields = pluvora::FieldSeparator::Fixed;
    layout.fieldEnds = {10, 16, 22};
    layout.decimalComma = true;
    layout.traceCode = "-1";
    panel.apply(layout);
    EXPECT_EQ(panel.layout(), layout);
    EXPECT_EQ(panel.findChild<QLineEdit*>("TraceCodeBox")->text(), "-1");
    EXPECT_EQ(panel.rowsBox()->text(), "4");
    EXPECT_EQ(box(panel, 24)->currentText(), "DD.MM.YYYY");
    EXPECT_EQ(panel.findChild<QComboBox*>("FieldsBox")->currentText(), "fixed widths");

    // With comma fields the comma cannot be the decimal mark as well.
    auto* fields = panel.findChild<QComboBox*>("FieldsBox");
    fields->setCurrentIndex(static_cast<int>(pluvora::FieldSeparator::Comma));
    EXPECT_FALSE(panel.layout().decimalComma);
    EXPECT_TRUE(panel.layout().fieldEnds.empty());

    panel.findChild<QPushButton*>("BitBtn5")->click();
    EXPECT_EQ(panel.rowsBox()->text(), "");
    EXPECT_EQ(panel.layout(), pluvora::DataLayout{});
}
