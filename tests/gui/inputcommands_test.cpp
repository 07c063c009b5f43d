#include "windowfixture.h"

#include "engine/appfolder/appfolder.h"
#include "engine/table/layoutpasses.h"
#include "gui/cleandatamessage.h"
#include "gui/columnpanel.h"
#include "gui/inputcommands.h"
#include "gui/removecolumnsdialog.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QTest>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace pluvora::test;

namespace {

class InputMenu : public WindowFixture {
protected:
    void trigger(const char* action)
    {
        auto* item = window->findChild<QAction*>(action);
        ASSERT_NE(item, nullptr) << action;
        item->trigger();
    }
    QPlainTextEdit* panel() { return child<QPlainTextEdit>("Memo1"); }
    void openText(const char* text, int rows)
    {
        open(userDir.write("station.txt", text));
        setRowsBefore(rows);
    }
    template <typename T>
    T* dialog()
    {
        return window->findChild<T*>();
    }
    // Closed dialogs free themselves on the next turn of the event loop.
    static void freeClosed() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
};

} // namespace

TEST_F(InputMenu, CleanExplainsItselfUntilTheUserSaysNotAgain)
{
    openText("Rain Tmax\r\n12.5M\t3.1\r\n", 1);
    trigger("CleanData1");
    auto* box = dialog<CleanDataMessage>();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->windowTitle(), CleanDataMessage::kCaption);
    EXPECT_EQ(box->text(), CleanDataMessage::kText);
    EXPECT_EQ(box->checkBox()->text(), CleanDataMessage::kDontShowAgain);
    EXPECT_EQ(panel()->toPlainText(), "Rain Tmax\n12.5M\t3.1"); // cleaning waits for OK
    box->checkBox()->setChecked(true);
    box->okButton()->click();
    freeClosed();
    EXPECT_EQ(panel()->toPlainText(), "Rain Tmax\n12.5 \t3.1 ");
    EXPECT_EQ(appDir.read("DSMA1.~"), "0\r\n");
    EXPECT_EQ(feedback.calls.back(), "sound: exclamation");

    trigger("CleanData1");
    EXPECT_EQ(dialog<CleanDataMessage>(), nullptr);
    EXPECT_EQ(panel()->toPlainText(), "Rain Tmax\n12.5 \t3.1  ");

    // The choice is a working file: the next start explains again.
    feedback.scriptAnswer(true); // the cleaned input is not saved
    window->close();
    SetUp();
    trigger("CleanData1");
    ASSERT_NE(dialog<CleanDataMessage>(), nullptr);
    dialog<CleanDataMessage>()->okButton()->click(); // unticked: keep explaining
    EXPECT_EQ(appDir.read("DSMA1.~"), "1\r\n");
    EXPECT_EQ(feedback.messages().back(), std::string("error: ") + InputCommands::kOpenFileFirst);

    // Closed with the window's button, as Cancel: the choice is not
    // recorded and the command stops.
    freeClosed();
    trigger("CleanData1");
    dialog<CleanDataMessage>()->checkBox()->setChecked(true);
    dialog<CleanDataMessage>()->close();
    EXPECT_EQ(appDir.read("DSMA1.~"), "1\r\n");
    EXPECT_EQ(feedback.messages().size(), 1u);
}

struct Precondition {
    const char* action;
    bool fileOpen;
    bool rowsSet;
    const char* message; // nullptr: the command goes ahead
};

class InputPreconditions : public InputMenu, public ::testing::WithParamInterface<Precondition> {};

TEST_P(InputPreconditions, AreTestedInOrder)
{
    const Precondition& p = GetParam();
    appDir.write("DSMA1.~", "0\r\n");
    if (p.fileOpen)
        open(userDir.write("station.txt", "1 2\r\n"));
    if (p.rowsSet)
        setRowsBefore(0);
    trigger(p.action);
    if (p.message) {
        EXPECT_EQ(feedback.calls, (std::vector<std::string>{"sound: error",
                                                            std::string("error: ") + p.message}));
        EXPECT_EQ(dialog<RemoveColumnsDialog>(), nullptr);
    } else {
        EXPECT_NE(dialog<RemoveColumnsDialog>(), nullptr);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Menu, InputPreconditions,
    ::testing::Values(
        Precondition{"CleanData1", false, true, InputCommands::kOpenFileFirst},
        Precondition{"CleanData1", true, false, InputCommands::kRowsNotSpecified},
        Precondition{"Usetabtoaligninputdata1", false, false, InputCommands::kOpenFileFirst},
        Precondition{"Usetabtoaligninputdata1", true, false, InputCommands::kRowsNotSpecified},
        Precondition{"RemoveDataColumns", true, false, InputCommands::kRowsNotSpecifiedForRemoval},
        Precondition{"RemoveDataColumns", false, true, nullptr}));

TEST_F(InputMenu, AlignSplitsDatesAndExponentsAndEmptiesTextRows)
{
    openText("Date Rain\r\n2010/05/21  12.5\r\n1.5e-3\r\nno data\r\n", 1);
    trigger("Usetabtoaligninputdata1");
    EXPECT_EQ(panel()->toPlainText(), "Date Rain\n2010\t05\t21\t12.5\t\n1.5\t-3\t\n");
    EXPECT_EQ(feedback.calls, std::vector<std::string>{"sound: exclamation"});
    EXPECT_FALSE(child<QWidget>("Gauge1")->isVisible());
}

TEST_F(InputMenu, RemoveTheTickedColumns)
{
    openText("a b c\r\n1 2 3\r\n", 1);
    trigger("RemoveDataColumns");
    auto* form = dialog<RemoveColumnsDialog>();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->windowTitle(), RemoveColumnsDialog::kCaption);
    auto* list = form->findChild<QListWidget*>("CheckListBox1");
    ASSERT_EQ(list->count(), 30);
    EXPECT_EQ(list->item(29)->text(), "30");
    list->item(0)->setCheckState(Qt::Checked);
    form->findChild<QPushButton*>("BitBtn3")->click(); // "Reset all"
    list->item(1)->setCheckState(Qt::Checked);
    form->findChild<QPushButton*>("BitBtn1")->click();
    freeClosed();
    EXPECT_EQ(panel()->toPlainText(), "a b c\n1\t3\t");
    EXPECT_EQ(feedback.calls, (std::vector<std::string>{
                                  "sound: exclamation",
                                  std::string("information: ") + InputCommands::kColumnsRemoved}));

    // A fresh dialog each time: no tick carries over; Cancel changes nothing.
    trigger("RemoveDataColumns");
    form = dialog<RemoveColumnsDialog>();
    EXPECT_EQ(form->findChild<QListWidget*>("CheckListBox1")->item(1)->checkState(), Qt::Unchecked);
    form->findChild<QPushButton*>("BitBtn2")->click();
    EXPECT_EQ(panel()->toPlainText(), "a b c\n1\t3\t");
}

TEST_F(InputMenu, AFailedPassLeavesThePanelAsItWas)
{
    openText("1/2/3\r\n", 0);
    std::filesystem::create_directory(appDir.path() / "Output.~");
    appDir.write("Output.~/in the way", "x");
    trigger("Usetabtoaligninputdata1");
    EXPECT_EQ(panel()->toPlainText(), "1/2/3");
    ASSERT_EQ(feedback.messages().size(), 1u);
    EXPECT_EQ(feedback.messages()[0].rfind("error: ", 0), 0u);
    EXPECT_FALSE(child<QWidget>("Gauge1")->isVisible());
}

TEST_F(InputMenu, SaveAddsTxtOnlyToANameWithoutExtension)
{
    panel()->setPlainText("line 1\nline 2");
    chooser.paths << QString::fromStdString((userDir.path() / "plain").string())
                  << QString::fromStdString((userDir.path() / "data.csv").string()) << QString();
    trigger("Saveinputfile1");
    trigger("Saveinputfile1");
    trigger("Saveinputfile1"); // cancelled
    EXPECT_EQ(userDir.read("plain.txt"), "line 1\r\nline 2\r\n");
    EXPECT_EQ(userDir.read("data.csv"), "line 1\r\nline 2\r\n");
    EXPECT_FALSE(std::filesystem::exists(userDir.path() / "plain"));
    EXPECT_EQ(chooser.filters.value(0), InputCommands::kSaveFilter);
    EXPECT_EQ(chooser.folders.value(0).toStdString(), window->rememberedFolders().inputFiles);
    EXPECT_TRUE(feedback.calls.empty());
}

// The layout follows what a command did to the columns: the boxes of a
// removed column go with it, and cleaned comma fields read as blanks.
TEST_F(InputMenu, TheLayoutFollowsTheRewrittenColumns)
{
    openText("a b c\r\n2001 7 31.5\r\n", 1);
    setColumn(1, "Year");
    setColumn(2, "Ignore");
    setColumn(3, "T-max", "oC");
    trigger("RemoveDataColumns");
    auto* form = dialog<RemoveColumnsDialog>();
    ASSERT_NE(form, nullptr);
    form->findChild<QListWidget*>("CheckListBox1")->item(1)->setCheckState(Qt::Checked);
    form->findChild<QPushButton*>("BitBtn1")->click();
    freeClosed();
    const auto layout = window->findChild<ColumnPanel*>()->layout();
    EXPECT_EQ(layout.variable(1), pluvora::kYear);
    EXPECT_EQ(layout.variable(2), pluvora::kTmax);
    EXPECT_EQ(layout.unitText(2), "oC");
    EXPECT_EQ(layout.variable(3), -1);

    openText("a,b\r\n2001,31.5\r\n", 1);
    auto withCommas = window->findChild<ColumnPanel*>()->layout();
    withCommas.fields = pluvora::FieldSeparator::Comma;
    window->findChild<ColumnPanel*>()->apply(withCommas);
    pluvora::rememberCleanExplanation(pluvora::AppFolder(appDir.path()), false);
    trigger("CleanData1");
    freeClosed();
    EXPECT_EQ(window->findChild<ColumnPanel*>()->layout().fields, pluvora::FieldSeparator::Blanks);
}

// Cancel, by its button or by Esc, cleans nothing and keeps the layout.
TEST_F(InputMenu, CleanCancelledLeavesInputAndLayoutAsTheyWere)
{
    openText("Rain Tmax\r\n12.5M,3.1\r\n", 1);
    auto* fields = child<QComboBox>("FieldsBox");
    ASSERT_GT(fields->count(), 1);
    fields->setCurrentIndex(1); // not blanks, which cleaning would set
    const pluvora::DataLayout layoutBefore = window->findChild<ColumnPanel*>()->layout();
    for (const bool escape : {false, true}) {
        SCOPED_TRACE(escape ? "Esc" : "Cancel");
        trigger("CleanData1");
        auto* box = dialog<CleanDataMessage>();
        ASSERT_NE(box, nullptr);
        ASSERT_NE(box->cancelButton(), nullptr);
        EXPECT_EQ(box->cancelButton()->text(), box->button(QMessageBox::Cancel)->text());
        box->checkBox()->setChecked(true);
        if (escape)
            QTest::keyClick(box, Qt::Key_Escape);
        else
            box->cancelButton()->click();
        freeClosed();
        EXPECT_EQ(dialog<CleanDataMessage>(), nullptr);
        EXPECT_EQ(panel()->toPlainText(), "Rain Tmax\n12.5M,3.1");
        EXPECT_FALSE(panel()->document()->isModified());
        EXPECT_EQ(fields->currentIndex(), 1);
        EXPECT_TRUE(window->findChild<ColumnPanel*>()->layout() == layoutBefore);
        EXPECT_TRUE(feedback.messages().empty());
        EXPECT_FALSE(window->findChild<QLabel*>("NoteLine")->toolTip().contains(MainWindow::kLayoutAfterCleaning));
    }
    // The box is still offered: a tick under Cancel is no choice.
    trigger("CleanData1");
    EXPECT_NE(dialog<CleanDataMessage>(), nullptr);
    dialog<CleanDataMessage>()->close();
}
