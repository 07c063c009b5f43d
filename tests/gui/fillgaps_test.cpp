#include "windowfixture.h"

#include "engine/stage/stagemessages.h"
#include "engine/templates/templateoperations.h"
#include "engine/tasks/datacheckup.h"
#include "gui/fillgapscontrol.h"
#include "gui/fillgapsdialog.h"
#include "gui/noteline.h"
#include "gui/sitecoordinatedialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A T-max gap of two days between 10 and 16 °C.
constexpr const char* kTwoDayGap = "yr mo dy tx tn pr sr\n"
                                   "2001 1 1 10 0 0 10\n"
                                   "2001 1 2 -99 1 0 11\n"
                                   "2001 1 3 -99 2 1.5 14\n"
                                   "2001 1 4 16 3 0 12\n";

class FillInWindow : public WindowFixture {
protected:
    FillGapsDialog* openDialog()
    {
        QAction* item = window->findChild<QAction*>("FillGaps1");
        EXPECT_NE(item, nullptr);
        EXPECT_EQ(item->text(), "&Fill gaps...");
        item->trigger();
        auto* dialog = window->findChild<FillGapsDialog*>("FillGapsDialog");
        EXPECT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->windowTitle(), "Fill gaps");
        return dialog;
    }

    void pressOk(FillGapsDialog* dialog)
    {
        find<QDialogButtonBox>(dialog, "FillButtons")->button(QDialogButtonBox::Ok)->click();
    }

    void weatherFileRun(const char* input)
    {
        open(userDir.write("in.txt", input));
        setRowsBefore(1);
        setColumn(1, "Year");
        setColumn(2, "Month");
        setColumn(3, "Day");
        setColumn(4, "T-max", "oC");
        setColumn(5, "T-min", "oC");
        setColumn(6, "Precip", "mm");
        setColumn(7, "Solar", "MJ/m2/d");
        child<QComboBox>("ComboBox1")->setCurrentIndex(0);
        child<QPushButton>("BitBtn1")->click();
    }

    QStringList rowsOf2001()
    {
        return child<QPlainTextEdit>("Memo2")->toPlainText().split('\n').filter(QRegularExpression("^2001\\t"));
    }
};

} // namespace

TEST_F(FillInWindow, InterpolationSetInTheDialogFillsTheRun)
{
    auto* dialog = openDialog();
    find<QCheckBox>(dialog, "FillInterpolateBox")->setChecked(true);
    EXPECT_EQ(find<QLineEdit>(dialog, "FillLimitsEdit")->placeholderText(),
              "T-max=3,T-min=3,RelHum=2,WndSpd=2,Solar=2");
    EXPECT_DOUBLE_EQ(find<QDoubleSpinBox>(dialog, "FillLeastR2Box")->value(), 0.25);
    pressOk(dialog);

    weatherFileRun(kTwoDayGap);
    EXPECT_EQ(feedback.messages(), std::vector<std::string>{});
    // The run reached its end: it asks for the site.
    EXPECT_NE(window->findChild<SiteCoordinateDialog*>(), nullptr);
    const QStringList rows = rowsOf2001();
    ASSERT_EQ(rows.size(), 4);
    EXPECT_EQ(rows[1], "2001\t2\t11.00\t12.0\t1.0\t0\t0.0\t0.0");
    EXPECT_EQ(rows[2], "2001\t3\t14.00\t14.0\t2.0\t0\t1.5\t0.0");
}

// Without a fill, a stop on skipped days or on missing values comes with
// its own message as always; the note line points to the dialog.
TEST_F(FillInWindow, WithoutAFillAStopOnGapsOffersTheDialog)
{
    auto* note = child<NoteLine>(NoteLine::kObjectName);
    struct Case {
        const char* rows;
        std::string message;
        bool offered;
    };
    const std::string spotted = std::string("warning: ") + pluvora::kDataErrorsSpotted;
    const Case cases[] = {
        {"2001 1 1 10 0 0 10\n2001 1 4 16 3 0 12\n", spotted, true},                            // days skipped
        {"2001 1 1 10 0 0 10\n2001 1 2 11 1 0\n", std::string("error: ") + pluvora::kMissingValuesFound, true},
        {"2001 1 1 10 12 0 10\n2001 1 2 11 1 0 11\n", spotted, false},                          // T-max below T-min
    };
    weatherFileRun(kTwoDayGap);
    for (const Case& c : cases) {
        child<QPlainTextEdit>("Memo1")->setPlainText(QString("yr mo dy tx tn pr sr\n") + c.rows);
        child<QPushButton>("BitBtn1")->click();
        EXPECT_EQ(feedback.messages().back(), c.message) << c.rows;
        EXPECT_EQ(note->notes().contains(FillGapsControl::kFillOffer), c.offered) << c.rows;
    }
}

TEST_F(FillInWindow, UnreadableLimitsAreRefusedNamingTheSetting)
{
    auto* dialog = openDialog();
    find<QCheckBox>(dialog, "FillInterpolateBox")->setChecked(true);
    find<QLineEdit>(dialog, "FillLimitsEdit")->setText("Precip=2");
    pressOk(dialog);
    ASSERT_EQ(feedback.messages().size(), 1u);
    EXPECT_NE(feedback.messages()[0].find("interpolation limits \"Precip=2\""), std::string::npos)
        << feedback.messages()[0];
    EXPECT_TRUE(dialog->isVisible());

    // Nothing was taken: the run stops on the gap as before.
    dialog->reject();
    weatherFileRun(kTwoDayGap);
    EXPECT_EQ(feedback.messages().back(), std::string("warning: ") + pluvora::kDataErrorsSpotted);
    EXPECT_TRUE(rowsOf2001().isEmpty());
}

// Days a line may not bridge come from the reference, read with a named
// template and corrected per month: here the station runs 1 °C warmer and
// has twice the rain.
TEST_F(FillInWindow, LongGapsAndRainComeFromTheReference)
{
    std::string station = "yr mo dy tx tn pr sr\n";
    std::string reference = "yr mo dy tx tn pr sr\n";
    for (int day = 1; day <= 59; ++day) {
        const int month = day <= 31 ? 1 : 2;
        const int date = day <= 31 ? day : day - 31;
        const int tmax = 10 + day % 7;
        const int rain = day % 3;
        const std::string when = "2001 " + std::to_string(month) + " " + std::to_string(date) + " ";
        reference += when + std::to_string(tmax) + " 0 " + std::to_string(rain) + " 10\n";
        const bool tmaxGap = day >= 10 && day <= 14;
        station += when + (tmaxGap ? std::string("-99") : std::to_string(tmax + 1)) + " 0 "
                   + (day == 20 ? std::string("-99") : std::to_string(2 * rain)) + " 10\n";
    }
    pluvora::DataLayout layout;
    layout.rowsBefore = 1;
    layout.setColumn(1, pluvora::kYear);
    layout.setColumn(2, pluvora::kMonth);
    layout.setColumn(3, pluvora::kDay);
    layout.setColumn(4, pluvora::kTmax, 0);
    layout.setColumn(5, pluvora::kTmin, 0);
    layout.setColumn(6, pluvora::kPrecip, 0);
    layout.setColumn(7, pluvora::kSolar, 0);
    const pluvora::TemplateStore store(window->appFolder());
    ASSERT_TRUE(pluvora::saveTemplate(store, feedback, {}, "Neighbour", layout));

    auto* dialog = openDialog();
    chooser.paths << QString::fromStdString(userDir.write("neighbour.txt", reference).string());
    find<QPushButton>(dialog, "FillBrowseButton")->click();
    EXPECT_EQ(chooser.titles.back(), FillGapsDialog::kReferenceTitle);
    find<QLineEdit>(dialog, "FillLayoutEdit")->setText("Neighbour");
    pressOk(dialog);

    weatherFileRun(station.c_str());
    EXPECT_EQ(feedback.messages(), std::vector<std::string>{});
    const QStringList rows = rowsOf2001();
    ASSERT_EQ(rows.size(), 59);
    for (int day = 10; day <= 14; ++day)
        EXPECT_EQ(rows[day - 1].split('\t')[3], QString::number(11 + day % 7) + ".0") << rows[day - 1].toStdString();
    EXPECT_EQ(rows[19].split('\t')[6], QString::number(2 * (20 % 3)) + ".0") << rows[19].toStdString();
}

TEST_F(FillInWindow, AReferenceThatCannotBeReadIsAnErrorBoxAndNoRun)
{
    auto* dialog = openDialog();
    find<QLineEdit>(dialog, "FillReferenceEdit")->setText(QString::fromStdString((userDir.path() / "gone.txt").string()));
    pressOk(dialog);
    weatherFileRun(kTwoDayGap);
    ASSERT_EQ(feedback.messages().size(), 1u);
    EXPECT_TRUE(feedback.messages()[0].starts_with("error: ")) << feedback.messages()[0];
    EXPECT_NE(feedback.messages()[0].find("gone.txt"), std::string::npos) << feedback.messages()[0];
    // The run did not start: the output panel holds what it held.
    child<QPlainTextEdit>("Memo2")->setPlainText("kept");
    child<QPushButton>("BitBtn1")->click();
    EXPECT_EQ(feedback.messages().size(), 2u);
    EXPECT_EQ(child<QPlainTextEdit>("Memo2")->toPlainText(), "kept");
}
