#include "batch/batchoptions.h"
#include "batch/powerfetch.h"
#include "batch/sha256.h"
#include "replayserver.h"
#include "runbatch.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace pluvora {
namespace {

namespace fs = std::filesystem;

const fs::path kReplies = fs::path(PLUVORA_TEST_DATA) / "power";

const std::string kDefaultQuery =
    "/api/temporal/daily/point?parameters=T2M_MAX,T2M_MIN,PRECTOTCORR,ALLSKY_SFC_SW_DWN,RH2M,WS2M,T2MDEW"
    "&community=AG&longitude=-179.5&latitude=-89.5&start=19830101&end=19830101&format=CSV&time-standard=LST";

std::string reply(const std::string& name) { return (kReplies / name).string(); }

std::vector<std::string> filesIn(const fs::path& folder)
{
    std::vector<std::string> names;
    if (fs::exists(folder))
        for (const auto& entry : fs::recursive_directory_iterator(folder))
            if (entry.is_regular_file())
                names.push_back(fs::relative(entry.path(), folder).string());
    return names;
}

// A run against the local server, with its own cache folder, short
// timeouts and waits, and no proxy between it and 127.0.0.1.
struct PowerRun {
    test::TempFolder folder;
    fs::path out() const { return folder.path() / "out" / "site.csv"; }
    fs::path cache() const { return folder.path() / "cache"; }

    test::BatchOutcome run(const std::string& url, const std::vector<std::string>& more = {}) const
    {
        fs::create_directories(folder.path() / "out");
        std::vector<std::string> args{"--get-power", "-89.5,-179.5", "--from", "1983-01-01", "--to",
                                      "1983-01-01", "--power-url", url + "/", "-o", out().string()};
        args.insert(args.end(), more.begin(), more.end());
        return test::runBatchProgram(folder.path(), args,
                                     "XDG_CACHE_HOME=" + test::shellQuoted(cache().string())
                                         + " PLUVORA_POWER_TIMING=1,1,0.05 NO_PROXY=127.0.0.1 no_proxy=127.0.0.1");
    }
};

const std::string kSite =
    "notice: site: latitude -89.5, longitude -179.5, elevation 2885.03 m (as the reply's header gives them)";

struct ServerCase {
    const char* name;
    std::vector<std::string> steps; // server steps; a file name is a recorded reply
    int status;
    const char* written;  // recorded reply the output must equal byte for byte, or "" for none
    std::string message;  // a line stderr must hold
    std::size_t requests; // how many requests the server must have seen
};

class GetPower : public ::testing::TestWithParam<ServerCase> {};

// Each answer of the service ends in the file as it came, or in an error
// with nothing written, neither output nor cache.
TEST_P(GetPower, WritesTheReplyWholeOrNothing)
{
    const ServerCase& c = GetParam();
    PowerRun run;
    std::vector<std::string> steps;
    for (const auto& step : c.steps) {
        const std::size_t colon = step.rfind(':');
        const std::string last = step.substr(colon + 1);
        steps.push_back(last.find('.') != std::string::npos ? step.substr(0, colon + 1) + reply(last) : step);
    }
    test::ReplayServer server(run.folder.path() / "requests.log", steps);
    const auto outcome = run.run(server.url());

    EXPECT_EQ(outcome.status, c.status) << outcome.err;
    std::string message = c.message;
    if (const std::size_t port = message.find("PORT"); port != std::string::npos)
        message.replace(port - 10, 14, server.url().substr(7));
    EXPECT_NE(outcome.err.find(message + "\n"), std::string::npos) << outcome.err;
    EXPECT_EQ(outcome.err.find("warning:"), std::string::npos) << outcome.err;
    const auto requests = server.requests();
    EXPECT_EQ(requests.size(), c.requests);
    for (const auto& request : requests)
        EXPECT_EQ(request, kDefaultQuery);
    if (*c.written) {
        const std::string expected = test::readFile(kReplies / c.written);
        EXPECT_EQ(test::readFile(run.out()), expected);
        EXPECT_NE(outcome.err.find(std::string("notice: ") + kPowerAttribution + "\n"), std::string::npos);
        EXPECT_NE(outcome.err.find(kSite + "\n"), std::string::npos) << outcome.err;
        const auto cached = filesIn(run.cache());
        ASSERT_EQ(cached.size(), 1u);
        EXPECT_EQ(test::readFile(run.cache() / cached[0]), expected);
    } else {
        EXPECT_EQ(filesIn(run.folder.path() / "out"), std::vector<std::string>{});
        EXPECT_EQ(filesIn(run.cache()), std::vector<std::string>{});
        EXPECT_EQ(outcome.err.find("notice: Data:"), std::string::npos) << outcome.err;
    }
}

const std::string kCsv = "ag_daily_utc_2026.csv";

INSTANTIATE_TEST_SUITE_P(
    Replies, GetPower,
    ::testing::Values(
        ServerCase{"AgDailyUtc", {"200:" + kCsv}, 0, "ag_daily_utc_2026.csv", kSite, 1},
        ServerCase{"SbDailyLst", {"200:sb_daily_lst_2026.csv"}, 0, "sb_daily_lst_2026.csv", kSite, 1},
        ServerCase{"OlderWordingMixedLineEnds", {"200:ag_daily_2021_mixed_line_ends.csv"}, 0,
                   "ag_daily_2021_mixed_line_ends.csv", kSite, 1},
        ServerCase{"TooManyRequestsThenReply", {"429", "200:" + kCsv}, 0, "ag_daily_utc_2026.csv",
                   "notice: NASA POWER answered HTTP 429 (too many requests); asking again in 0.05 s", 2},
        ServerCase{"BusyTwiceThenReply", {"503", "503", "200:" + kCsv}, 0, "ag_daily_utc_2026.csv",
                   "notice: NASA POWER answered HTTP 503 (busy); asking again in 0.1 s", 3},
        ServerCase{"AlwaysBusyStopsAfterThreeRetries", {"503"}, 1, "",
                   "error: NASA POWER answered HTTP 503 (the service is busy or down for maintenance; try again "
                   "later); asked 4 times", 4},
        ServerCase{"ServerFaultIsNotRetried", {"500"}, 1, "",
                   "error: NASA POWER answered HTTP 500 (a fault on the service's side; try again later)", 1},
        ServerCase{"JsonErrorWithStatus200", {"200:v1_error_status_200.json"}, 1, "",
                   "error: NASA POWER did not send the expected CSV but JSON saying: Input request type is not "
                   "allowed. Please reference our API Documentation at https://power.larc.nasa.gov for more "
                   "information.; nothing was written", 1},
        ServerCase{"SlowReplyTimesOut", {"slow:3:" + kCsv}, 1, "",
                   "error: NASA POWER at 127.0.0.1:PORT did not answer within 1 s (connecting: 1 s); try again later", 1},
        ServerCase{"CutConnection", {"cut:" + kCsv}, 1, "",
                   "error: the connection to 127.0.0.1:PORT was cut before the reply was complete; try again", 1}),
    [](const ::testing::TestParamInfo<ServerCase>& param) { return std::string(param.param.name); });

// A reply kept once answers the same request with the service gone;
// --refresh and any other request go to the service again.
TEST(GetPowerCache, AnswersTheSameRequestWithoutTheNetwork)
{
    PowerRun run;
    test::ReplayServer server(run.folder.path() / "requests.log", {"200:" + reply(kCsv)});
    const std::string url = server.url();
    ASSERT_EQ(run.run(url).status, 0);
    server.stop();
    fs::remove(run.out());

    const auto cached = run.run(url);
    EXPECT_EQ(cached.status, 0) << cached.err;
    EXPECT_EQ(test::readFile(run.out()), test::readFile(kReplies / kCsv));
    EXPECT_NE(cached.err.find("notice: taken from the cache "), std::string::npos) << cached.err;
    EXPECT_NE(cached.err.find(std::string("notice: ") + kPowerAttribution + "\n"), std::string::npos);
    EXPECT_NE(cached.err.find(kSite + "\n"), std::string::npos) << cached.err;
    EXPECT_EQ(server.requests().size(), 1u);

    fs::remove(run.out());
    for (const std::vector<std::string>& asksAgain :
         {std::vector<std::string>{"--refresh"}, {"--time-standard", "utc"}, {"--parameters", "T2M"}}) {
        const auto outcome = run.run(url, asksAgain);
        EXPECT_EQ(outcome.status, 1) << asksAgain[0];
        EXPECT_NE(outcome.err.find("error: could not connect to " + url.substr(7)), std::string::npos) << outcome.err;
        EXPECT_FALSE(fs::exists(run.out())) << asksAgain[0];
    }
    EXPECT_EQ(filesIn(run.cache()).size(), 1u);
}

// The cache names files by this hash; a slip at the padding's edges (55,
// 56, 64 bytes) would give two requests one name or read past the input.
TEST(GetPowerCache, NamesFilesBySha256)
{
    const std::string nist = "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq";
    const std::pair<std::string, const char*> cases[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {std::string(55, 'a'), "9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318"},
        {std::string(56, 'a'), "b35439a4ac6f0948b6d6f9e3c6af0f5f590ce20f1bde7090ef7970686ec6738a"},
        {std::string(64, 'a'), "ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb"},
        {nist + std::string(63, 'x'), "eb16f170be32bead4054a17f803f3ed0e5584a28dca0078a43a821853feef9c3"},
    };
    for (const auto& [text, hash] : cases)
        EXPECT_EQ(sha256Hex(text), hash) << text.size() << " bytes";
}

// A fault in the options stops before any request, with status 2 and the usage text.
TEST(GetPowerOptions, RefusesBadRequestsWithTheUsage)
{
    const std::vector<std::string> site{"--get-power", "40.5,-96.25"};
    const std::vector<std::string> days{"--from", "2020-01-01", "--to", "2020-12-31"};
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    std::string tooMany;
    for (int i = 1; i <= 21; ++i)
        tooMany += (i > 1 ? ",P" : "P") + std::to_string(i);
    const Case cases[] = {
        {{"--get-power", "91,0", "--from", "2020-01-01", "--to", "2020-01-02"}, "--get-power needs \"LAT,LON\""},
        {{"--get-power", "40.5", "--from", "2020-01-01", "--to", "2020-01-02"}, "--get-power needs \"LAT,LON\""},
        {{"--get-power", "40.5,-181", "--from", "2020-01-01", "--to", "2020-01-02"}, "--get-power needs \"LAT,LON\""},
        {{"--get-power", "40.5,-96.25", "--from", "2021-02-29", "--to", "2021-03-01"}, "--from needs a date YYYY-MM-DD"},
        {{"--get-power", "40.5,-96.25", "--from", "2020-01-02", "--to", "2020-01-01"},
         "--from 2020-01-02 is after --to 2020-01-01"},
        {{"--get-power", "40.5,-96.25", "--from", "2020-01-01"}, "--get-power needs --from and --to"},
        {{"--parameters", tooMany}, "--parameters: at most 20 parameters in one request, not 21"},
        {{"--parameters", "T2M,,RH2M"}, "--parameters needs NASA POWER parameter names"},
        {{"--time-standard", "gmt"}, "--time-standard needs lst or utc"},
        {{"--power-url", "ftp://example.org"}, "--power-url needs an address beginning with http://"},
        {{"--task", "1"}, "--task does not go with --get-power"},
    };
    test::TempFolder folder;
    for (const Case& c : cases) {
        std::vector<std::string> args = c.args;
        if (args[0] != "--get-power") {
            args.insert(args.begin(), days.begin(), days.end());
            args.insert(args.begin(), site.begin(), site.end());
        }
        args.insert(args.end(), {"--power-url", "http://127.0.0.1:9", "-o", (folder.path() / "x.csv").string()});
        if (c.args[0] == "--power-url")
            args.erase(args.end() - 4, args.end() - 2);
        const auto outcome = test::runBatchProgram(folder.path(), args);
        EXPECT_EQ(outcome.status, 2) << c.message;
        EXPECT_EQ(outcome.err.rfind("pluvora-batch: " + c.message, 0), 0u) << outcome.err;
        EXPECT_NE(outcome.err.find("usage: pluvora-batch"), std::string::npos);
        EXPECT_FALSE(fs::exists(folder.path() / "x.csv"));
    }

    // Lower-case names and UTC days go into the request as the service spells them.
    auto parsed = parseBatchOptions({"--get-power", "40.5,-96.25", "--from", "2020-01-01", "--to", "2020-12-31",
                                     "--parameters", "t2m_max,prectotcorr", "--time-standard", "utc"});
    ASSERT_TRUE(std::holds_alternative<BatchOptions>(parsed));
    EXPECT_EQ(powerRequestUrl(*std::get<BatchOptions>(parsed).power),
              "https://power.larc.nasa.gov/api/temporal/daily/point?parameters=T2M_MAX,PRECTOTCORR&community=AG"
              "&longitude=-96.25&latitude=40.5&start=20200101&end=20201231&format=CSV&time-standard=UTC");
}

} // namespace
} // namespace pluvora
