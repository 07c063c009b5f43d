#include "gui/missingvaluebox.h"

#include "engine/run/processingrun.h"
#include "recordingfeedback.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>

#include <gtest/gtest.h>

using pluvora::test::RecordingFeedback;

TEST(MissingValueBox, DefaultsAndRequest)
{
    RecordingFeedback feedback;
    MissingValueBox box(feedback);
    EXPECT_EQ(box.objectName(), "GroupBox11");
    EXPECT_EQ(box.title(), MissingValueBox::kTitle);
    EXPECT_TRUE(box.findChild<QCheckBox*>("CheckBox2")->isChecked());
    EXPECT_EQ(box.findChild<QLineEdit*>("adpEdit2")->alignment(), Qt::AlignCenter);
    pluvora::RunRequest request;
    request.substitutionEnabled = false;
    box.fillRequest(request);
    EXPECT_TRUE(request.substitutionEnabled);
    EXPECT_EQ(request.signText, "-99");
    EXPECT_EQ(request.substituteText, "0.01");
    EXPECT_TRUE(feedback.calls.empty());
}

TEST(MissingValueBox, UncheckingDisablesTheOtherFour)
{
    RecordingFeedback feedback;
    MissingValueBox box(feedback);
    const char* names[] = {"Label59", "adpEdit2", "Label60", "adpEdit3"};
    box.findChild<QCheckBox*>("CheckBox2")->click();
    for (const char* name : names)
        EXPECT_FALSE(box.findChild<QWidget*>(name)->isEnabled()) << name;
    box.findChild<QCheckBox*>("CheckBox2")->click();
    for (const char* name : names)
        EXPECT_TRUE(box.findChild<QWidget*>(name)->isEnabled()) << name;
    box.setSubstitutionEnabled(false);
    EXPECT_FALSE(box.findChild<QWidget*>("adpEdit2")->isEnabled());
    pluvora::RunRequest request;
    box.fillRequest(request);
    EXPECT_FALSE(request.substitutionEnabled);
}

struct SignCase {
    const char* text;
    bool warns;
};

void PrintTo(const SignCase& c, std::ostream* os) { *os << '"' << c.text << '"'; }

class MissingValueSign : public ::testing::TestWithParam<SignCase> {};

TEST_P(MissingValueSign, WarnsWhenNotAnInteger)
{
    RecordingFeedback feedback;
    MissingValueBox box(feedback);
    auto* sign = box.findChild<QLineEdit*>("adpEdit2");
    sign->setText(GetParam().text);
    if (GetParam().warns) {
        EXPECT_EQ(feedback.calls, (std::vector<std::string>{
                                      "sound: error",
                                      std::string("plain: ") + MissingValueBox::kIntegerOnly}));
    } else {
        EXPECT_TRUE(feedback.calls.empty());
    }
    EXPECT_EQ(sign->text(), GetParam().text); // kept as typed
}

INSTANTIATE_TEST_SUITE_P(Texts, MissingValueSign,
                         ::testing::Values(SignCase{"-999", false}, SignCase{"0", false},
                                           SignCase{"-", true}, SignCase{"", true},
                                           SignCase{"abc", true}, SignCase{"-99.5", true}));

TEST(MissingValueBox, SubstituteTextIsFree)
{
    RecordingFeedback feedback;
    MissingValueBox box(feedback);
    box.setSubstituteText("n/a");
    box.setSignText("-9999");
    EXPECT_TRUE(feedback.calls.empty());
    pluvora::RunRequest request;
    box.fillRequest(request);
    EXPECT_EQ(request.signText, "-9999");
    EXPECT_EQ(request.substituteText, "n/a");
}

// The missing texts go to the run's layout as typed; a doubled comma adds
// no empty text, which would make every empty field count twice as named.
TEST(MissingValueBox, MissingTextsGoWithTheLayout)
{
    RecordingFeedback feedback;
    MissingValueBox box(feedback);
    pluvora::RunRequest request;
    box.fillRequest(request);
    EXPECT_TRUE(request.layout.missingTexts.empty());
    box.findChild<QLineEdit*>("MissingTextsBox")->setText("NA,,-99.9,***");
    box.fillRequest(request);
    EXPECT_EQ(request.layout.missingTexts, (std::vector<std::string>{"NA", "-99.9", "***"}));
    box.setMissingTexts({"M", "null"});
    EXPECT_EQ(box.findChild<QLineEdit*>("MissingTextsBox")->text(), "M,null");
    EXPECT_TRUE(feedback.calls.empty());
}
