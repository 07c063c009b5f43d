#include "windowfixture.h"

#include "gui/fillgapsdialog.h"
#include "gui/savetemplatedialog.h"
#include "gui/templatemanagerdialog.h"

#include "engine/error.h"
#include "engine/templates/templateoperations.h"

#include <QAction>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QCoreApplication>
#include <QListWidget>
#include <QMetaObject>
#include <QTest>

#include <gtest/gtest.h>

using namespace pluvora;
using namespace pluvora::test;
namespace fs = std::filesystem;

namespace {

class TemplateMenu : public WindowFixture {
protected:
    void SetUp() override
    {
        for (const char* name : {"TemplateList.pvd", "TemplateSettings.pvd"})
            fs::copy_file(fs::path(PLUVORA_DEFAULTS_DIR) / name, appDir.path() / name);
        WindowFixture::SetUp();
    }
    void trigger(const char* action) { window->findChild<QAction*>(action)->trigger(); }
    QComboBox* templateBox() { return child<QComboBox>("ComboBox2"); }
    QComboBox* variable(int column)
    {
        return child<QComboBox>(("ComboBox" + std::to_string(11 + column)).c_str());
    }
    QComboBox* unit(int column)
    {
        return child<QComboBox>(("ComboBox" + std::to_string(23 + column)).c_str());
    }
    // As the explorer does after a capture: choose a name, call the slot.
    void choose(const QString& name)
    {
        templateBox()->setCurrentIndex(templateBox()->findText(name));
        QMetaObject::invokeMethod(window.get(), "ComboBox2CloseUp");
    }
    void saveAs(const QString& name, std::optional<bool> overwrite = std::nullopt)
    {
        trigger("Savedatatemplate1");
        auto* form = window->findChild<SaveTemplateDialog*>();
        ASSERT_NE(form, nullptr);
        form->findChild<QLineEdit*>("Edit1")->setText(name);
        if (overwrite)
            feedback.scriptAnswer(*overwrite);
        form->findChild<QPushButton*>("BitBtn1")->click();
        freeClosed();
    }
    static void freeClosed() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
    std::vector<int> unitCounts()
    {
        std::vector<int> counts;
        for (int column = 1; column <= 12; ++column)
            counts.push_back(unit(column)->count());
        return counts;
    }
};

const QString kSilo = "SILO APSIM met file (year, DOY)";

} // namespace

TEST_F(TemplateMenu, ChoosingAShippedTemplateAppliesIt)
{
    EXPECT_EQ(templateBox()->palette().color(QPalette::Base), QColor(Qt::yellow));
    choose(kSilo);
    EXPECT_EQ(child<QLineEdit>("adpEdit1")->text(), "23");
    const QStringList expected = {"Year", "DOY", "Solar", "T-max", "T-min", "Precip", "PanEvap",
                                  "Ignore"};
    for (int column = 1; column <= 8; ++column)
        EXPECT_EQ(variable(column)->currentText(), expected[column - 1]) << column;
    EXPECT_EQ(variable(9)->currentIndex(), -1);
    EXPECT_EQ(unit(3)->currentText(), "MJ/m2/d");
    EXPECT_EQ(unit(7)->currentText(), "mm");
    EXPECT_EQ(unit(1)->count(), 0);
    EXPECT_NE(templateBox()->palette().color(QPalette::Base), QColor(Qt::yellow));
    EXPECT_TRUE(feedback.calls.empty());
}

TEST_F(TemplateMenu, ChoosingInTheOpenListAppliesTheClickedNameOnce)
{
    window->show();
    auto* box = templateBox();
    auto pick = [box](int row) {
        box->showPopup();
        QAbstractItemView* list = box->view();
        const QPoint at = list->visualRect(list->model()->index(row, 0)).center();
        QTest::mouseMove(list->viewport(), at);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::qWait(10);
    };
    auto* rows = child<QLineEdit>("adpEdit1");
    pick(0);
    EXPECT_EQ(rows->text(), "23");
    pick(1);
    EXPECT_EQ(rows->text(), "1");
    QTest::keyClick(box, Qt::Key_Up); // with the keys on the closed box
    EXPECT_EQ(rows->text(), "23");
    EXPECT_TRUE(feedback.calls.empty());

    appDir.write("TemplateSettings.pvd", "");
    pick(1);
    EXPECT_EQ(feedback.messages(), std::vector<std::string>{std::string("error: ") + kTemplateNotFound});
}

TEST_F(TemplateMenu, SavedTemplateComesBackWithItsUnits)
{
    setRowsBefore(4);
    saveAs("Four rows"); // its rows line reads 4
    child<QPushButton>("BitBtn5")->click(); // Reset
    setRowsBefore(2);
    setColumn(1, "Year");
    setColumn(2, "DOY");
    setColumn(3, "Solar", "W/m2");
    setColumn(4, "RelHum");
    unit(4)->setCurrentIndex(-1); // stored as -1, shown as "%" again
    saveAs("4");
    EXPECT_EQ(templateBox()->currentText(), "4");
    EXPECT_EQ(appDir.read("TemplateList.pvd"), "4\r\nFour rows\r\n" + kSilo.toStdString()
                                                   + "\r\nUSBR AgriMet daily CSV (year, month, day)\r\n");

    child<QPushButton>("BitBtn5")->click();
    choose("4");
    EXPECT_EQ(child<QLineEdit>("adpEdit1")->text(), "2");
    EXPECT_EQ(variable(3)->currentText(), "Solar");
    EXPECT_EQ(unit(3)->currentText(), "W/m2");
    EXPECT_EQ(unit(4)->currentText(), "%");
    EXPECT_EQ(unit(1)->count(), 0);
    EXPECT_EQ(unit(2)->count(), 0);
    EXPECT_TRUE(feedback.messages().empty());
}

// The missing texts of "Missing value substitution" are part of the layout
// a template keeps; one saved without them reads as before and clears them.
TEST_F(TemplateMenu, MissingTextsAreKeptWithTheTemplate)
{
    setRowsBefore(1);
    setColumn(1, "Year");
    auto* texts = child<QLineEdit>("MissingTextsBox");
    texts->setText("NA,-99.9");
    saveAs("Texts");
    texts->clear();
    choose("Texts");
    EXPECT_EQ(texts->text(), "NA,-99.9");
    choose(kSilo);
    EXPECT_EQ(texts->text(), "");
    EXPECT_TRUE(feedback.messages().empty());
}

// The fill settings come back with their template, as typed; a template
// saved before fills existed turns them off.
TEST_F(TemplateMenu, FillSettingsAreKeptWithTheTemplate)
{
    const std::string plainSettings = appDir.read("TemplateSettings.pvd");
    auto fillDialog = [this] {
        trigger("FillGaps1");
        auto* dialog = window->findChild<FillGapsDialog*>("FillGapsDialog");
        EXPECT_NE(dialog, nullptr);
        return dialog;
    };
    auto closeWithOk = [](FillGapsDialog* dialog) {
        dialog->findChild<QDialogButtonBox*>("FillButtons")->button(QDialogButtonBox::Ok)->click();
        freeClosed();
    };
    setRowsBefore(1);
    setColumn(1, "Year");
    auto* dialog = fillDialog();
    dialog->findChild<QCheckBox*>("FillInterpolateBox")->setChecked(true);
    dialog->findChild<QLineEdit*>("FillLimitsEdit")->setText("T-max=5,Solar=1");
    dialog->findChild<QLineEdit*>("FillReferenceEdit")->setText("/data/near by/100% grid.csv");
    dialog->findChild<QLineEdit*>("FillLayoutEdit")->setText(kSilo);
    dialog->findChild<QDoubleSpinBox*>("FillLeastR2Box")->setValue(0.4);
    closeWithOk(dialog);
    saveAs("Filled");
    // The blocks before it are untouched.
    EXPECT_TRUE(appDir.read("TemplateSettings.pvd").starts_with(plainSettings));

    choose(kSilo);
    dialog = fillDialog();
    EXPECT_FALSE(dialog->findChild<QCheckBox*>("FillInterpolateBox")->isChecked());
    EXPECT_EQ(dialog->findChild<QLineEdit*>("FillReferenceEdit")->text(), "");
    dialog->reject();
    freeClosed();

    choose("Filled");
    dialog = fillDialog();
    EXPECT_TRUE(dialog->findChild<QCheckBox*>("FillInterpolateBox")->isChecked());
    EXPECT_EQ(dialog->findChild<QLineEdit*>("FillLimitsEdit")->text(), "T-max=5,Solar=1");
    EXPECT_EQ(dialog->findChild<QLineEdit*>("FillReferenceEdit")->text(), "/data/near by/100% grid.csv");
    EXPECT_EQ(dialog->findChild<QLineEdit*>("FillLayoutEdit")->text(), kSilo);
    EXPECT_DOUBLE_EQ(dialog->findChild<QDoubleSpinBox*>("FillLeastR2Box")->value(), 0.4);
    dialog->reject();
    EXPECT_TRUE(feedback.messages().empty());
}

TEST_F(TemplateMenu, OverwriteAsksAndNoKeepsTheDialogOpen)
{
    saveAs(kSilo, false);
    auto* form = window->findChild<SaveTemplateDialog*>();
    ASSERT_NE(form, nullptr);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->findChild<QLineEdit*>("Edit1")->text(), kSilo);
    EXPECT_EQ(feedback.calls, (std::vector<std::string>{"sound: exclamation",
                                                        std::string("ask: ") + kOverwriteTemplate}));
    feedback.scriptAnswer(true);
    form->findChild<QPushButton*>("BitBtn1")->click();
    freeClosed();
    EXPECT_EQ(window->findChild<SaveTemplateDialog*>(), nullptr);
    EXPECT_EQ(templateBox()->count(), 2);
}

TEST_F(TemplateMenu, LastSessionIsKeptAtCloseAndRetrievedTwice)
{
    setColumn(1, "YYDOY");
    setColumn(2, "T-max", "oF");
    setColumn(3, "SunHr%");
    window->close(); // rows box empty: stored as 0
    EXPECT_EQ(appDir.read("Last Session Template.pvd"),
              "0\r\n16\t6\t15\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t\r\n"
              "-1\t1\t0\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t");

    WindowFixture::SetUp();
    trigger("Retrievelastsessiontemplate1");
    trigger("Retrievelastsessiontemplate1");
    EXPECT_EQ(child<QLineEdit>("adpEdit1")->text(), "0");
    EXPECT_EQ(variable(1)->currentText(), "YYDOY");
    EXPECT_EQ(unit(2)->currentText(), "oF");
    // T-max lists oC, oF and 0.1 oC.
    EXPECT_EQ(unitCounts(), (std::vector<int>{0, 3, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(templateBox()->currentIndex(), -1);
}

TEST_F(TemplateMenu, ANameWithoutSettingsIsReported)
{
    appDir.write("TemplateSettings.pvd", "");
    choose(kSilo);
    EXPECT_EQ(feedback.messages(), std::vector<std::string>{std::string("error: ") + kTemplateNotFound});
    EXPECT_EQ(unitCounts(), std::vector<int>(12, 0));

    // A block that is not numbers is refused before the panel changes.
    setColumn(1, "Solar", "Langley");
    appDir.write("TemplateSettings.pvd", kSilo.toStdString() + "\r\n1\r\n5 x\r\n0\r\n");
    choose(kSilo);
    EXPECT_EQ(feedback.messages().back(), std::string("error: ") + kInvalidNumericInput);
    EXPECT_EQ(unit(1)->currentText(), "Langley");
}

TEST_F(TemplateMenu, ManageRenamesAndDeletes)
{
    trigger("Managetemplatelist1");
    auto* form = window->findChild<TemplateManagerDialog*>();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->windowTitle(), TemplateManagerDialog::kCaption);
    EXPECT_EQ(form->height(), TemplateManagerDialog::kHeight);
    auto* list = form->findChild<QListWidget*>("ListBox1");
    ASSERT_EQ(list->count(), 2);
    list->setCurrentRow(0);
    form->findChild<QPushButton*>("BitBtn1")->click(); // Rename
    EXPECT_EQ(form->height(), TemplateManagerDialog::kRenameHeight);
    EXPECT_EQ(form->renameOldName(), kSilo);
    EXPECT_FALSE(form->findChild<QWidget*>("GroupBox1")->isEnabled());
    auto* newName = form->findChild<QLineEdit*>("Edit1");
    newName->setText("");
    form->findChild<QPushButton*>("BitBtn4")->click();
    EXPECT_EQ(form->height(), TemplateManagerDialog::kRenameHeight); // still asking for a name
    newName->setText(list->item(1)->text());
    feedback.scriptAnswer(false); // keep the template of that name
    form->findChild<QPushButton*>("BitBtn4")->click();
    EXPECT_EQ(form->height(), TemplateManagerDialog::kRenameHeight);
    EXPECT_EQ(list->count(), 2);
    QTest::keyClick(newName, Qt::Key_Escape); // backs out of the rename only
    EXPECT_EQ(form->height(), TemplateManagerDialog::kHeight);
    EXPECT_TRUE(form->isVisible());
    form->findChild<QPushButton*>("BitBtn1")->click();
    newName->setText("Wagga");
    form->findChild<QPushButton*>("BitBtn4")->click();
    EXPECT_EQ(form->height(), TemplateManagerDialog::kHeight);
    EXPECT_EQ(list->item(1)->text(), "Wagga");

    list->setCurrentRow(0);
    feedback.scriptAnswer(true);
    form->findChild<QPushButton*>("BitBtn2")->click(); // Delete
    EXPECT_EQ(list->count(), 1);
    form->findChild<QPushButton*>("BitBtn3")->click(); // Close
    freeClosed();
    ASSERT_EQ(templateBox()->count(), 1);
    EXPECT_EQ(templateBox()->currentIndex(), -1);
    choose("Wagga");
    EXPECT_EQ(child<QLineEdit>("adpEdit1")->text(), "23");
    EXPECT_EQ(feedback.messages(), std::vector<std::string>{std::string("error: ") + kNoNameGiven});
}

TEST_F(TemplateMenu, ManageWithoutAListSaysSo)
{
    fs::remove(appDir.path() / "TemplateList.pvd");
    trigger("Managetemplatelist1");
    EXPECT_EQ(window->findChild<TemplateManagerDialog*>(), nullptr);
    EXPECT_EQ(feedback.messages(), std::vector<std::string>{std::string("error: ") + kNoTemplateList});
}
