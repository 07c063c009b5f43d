#include "explorerfixture.h"

#include <QAction>
#include <QPlainTextEdit>

using Calls = std::vector<std::string>;

namespace {

std::string crlf(const QString& text)
{
    std::string out;
    for (const QString& line : text.split('\n'))
        out += line.toStdString() + "\r\n";
    return out;
}

} // namespace

class CaptureTest : public ExplorerFixture {
protected:
    void go(const char* name)
    {
        auto* urls = find<QComboBox>(explorer, "URLs");
        urls->setEditText(page(name));
        ASSERT_TRUE(loads([&] { QTest::keyClick(urls->lineEdit(), Qt::Key_Return); }));
    }

    void captureAndWaitForClose()
    {
        QSignalSpy closed(explorer.data(), &ExplorerWindow::closed);
        find<QToolButton>(explorer, "BitBtn1")->click();
        ASSERT_TRUE(closed.wait(kTimeout));
        EXPECT_FALSE(window->explorerOpen());
    }
};

TEST_F(CaptureTest, PageTextBecomesInputAndKnownSiteAppliesFirstTemplate)
{
    // A main window that starts with the shipped templates.
    for (const char* file : {"TemplateList.pvd", "TemplateSettings.pvd"})
        std::filesystem::copy_file(std::filesystem::path(PLUVORA_DEFAULTS_DIR) / file, appDir.path() / file);
    MainWindowSetup setup;
    setup.appFolder = appDir.path();
    setup.feedback = &feedback;
    setup.fileChooser = &chooser;
    window = std::make_unique<MainWindow>(setup);
    auto* templates = child<QComboBox>("ComboBox2");
    ASSERT_EQ(templates->currentIndex(), -1);
    openExplorer();
    go("daily.html");
    // Typed but not yet visited: the box names the site, as after a search.
    find<QComboBox>(explorer, "URLs")->setEditText("https://www.longpaddock.qld.gov.au/silo/");

    captureAndWaitForClose();
    EXPECT_EQ(child<QPlainTextEdit>("Memo1")->toPlainText(),
              "Daily data\n"
              "year  day  radn  maxt  mint  rain\n"
              "2016    1  25.1  31.2  18.4   0.0\n"
              "2016    2  24.7  30.8  19.0   3.2");
    EXPECT_EQ(child<QLineEdit>("Edit1")->text(), "Daily weather & rain");
    EXPECT_GT(child<QLineEdit>("Edit1")->width(), 0);
    EXPECT_EQ(templates->currentText(), "SILO APSIM met file (year, DOY)");
    EXPECT_EQ(child<QLineEdit>("adpEdit1")->text(), "23");
    EXPECT_EQ(feedback.calls, Calls{"sound: exclamation"});
}

TEST_F(CaptureTest, UntitledPageIsNamedAfterAddressBoxAndUnknownSiteKeepsTemplate)
{
    auto* templates = child<QComboBox>("ComboBox2");
    templates->addItems({"SILO APSIM met file (year, DOY)"});
    templates->setCurrentIndex(-1);
    openExplorer();
    go("notitle.html");
    const QString address = addressBoxText();

    captureAndWaitForClose();
    EXPECT_EQ(child<QPlainTextEdit>("Memo1")->toPlainText(), "2016 1 12.5");
    EXPECT_EQ(child<QLineEdit>("Edit1")->text(), address);
    EXPECT_EQ(templates->currentIndex(), -1);
}

TEST_F(CaptureTest, DocumentWithoutBodyIsReportedNotCaptured)
{
    openExplorer();
    child<QPlainTextEdit>("Memo1")->setPlainText("kept");
    go("nobody.svg");
    find<QToolButton>(explorer, "BitBtn1")->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !feedback.calls.empty(); }, kTimeout));
    EXPECT_EQ(feedback.calls, (Calls{"sound: error", std::string("error: ") + ExplorerWindow::kNoPageText}));
    EXPECT_TRUE(window->explorerOpen());
    EXPECT_EQ(child<QPlainTextEdit>("Memo1")->toPlainText(), "kept");
}

TEST_F(CaptureTest, SavesPageTextWithTxtRuleAndWholePageAsMhtml)
{
    openExplorer();
    go("daily.html");
    const auto target = userDir.path() / "data.csv";
    chooser.paths << QString::fromStdString(target.string());
    explorer->findChild<QAction*>("SaveAsTextFile")->trigger();
    const auto written = userDir.path() / "data.csv.txt";
    ASSERT_TRUE(QTest::qWaitFor([&] { return std::filesystem::exists(written); }, kTimeout));
    EXPECT_EQ(pluvora::test::readFile(written),
              crlf("Daily data\nyear  day  radn  maxt  mint  rain\n"
                   "2016    1  25.1  31.2  18.4   0.0\n2016    2  24.7  30.8  19.0   3.2"));
    EXPECT_EQ(chooser.filters.last(), ExplorerWindow::kTextFilter);

    QSignalSpy saved(explorer.data(), &ExplorerWindow::pageSaved);
    chooser.paths << QString::fromStdString((userDir.path() / "page").string());
    explorer->findChild<QAction*>("SaveAsSingleFileMHT")->trigger();
    ASSERT_TRUE(saved.wait(kTimeout));
    EXPECT_TRUE(saved.last().value(1).toBool());
    const std::string archive = pluvora::test::readFile(userDir.path() / "page.mht");
    EXPECT_NE(archive.find("multipart/related"), std::string::npos);
    EXPECT_NE(archive.find("2016    2  24.7"), std::string::npos);
    EXPECT_EQ(chooser.filters.last(), ExplorerWindow::kMhtFilter);
}

TEST_F(CaptureTest, OpenShowsALocalPageFile)
{
    openExplorer();
    chooser.paths << QString(PLUVORA_TEST_DATA) + "/explorer/c.html";
    ASSERT_TRUE(loads([&] { explorer->findChild<QAction*>("Open2")->trigger(); }));
    EXPECT_EQ(explorer->browser()->url().toString(), page("c.html"));
    EXPECT_EQ(find<QComboBox>(explorer, "URLs")->itemText(0), page("c.html"));
}
