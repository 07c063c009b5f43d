#include "windowfixture.h"

#include "gui/inputfindbar.h"
#include "gui/inputpanel.h"

#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTest>
#include <QTextBlock>
#include <QToolTip>

#include <gtest/gtest.h>

using namespace pluvora::test;

namespace {

class DailyWork : public WindowFixture {
protected:
    void SetUp() override
    {
        WindowFixture::SetUp();
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    InputPanel* input() { return static_cast<InputPanel*>(child<QPlainTextEdit>("Memo1")); }
    QPlainTextEdit* output() { return child<QPlainTextEdit>("Memo2"); }
    QLineEdit* rows() { return child<QLineEdit>("adpEdit1"); }

    // A click on line index `block` of a panel, as the mouse does it.
    static void clickLine(QPlainTextEdit* panel, int block)
    {
        const QTextBlock line = panel->document()->findBlockByNumber(block);
        panel->centerCursor();
        QTextCursor cursor(line);
        panel->setTextCursor(cursor);
        const QRect rect = panel->cursorRect(cursor);
        panel->moveCursor(QTextCursor::Start);
        QTest::mouseClick(panel->viewport(), Qt::LeftButton, {}, rect.center() + QPoint(4, 0));
    }
};

} // namespace

// Comma data: the report's dates lead to their lines all the same.
TEST_F(DailyWork, ACheckupReportLeadsToItsInputLines)
{
    open(userDir.write("s.csv", "Station,7\nYear,DOY,Tmax,Tmin\n2001,1,10,5\n2001,2,3,6\n"
                                "2001,2,11,4\n2001,4,11,4\n"));
    setRowsBefore(2);
    setColumn(1, "Year");
    setColumn(2, "DOY");
    setColumn(3, "T-max", "oC");
    setColumn(4, "T-min", "oC");
    child<QComboBox>("ComboBox1")->setCurrentIndex(2);
    QTest::mouseClick(child<QPushButton>("BitBtn1"), Qt::LeftButton);
    ASSERT_EQ(output()->document()->blockCount(), 7) << output()->toPlainText().toStdString();
    EXPECT_EQ(output()->document()->findBlockByNumber(4).text(), "\t2001 / 2"); // report unchanged

    clickLine(output(), 5);
    EXPECT_EQ(input()->textCursor().selectedText(), "2001,2,11,4");
    clickLine(output(), 4);
    EXPECT_EQ(input()->textCursor().selectedText(), "2001,2,3,6");

    const QRect line6 = output()->cursorRect(QTextCursor(output()->document()->findBlockByNumber(6)));
    QHelpEvent hover(QEvent::ToolTip, line6.center(), output()->viewport()->mapToGlobal(line6.center()));
    QApplication::sendEvent(output()->viewport(), &hover);
    EXPECT_EQ(QToolTip::text(), "Input line 6: days missing before it");
    const QRect line4 = output()->cursorRect(QTextCursor(output()->document()->findBlockByNumber(4)));
    QHelpEvent hover4(QEvent::ToolTip, line4.center(), output()->viewport()->mapToGlobal(line4.center()));
    QApplication::sendEvent(output()->viewport(), &hover4);
    EXPECT_EQ(QToolTip::text(), "Input line 4: T-max not above T-min");
}

TEST_F(DailyWork, FindFindNextAndGoToLineFromTheKeyboard)
{
    open(userDir.write("s.txt", "Head\n2001 1 -99\n2001 2 5\n2001 3 -99\n"));
    input()->setFocus();
    QTest::keyClick(input(), Qt::Key_F, Qt::ControlModifier);
    auto* bar = window->findChild<InputFindBar*>();
    ASSERT_TRUE(bar->isVisible());
    QTest::keyClicks(bar->field(), "-99");
    QTest::keyClick(bar->field(), Qt::Key_Return);
    EXPECT_EQ(input()->textCursor().blockNumber(), 1);
    EXPECT_EQ(input()->textCursor().selectedText(), "-99");
    QTest::keyClick(bar->field(), Qt::Key_Escape);
    EXPECT_FALSE(bar->isVisible());
    QTest::keyClick(input(), Qt::Key_F3);
    EXPECT_EQ(input()->textCursor().blockNumber(), 3);
    QTest::keyClick(input(), Qt::Key_F3); // round again from the top
    EXPECT_EQ(input()->textCursor().blockNumber(), 1);

    QTest::keyClick(input(), Qt::Key_G, Qt::ControlModifier);
    ASSERT_TRUE(bar->isVisible());
    QTest::keyClicks(bar->field(), "3");
    QTest::keyClick(bar->field(), Qt::Key_Enter);
    EXPECT_EQ(input()->textCursor().selectedText(), "2001 2 5");
    EXPECT_FALSE(bar->isVisible());

    QTest::keyClick(input(), Qt::Key_F, Qt::ControlModifier);
    bar->field()->selectAll();
    QTest::keyClicks(bar->field(), "nowhere");
    QTest::keyClick(bar->field(), Qt::Key_Return);
    EXPECT_EQ(bar->findChild<QLabel*>("InputFindStatus")->text(), InputFindBar::kNotFound);
}

TEST_F(DailyWork, RowsBeforeDataAreTypedOrSetFromTheInputPanel)
{
    open(userDir.write("s.txt", "a\nb\nc\n2001 1 5\n"));
    rows()->setFocus();
    QTest::keyClicks(rows(), "12");
    EXPECT_EQ(rows()->text(), "12");
    QTest::keyClick(rows(), Qt::Key_Backspace);
    QTest::keyClicks(rows(), "x");
    EXPECT_EQ(rows()->text(), "1");
    EXPECT_EQ(input()->headerRows(), 1);

    // "Data start here" on line 4 of the panel: three rows above it.
    const QRect line = input()->cursorRect(QTextCursor(input()->document()->findBlockByNumber(3)));
    QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, line.center(),
                                input()->viewport()->mapToGlobal(line.center()));
    QApplication::sendEvent(input()->viewport(), &menuEvent);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    QAction* start = menu->findChild<QAction*>("DataStartHere");
    ASSERT_NE(start, nullptr);
    EXPECT_EQ(start->text(), InputPanel::kDataStartHere);
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(start).center());
    EXPECT_EQ(rows()->text(), "3");
    EXPECT_EQ(input()->headerRows(), 3);
}

TEST_F(DailyWork, CtrlZUndoesCleaningAligningAndRemoving)
{
    const QString original = "Rain Tmax\n12.5M\t3.1\n1 2";
    open(userDir.write("s.txt", original.toStdString()));
    setRowsBefore(1);
    appDir.write("DSMA1.~", "0\r\n");
    window->CleanData1Click();
    const QString cleaned = input()->toPlainText();
    ASSERT_NE(cleaned, original);
    window->Usetabtoaligninputdata1Click();
    ASSERT_NE(input()->toPlainText(), cleaned);
    input()->setFocus();
    QTest::keyClick(input(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(input()->toPlainText(), cleaned);
    QTest::keyClick(input(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(input()->toPlainText(), original);
}

// The Edit and File menus drive the same features as their keys.
TEST_F(DailyWork, MenuItemsOpenFindAndGoToLine)
{
    chooser.paths << QString::fromStdString(userDir.write("s.txt", "Head\n2001 1 -99\n2001 2 5\n").string());
    find<QAction>(window.get(), "Open1")->trigger();
    EXPECT_EQ(child<QLineEdit>("Edit1")->text(), "s.txt");
    const QString weatherData = chooser.filters.value(0).split(";;").first();
    for (const char* pattern : {"*.dly", "*.met", "*.wth", "*.WTH"})
        EXPECT_TRUE(weatherData.split(QRegularExpression("[( )]")).contains(pattern)) << pattern;

    auto* bar = window->findChild<InputFindBar*>();
    find<QAction>(window.get(), "Find1")->trigger();
    ASSERT_TRUE(bar->isVisible());
    QTest::keyClicks(bar->field(), "-99");
    find<QAction>(window.get(), "FindNext1")->trigger();
    EXPECT_EQ(input()->textCursor().blockNumber(), 1);
    find<QAction>(window.get(), "GoToLine1")->trigger();
    QTest::keyClicks(bar->field(), "3");
    QTest::keyClick(bar->field(), Qt::Key_Enter);
    EXPECT_EQ(input()->textCursor().selectedText(), "2001 2 5");
}

// The go-to bar and the layout suggestion bar share the panel's lower edge.
TEST_F(DailyWork, GoToLineBarShowsBesideTheLayoutSuggestion)
{
    find<QAction>(window.get(), "Suggestlayout1")->setChecked(true);
    open(userDir.write("station.txt", "Station 12, daily\nyear doy tmax tmin rain\n()   ()  (oC) (oC) (mm)\n"
                                      "2001 1 12.5 3.0 0.0\n2001 2 13.0 2.5 1.2\n"));
    auto* suggestion = child<QWidget>("LayoutSuggestion");
    ASSERT_TRUE(suggestion->isVisible());
    QTest::keyClick(input(), Qt::Key_G, Qt::ControlModifier);
    auto* bar = window->findChild<InputFindBar*>();
    ASSERT_TRUE(bar->isVisible());
    const QRect barPlace(bar->mapTo(window.get(), QPoint(0, 0)), bar->size());
    const QRect suggestionPlace(suggestion->mapTo(window.get(), QPoint(0, 0)), suggestion->size());
    EXPECT_FALSE(barPlace.intersects(suggestionPlace)) << barPlace.y() << " " << suggestionPlace.y();
    EXPECT_TRUE(input()->rect().contains(QRect(bar->pos(), bar->size())));
}

// Exit (Ctrl+Q) goes through the window's close, which asks about edits.
TEST_F(DailyWork, QuitAfterAnEditAsksBeforeClosing)
{
    open(userDir.write("s.txt", "2001 1 5\n"));
    input()->moveCursor(QTextCursor::End);
    QTest::keyClicks(input(), "7");
    feedback.scriptAnswer(false);
    QTest::keyClick(window.get(), Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(feedback.calls, std::vector<std::string>{std::string("ask: ") + MainWindow::kCloseWithEdits});
    EXPECT_TRUE(window->isVisible());
    feedback.scriptAnswer(true);
    find<QAction>(window.get(), "Exit1")->trigger();
    EXPECT_EQ(feedback.calls.size(), 2u);
    EXPECT_FALSE(window->isVisible());
}
