#include "windowfixture.h"

#include "gui/sitecoordinatedialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>

using namespace pluvora::test;

namespace {

class WindowReview : public WindowFixture {};

// A caption the user cannot read in full, or an empty string.
std::string cutCaption(const QWidget* w)
{
    QString text;
    QSize needed;
    if (const auto* label = qobject_cast<const QLabel*>(w)) {
        text = label->text();
        needed = label->wordWrap() ? QSize(0, label->heightForWidth(label->width()))
                                   : label->sizeHint();
    } else if (const auto* box = qobject_cast<const QGroupBox*>(w)) {
        text = box->title();
        needed = {box->fontMetrics().horizontalAdvance(text) + 8, 0};
    } else if (qobject_cast<const QCheckBox*>(w) || qobject_cast<const QRadioButton*>(w)) {
        text = static_cast<const QAbstractButton*>(w)->text();
        needed = w->sizeHint();
    } else if (const auto* button = qobject_cast<const QPushButton*>(w)) {
        text = button->text();
        needed = {button->fontMetrics().horizontalAdvance(text) + 8,
                  button->fontMetrics().height()};
    }
    if (text.isEmpty() || (needed.width() <= w->width() && needed.height() <= w->height()))
        return {};
    return text.toStdString() + " (" + w->objectName().toStdString() + ")";
}

std::vector<std::string> cutCaptions(const QWidget* root)
{
    std::vector<std::string> cut;
    for (const QWidget* w : root->findChildren<QWidget*>())
        if (auto caption = cutCaption(w); !caption.empty())
            cut.push_back(caption);
    return cut;
}

} // namespace

TEST_F(WindowReview, TopRowAndGroupsAsTheUserSeesThem)
{
    auto* open = child<QPushButton>("BitBtn3");
    auto* process = child<QPushButton>("BitBtn1");
    for (auto* step : {open, process}) {
        EXPECT_TRUE(step->font().bold());
        EXPECT_EQ(step->palette().color(QPalette::ButtonText), QColor(Qt::blue));
    }
    EXPECT_EQ(open->text(), MainWindow::kOpenCaption);
    EXPECT_EQ(process->text(), MainWindow::kProcessCaption);
    auto* explorer = child<QPushButton>("BitBtn4");
    EXPECT_EQ(explorer->text(), MainWindow::kExplorerCaption);
    EXPECT_EQ(explorer->toolTip(), MainWindow::kExplorerHint);
    EXPECT_TRUE(explorer->isEnabled());
    EXPECT_EQ(child<QGroupBox>("GroupBox1")->title(), MainWindow::kStep2Title);
    EXPECT_EQ(child<QGroupBox>("GroupBox6")->title(), MainWindow::kOutputTitle);
    EXPECT_EQ(child<QPlainTextEdit>("Memo1")->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(child<QPlainTextEdit>("Memo2")->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
}

TEST_F(WindowReview, FileNameBoxHasNoBorderUntilItNamesAFile)
{
    auto* name = child<QLineEdit>("Edit1");
    EXPECT_FALSE(name->hasFrame());

    open(userDir.write("daymet_v3_demo_2000-2003.csv", "2000 1 5 3\n"));
    EXPECT_TRUE(name->hasFrame());
    const int points = QFontInfo(name->font()).pointSize();
    EXPECT_GT(points, 1);
    EXPECT_EQ(name->width(), name->text().size() * points);
    EXPECT_GE(name->width(), name->fontMetrics().horizontalAdvance(name->text()));

    // However long the name, the box stops short of the explorer button.
    open(userDir.write(std::string(120, 'n') + ".txt", "2000 1 5 3\n"));
    EXPECT_LT(name->geometry().right(), child<QPushButton>("BitBtn4")->x());
}

TEST_F(WindowReview, AllFilesInTheOpenDialogMatchesNamesWithoutADot)
{
    const QString filter = QString::fromLatin1(MainWindow::kOpenFilter).split(";;").last();
    const QString pattern = filter.section('(', 1).chopped(1);
    EXPECT_TRUE(QDir::match(pattern, "station"));
    EXPECT_TRUE(QDir::match(pattern, "wagga.met"));
}

TEST(WindowReviewStartUp, AnUnreadableTemplateListLeavesTheListEmpty)
{
    TempFolder appDir;
    std::filesystem::create_directory(appDir.path() / "TemplateList.pvd");
    RecordingFeedback feedback;
    MainWindowSetup setup;
    setup.appFolder = appDir.path();
    setup.feedback = &feedback;
    std::unique_ptr<MainWindow> window;
    ASSERT_NO_THROW(window = std::make_unique<MainWindow>(setup));
    EXPECT_EQ(window->findChild<QComboBox*>("ComboBox2")->count(), 0);
    EXPECT_TRUE(feedback.calls.empty());
}

// The layout is drawn in pixels; a desktop with larger text must not cut
// captions off.
class WindowCaptions : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override
    {
        mDesktopFont = QApplication::font();
        QFont larger = mDesktopFont;
        larger.setPointSize(GetParam());
        QApplication::setFont(larger);
    }
    void TearDown() override { QApplication::setFont(mDesktopFont); }

private:
    QFont mDesktopFont;
};

TEST_P(WindowCaptions, FitOnEveryTaskPageAndInTheSiteDialog)
{
    TempFolder appDir;
    RecordingFeedback feedback;
    MainWindowSetup setup;
    setup.appFolder = appDir.path();
    setup.feedback = &feedback;
    MainWindow window(setup);
    EXPECT_EQ(cutCaptions(window.centralWidget()), std::vector<std::string>{});

    auto* dialog = new SiteCoordinateDialog(feedback, &window);
    EXPECT_EQ(cutCaptions(dialog), std::vector<std::string>{});
    delete dialog;
}

INSTANTIATE_TEST_SUITE_P(DesktopTextSizes, WindowCaptions, ::testing::Values(9, 11, 14));
