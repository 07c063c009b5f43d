#include "windowfixture.h"

#include "batch/powerfetch.h"
#include "gui/getpowerdialog.h"
#include "gui/noteline.h"
#include "replayserver.h"

#include <QCoreApplication>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QPlainTextEdit>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const fs::path kReplies = fs::path(PLUVORA_TEST_DATA) / "power";

// The window against the local replay server: its own cache folder, short
// timeouts, and no proxy between it and 127.0.0.1.
class GetPowerInWindow : public WindowFixture {
protected:
    pluvora::test::TempFolder serverDir;
    std::vector<std::pair<const char*, QByteArray>> savedEnvironment;

    fs::path cache() const { return serverDir.path() / "cache"; }

    void SetUp() override
    {
        for (const auto& [name, value] :
             {std::pair<const char*, QByteArray>{"XDG_CACHE_HOME", QByteArray::fromStdString(cache().string())},
              {"PLUVORA_POWER_TIMING", "1,1,0.05"},
              {"NO_PROXY", "127.0.0.1"},
              {"no_proxy", "127.0.0.1"}}) {
            savedEnvironment.emplace_back(name, qgetenv(name));
            qputenv(name, value);
        }
        WindowFixture::SetUp();
    }

    void TearDown() override
    {
        for (const auto& [name, value] : savedEnvironment)
            value.isNull() ? qunsetenv(name) : qputenv(name, value);
    }

    // Fills the dialog as a user would, the server as its address, and presses OK.
    void askFor(const std::string& url, const char* latitude = "40.5")
    {
        window->findChild<QAction*>("GetPowerAction")->trigger();
        auto* dialog = window->findChild<GetPowerDialog*>("GetPowerDialog");
        ASSERT_NE(dialog, nullptr);
        find<QLineEdit>(dialog, "PowerLatitudeEdit")->setText(latitude);
        find<QLineEdit>(dialog, "PowerLongitudeEdit")->setText("-96.25");
        find<QDateEdit>(dialog, "PowerFromDate")->setDate(QDate(2001, 1, 1));
        find<QDateEdit>(dialog, "PowerToDate")->setDate(QDate(2001, 1, 5));
        find<QLineEdit>(dialog, "PowerUrlEdit")->setText(QString::fromStdString(url + "/"));
        find<QDialogButtonBox>(dialog, "PowerButtons")->button(QDialogButtonBox::Ok)->click();
    }

    // Runs the event loop, as the window does while the fetch runs off it.
    static bool waitFor(const std::function<bool()>& done)
    {
        QElapsedTimer timer;
        timer.start();
        while (!done() && timer.elapsed() < 20000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        return done();
    }
};

// The series is asked for with the site, days and the seven parameters,
// saved byte for byte where the user chose, opened as the input, and
// credited to NASA POWER in the note line.
TEST_F(GetPowerInWindow, FetchedSeriesIsSavedOpenedAndCredited)
{
    const fs::path replyFile = kReplies / "ag_daily_default_parameters.csv";
    pluvora::test::ReplayServer server(serverDir.path() / "requests.log", {"200:" + replyFile.string()});
    const fs::path saved = userDir.path() / "site.csv";
    chooser.paths << QString::fromStdString(saved.string());

    askFor(server.url());
    ASSERT_TRUE(waitFor([&] { return child<QLineEdit>("Edit1")->text() == "site.csv" || !feedback.calls.empty(); }));

    EXPECT_EQ(server.requests(),
              (std::vector<std::string>{
                  "/api/temporal/daily/point?parameters=T2M_MAX,T2M_MIN,PRECTOTCORR,ALLSKY_SFC_SW_DWN,RH2M,"
                  "WS2M,T2MDEW&community=AG&longitude=-96.25&latitude=40.5&start=20010101&end=20010105"
                  "&format=CSV&time-standard=LST"}));
    const std::string reply = pluvora::test::readFile(replyFile);
    EXPECT_EQ(pluvora::test::readFile(saved), reply);
    EXPECT_EQ(child<QPlainTextEdit>("Memo1")->toPlainText().toStdString() + "\n", reply);
    EXPECT_EQ(child<QLineEdit>("Edit1")->text(), "site.csv");
    EXPECT_TRUE(child<NoteLine>(NoteLine::kObjectName)->notes().contains(pluvora::kPowerAttribution));
    EXPECT_TRUE(feedback.messages().empty());
    // Kept for the next time the same series is asked for.
    EXPECT_TRUE(fs::exists(cache() / "pluvora" / "power"));
}

// A refused request ends in an error box; the input, its name, the note
// line and the cache stay as they were, and no file is asked for.
TEST_F(GetPowerInWindow, FailedFetchShowsAnErrorAndChangesNothing)
{
    pluvora::test::ReplayServer server(serverDir.path() / "requests.log", {"500"});
    open(userDir.write("before.txt", "2001 1 1 10 2\n"));
    const QStringList titlesBefore = chooser.titles;

    askFor(server.url());
    ASSERT_TRUE(waitFor([&] { return !feedback.messages().empty(); }));

    ASSERT_EQ(feedback.messages().size(), 1u);
    EXPECT_TRUE(feedback.messages()[0].starts_with(std::string("error: ") + MainWindow::kPowerFetchFailed))
        << feedback.messages()[0];
    EXPECT_EQ(child<QPlainTextEdit>("Memo1")->toPlainText(), "2001 1 1 10 2");
    EXPECT_EQ(child<QLineEdit>("Edit1")->text(), "before.txt");
    EXPECT_FALSE(child<NoteLine>(NoteLine::kObjectName)->notes().contains(pluvora::kPowerAttribution));
    EXPECT_EQ(chooser.titles, titlesBefore);
    EXPECT_FALSE(fs::exists(cache() / "pluvora" / "power") && !fs::is_empty(cache() / "pluvora" / "power"));
}

// A site off the globe is refused in the dialog, which stays open with the
// reason; nothing is asked of the service.
TEST_F(GetPowerInWindow, SiteOffTheGlobeStaysInTheDialog)
{
    pluvora::test::ReplayServer server(serverDir.path() / "requests.log",
                                       {"200:" + (kReplies / "ag_daily_default_parameters.csv").string()});
    askFor(server.url(), "91");
    QCoreApplication::processEvents();

    auto* dialog = window->findChild<GetPowerDialog*>("GetPowerDialog");
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(find<QLabel>(dialog, "PowerFaultLabel")->text(), GetPowerDialog::kBadLatitude);
    EXPECT_TRUE(server.requests().empty());
    EXPECT_TRUE(feedback.calls.empty());
}

} // namespace
