#pragma once

#include "engine/modelfiles/daylog.h"
#include "engine/modelfiles/modelformat.h"
#include "engine/modelfiles/modelsite.h"

#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace pluvora {

inline constexpr std::string_view kRuleNoValue = " has no value (fill it first)";
inline constexpr std::string_view kRuleNoVapour = "RelHum, DewPt or VapPr has no value (fill it first)";
inline constexpr std::string_view kRuleTmaxBelowTmin = "T-max is below T-min";
inline constexpr std::string_view kRuleSolarBelowZero = "solar radiation is below 0";
inline constexpr std::string_view kRuleSolarAbove40 = "solar radiation is above 40 MJ/m2";
inline constexpr std::string_view kRuleDayMissing = "the day before it is missing";
inline constexpr std::string_view kRuleNoDays = "there are no days to write";
inline constexpr std::string_view kRuleNoReferenceEt =
    "the Penman-Monteith reference ET has no value (no sunrise or sunset)";
inline constexpr std::string_view kRuleWiderThanSpan = " is wider than its 6-character DSSAT column";

// "The DSSAT file is not written: 1993-01-05: T-max is below T-min."
std::string refusalMessage(ModelFormat format, std::string_view date, std::string_view rule);
// 1993-01-05
std::string dateText(const ModelDay& day);

// Thrown before any byte of a model file is written.
class ModelFileRefused : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Whether `day` is the calendar day after `before`.
bool followsDay(const ModelDay& before, const ModelDay& day);

// The first pass over the days: every rule of the format's reader checked,
// and what the headers need, summed by month so that memory stays flat.
struct DayScan {
    ModelDay first;
    ModelDay last;
    long days = 0;
    bool relHum = false; // every day has the value
    bool wind = false;
    bool dewPt = false;
    bool vapour = false; // a vapour pressure can be given (VapPr, DewPt or RelHum)
    // Mean of the monthly mean temperatures over the whole record and their
    // range, as DSSAT's TAV and AMP.
    double dssatTav = 0;
    double dssatAmp = 0;
    // Per year the mean of the monthly means and their range, averaged over
    // the years, as APSIM's tav and amp: over the complete years when there
    // is one.
    double apsimTav = 0;
    double apsimAmp = 0;
    int apsimFirstYear = 0; // the complete years they come from; 0 for none
    int apsimLastYear = 0;
    std::vector<std::string> notices;
};

// Throws ModelFileRefused, naming the first day at fault and its rule. The
// site is for the reference ET that AquaCrop and STICS files carry.
DayScan scanDays(const std::filesystem::path& daysFile, ModelFormat format, const ModelSite& site);

} // namespace pluvora
