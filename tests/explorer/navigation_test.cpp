#include "explorerfixture.h"

#include <QAction>
#include <QStatusBar>

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
    EXPECT_EQ(addressBoxText(), page("a.html"));
    EXPECT_EQ(explorer->statusBar()->currentMessage(), page("b.html"));

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
    EXPECT_EQ(window->findChildren<TformWeb*>().size(), 1);

    find<QToolButton>(explorer, "ToolButton9")->click();
    EXPECT_FALSE(window->explorerOpen());
}
