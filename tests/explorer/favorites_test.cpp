#include "explorerfixture.h"

#include "gui/explorer/addfavoritedialog.h"
#include "gui/explorer/homepagedialog.h"
#include "gui/explorer/managefavoritesdialog.h"

#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QWindow>

using Calls = std::vector<std::string>;

class FavoritesTest : public ExplorerFixture {
protected:
    template <typename Dialog>
    Dialog* openDialog(const char* item)
    {
        explorer->findChild<QAction*>(item)->trigger();
        Dialog* dialog = nullptr;
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return (dialog = explorer->findChild<Dialog*>()) != nullptr; }, kTimeout));
        EXPECT_NE(dialog, nullptr) << item;
        return dialog;
    }

    QStringList menuNames() const
    {
        QStringList names;
        const auto items = explorer->favoritesMenu()->actions();
        for (qsizetype k = ExplorerWindow::kFixedFavoriteItems; k < items.size(); ++k)
            names << items[k]->text();
        return names;
    }

    // Closes a dialog and waits until it is gone.
    static void closeAndWait(QWidget* dialog)
    {
        QPointer<QWidget> alive(dialog);
        dialog->close();
        EXPECT_TRUE(QTest::qWaitFor([&] { return alive.isNull(); }, kTimeout));
    }
};

TEST_F(FavoritesTest, AddRefusesUsedNameAndItemOpensItsAddress)
{
    appDir.write("FavoriteNames.pvd", "Daily data\r\nRain & sun\r\n");
    appDir.write("FavoriteURLs.pvd", "https://one.example/\r\nhttps://two.example/\r\n");
    openExplorer();
    EXPECT_EQ(menuNames(), QStringList({"Daily data", "Rain && sun"}));

    auto* dialog = openDialog<AddFavoriteDialog>("AddToFavorites");
    ASSERT_NE(dialog, nullptr);
    auto* name = find<QLineEdit>(dialog, "Edit1");
    EXPECT_EQ(name->text(), "Page A");
    EXPECT_EQ(find<QListWidget>(dialog, "ListBox1")->count(), 2);
    name->setText("Daily data");
    QTest::keyClick(name, Qt::Key_Return);
    EXPECT_EQ(feedback.calls, (Calls{"sound: error", std::string("plain: ") + pluvora::kNameAlreadyUsed}));
    EXPECT_TRUE(dialog->isVisible());

    name->setText("daily data");
    find<QPushButton>(dialog, "BitBtn1")->click();
    EXPECT_EQ(appDir.read("FavoriteNames.pvd"), "Daily data\r\nRain & sun\r\ndaily data\r\n");
    EXPECT_EQ(appDir.read("FavoriteURLs.pvd"),
              "https://one.example/\r\nhttps://two.example/\r\n" + page("a.html").toStdString() + "\r\n");
    EXPECT_EQ(menuNames(), QStringList({"Daily data", "Rain && sun", "daily data"}));

    // The third favorite goes to line 3 of the address file.
    ASSERT_TRUE(followLink("next"));
    ASSERT_TRUE(loads([&] { explorer->favoritesMenu()->actions().at(6)->trigger(); }));
    EXPECT_EQ(explorer->browser()->url().toString(), page("a.html"));
    EXPECT_EQ(addressBoxText(), page("a.html"));
}

TEST_F(FavoritesTest, ManageIgnoresUnchosenCommandsAndKeepsFilesParallel)
{
    appDir.write("FavoriteNames.pvd", "A\r\nB\r\nC\r\n");
    appDir.write("FavoriteURLs.pvd", "a\r\nb\r\nc\r\n");
    openExplorer();
    auto* dialog = openDialog<ManageFavoritesDialog>("OrganizeFavorite");
    ASSERT_NE(dialog, nullptr);
    auto* names = find<QComboBox>(dialog, "ComboBox1");
    EXPECT_EQ(names->count(), 3);
    EXPECT_EQ(names->currentIndex(), -1);

    find<QPushButton>(dialog, "BitBtn1")->click();
    find<QPushButton>(dialog, "BitBtn2")->click();
    EXPECT_EQ(names->count(), 3);
    EXPECT_EQ(appDir.read("FavoriteURLs.pvd"), "a\r\nb\r\nc\r\n");
    EXPECT_TRUE(feedback.calls.empty());

    names->setCurrentIndex(1);
    names->hidePopup();
    find<QPushButton>(dialog, "BitBtn2")->click();
    // Written at once, both files: nothing pairs a name with another address.
    EXPECT_EQ(appDir.read("FavoriteNames.pvd"), "A\r\nC\r\n");
    EXPECT_EQ(appDir.read("FavoriteURLs.pvd"), "a\r\nc\r\n");
    EXPECT_EQ(names->currentText(), "A");

    names->setEditText("First & best");
    QTest::keyClick(names->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(feedback.calls, Calls{"sound: exclamation"});
    EXPECT_EQ(appDir.read("FavoriteNames.pvd"), "A\r\nC\r\n");

    closeAndWait(dialog);
    EXPECT_EQ(appDir.read("FavoriteNames.pvd"), "First & best\r\nC\r\n");
    EXPECT_EQ(appDir.read("FavoriteURLs.pvd"), "a\r\nc\r\n");
    EXPECT_EQ(menuNames(), QStringList({"First && best", "C"}));
}

TEST_F(FavoritesTest, HomePageDialogWritesTwoLinesAndUpdatesFirstButton)
{
    openExplorer();
    auto* dialog = openDialog<HomePageDialog>("SetHomePage");
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(explorer->isEnabled());
    auto* name = find<QLineEdit>(dialog, "Edit1");
    EXPECT_EQ(name->text(), "Page A");
    name->setText("My station");
    auto* urls = find<QComboBox>(explorer, "URLs");
    urls->setEditText(page("d.html"));
    find<QPushButton>(dialog, "BitBtn1")->click();

    EXPECT_EQ(appDir.read("Homepage.pvd"), "My station\r\n" + page("d.html").toStdString() + "\r\n");
    auto* home = find<QToolButton>(explorer, "ToolButton1");
    EXPECT_EQ(home->text(), "My station");
    EXPECT_EQ(home->toolTip(), "My station");
    ASSERT_TRUE(QTest::qWaitFor([&] { return explorer->isEnabled(); }, kTimeout));
    ASSERT_TRUE(loads([&] { home->click(); }));
    EXPECT_EQ(explorer->browser()->url().toString(), page("d.html"));
}

TEST_F(FavoritesTest, HotLinksOfSevenLinesAndActivityPicture)
{
    appDir.write("Hotlinks.pvd", "Bee\r\nPage B\r\n" + page("b.html").toStdString() +
                                     "\r\nSee\r\nPage C\r\n" + page("c.html").toStdString() + "\r\nDee\r\n");
    std::filesystem::copy_file(std::filesystem::path(PLUVORA_DEFAULTS_DIR) / "Gear.bmp",
                               appDir.path() / "Gear.bmp");
    openExplorer();
    const QStringList captions = {"Bee", "See", "Dee", "", ""};
    const QStringList hints = {"Page B", "Page C", "", "", ""};
    for (int k = 0; k < 5; ++k) {
        auto* button = find<QToolButton>(explorer, ("ToolButton" + std::to_string(k + 2)).c_str());
        EXPECT_EQ(button->text(), captions[k]) << k;
        EXPECT_EQ(button->toolTip(), hints[k]) << k;
    }
    EXPECT_EQ(explorer->hotLinkURLs().size(), 6);

    // An empty address empties the box and goes nowhere.
    find<QToolButton>(explorer, "ToolButton4")->click();
    EXPECT_EQ(addressBoxText(), "");
    EXPECT_FALSE(explorer->navigation().updateAddressList());

    ASSERT_TRUE(loads([&] { find<QToolButton>(explorer, "ToolButton3")->click(); }));
    EXPECT_EQ(explorer->browser()->url().toString(), page("c.html"));

    // The still picture after loading; no animation file, no message.
    auto* image = find<QLabel>(explorer, "Image1");
    EXPECT_FALSE(image->pixmap().isNull());
    explorer->resize(700, 500);
    EXPECT_EQ(find<QWidget>(explorer, "Panel1")->x(), 700 - 85);
    EXPECT_TRUE(feedback.calls.empty());

    QSignalSpy help(explorer.data(), &ExplorerWindow::helpRequested);
    explorer->findChild<QAction*>("Help2")->trigger();
    ASSERT_EQ(help.size(), 1);
    EXPECT_EQ(help.first().value(0).toInt(), ExplorerWindow::kHelpContext);
}

TEST_F(FavoritesTest, DialogDisablesOnlyTheExplorerAndClosingExplorerKeepsRenames)
{
    appDir.write("FavoriteNames.pvd", "A\r\nB\r\n");
    appDir.write("FavoriteURLs.pvd", "a\r\nb\r\n");
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    openExplorer();
    // Chosen twice before the page answers: one dialog only.
    explorer->findChild<QAction*>("AddToFavorites")->trigger();
    explorer->findChild<QAction*>("AddToFavorites")->trigger();
    auto* adding = openDialog<AddFavoriteDialog>("AddToFavorites");
    ASSERT_NE(adding, nullptr);
    // The page answers in order: once this one is in, all three are.
    bool answered = false;
    explorer->readDocument([&](const DocumentText&) { answered = true; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return answered; }, kTimeout));
    EXPECT_EQ(explorer->findChildren<AddFavoriteDialog*>().size(), 1);
    closeAndWait(adding);
    ASSERT_TRUE(explorer->isEnabled());

    auto* dialog = openDialog<ManageFavoritesDialog>("OrganizeFavorite");
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(explorer->isEnabled());
    EXPECT_TRUE(dialog->isEnabled());

    // A click as the window system delivers it: the main window still answers.
    auto* openButton = child<QPushButton>("BitBtn3");
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {},
                      openButton->mapTo(window.get(), openButton->rect().center()));
    EXPECT_EQ(chooser.titles.size(), 1);

    auto* names = find<QComboBox>(dialog, "ComboBox1");
    names->setCurrentIndex(1);
    names->hidePopup();
    names->setEditText("Renamed");
    find<QPushButton>(dialog, "BitBtn1")->click();
    // The explorer's close box while the dialog is open: the rename is kept.
    explorer->close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return explorer.isNull(); }, kTimeout));
    EXPECT_EQ(appDir.read("FavoriteNames.pvd"), "A\r\nRenamed\r\n");
    EXPECT_EQ(appDir.read("FavoriteURLs.pvd"), "a\r\nb\r\n");
}
