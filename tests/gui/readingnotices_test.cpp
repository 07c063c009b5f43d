#include "windowfixture.h"

#include "engine/tasks/datacheckup.h"
#include "engine/tasks/readingnotices.h"
#include "gui/noteline.h"

#include <QPlainTextEdit>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class ReadingInWindow : public WindowFixture {
protected:
    void checkUp(const char* input)
    {
        open(userDir.write("s.txt", input));
        setRowsBefore(1);
        setColumn(1, "Year");
        setColumn(2, "Month");
        setColumn(3, "Day");
        setColumn(4, "T-max", "oC");
        setColumn(5, "T-min", "oC");
        child<QComboBox>("ComboBox1")->setCurrentIndex(2);
        child<QPushButton>("BitBtn1")->click();
    }
};

TEST_F(ReadingInWindow, NoticesGoToTheNoteLineNotToAMessageBox)
{
    checkUp("Header\n2001 1 1 10,5 2\n2001 1 2 11 3\n2001 1 3 12 -99\n");
    auto* note = child<NoteLine>(NoteLine::kObjectName);
    ASSERT_EQ(note->notes().size(), 3);
    EXPECT_EQ(feedback.notices, (std::vector<std::string>{note->notes()[0].toStdString(),
                                                           note->notes()[1].toStdString(),
                                                           note->notes()[2].toStdString()}));
    EXPECT_TRUE(note->notes()[0].startsWith("Input line 2 holds 10,5"));
    EXPECT_TRUE(note->notes()[1].startsWith(pluvora::kValueCountsDiffer));
    EXPECT_TRUE(note->notes()[2].startsWith("Column 5 (T-min): 1 value"));
    EXPECT_EQ(note->toolTip(), note->notes().join('\n'));
    EXPECT_FALSE(note->text().isEmpty());
    // The run went on to the checkup's own answer, the only message box:
    // it lists the day whose T-min was substituted.
    EXPECT_EQ(feedback.messages(), std::vector<std::string>{std::string("warning: ") + pluvora::kDataErrorsSpottedTask3});

    // The next run starts with an empty note line.
    child<QPlainTextEdit>("Memo1")->setPlainText("Header\n2001 1 1 10 2\n2001 1 2 11 3\n");
    child<QPushButton>("BitBtn1")->click();
    EXPECT_TRUE(note->notes().isEmpty());
    EXPECT_TRUE(note->text().isEmpty());
}

TEST_F(ReadingInWindow, AnImpossibleDateSelectsItsLine)
{
    checkUp("Header\n2019 2 27 10 2\n2019 2 28 11 3\n2019 2 29 12 4\n2019 3 1 12 4\n");
    ASSERT_EQ(feedback.messages(), std::vector<std::string>{std::string("error: ") + pluvora::kDataFormatProblem});
    EXPECT_EQ(child<QPlainTextEdit>("Memo1")->textCursor().selectedText(), "2019 2 29 12 4");
}

} // namespace
