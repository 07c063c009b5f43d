#include "windowfixture.h"

#include "gui/aboutbox.h"
#include "gui/helpwindow.h"
#include "gui/inputpanel.h"
#include "gui/mainmenu.h"
#include "gui/urlopener.h"

#include <QAbstractItemView>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPointer>
#include <QRegularExpression>
#include <QSpinBox>
#include <QStyleOptionComboBox>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>

#include <gtest/gtest.h>

#include <functional>
#include <set>

using namespace pluvora::test;

namespace {

class RecordingUrlOpener : public UrlOpener {
public:
    bool openUrl(const QUrl& url) override
    {
        opened << url.toString();
        return true;
    }
    QStringList opened;
};

// The window with its help pages and a browser that only records.
class Frame : public WindowFixture {
protected:
    RecordingUrlOpener opener;

    void SetUp() override
    {
        MainWindowSetup setup;
        setup.appFolder = appDir.path();
        setup.feedback = &feedback;
        setup.fileChooser = &chooser;
        setup.urlOpener = &opener;
        setup.helpFolder = PLUVORA_HELP_DIR;
        window = std::make_unique<MainWindow>(setup);
        window->setCompletionPause(0);
    }

    void TearDown() override { window.reset(); } // before the opener it holds

    QAction* action(const char* name) { return find<QAction>(window.get(), name); }

    QString helpSource()
    {
        auto* help = window->helpWindow();
        if (!help || !help->isVisible())
            return {};
        const QUrl url = help->browser()->source();
        return url.fileName() + (url.hasFragment() ? "#" + url.fragment() : QString());
    }

    QList<AboutBox*> aboutBoxes() { return window->findChildren<AboutBox*>(); }

    static void settle()
    {
        QTest::qWait(0);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

// A caption as the menu shows it: "&x" marks a mnemonic, "&&" is one '&'.
QString shown(QString caption)
{
    caption.replace("&&", QChar(0x1));
    caption.remove('&');
    return caption.replace(QChar(0x1), "&");
}

std::vector<std::string> menuTree(QMenuBar* bar)
{
    std::vector<std::string> tree;
    for (QAction* top : bar->actions()) {
        tree.push_back(shown(top->text()).toStdString());
        for (QAction* item : top->menu()->actions()) {
            if (item->isSeparator()) {
                tree.push_back("  ---");
                continue;
            }
            std::string line = "  " + shown(item->text()).toStdString();
            if (!item->shortcut().isEmpty())
                line += " [" + item->shortcut().toString().toStdString() + "]";
            if (item->isCheckable())
                line += " (check)";
            if (!item->isEnabled())
                line += " (caption)";
            tree.push_back(line);
        }
    }
    return tree;
}

} // namespace

TEST_F(Frame, MenuTreeReadsAsTheProgramHasAlwaysShownIt)
{
    EXPECT_EQ(menuTree(window->menuBar()), (std::vector<std::string>{
                                               "File",
                                               "  Open... [Ctrl+O]",
                                               "  Save input file...",
                                               "  Get daily data for a site...",
                                               "  Open recent",
                                               "  ---",
                                               "  Exit [Ctrl+Q]",
                                               "Edit",
                                               "  Find... [Ctrl+F]",
                                               "  Find next [F3]",
                                               "  Go to line... [Ctrl+G]",
                                               "Control",
                                               "  Save current data template...",
                                               "  Retrieve last session template",
                                               "  Manage template list...",
                                               "  ---",
                                               "  Fill gaps...",
                                               "  ---",
                                               "  Default input & output folders...",
                                               "  ---",
                                               "  Clean input data",
                                               "  Align input data using tabs",
                                               "  Remove input data columns...",
                                               "  ---",
                                               "  (Check / uncheck below) (caption)",
                                               "    Elastic window (check)",
                                               "    Show horizontal scroll bar (check)",
                                               "    Enable spacer (check)",
                                               "View",
                                               "  Charts",
                                               "  Charts of the input",
                                               "  Save quality report...",
                                               "Help",
                                               "  Instructions [F1]",
                                               "  ---",
                                               "  About Pluvora",
                                           }));
}

TEST_F(Frame, EveryMenuAndItemHasItsOwnMnemonic)
{
    const QRegularExpression mnemonic("(?<!&)&([^&])");
    auto keysOf = [&](const QList<QAction*>& actions, const QString& where) {
        std::set<QChar> keys;
        for (QAction* a : actions) {
            if (a->isSeparator() || !a->isEnabled())
                continue;
            const auto match = mnemonic.match(a->text());
            ASSERT_TRUE(match.hasMatch()) << a->text().toStdString();
            EXPECT_TRUE(keys.insert(match.captured(1).at(0).toLower()).second)
                << where.toStdString() << ": " << a->text().toStdString();
        }
    };
    keysOf(window->menuBar()->actions(), "menu bar");
    for (QAction* top : window->menuBar()->actions())
        keysOf(top->menu()->actions(), top->text());
}

TEST_F(Frame, F1OpensTheContentsAndTheTaskSixButtonThePanPage)
{
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(window.get(), Qt::Key_F1);
    EXPECT_EQ(helpSource(), "index.html");
    EXPECT_TRUE(window->helpWindow()->browser()->toPlainText().contains("Contents"));

    child<QPushButton>("BitBtn2")->click();
    EXPECT_EQ(helpSource(), "pan.html#3210");
    EXPECT_TRUE(window->helpWindow()->browser()->toPlainText().contains("ET = Kp × Epan"));

    window->showHelpContext(1260);
    EXPECT_EQ(helpSource(), "explorer.html#1260");
    EXPECT_EQ(window->findChildren<HelpWindow*>().size(), 1); // one help window, reused
}

TEST_F(WindowFixture, WithoutHelpPagesHelpShowsNothing)
{
    window->findChild<QAction*>("Instructions1")->trigger();
    window->showHelpContext(3210);
    EXPECT_EQ(window->helpWindow(), nullptr);
    EXPECT_TRUE(feedback.calls.empty());
}

// Every link of the manual leads to a page and anchor that exist, and every
// context number has its anchor.
TEST(HelpPages, LinksAndContextAnchorsResolve)
{
    const QDir folder(PLUVORA_HELP_DIR);
    const QStringList pages = folder.entryList({"*.html"});
    ASSERT_GE(pages.size(), 10);
    auto read = [&](const QString& page) {
        QFile file(folder.filePath(page));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    };
    const QRegularExpression link(R"(href="([^"]+)\")");
    for (const QString& page : pages) {
        for (auto it = link.globalMatch(read(page)); it.hasNext();) {
            const QString target = it.next().captured(1);
            const QString file = target.section('#', 0, 0);
            const QString anchor = target.section('#', 1);
            ASSERT_TRUE(folder.exists(file)) << page.toStdString() << " -> " << target.toStdString();
            if (!anchor.isEmpty()) {
                EXPECT_TRUE(read(file).contains("name=\"" + anchor + "\""))
                    << page.toStdString() << " -> " << target.toStdString();
            }
        }
    }
    for (int context : {HelpWindow::kContents, 1260, 3210}) {
        const QString page = HelpWindow::pageFor(context);
        ASSERT_TRUE(HelpWindow::hasPage(folder, context)) << context;
        if (page.contains('#')) {
            EXPECT_TRUE(read(page.section('#', 0, 0)).contains("name=\"" + page.section('#', 1) + "\""));
        }
    }
    EXPECT_EQ(HelpWindow::pageFor(9999), HelpWindow::kContentsPage);
}

// However the box closes, the main window is usable again and the next
// choice builds a fresh box.
class AboutClosing : public Frame, public ::testing::WithParamInterface<int> {};

TEST_P(AboutClosing, FreshBoxEachTimeAndTheWindowComesBack)
{
    window->show();
    QPointer<AboutBox> previous;
    for (int round = 0; round < 2; ++round) {
        action("AboutPluvora1")->trigger();
        ASSERT_EQ(aboutBoxes().size(), 1);
        QPointer<AboutBox> box = aboutBoxes().front();
        EXPECT_TRUE(previous.isNull());
        EXPECT_EQ(box->objectName(), "TForm4");
        EXPECT_EQ(box->windowTitle(), AboutBox::kCaption);
        EXPECT_TRUE(box->windowFlags() & Qt::WindowStaysOnTopHint);
        EXPECT_FALSE(window->isEnabled());
        EXPECT_TRUE(box->isEnabled());
        switch (GetParam()) {
        case 0: find<QPushButton>(box.data(), "Button1")->click(); break;
        case 1: box->close(); break;
        case 2: QTest::keyClick(box.data(), Qt::Key_Escape); break;
        }
        settle();
        EXPECT_TRUE(window->isEnabled());
        EXPECT_TRUE(box.isNull());
        previous = box;
    }
}

INSTANTIATE_TEST_SUITE_P(Ways, AboutClosing, ::testing::Values(0, 1, 2),
                         [](const auto& way) {
                             return std::string(way.param == 0   ? "Ok"
                                                : way.param == 1 ? "CloseButton"
                                                                 : "Escape");
                         });

TEST_F(Frame, AboutBoxTellsWhoAndOpensTheProjectSite)
{
    window->show();
    action("AboutPluvora1")->trigger();
    AboutBox* box = aboutBoxes().value(0);
    ASSERT_NE(box, nullptr);
    const QString all = find<QPlainTextEdit>(box, "Memo1")->toPlainText()
                        + find<QPlainTextEdit>(box, "Memo2")->toPlainText()
                        + find<QPlainTextEdit>(box, "Memo3")->toPlainText();
    for (const char* text : {AboutBox::kProgram, AboutBox::kContactHeading, AboutBox::kDisclaimerHeading,
                             AboutBox::kDisclaimer})
        EXPECT_TRUE(all.contains(QString::fromLatin1(text))) << text;
    EXPECT_FALSE(find<QLabel>(box, "Image1")->pixmap().isNull());
    QTest::mouseClick(find<QLabel>(box, "StaticText1"), Qt::LeftButton);
    EXPECT_EQ(opener.opened, QStringList{AboutBox::kWebAddress});
    box->close();
}

TEST_F(Frame, ElasticScalesEveryControlAndOffRestoresTheDesign)
{
    window->show();
    const char* names[] = {"Memo1", "BitBtn1", "GroupBox6", "ComboBox23", "Edit2", "adpEdit2"};
    std::vector<QRect> design;
    std::vector<int> designFont;
    for (const char* name : names) {
        design.push_back(child<QWidget>(name)->geometry());
        designFont.push_back(child<QWidget>(name)->font().pixelSize());
    }
    action("Elasticwindow1")->trigger();
    window->resize(2 * MainWindow::kDesignWidth,
                   2 * MainWindow::kDesignHeight + window->menuBar()->height());
    QTest::qWait(0);
    ASSERT_EQ(window->centralWidget()->size(),
              QSize(2 * MainWindow::kDesignWidth, 2 * MainWindow::kDesignHeight));
    for (std::size_t i = 0; i < std::size(names); ++i) {
        QWidget* w = child<QWidget>(names[i]);
        EXPECT_EQ(w->geometry(), QRect(design[i].topLeft() * 2, design[i].size() * 2)) << names[i];
        EXPECT_EQ(w->font().pixelSize(), designFont[i] * 2) << names[i];
    }

    action("Elasticwindow1")->trigger();
    for (std::size_t i = 0; i < std::size(names); ++i) {
        EXPECT_EQ(child<QWidget>(names[i])->geometry(), design[i]) << names[i];
        EXPECT_EQ(child<QWidget>(names[i])->font().pixelSize(), designFont[i]) << names[i];
    }
}

TEST_F(Frame, TheSpacerLinesBoxesUpAtAnyScale)
{
    window->show();
    auto* spacer = child<QSpinBox>("UpDown1");
    spacer->setValue(5);
    const QRect design = child<QWidget>("ComboBox14")->geometry();
    spacer->setValue(0);
    action("Elasticwindow1")->trigger();
    window->resize(2 * MainWindow::kDesignWidth,
                   2 * MainWindow::kDesignHeight + window->menuBar()->height());
    QTest::qWait(0);
    spacer->setValue(5);
    EXPECT_EQ(child<QWidget>("ComboBox14")->geometry(), QRect(design.topLeft() * 2, design.size() * 2));
    action("Elasticwindow1")->trigger();
    EXPECT_EQ(child<QWidget>("ComboBox14")->geometry(), design);
}

TEST_F(Frame, ALaptopScreenOpensTheWindowScaledToFit)
{
    const QRect laptop(0, 0, 1366, 768);
    const QRect memoDesign = child<QWidget>("Memo1")->geometry();
    // Controls that sit inside their parent in the design stay inside.
    std::vector<QWidget*> inside;
    for (QWidget* w : window->centralWidget()->findChildren<QWidget*>())
        if (!w->parentWidget()->layout() && w->parentWidget()->rect().contains(w->geometry()))
            inside.push_back(w);
    window->fitToScreen(laptop);
    window->show();
    QTest::qWait(0);
    EXPECT_TRUE(action("Elasticwindow1")->isChecked());
    EXPECT_LE(window->height(), laptop.height() - 40);
    EXPECT_TRUE(laptop.contains(window->geometry()));
    const QRect memo = child<QWidget>("Memo1")->geometry();
    EXPECT_LT(memo.height(), memoDesign.height());
    for (QWidget* w : inside) {
        EXPECT_TRUE(w->parentWidget()->rect().contains(w->geometry()))
            << w->objectName().toStdString() << " in " << w->parentWidget()->objectName().toStdString();
    }
}

TEST_F(Frame, ALargeScreenKeepsTheDesign)
{
    window->fitToScreen(QRect(0, 0, 1920, 1080));
    window->show();
    QTest::qWait(0);
    EXPECT_FALSE(action("Elasticwindow1")->isChecked());
    EXPECT_EQ(window->centralWidget()->size(), QSize(MainWindow::kDesignWidth, MainWindow::kDesignHeight));
}

// A netbook's 1024 by 600 screen, as the window opens on it and as a user
// sizes an elastic window to it: every column box shows its text whole.
TEST_F(Frame, ColumnBoxesShowTheirTextWholeOnASmallScreen)
{
    setColumn(1, "T-max", "oC");
    setColumn(2, "T-min", "oC");
    setColumn(3, "Precip", "mm");
    setColumn(4, "RelHum", "%");
    setColumn(5, "WndSpd", "mile/hr");
    const std::function<void()> sizings[] = {
        [&] { window->fitToScreen(QRect(0, 0, 1024, 600)); },
        [&] {
            action("Elasticwindow1")->setChecked(true);
            window->Elasticwindow1Click();
            window->resize(1024, 600);
        },
    };
    for (std::size_t s = 0; s < std::size(sizings); ++s) {
        sizings[s]();
        window->show();
        QTest::qWait(0);
        for (int box : {12, 13, 14, 15, 16, 24, 25, 26, 27, 28}) {
            auto* combo = child<QComboBox>(("ComboBox" + std::to_string(box)).c_str());
            // The box to the right lies over this one's right end.
            auto* next = child<QComboBox>(("ComboBox" + std::to_string(box + 1)).c_str());
            QStyleOptionComboBox option;
            option.initFrom(combo);
            const QRect field =
                combo->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo);
            const int text = combo->fontMetrics().horizontalAdvance(combo->currentText());
            const std::string where = "sizing " + std::to_string(s) + ": " + combo->currentText().toStdString()
                                      + " in " + std::to_string(combo->width()) + " pixels";
            EXPECT_GE(field.width(), text) << where;
            EXPECT_LE(combo->x() + field.left() + text, next->x()) << where;
        }
    }
}

TEST_F(Frame, UnitListsOpenWideAndTellTheirText)
{
    setColumn(1, "WndSpd", "mile/hr");
    auto* units = child<QComboBox>("ComboBox24");
    const QFontMetrics metrics = units->view()->fontMetrics();
    for (int i = 0; i < units->count(); ++i)
        EXPECT_GT(units->view()->minimumWidth(), metrics.horizontalAdvance(units->itemText(i)));
    EXPECT_EQ(units->toolTip(), "mile/hr");
    EXPECT_EQ(child<QComboBox>("ComboBox12")->toolTip(), "WndSpd");
}

TEST_F(Frame, HeaderRowsAreShadedBesideTheLineNumbers)
{
    auto* panel = static_cast<InputPanel*>(child<QPlainTextEdit>("Memo1"));
    panel->setPlainText("Station\nYear Day Tmax\n2001 1 5\n2001 2 6\n");
    setRowsBefore(2);
    EXPECT_EQ(panel->headerRows(), 2);
    ASSERT_EQ(panel->extraSelections().size(), 2);
    EXPECT_EQ(panel->extraSelections().at(1).cursor.block().text(), "Year Day Tmax");
    panel->setPlainText("Site 7\nYr Doy T\n2002 1 5\n2002 2 6\n"); // as many lines
    ASSERT_EQ(panel->extraSelections().size(), 2);
    EXPECT_EQ(panel->extraSelections().at(1).cursor.block().text(), "Yr Doy T");
    child<QToolButton>("SpinButton1Up")->click();
    EXPECT_EQ(panel->extraSelections().size(), 1);
    EXPECT_GT(panel->gutter()->width(), 0);
    EXPECT_GE(panel->viewport()->geometry().left(), panel->gutterWidth());
}

TEST_F(Frame, AClickOnAReportedRowSelectsItInTheInputPanel)
{
    open(userDir.write("s.txt", "Header\n2001 1 10 5\n2001 2 -99 6\n2001 3\t\t4\n2001 4 -99\n"));
    setRowsBefore(1);
    setColumn(1, "Year");
    setColumn(2, "DOY");
    setColumn(3, "T-max", "oC");
    setColumn(4, "T-min", "oC");
    child<QComboBox>("ComboBox1")->setCurrentIndex(2);
    child<QPushButton>("BitBtn1")->click();
    auto* report = child<QPlainTextEdit>("Memo2");
    ASSERT_EQ(report->document()->blockCount(), 4) << report->toPlainText().toStdString();

    auto clickLine = [&](int block) {
        QTextCursor cursor(report->document()->findBlockByNumber(block));
        report->setTextCursor(cursor);
        return child<QPlainTextEdit>("Memo1")->textCursor().selectedText();
    };
    EXPECT_EQ(clickLine(2), "2001 3\t\t4");
    EXPECT_EQ(clickLine(3), "2001 4 -99"); // substituted in the report as 0.01
}

TEST_F(Frame, ARunStoppedOnABadNumberSelectsItsLine)
{
    open(userDir.write("s.txt", "Header\n2001 1 10 5\n2001 2 1.2.3 6\n2001 3 11 4\n"));
    setRowsBefore(1);
    setColumn(1, "Year");
    setColumn(2, "DOY");
    setColumn(3, "T-max", "oC");
    setColumn(4, "T-min", "oC");
    child<QComboBox>("ComboBox1")->setCurrentIndex(2);
    child<QPushButton>("BitBtn1")->click();
    ASSERT_EQ(feedback.messages(), std::vector<std::string>{"error: Invalid numeric input"});
    EXPECT_EQ(child<QPlainTextEdit>("Memo1")->textCursor().selectedText(), "2001 2 1.2.3 6");
}
