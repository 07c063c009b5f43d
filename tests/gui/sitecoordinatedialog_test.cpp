#include "gui/sitecoordinatedialog.h"

#include "engine/run/sitecoordinate.h"
#include "recordingfeedback.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using pluvora::test::RecordingFeedback;

namespace {

struct Typed {
    const char* latitude;
    int hemisphere; // 0 N, 1 S
    const char* longitude;
    int side;       // 0 W, 1 E
    const char* elevation;
};

void type(SiteCoordinateDialog& dialog, const Typed& t)
{
    dialog.findChild<QLineEdit*>("Edit1")->setText(t.latitude);
    dialog.findChild<QComboBox*>("ComboBox1")->setCurrentIndex(t.hemisphere);
    dialog.findChild<QLineEdit*>("Edit2")->setText(t.longitude);
    dialog.findChild<QComboBox*>("ComboBox2")->setCurrentIndex(t.side);
    dialog.findChild<QLineEdit*>("Edit3")->setText(t.elevation);
}

} // namespace

class SiteCoordinateDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        owner.show();
        dialog = new SiteCoordinateDialog(feedback, &owner);
        spy = std::make_unique<QSignalSpy>(dialog.data(), &SiteCoordinateDialog::coordinateAccepted);
        dialog->show();
    }

    RecordingFeedback feedback;
    QWidget owner;
    QPointer<SiteCoordinateDialog> dialog;
    std::unique_ptr<QSignalSpy> spy;
};

TEST_F(SiteCoordinateDialogTest, DisablesItsOwnerUntilClosed)
{
    EXPECT_EQ(dialog->windowTitle(), SiteCoordinateDialog::kTitle);
    EXPECT_EQ(dialog->findChild<QComboBox*>("ComboBox1")->currentText(), "N");
    EXPECT_EQ(dialog->findChild<QComboBox*>("ComboBox2")->currentText(), "W");
    EXPECT_FALSE(owner.isEnabled());
    EXPECT_TRUE(dialog->isEnabled());
    dialog->findChild<QPushButton*>("BitBtn2")->click(); // Cancel
    QTest::qWait(0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(owner.isEnabled());
    EXPECT_TRUE(dialog.isNull());
    EXPECT_EQ(spy->count(), 0);
}

TEST_F(SiteCoordinateDialogTest, OkSendsTheLineAndCloses)
{
    type(*dialog, {"66", 1, "10", 1, "350"});
    dialog->findChild<QPushButton*>("BitBtn1")->click();
    ASSERT_EQ(spy->count(), 1);
    EXPECT_EQ(spy->front().front().toString(), "-66 -10 350  Lat (deg), long (deg), elev(m)");
    EXPECT_TRUE(feedback.calls.empty());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(dialog.isNull());
    EXPECT_TRUE(owner.isEnabled());
}

TEST_F(SiteCoordinateDialogTest, EnterInAnyBoxActsAsOk)
{
    type(*dialog, {"40.5", 0, "96.25", 0, "350"});
    QTest::keyClick(dialog->findChild<QLineEdit*>("Edit3"), Qt::Key_Return);
    ASSERT_EQ(spy->count(), 1);
    EXPECT_EQ(spy->front().front().toString(), "40.5 96.25 350  Lat (deg), long (deg), elev(m)");
}

TEST_F(SiteCoordinateDialogTest, EnterWithBadInputWarnsOnce)
{
    type(*dialog, {"40.5", 0, "abc", 0, "350"});
    QTest::keyClick(dialog->findChild<QLineEdit*>("Edit1"), Qt::Key_Enter);
    EXPECT_EQ(feedback.calls,
              (std::vector<std::string>{"sound: error",
                                        "error: " + std::string(pluvora::kInvalidInput)}));
    EXPECT_EQ(spy->count(), 0);
    EXPECT_TRUE(dialog->isVisible());
}

TEST_F(SiteCoordinateDialogTest, RefusedLatitudeKeepsTheDialogOpen)
{
    type(*dialog, {"66.5", 1, "10", 0, "0"});
    dialog->findChild<QPushButton*>("BitBtn1")->click();
    EXPECT_EQ(feedback.messages(),
              (std::vector<std::string>{"error: " + std::string(pluvora::kLatitudeTooLarge)}));
    EXPECT_EQ(spy->count(), 0);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(owner.isEnabled());

    dialog->findChild<QLineEdit*>("Edit1")->setText("12");
    dialog->findChild<QPushButton*>("BitBtn1")->click();
    ASSERT_EQ(spy->count(), 1);
    EXPECT_EQ(spy->front().front().toString(), "-12 10 0  Lat (deg), long (deg), elev(m)");
}

TEST_F(SiteCoordinateDialogTest, EscapeLeavesWithoutLine)
{
    QTest::keyClick(dialog->findChild<QLineEdit*>("Edit1"), Qt::Key_Escape);
    EXPECT_TRUE(owner.isEnabled());
    EXPECT_EQ(spy->count(), 0);
}
