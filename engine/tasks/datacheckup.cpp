#include "engine/tasks/datacheckup.h"

#include "engine/error.h"
#include "engine/io/textreader.h"
#include "engine/io/textwriter.h"
#include "engine/provenance/flagreasons.h"
#include "engine/provenance/runprovenance.h"
#include "engine/stage/recordreader.h"
#include "engine/table/paneltext.h"
#include "engine/table/recordline.h"

#include <fstream>
#include <optional>
#include <string>

namespace pluvora {

namespace {

constexpr int kCheckupTask = 3;

// Factors and flags taken from the unit texts once per checkup.
struct Units {
    // An unknown temperature text is read as Fahrenheit.
    TemperatureUnit temperature = TemperatureUnit::Fahrenheit;
    double solar = 0;
    double precip = 0;
    double et = 0;
    double panEvap = 0;
    double wind = 0;
};

// Values in the units the limits are set in.
struct Converted {
    double solar;
    double tmax;
    double tmin;
    double soilT;
    double precip;
    double et;
    double panEvap;
    double wind;
};

Converted convert(const Record& r, const Units& u)
{
    // Soil temperature has no unit of its own here: it follows T-max.
    auto celsius = [&](double t) { return toCelsius(t, u.temperature); };
    return {.solar = r.solar * u.solar,
            .tmax = celsius(r.tmax),
            .tmin = celsius(r.tmin),
            .soilT = celsius(r.soilT),
            .precip = r.precip * u.precip,
            .et = r.et * u.et,
            .panEvap = r.panEvap * u.panEvap,
            .wind = r.wndSpd * u.wind};
}

bool outside(double value, double low, double high) { return value < low || value > high; }

constexpr std::uint32_t bit(int code) { return 1u << code; }

// The substitutes a crop model would take for weather: temperatures,
// humidity in any form, and radiation.
constexpr std::uint32_t kListedSubstitutes =
    bit(kTmax) | bit(kTmin) | bit(kRelHum) | bit(kDewPt) | bit(kVapPr) | bit(kSolar);

// Which of a record's values the substitution wrote, by variable code, and
// whether the checkup lists such a day for that alone.
struct Substituted {
    std::uint32_t codes = 0;
    bool listed = false;

    bool bothTemperatures() const { return (codes & bit(kTmax)) && (codes & bit(kTmin)); }
    bool listedAlone() const
    {
        return listed && !bothTemperatures() && (codes & kListedSubstitutes);
    }
};

// Calls `failed(reason)` for each test the record fails, in the order of
// the tests, until it returns false.
template <typename Failed>
void screenValues(const Record& r, const Units& u, Substituted held, Failed failed)
{
    // Two substitutes are equal, which says nothing of the day's weather.
    if (held.bothTemperatures() && !failed(kReasonTemperaturesMissing))
        return;
    if (held.listedAlone() && !failed(kReasonSubstituted))
        return;
    const Converted v = convert(r, u);
    // No radiation at all, or less, is not a day on this planet.
    if (r.has(kSolar) && u.solar > 0 && (v.solar > 60 || v.solar <= 0)
        && !failed("solar radiation above 60 MJ/m2/d or 0"))
        return;
    if (r.has(kTmax) && r.has(kTmin) && !held.bothTemperatures() && v.tmax <= v.tmin
        && !failed("T-max not above T-min"))
        return;
    if (r.has(kTmax) && v.tmax > 60 && !failed("T-max above 60 oC"))
        return;
    if (r.has(kTmin) && v.tmin < -50 && !failed("T-min below -50 oC"))
        return;
    if (r.has(kSoilT) && outside(v.soilT, -50, 60) && !failed("soil temperature outside -50 to 60 oC"))
        return;
    if (r.has(kRelHum) && outside(r.relHum, 0, 100) && !failed("relative humidity outside 0 to 100 %"))
        return;
    if (r.has(kPrecip) && outside(v.precip, 0, 1000) && !failed("precipitation outside 0 to 1000 mm"))
        return;
    if (r.has(kEt) && outside(v.et, 0, 100) && !failed("ET outside 0 to 100 mm"))
        return;
    if (r.has(kPanEvap) && outside(v.panEvap, 0, 100) && !failed("pan evaporation outside 0 to 100 mm"))
        return;
    if (r.has(kSunHr) && outside(r.sunHr, 0, 24) && !failed("sunshine hours outside 0 to 24"))
        return;
    if (r.has(kSunHrPercent) && outside(r.sunHrPercent, 0, 100)
        && !failed("sunshine percentage outside 0 to 100"))
        return;
    if (r.has(kWndSpd) && v.wind < 0)
        failed("wind speed below 0");
}

bool implausibleValue(const Record& r, const Units& u, Substituted held = {})
{
    bool any = false;
    screenValues(r, u, held, [&any](const char*) {
        any = true;
        return false;
    });
    return any;
}

struct Date {
    int year;
    int day; // day of the year
};

bool commonYear(int year) { return !((year % 4 == 0 && year % 100 != 0) || year % 400 == 0); }

// Why the date of a record does not follow the one before, or nothing.
const char* dateProblem(Date date, Date previous)
{
    const bool sameYear = date.year == previous.year;
    if (date.day == previous.day)
        return "date repeated";
    // Day 366 of a common year is already 1 January of the next: its day 1
    // repeats it.
    if (previous.day == 366 && date.day == 1 && commonYear(previous.year)
        && static_cast<long long>(previous.year) + 1 == date.year)
        return "date repeated";
    if (sameYear && date.day > previous.day + 1)
        return kDaysMissingBefore;
    if (sameYear && date.day < previous.day)
        return "date out of order";
    return nullptr;
}

bool unexpectedDate(Date date, Date previous) { return dateProblem(date, previous) != nullptr; }

// Every reason a listed record is suspicious, "; " apart.
std::string reasonsFor(const Record& r, const Units& u, Date date, Date previous, Substituted held)
{
    std::string reasons;
    if (const char* problem = dateProblem(date, previous))
        reasons = problem;
    screenValues(r, u, held, [&reasons](const char* reason) {
        if (!reasons.empty())
            reasons += "; ";
        reasons += reason;
        return true;
    });
    return reasons;
}

// Every test a record fails, for the account of the days: the checkup
// itself stops at the first.
void noteCheckedDay(RunProvenance& provenance, std::size_t index, const Record& r, const Units& u, Date date,
                    Date previous, bool suspicious, Substituted held = {})
{
    std::string reason;
    std::uint32_t codes = 0;
    auto fails = [&](bool test, const char* text, std::uint32_t named) {
        if (!test)
            return;
        if (!reason.empty())
            reason += "; ";
        reason += text;
        codes |= named;
    };
    if (suspicious) {
        const Converted v = convert(r, u);
        const bool sameYear = date.year == previous.year;
        fails(sameYear && date.day > previous.day + 1, kReasonGap, 0);
        fails(sameYear && date.day < previous.day, kReasonOutOfOrder, 0);
        fails(date.day == previous.day, kReasonRepeated, 0);
        fails(r.has(kSolar) && u.solar > 0 && (v.solar > 60 || v.solar <= 0), kReasonSolar, bit(kSolar));
        fails(held.bothTemperatures(), kReasonTemperaturesMissing, bit(kTmax) | bit(kTmin));
        fails(held.listedAlone(), kReasonSubstituted,
              held.codes & kListedSubstitutes);
        fails(r.has(kTmax) && r.has(kTmin) && !held.bothTemperatures() && v.tmax <= v.tmin, kReasonTmaxNotAboveTmin,
              bit(kTmax) | bit(kTmin));
        fails(r.has(kTmax) && v.tmax > 60, kReasonTmaxHigh, bit(kTmax));
        fails(r.has(kTmin) && v.tmin < -50, kReasonTminLow, bit(kTmin));
        fails(r.has(kSoilT) && outside(v.soilT, -50, 60), kReasonSoilT, bit(kSoilT));
        fails(r.has(kRelHum) && outside(r.relHum, 0, 100), kReasonRelHum, bit(kRelHum));
        fails(r.has(kPrecip) && outside(v.precip, 0, 1000), kReasonPrecip, bit(kPrecip));
        fails(r.has(kEt) && outside(v.et, 0, 100), kReasonEt, bit(kEt));
        fails(r.has(kPanEvap) && outside(v.panEvap, 0, 100), kReasonPanEvap, bit(kPanEvap));
        fails(r.has(kSunHr) && outside(r.sunHr, 0, 24), kReasonSunHr, bit(kSunHr));
        fails(r.has(kSunHrPercent) && outside(r.sunHrPercent, 0, 100), kReasonSunHrPercent, bit(kSunHrPercent));
        fails(r.has(kWndSpd) && v.wind < 0, kReasonWind, bit(kWndSpd));
    }
    provenance.noteDay(index, r, date.year, date.day, reason, codes);
}

// A failure that ends the checkup with its message; `variable` names the
// column that holds the fault, kIgnore when no single column does.
struct CheckupFailure {
    const char* message;
    int variable = kIgnore;
};

Date dateOf(const Record& r, bool doyMode)
{
    if (doyMode && r.doy >= 1 && r.doy <= 366) {
        if (r.yydoyNotADate)
            throw CheckupFailure{kWrongDoy, kYydoy};
        return {r.year, r.doy};
    }
    if (doyMode && (r.doy < 0 || r.doy > 366))
        throw CheckupFailure{kWrongDoy, kDoy};
    if (r.year <= 0 || r.month <= 0 || r.day <= 0)
        throw CheckupFailure{kDateIncomplete,
                             r.year <= 0 ? kYear : r.month <= 0 ? kMonth : kDay};
    const auto day = dayOfYear(r.year, r.month, r.day);
    if (!day)
        throw CheckupFailure{kDataFormatProblem, r.month > 12 ? kMonth : kDay};
    return {r.year, *day};
}

// Where the record that stopped the checkup stands in the input, when one
// column holds the fault. A later column overwrites an earlier one, and
// the day of the year comes from a DOY or a YYDOY column.
std::optional<InputPosition> positionOf(const RunContext& run, long recordIndex, int variable)
{
    if (variable == kIgnore)
        return std::nullopt;
    for (int column = run.columnCount; column >= 1; --column) {
        const int held = run.columns.columnVariable[static_cast<std::size_t>(column)];
        if (held != variable && !(variable == kDoy && held == kYydoy))
            continue;
        bool inserted = false;
        const auto before = run.insertedBefore(static_cast<std::size_t>(recordIndex), &inserted);
        const auto line = lineOfRecord(run.file(workfile::kInput), run.rowsBefore, recordIndex);
        if (!line || inserted)
            return std::nullopt;
        return InputPosition{*line - static_cast<int>(before), column};
    }
    return std::nullopt;
}

std::string reportLine(const Record& r, Date date, bool doyMode)
{
    std::string line = "\t" + std::to_string(date.year) + " / ";
    if (doyMode)
        return line + std::to_string(date.day);
    return line + std::to_string(r.month) + " / " + std::to_string(r.day);
}

// The listed days whose report lines lead to their input line: more than
// anyone follows one by one, and a fixed bound on what a checkup holds
// however many days it lists.
constexpr std::size_t kMostLinkedDays = 100000;

// Reads and screens every record; the failure that ended it, if any.
// Nothing is held but the date of the record before.
std::optional<const char*> screenRecords(TextReader& input, TextWriter& report, RunContext& run,
                                         const Units& units, bool doyMode, bool& anySuspicious,
                                         CheckedRecords* follower)
{
    std::optional<Date> previous;
    long recordIndex = 0;
    std::size_t nextSubstituted = 0;
    try {
        for (; readRecord(input, run); ++recordIndex) {
            const Record& r = run.record;
            const Date date = dateOf(r, doyMode);
            if (!previous)
                previous = Date{date.year, date.day - 1};
            Substituted held;
            held.listed = run.task == kCheckupTask;
            const auto& substituted = run.substitutedColumns;
            while (nextSubstituted < substituted.size()
                   && substituted[nextSubstituted].first < static_cast<std::size_t>(recordIndex))
                ++nextSubstituted;
            if (nextSubstituted < substituted.size()
                && substituted[nextSubstituted].first == static_cast<std::size_t>(recordIndex))
                for (int column = 1; column <= run.columnCount && column < 32; ++column)
                    if ((substituted[nextSubstituted].second >> column) & 1u) {
                        const int code = run.columns.columnVariable[static_cast<std::size_t>(column)];
                        if (code > 0 && code < 32)
                            held.codes |= bit(code);
                    }
            const bool suspicious = unexpectedDate(date, *previous) || implausibleValue(r, units, held);
            if (suspicious) {
                anySuspicious = true;
                report.writeLine(reportLine(r, date, doyMode));
                // The stages before keep one record per line. Past the cap
                // the report still lists every day; its lines lead nowhere.
                // A list left in its file is shown in no panel: no links.
                bool inserted = false;
                const auto before = run.insertedBefore(static_cast<std::size_t>(recordIndex), &inserted);
                if (!run.reportAsFile && run.reportedDays.size() < kMostLinkedDays)
                    run.reportedDays.push_back(
                        {inserted ? 0 : run.rowsBefore + static_cast<int>(recordIndex - static_cast<long>(before)) + 1,
                         reasonsFor(r, units, date, *previous, held)});
            }
            if (run.provenance)
                noteCheckedDay(*run.provenance, static_cast<std::size_t>(recordIndex), r, units, date, *previous,
                               suspicious, held);
            if (follower && !anySuspicious)
                follower->take(r, recordIndex);
            previous = date;
            stepGauge(run.ui);
        }
    } catch (const CheckupFailure& failure) {
        run.badInput = positionOf(run, recordIndex, failure.variable);
        return failure.message;
    } catch (const Error&) {
        return kDataFormatProblem;
    }
    return std::nullopt;
}

Units unitsOf(const ColumnSpec& spec)
{
    Units units;
    if (const auto unit = temperatureUnit(spec.unit(kTmax)); unit != TemperatureUnit::Unknown)
        units.temperature = unit;
    units.solar = conversionUnitSolar(spec.unit(kSolar));
    units.precip = conversionUnitForWater(spec.unit(kPrecip));
    units.et = conversionUnitForWater(spec.unit(kEt));
    units.panEvap = conversionUnitForWater(spec.unit(kPanEvap));
    units.wind = conversionUnitWS(spec.unit(kWndSpd));
    return units;
}

bool doyModeOf(const RunContext& run)
{
    return run.columns.hasColumn(kDoy, run.columnCount) || run.columns.hasColumn(kYydoy, run.columnCount);
}

} // namespace

struct CheckupScreen::State {
    Units units;
    bool doyMode = false;
    std::optional<Date> previous;
};

CheckupScreen::CheckupScreen(const RunContext& run)
    : mState(std::make_unique<State>())
{
    mState->units = unitsOf(run.columns);
    mState->doyMode = doyModeOf(run);
}

CheckupScreen::~CheckupScreen() = default;

bool CheckupScreen::passes(const Record& r, RunProvenance* provenance, std::size_t index, int* dayOfYear)
{
    try {
        const Date date = dateOf(r, mState->doyMode);
        if (!mState->previous)
            mState->previous = Date{date.year, date.day - 1};
        const bool suspicious = unexpectedDate(date, *mState->previous) || implausibleValue(r, mState->units);
        if (!suspicious && provenance)
            noteCheckedDay(*provenance, index, r, mState->units, date, *mState->previous, false);
        mState->previous = date;
        if (dayOfYear)
            *dayOfYear = date.day;
        return !suspicious;
    } catch (const CheckupFailure&) {
        return false;
    }
}

std::string loadCheckupReport(const std::filesystem::path& path, std::size_t limit)
{
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec || size <= limit)
        return loadPanelText(path);
    std::ifstream in(path, std::ios::binary);
    std::string head(limit, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(head.rfind('\n') + 1);
    std::string text;
    text.reserve(head.size() + 200);
    for (char c : head)
        if (c != '\r')
            text += c;
    text += kCheckupReportCut;
    return text;
}

void dataCheckup(RunContext& run, CheckedRecords* follower)
{
    const ColumnSpec& spec = run.columns;
    const Units units = unitsOf(spec);

    if (spec.unit(kTmax) != spec.unit(kTmin)) {
        run.fail(kTemperatureUnitsMustMatch);
        return;
    }

    const bool doyMode = doyModeOf(run);
    const auto outputPath = run.file(workfile::kOutput);
    bool anySuspicious = false;
    std::optional<const char*> failure;
    {
        TextReader input(run.file(workfile::kInput));
        TextWriter report(outputPath);
        report.writeLine(kCheckupReportTitle);
        report.writeLine(kCheckupReportEditHint);
        report.writeLine();
        report.writeLine(doyMode ? kCheckupHeadingDoy : kCheckupHeadingCalendar);
        for (int i = 0; i < run.rowsBefore && !input.atEnd(); ++i)
            input.skipLine();
        run.ui.progressPass(kCheckingPass);
        failure = screenRecords(input, report, run, units, doyMode, anySuspicious, follower);
        report.close();
    }

    if (failure) {
        run.fail(*failure);
        return;
    }
    if (anySuspicious) {
        run.ui.playSound(Sound::Error);
        run.ui.showMessage(MessageKind::Warning,
                           run.task == kCheckupTask ? kDataErrorsSpottedTask3 : kDataErrorsSpotted);
        if (run.reportAsFile)
            run.reportFile = outputPath;
        else
            run.outputPanel = loadCheckupReport(outputPath);
        run.reportedDaysFrom = 4;
        run.stop();
    } else if (run.task == kCheckupTask) {
        run.ui.playSound(Sound::Exclamation);
        run.ui.showMessage(MessageKind::Information, kNoSuspiciousData);
        run.stop();
    }
}

} // namespace pluvora
