#include "engine/appfolder/appfolder.h"
#include "engine/run/sitecoordinate.h"
#include "engine/site/siteinheader.h"
#include "engine/site/sitememory.h"
#include "engine/table/paneltext.h"

#include "tempfolder.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace pluvora;
using namespace pluvora::test;

namespace {

struct HeaderSite {
    const char* file;
    int rowsBefore;
    double latitude;
    double longitude;
    std::optional<double> elevation;
};

class SiteInTheHeader : public ::testing::TestWithParam<HeaderSite> {};

} // namespace

// The downloaded files as they come, each stating its site its own way.
TEST_P(SiteInTheHeader, IsFoundInTheServicesOwnWords)
{
    const HeaderSite& c = GetParam();
    const std::string panel = loadTextFile(std::filesystem::path(PLUVORA_SAMPLE_DATA) / c.file);
    const SiteInHeader site = findSiteInHeader(panel, c.rowsBefore);
    ASSERT_TRUE(site.latitude && site.longitude);
    EXPECT_DOUBLE_EQ(*site.latitude, c.latitude);
    EXPECT_DOUBLE_EQ(*site.longitude, c.longitude);
    EXPECT_EQ(site.elevation, c.elevation);
}

INSTANTIATE_TEST_SUITE_P(
    Samples, SiteInTheHeader,
    ::testing::Values(HeaderSite{"daymet_v3_demo_2000-2003.csv", 8, 36.0133, -84.2625, 279},
                      HeaderSite{"eccc_marieville_2014_daily.csv", 25, 45.40, -73.13, 38},
                      HeaderSite{"nasa_power_chakwal_2000-2002_daily.csv", 33, 32.9348, 72.8576, 448.45},
                      HeaderSite{"silo_apsim_wagga_72150.met", 23, -35.1583, 147.4575, std::nullopt}));

// A hemisphere letter after the number gives its sign; a letter that is a
// word's start ("lat 35.2 elev 300") does not.
TEST(SiteInTheHeader, HemisphereLettersGiveTheSign)
{
    struct Case {
        const char* header;
        double latitude;
        double longitude;
    };
    const Case cases[] = {
        {"lat 35.2 S\nlon 97.50 W\n", -35.2, -97.5},
        {"Latitude: 52.10 N  Longitude: 5.18 E\n", 52.1, 5.18},
        {"lat 35.2\u00b0 s, lon 97.5\u00b0 w\n", -35.2, -97.5},
        {"lat 35.2 elev 300\nlon -97.5 east of town\n", 35.2, -97.5},
        {"LAT = -35.2   LONG = 147.4\n", -35.2, 147.4},
    };
    for (const Case& c : cases) {
        const SiteInHeader site = findSiteInHeader(c.header, 0);
        ASSERT_TRUE(site.latitude && site.longitude) << c.header;
        EXPECT_DOUBLE_EQ(*site.latitude, c.latitude) << c.header;
        EXPECT_DOUBLE_EQ(*site.longitude, c.longitude) << c.header;
    }
}

TEST(SiteMemory, ProposesTheRememberedSiteElseTheHeadersWithTheDialogsSigns)
{
    TempFolder dir;
    AppFolder folder(dir.path());
    const std::string panel = "Station\nLatitude: -35.1583  Longitude: 147.4575\nElevation: 212 m\n2001 1";
    const auto fromHeader = proposeSite(folder, "wagga.txt", panel, 3);
    ASSERT_TRUE(fromHeader);
    EXPECT_EQ(*fromHeader, (SiteTyped{"35.1583", true, "147.4575", true, "212"}));
    EXPECT_FALSE(proposeSite(folder, "plain.txt", "Year DOY\n2001 1", 1));

    const SiteTyped typed{"35.2", true, "147.5", true, "210"};
    rememberSite(folder, "wagga.txt", typed);
    rememberSite(folder, "other.txt", SiteTyped{"1", false, "2", false, "3"});
    EXPECT_EQ(proposeSite(folder, "wagga.txt", panel, 3), typed);
    rememberSite(folder, "wagga.txt", SiteTyped{"35.3", true, "147.5", true, "210"});
    EXPECT_EQ(recallSite(folder, "wagga.txt")->latitude, "35.3");
    EXPECT_EQ(recallSite(folder, "other.txt")->elevation, "3");
    EXPECT_EQ(dir.read("Sites.pvd"), "wagga.txt\t35.3\tS\t147.5\tE\t210\r\nother.txt\t1\tN\t2\tW\t3\r\n");
}

TEST(SiteCoordinate, NamesTheBoxItRefuses)
{
    using enum SiteField;
    auto fieldOf = [](const char* lat, const char* lon, const char* elev) {
        const auto result = siteCoordinateLine(lat, Hemisphere::North, lon, LongitudeSide::West, elev);
        const auto* error = std::get_if<SiteCoordinateError>(&result);
        return error ? error->field : None;
    };
    EXPECT_EQ(fieldOf("x", "y", "z"), Latitude);
    EXPECT_EQ(fieldOf("40", "9O", "1"), Longitude);
    EXPECT_EQ(fieldOf("40", "90", ""), Elevation);
    EXPECT_EQ(fieldOf("67", "90", "1"), Latitude);
    EXPECT_EQ(fieldOf("40", "90", "1"), None);
}
