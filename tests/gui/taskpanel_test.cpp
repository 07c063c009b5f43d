#include "gui/taskpanel.h"

#include "engine/run/processingrun.h"
#include "engine/stage/taskcatalogue.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStackedWidget>

#include <gtest/gtest.h>

#include <array>

namespace {

QString qs(std::string_view s) { return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size())); }

// The page each task shows, in task-list order.
const std::array<QString, pluvora::kTaskCount> kTaskPageNames{
    "TabSheet1", "TabSheet7", "TabSheet2", "TabSheet3", "TabSheet6", "TabSheet4", "TabSheet5"};

bool pageShows(const TaskPanel& panel, const QString& page, const char* text)
{
    const auto* shown = panel.findChild<QWidget*>(page);
    for (const auto* label : shown->findChildren<QLabel*>())
        if (label->text() == text)
            return true;
    for (const auto* group : shown->findChildren<QGroupBox*>())
        if (group->title() == text)
            return true;
    return false;
}

} // namespace

TEST(TaskPanel, StartsWithTaskOneAndItsPage)
{
    TaskPanel panel;
    EXPECT_EQ(panel.objectName(), "GroupBox3");
    auto* tasks = panel.findChild<QComboBox*>("ComboBox1");
    ASSERT_EQ(tasks->count(), pluvora::kTaskCount);
    for (int i = 0; i < tasks->count(); ++i)
        EXPECT_EQ(tasks->itemText(i), qs(pluvora::kTasks[static_cast<std::size_t>(i)].item));
    EXPECT_EQ(tasks->currentIndex(), 0);
    EXPECT_EQ(panel.findChild<QStackedWidget*>("PageControl1")->currentWidget()->objectName(),
              "TabSheet1");
    EXPECT_FALSE(panel.findChild<QCheckBox*>("CheckBox1")->isEnabled());
    EXPECT_FALSE(panel.findChild<QCheckBox*>("CheckBox1")->isChecked());
}

class TaskPanelSelection : public ::testing::TestWithParam<int> {};

TEST_P(TaskPanelSelection, ShowsThePageAndSetsRearrange)
{
    const int index = GetParam();
    const auto& task = pluvora::kTasks[static_cast<std::size_t>(index)];
    TaskPanel panel;
    auto* tasks = panel.findChild<QComboBox*>("ComboBox1");
    auto* rearrange = panel.findChild<QCheckBox*>("CheckBox1");
    // Start from a task that offers rearranging, and untick it.
    tasks->setCurrentIndex(index == 3 ? 4 : 3);
    rearrange->setChecked(false);

    tasks->setCurrentIndex(index);
    EXPECT_EQ(panel.findChild<QStackedWidget*>("PageControl1")->currentWidget()->objectName(),
              kTaskPageNames[static_cast<std::size_t>(index)]);
    EXPECT_EQ(rearrange->isEnabled(), task.rearrangeOffered);
    EXPECT_EQ(rearrange->isChecked(), task.rearrangeOffered);
    pluvora::RunRequest request;
    panel.fillRequest(request);
    EXPECT_EQ(request.taskIndex, index);
    EXPECT_EQ(request.rearrange, task.rearrangeOffered);
}

INSTANTIATE_TEST_SUITE_P(Tasks, TaskPanelSelection, ::testing::Range(0, pluvora::kTaskCount));

TEST(TaskPanel, ClosingTheListOnTheSameTaskRechecksRearrange)
{
    TaskPanel panel;
    auto* tasks = panel.findChild<QComboBox*>("ComboBox1");
    auto* rearrange = panel.findChild<QCheckBox*>("CheckBox1");
    tasks->setCurrentIndex(5);
    rearrange->setChecked(false);
    tasks->hidePopup();
    EXPECT_TRUE(rearrange->isChecked());
    pluvora::RunRequest request;
    rearrange->setChecked(false);
    panel.fillRequest(request);
    EXPECT_FALSE(request.rearrange);
}

TEST(TaskPanel, NoTaskSelectedDisablesRearrangeAndKeepsThePage)
{
    TaskPanel panel;
    panel.setTaskIndex(6);
    panel.setTaskIndex(-1);
    EXPECT_EQ(panel.findChild<QStackedWidget*>("PageControl1")->currentWidget()->objectName(),
              "TabSheet5");
    EXPECT_FALSE(panel.findChild<QCheckBox*>("CheckBox1")->isEnabled());
    pluvora::RunRequest request;
    panel.fillRequest(request);
    EXPECT_EQ(request.taskIndex, -1);
    EXPECT_FALSE(request.rearrange);
}

TEST(TaskPanel, FetchBoxFollowsThePanChoice)
{
    TaskPanel panel;
    auto* fetch = panel.findChild<QLineEdit*>("Edit2");
    EXPECT_EQ(fetch->text(), TaskPanel::kDefaultFetch);
    EXPECT_TRUE(panel.findChild<QRadioButton*>("RadioButton3")->isChecked());
    for (const char* name : {"RadioButton4", "RadioButton5", "RadioButton6", "RadioButton3"}) {
        panel.findChild<QRadioButton*>("RadioButton7")->click();
        EXPECT_FALSE(fetch->isEnabled());
        panel.findChild<QRadioButton*>(name)->click();
        EXPECT_TRUE(fetch->isEnabled()) << name;
    }
}

TEST(TaskPanel, GathersThePageSettings)
{
    TaskPanel panel;
    panel.findChild<QLineEdit*>("Edit3")->setText("41.2");
    panel.findChild<QRadioButton*>("RadioButton10")->click();
    panel.findChild<QLineEdit*>("Edit6")->setText("-7");
    panel.findChild<QRadioButton*>("RadioButton16")->click();
    panel.findChild<QRadioButton*>("RadioButton6")->click();
    panel.findChild<QLineEdit*>("Edit2")->setText("250");
    panel.findChild<QLineEdit*>("Edit4")->setText("35");
    panel.findChild<QLineEdit*>("Edit5")->setText("300");
    pluvora::RunRequest request;
    panel.fillRequest(request);
    EXPECT_EQ(request.pages.latitudeTask4, "41.2");
    EXPECT_EQ(request.pages.regionTask4, 2);
    EXPECT_EQ(request.pages.latitudeTask5, "-7");
    EXPECT_EQ(request.pages.climateZoneTask5, 1);
    EXPECT_EQ(request.pages.panChoiceTask6, 3);
    EXPECT_EQ(request.pages.fetchTask6, "250");
    EXPECT_EQ(request.pages.latitudeTask7, "35");
    EXPECT_EQ(request.pages.elevationTask7, "300");

    TaskPanel fresh;
    fresh.fillRequest(request);
    EXPECT_EQ(request.pages.regionTask4, 0);
    EXPECT_EQ(request.pages.climateZoneTask5, 0);
    EXPECT_EQ(request.pages.panChoiceTask6, 0);
    EXPECT_EQ(request.pages.latitudeTask4, "");
}

TEST(TaskPanel, PagesCarryTheirTexts)
{
    TaskPanel panel;
    for (const char* page : {"TabSheet1", "TabSheet7"}) {
        EXPECT_TRUE(pageShows(panel, page, TaskPanel::kModelNeeds));
        for (const char* variable : TaskPanel::kModelVariables)
            EXPECT_TRUE(pageShows(panel, page, variable)) << page << variable;
    }
    EXPECT_TRUE(pageShows(panel, "TabSheet2", TaskPanel::kCheckupNote));
    EXPECT_TRUE(pageShows(panel, "TabSheet3", TaskPanel::kRegionGroup));
    EXPECT_TRUE(pageShows(panel, "TabSheet6", TaskPanel::kClimateZoneGroup));
    EXPECT_TRUE(pageShows(panel, "TabSheet4", TaskPanel::kPanGroup));
    EXPECT_TRUE(pageShows(panel, "TabSheet5", TaskPanel::kLocationGroup));
    for (const char* page : {"TabSheet3", "TabSheet6", "TabSheet5"})
        EXPECT_TRUE(pageShows(panel, page, TaskPanel::kSouthernHemisphere)) << page;
    for (const char* box : {"Edit3", "Edit6", "Edit4"})
        EXPECT_EQ(panel.findChild<QLineEdit*>(box)->toolTip(), TaskPanel::kSouthernHemisphere);
    EXPECT_EQ(panel.findChild<QRadioButton*>("RadioButton7")->text(), TaskPanel::kPanUnknown);
    EXPECT_EQ(panel.findChild<QRadioButton*>("RadioButton15")->text(), TaskPanel::kClimateZones[0]);

    QSignalSpy help(&panel, &TaskPanel::helpRequested);
    panel.findChild<QPushButton*>("BitBtn2")->click();
    ASSERT_EQ(help.count(), 1);
    EXPECT_EQ(help.front().front().toInt(), 3210);
}
