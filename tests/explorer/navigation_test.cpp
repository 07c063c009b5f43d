#include "explorerfixture.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QStatusTipEvent>
#include <QWidget>
#include <QWindow>

#include <algorithm>

TEST_F(ExplorerFixture, BackAndForwardFollowTheExplorersOwnHistory)
{
    openExplorer();
    ASSERT_TRUE(followLink("next"));
    ASSERT_TRUE(followLink("next"));
    EXPECT_EQ(history(), QStringList({page("a.html"), page("b.html"), page("c.html")}));

    auto* back = explorer->findChild<QAction*>("BackAction");
    auto* forward = explorer->findChild<QAction*>("ForwardAction");
    ASSERT_TRUE(loads([&] { back->trigger(); }));
    // Alt+Left is Back.
    explorer->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(explorer));
    ASSERT_TRUE(loads([&] { QTest::keyClick(explorer, Qt::Key_Left, Qt::AltModifier); }));
    EXPECT_EQ(explorer->navigation().historyIndex(), 0);
    EXPECT_FALSE(back->isEnabled());
    EXPECT_TRUE(forward->isEnabled());

    ASSERT_TRUE(loads([&] { forward->trigger(); }));
    EXPECT_EQ(explorer->browser()->url().toString(), page("b.html"));
    EXPECT_EQ(explorer->navigation().historyIndex(), 1);

    // A new page from B drops B and everything after it.
    ASSERT_TRUE(followLink("other"));
    EXPECT_EQ(history(), QStringList({page("a.html"), page("d.html")}));
    ASSERT_TRUE(loads([&] { back->trigger(); }));
    EXPECT_EQ(explorer->browser()->url().toString(), page("a.html"));
}

TEST_F(ExplorerFixture, LinkInsidePageLeavesAddressListAndShowsInStatusBar)
{
    openExplorer();
    auto* urls = find<QComboBox>(explorer, "URLs");
    ASSERT_EQ(urls->count(), 1);
    ASSERT_TRUE(followLink("next"));
    EXPECT_EQ(urls->count(), 1);
    EXPECT_EQ(addressBoxText(), page("b.html"));
    // Hovering a menu item sends an empty status tip; the address stays.
    QStatusTipEvent tip{QString()};
    QApplication::sendEvent(explorer, &tip);
    EXPECT_EQ(find<QLabel>(explorer, "StatusPanel")->text(), page("b.html"));

    // Enter on a listed address puts it on top once more.
    urls->setEditText(page("a.html"));
    ASSERT_TRUE(loads([&] { QTest::keyClick(urls->lineEdit(), Qt::Key_Return); }));
    EXPECT_EQ(urls->count(), 2);
    EXPECT_EQ(urls->itemText(0), page("a.html"));
    EXPECT_EQ(urls->itemText(1), page("a.html"));
}

TEST_F(ExplorerFixture, SecondClickBringsTheOneExplorerToFront)
{
    openExplorer();
    EXPECT_TRUE(window->explorerOpen());
    child<QPushButton>("BitBtn4")->click();
    EXPECT_EQ(window->explorer(), explorer.data());
    EXPECT_EQ(window->findChildren<ExplorerWindow*>().size(), 1);
    // From the task bar, keeping a maximised window maximised.
    explorer->setWindowState(Qt::WindowMaximized | Qt::WindowMinimized);
    child<QPushButton>("BitBtn4")->click();
    EXPECT_EQ(explorer->windowState() & (Qt::WindowMaximized | Qt::WindowMinimized), Qt::WindowMaximized);

    find<QToolButton>(explorer, "ToolButton9")->click();
    EXPECT_FALSE(window->explorerOpen());
}

// The links bar asks the main window for a site's series; the explorer stays open.
TEST_F(ExplorerFixture, LinksBarOpensTheGetDailyDataDialog)
{
    openExplorer();
    find<QToolButton>(explorer, "GetPowerButton")->click();
    EXPECT_NE(window->findChild<QDialog*>("GetPowerDialog"), nullptr);
    EXPECT_TRUE(window->explorerOpen());
}

TEST_F(ExplorerFixture, AddressTypedWithoutSchemeKeepsTheHistory)
{
    openExplorer();
    ASSERT_TRUE(followLink("next"));
    auto* urls = find<QComboBox>(explorer, "URLs");
    // A plain file path, as a user types a site without "https://".
    urls->setEditText(QString(PLUVORA_TEST_DATA) + "/explorer/c.html");
    ASSERT_TRUE(loads([&] { QTest::keyClick(urls->lineEdit(), Qt::Key_Return); }));
    EXPECT_EQ(history(), QStringList({page("a.html"), page("b.html"), page("c.html")}));
    ASSERT_TRUE(loads([&] { explorer->findChild<QAction*>("BackAction")->trigger(); }));
    EXPECT_EQ(explorer->browser()->url().toString(), page("b.html"));

    // Enter on an empty box goes nowhere and leaves no empty entry behind.
    urls->setEditText("  ");
    QTest::keyClick(urls->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(history().size(), 3);
    EXPECT_FALSE(explorer->navigation().updateAddressList());
    EXPECT_EQ(ExplorerWindow::browserAddress("www.example.org"), "http://www.example.org/");
}

// Keys go the way a user's keys go: to the window, which hands them to the
// focused address box and from there to its line edit.
TEST_F(ExplorerFixture, TypedAddressGoesThereOnEnterAndKeypadEnter)
{
    openExplorer();
    auto* urls = find<QComboBox>(explorer, "URLs");
    explorer->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(explorer));
    QTest::mouseClick(urls->lineEdit(), Qt::LeftButton);
    ASSERT_TRUE(urls->lineEdit()->hasFocus());
    QWindow* keys = explorer->windowHandle();
    const auto type = [&](const QString& text) {
        urls->clearEditText();
        for (const QChar c : text)
            QTest::keyClick(keys, c.toLatin1());
        EXPECT_EQ(urls->lineEdit()->text(), text);
    };

    type(page("c.html"));
    ASSERT_TRUE(loads([&] { QTest::keyClick(keys, Qt::Key_Return); }));
    EXPECT_EQ(explorer->browser()->url().toString(), page("c.html"));
    EXPECT_EQ(addressBoxText(), page("c.html"));
    EXPECT_EQ(urls->itemText(0), page("c.html"));

    type(QString(PLUVORA_TEST_DATA) + "/explorer/b.html");
    ASSERT_TRUE(loads([&] { QTest::keyClick(keys, Qt::Key_Enter, Qt::KeypadModifier); }));
    EXPECT_EQ(explorer->browser()->url().toString(), page("b.html"));
    EXPECT_EQ(history(), QStringList({page("a.html"), page("c.html"), page("b.html")}));

    // After a link the box names the page the link led to.
    ASSERT_TRUE(followLink("next"));
    EXPECT_EQ(addressBoxText(), page("c.html"));
    EXPECT_EQ(explorer->browser()->url().toString(), page("c.html"));
}

// Scripts and tests find the explorer window by its prescribed name.
TEST_F(ExplorerFixture, TheWindowIsFoundByItsName)
{
    openExplorer();
    const auto windows = QApplication::topLevelWidgets();
    EXPECT_TRUE(std::any_of(windows.begin(), windows.end(),
                            [this](QWidget* w) { return w == explorer && w->objectName() == "TformWeb"; }));
}
