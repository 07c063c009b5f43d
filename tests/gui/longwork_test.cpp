#include "windowfixture.h"

#include "engine/tasks/convertrearrange.h"
#include "gui/longwork.h"
#include "gui/sitecoordinatedialog.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

using namespace pluvora::test;

namespace {

class LongWorkTest : public WindowFixture {
protected:
    void SetUp() override
    {
        WindowFixture::SetUp();
        LongWork::setTiming(0, 0);
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    void TearDown() override { LongWork::setTiming(600, 40); }

    // Presses Cancel on the progress dialog as soon as it shows.
    void cancelWhenShown()
    {
        auto* poll = new QTimer(window.get());
        poll->setInterval(0);
        QObject::connect(poll, &QTimer::timeout, poll, [this, poll] {
            QProgressDialog* progress = nullptr;
            for (auto* shown : window->findChildren<QProgressDialog*>("LongWork"))
                if (shown->isVisible())
                    progress = shown;
            if (!progress)
                return;
            auto* cancel = progress->findChild<QPushButton*>();
            ASSERT_NE(cancel, nullptr);
            EXPECT_EQ(cancel->text(), LongWork::kCancelCaption);
            QTest::mouseClick(cancel, Qt::LeftButton);
            poll->stop();
            poll->deleteLater();
        });
        poll->start();
    }

    static std::string years(int count)
    {
        std::string text = "Year DOY Tmax Tmin\n";
        for (int y = 0; y < count; ++y)
            for (int d = 1; d <= 365; ++d)
                text += std::to_string(1000 + y) + " " + std::to_string(d) + " 20 10\n";
        return text;
    }
};

// Calls `act` on each event of `type` that `watched` receives.
class EventHook : public QObject {
public:
    EventHook(QObject* watched, QEvent::Type type, std::function<void()> act)
        : QObject(watched), mType(type), mAct(std::move(act))
    {
        watched->installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == mType)
            mAct();
        return false;
    }

private:
    QEvent::Type mType;
    std::function<void()> mAct;
};

} // namespace

// The key or click lands while the run does its last stretch without a
// step, as the user's does on a large file: it waits in the queue, and the
// run must still stop there, before "It is Done" and the site dialog.
TEST_F(LongWorkTest, CancelOrEscapeLateInARunStopsItWithNothingWritten)
{
    // A look at the window every step would make this test slow.
    LongWork::setTiming(0, 5);
    open(userDir.write("large.txt", years(100)));
    setRowsBefore(1);
    setColumn(1, "Year");
    setColumn(2, "DOY");
    setColumn(3, "T-max", "oC");
    setColumn(4, "T-min", "oC");
    auto* process = child<QPushButton>("BitBtn1");
    bool doneShown = false;
    EventHook doneWatch(process, QEvent::Paint,
                        [&] { doneShown = doneShown || process->text() == MainWindow::kItIsDone; });

    for (const bool escape : {false, true}) {
        SCOPED_TRACE(escape ? "Escape" : "Cancel");
        child<QPlainTextEdit>("Memo2")->setPlainText("earlier result");
        QString progressText;
        bool pressed = false;
        // The gauge goes once the last pass is through.
        EventHook lastStep(child<QWidget>("Gauge1"), QEvent::Hide, [&] {
            if (pressed)
                return;
            for (auto* progress : window->findChildren<QProgressDialog*>("LongWork")) {
                if (!progress->isVisible())
                    continue;
                pressed = true;
                progressText = progress->labelText();
                auto* cancel = progress->findChild<QPushButton*>();
                QTimer::singleShot(0, progress, [=] {
                    if (escape)
                        QTest::keyClick(progress, Qt::Key_Escape);
                    else
                        QTest::mouseClick(cancel, Qt::LeftButton);
                });
            }
        });
        QTest::mouseClick(process, Qt::LeftButton);
        ASSERT_TRUE(pressed);
        // Says what it counts: "Converting: 29,170 of 36,500 lines".
        const QStringList around = QString::fromLatin1(LongWork::kPassProgress)
                                       .arg(QString::fromLatin1(pluvora::kConvertingPass))
                                       .arg(QStringLiteral("@"))
                                       .arg(36500)
                                       .split(QLatin1Char('@'));
        ASSERT_EQ(around.size(), 2);
        EXPECT_TRUE(progressText.startsWith(around[0]) && progressText.endsWith(around[1]))
            << progressText.toStdString();
        EXPECT_EQ(child<QPlainTextEdit>("Memo2")->toPlainText(), "earlier result");
        EXPECT_EQ(child<QLabel>("NoteLine")->toolTip(), MainWindow::kRunCancelled);
        EXPECT_FALSE(doneShown);
        EXPECT_EQ(window->findChild<SiteCoordinateDialog*>(), nullptr);
        EXPECT_TRUE(feedback.messages().empty());
        EXPECT_EQ(process->text(), MainWindow::kProcessCaption);
        EXPECT_TRUE(process->isEnabled());
        for (const auto& file : std::filesystem::directory_iterator(appDir.path()))
            EXPECT_NE(file.path().extension(), ".~") << file.path();
    }

    // The same watch sees a run that goes through.
    QTest::mouseClick(process, Qt::LeftButton);
    EXPECT_TRUE(doneShown);
    EXPECT_NE(child<QPlainTextEdit>("Memo2")->toPlainText(), "earlier result");
    delete window->findChild<SiteCoordinateDialog*>();
}

TEST_F(LongWorkTest, CancelledOpeningLeavesTheInputAsItWas)
{
    open(userDir.write("small.txt", "1 2\n"));
    cancelWhenShown();
    open(userDir.write("large.txt", years(100)));
    EXPECT_EQ(child<QPlainTextEdit>("Memo1")->toPlainText(), "1 2");
    EXPECT_EQ(child<QLineEdit>("Edit1")->text(), "small.txt");

    open(userDir.path() / "large.txt"); // not cancelled: it opens whole
    EXPECT_EQ(child<QLineEdit>("Edit1")->text(), "large.txt");
    EXPECT_EQ(child<QPlainTextEdit>("Memo1")->blockCount(), 36501);
}

TEST_F(LongWorkTest, CancelledRunLeavesTheOutputAndSaysSo)
{
    open(userDir.write("large.txt", years(40)));
    setRowsBefore(1);
    setColumn(1, "Year");
    setColumn(2, "DOY");
    setColumn(3, "T-max", "oC");
    setColumn(4, "T-min", "oC");
    child<QPlainTextEdit>("Memo2")->setPlainText("earlier result");
    cancelWhenShown();
    QTest::mouseClick(child<QPushButton>("BitBtn1"), Qt::LeftButton);
    EXPECT_EQ(child<QPlainTextEdit>("Memo2")->toPlainText(), "earlier result");
    EXPECT_EQ(child<QLabel>("NoteLine")->toolTip(), MainWindow::kRunCancelled);
    EXPECT_FALSE(child<QWidget>("Gauge1")->isVisible());
    EXPECT_TRUE(feedback.messages().empty());
}

TEST_F(LongWorkTest, TheSiteDialogProposesTheHeadersSiteAndNamesARefusedBox)
{
    open(userDir.write("wagga.txt", "SILO Lat: -35.1583 Long:  147.4575\nElevation: 212 m\n"
                                    "Year DOY Tmax Tmin Rain Solar RH\n2001 1 30 15 0 25 50\n2001 2 31 16 0 26 55\n"));
    setRowsBefore(3);
    window->askForLatValueAndInsert();
    auto* dialog = window->findChild<SiteCoordinateDialog*>();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->site(), (pluvora::SiteTyped{"35.1583", true, "147.4575", true, "212"}));
    EXPECT_EQ(dialog->findChild<QLabel*>("LongitudeSigns")->text(), SiteCoordinateDialog::kLongitudeSigns);

    auto* longitude = dialog->findChild<QLineEdit*>("Edit2");
    longitude->selectAll();
    QTest::keyClicks(longitude, "147,5");
    QTest::keyClick(longitude, Qt::Key_Return);
    EXPECT_EQ(feedback.messages(), std::vector<std::string>{"error: Invalid input"});
    EXPECT_EQ(dialog->findChild<QLabel*>("SiteFieldProblem")->text(),
              SiteCoordinateDialog::kLongitudeNotANumber);
    EXPECT_EQ(longitude->selectedText(), "147,5"); // picked out for typing over

    QTest::keyClicks(longitude, "147.5"); // typed over the selected text
    QTest::keyClick(longitude, Qt::Key_Return);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(window->findChild<SiteCoordinateDialog*>(), nullptr);

    // The next dialog for the same input offers what was confirmed.
    window->askForLatValueAndInsert();
    dialog = window->findChild<SiteCoordinateDialog*>();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->site().longitude, "147.5");
    dialog->close();
}

TEST_F(LongWorkTest, ALatitudeTypedOnOneTaskPageIsOfferedOnTheOthers)
{
    child<QComboBox>("ComboBox1")->setCurrentIndex(3);
    auto* task4 = child<QLineEdit>("Edit3");
    task4->setFocus();
    QTest::keyClicks(task4, "-35.2");
    QTest::keyClick(task4, Qt::Key_Tab);
    EXPECT_EQ(child<QLineEdit>("Edit6")->text(), "-35.2");
    EXPECT_EQ(child<QLineEdit>("Edit4")->text(), "-35.2");
    child<QLineEdit>("Edit6")->setText("10");
    task4->setFocus();
    QTest::keyClick(task4, Qt::Key_Return);
    EXPECT_EQ(child<QLineEdit>("Edit6")->text(), "10"); // a latitude of its own stays
}
