#include "engine/report/qualityreport.h"

#include "engine/io/backupreplace.h"
#include "engine/provenance/decimation.h"
#include "engine/provenance/flagreasons.h"
#include "engine/provenance/flagsfile.h"
#include "engine/record/calendar.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <optional>
#include <unordered_set>

namespace pluvora {

namespace {

// Chart geometry in SVG user units; the page scales it to its width.
constexpr int kWidth = 720;
constexpr int kHeight = 190;
constexpr int kLeft = 56;
constexpr int kRight = 12;
constexpr int kTop = 10;
constexpr int kBottom = 26;
constexpr int kPlotWidth = kWidth - kLeft - kRight;
constexpr int kPlotHeight = kHeight - kTop - kBottom;
// More rows than anyone reads in a printed table; the rest are counted.
constexpr std::size_t kMostGapRows = 200;
// Gaps in the dates drawn each as its own band; past them a band stands
// for every gap that starts in its pixel column.
constexpr std::size_t kMostGapBands = 10000;
// Flagged days listed in the table: a file where most days are at fault
// would otherwise make a page nobody opens, held whole while it is made.
constexpr std::size_t kMostFlaggedRows = 1000;

constexpr const char* kStyle = R"(
body { font: 11pt/1.4 "DejaVu Sans", Arial, sans-serif; color: #1a1a1a; margin: 2em auto; max-width: 60em; padding: 0 1em; }
h1 { font-size: 1.6em; margin-bottom: 0.2em; }
h2 { font-size: 1.2em; margin-top: 1.6em; border-bottom: 1px solid #999; break-after: avoid; page-break-after: avoid; }
table { border-collapse: collapse; margin: 0.5em 0; }
th, td { border: 1px solid #bbb; padding: 0.15em 0.6em; text-align: left; vertical-align: top; }
th { background: #eee; }
td.n { text-align: right; font-variant-numeric: tabular-nums; }
section.series { break-inside: avoid; page-break-inside: avoid; }
svg { width: 100%; height: auto; display: block; }
.legend span { margin-right: 1.5em; white-space: nowrap; }
.key { display: inline-block; width: 0.8em; height: 0.8em; margin-right: 0.3em; vertical-align: middle; }
.none { color: #555; font-style: italic; }
tr { break-inside: avoid; page-break-inside: avoid; }
@page { size: A4; margin: 15mm; }
@media print { body { margin: 0; max-width: none; font-size: 10pt; } h2 { margin-top: 1em; } }
)";

std::string escaped(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default:
            // Input lines may hold bytes of any code page; keep the page valid UTF-8.
            out += static_cast<unsigned char>(c) < 0x80 ? c : '?';
        }
    }
    return out;
}

std::string number(double value, int decimals = 2)
{
    if (std::isnan(value))
        return "";
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

std::string coordinate(double value) { return number(value, 1); }

struct Figures {
    std::size_t count = 0;
    double low = std::numeric_limits<double>::infinity();
    double high = -std::numeric_limits<double>::infinity();
    double sum = 0;
    std::size_t missing = 0;
    std::size_t substituted = 0;
    std::size_t flagged = 0;
    std::size_t interpolated = 0;
    std::size_t fromReference = 0;
};

struct Gap {
    std::size_t before; // the day after the gap
    long long days;     // days missing
    double xBefore;     // the days either side
    double xAfter;
};

constexpr const char* kInterpolatedColour = "#1b9e77";
constexpr const char* kFromReferenceColour = "#7b3fb5";

// What one walk over the days finds, so the charts and tables need no
// day held: a long run's days are read back from its scratch folder.
struct Overview {
    bool ascending = true;
    double x0 = 0; // the first and last day's x
    double xLast = 0;
    std::vector<Gap> gaps;       // the charts' bands
    std::vector<Gap> listedGaps; // the first kMostGapRows
    std::size_t gapCount = 0;
    std::vector<Figures> figures;
    std::vector<double> low, high; // each series' values, substituted ones too
    std::size_t filledDays = 0;
    std::string flaggedRows; // the table's rows of listed days
    std::size_t flaggedListed = 0;
    std::size_t flaggedLeft = 0;
};

// The chart draws day d at x: its day number, or when the dates are out
// of order its place in the file.
double xOf(const Overview& o, std::size_t d, const RunProvenance::Day& day)
{
    return o.ascending ? static_cast<double>(RunProvenance::dayNumber(day)) : static_cast<double>(d);
}

// One band per pixel column that holds the start of a gap, so a file
// missing most of its days still draws a chart of bounded size.
std::vector<Gap> gapBandsOf(const RunProvenance& p, const Overview& o)
{
    const double x1 = std::max(o.xLast, o.x0 + 1);
    auto column = [&](double x) { return static_cast<long long>(kLeft + (x - o.x0) / (x1 - o.x0) * kPlotWidth); };
    std::vector<Gap> bands;
    long long lastColumn = 0;
    double previous = 0;
    for (std::size_t d = 0; d < p.dayCount(); ++d) {
        const double x = static_cast<double>(RunProvenance::dayNumber(p.day(d)));
        if (d > 0 && x - previous > 1) {
            const auto days = static_cast<long long>(x - previous - 1);
            const long long at = column(previous + 0.5);
            if (!bands.empty() && at == lastColumn) {
                bands.back().xAfter = x;
                bands.back().days += days;
            } else {
                bands.push_back({d, days, previous, x});
                lastColumn = at;
            }
        }
        previous = x;
    }
    return bands;
}

Overview overviewOf(const RunProvenance& p)
{
    Overview o;
    const std::size_t seriesCount = p.series().size();
    o.figures.resize(seriesCount);
    o.low.assign(seriesCount, std::numeric_limits<double>::infinity());
    o.high.assign(seriesCount, -std::numeric_limits<double>::infinity());
    // A row with missing values is listed with its text before the days.
    const std::size_t missingListed = std::min(p.missingRowCount(), kMostFlaggedRows);
    o.flaggedListed = missingListed;
    o.flaggedLeft = p.missingRowCount() - missingListed;
    double previous = 0;
    for (std::size_t d = 0; d < p.dayCount(); ++d) {
        const auto day = p.day(d);
        const double x = static_cast<double>(RunProvenance::dayNumber(day));
        if (d == 0)
            o.x0 = x;
        else if (x < previous)
            o.ascending = false;
        else if (o.ascending && x - previous > 1)
        {
            const Gap gap{d, static_cast<long long>(x - previous - 1), previous, x};
            if (o.gaps.size() < kMostGapBands)
                o.gaps.push_back(gap);
            if (o.listedGaps.size() < kMostGapRows)
                o.listedGaps.push_back(gap);
            ++o.gapCount;
        }
        previous = x;
        bool filled = false;
        for (std::size_t s = 0; s < seriesCount; ++s) {
            Figures& f = o.figures[s];
            const double v = p.value(s, d);
            const auto mark = p.mark(s, day, v);
            if (!std::isnan(v)) {
                o.low[s] = std::min(o.low[s], v);
                o.high[s] = std::max(o.high[s], v);
            }
            if ((day.flagged >> s) & 1u)
                ++f.flagged;
            if (mark == RunProvenance::Mark::Missing) {
                ++f.missing;
                continue;
            }
            if (mark == RunProvenance::Mark::Substituted) {
                ++f.substituted;
                continue;
            }
            if (mark == RunProvenance::Mark::Interpolated)
                ++f.interpolated;
            if (mark == RunProvenance::Mark::FromReference)
                ++f.fromReference;
            if (mark == RunProvenance::Mark::Interpolated || mark == RunProvenance::Mark::FromReference)
                filled = true;
            ++f.count;
            f.low = std::min(f.low, v);
            f.high = std::max(f.high, v);
            f.sum += v;
        }
        if (filled)
            ++o.filledDays;
        const std::string_view reason = p.reason(day);
        if (reason.empty() || reason == kReasonMissingValues)
            continue;
        if (o.flaggedListed == kMostFlaggedRows) {
            ++o.flaggedLeft;
            continue;
        }
        ++o.flaggedListed;
        o.flaggedRows += "<tr><td>" + RunProvenance::isoDate(day) + "</td><td class=\"n\">"
                         + std::to_string(day.inputLine) + "</td><td>" + escaped(reason) + "</td></tr>\n";
    }
    o.xLast = o.ascending ? previous : static_cast<double>(p.dayCount()) - 1;
    if (!o.ascending) {
        o.x0 = 0;
        o.gaps.clear();
        o.listedGaps.clear();
        o.gapCount = 0;
    } else if (o.gapCount > o.gaps.size()) {
        o.gaps = gapBandsOf(p, o);
    }
    return o;
}

// A series' chart while the days pass: the decimated line and the marks,
// each with its reason as the browser's tooltip.
class ChartDrawing {
public:
    ChartDrawing(const RunProvenance& p, std::size_t s, const Overview& o)
        : mP(p), mS(s), mLow(o.low[s]), mHigh(o.high[s])
    {
        if (!(mLow <= mHigh)) {
            mLow = 0;
            mHigh = 1;
        }
        if (mHigh - mLow < 1e-9) {
            mLow -= 1;
            mHigh += 1;
        }
        const double pad = (mHigh - mLow) * 0.05;
        mLow -= pad;
        mHigh += pad;
        mX0 = p.dayCount() == 0 ? 0 : o.x0;
        mX1 = p.dayCount() == 0 ? 1 : std::max(o.xLast, mX0 + 1);
        mDecimator.emplace(mX0, mX1, kPlotWidth);
    }

    double px(double v) const { return kLeft + (v - mX0) / (mX1 - mX0) * kPlotWidth; }
    double py(double v) const { return kTop + (mHigh - v) / (mHigh - mLow) * kPlotHeight; }

    void add(std::size_t d, const RunProvenance::Day& day, double x)
    {
        const double y = mP.value(mS, d);
        mDecimator->add(x, y);
        const auto m = mP.mark(mS, day, y);
        const bool flagged = (day.flagged >> mS) & 1u;
        if ((m == RunProvenance::Mark::Measured || m == RunProvenance::Mark::Estimated) && !flagged)
            return;
        const double cx = px(x);
        const std::string title =
            "<title>" + RunProvenance::isoDate(day) + ", input line " + std::to_string(day.inputLine);
        if (m == RunProvenance::Mark::Missing)
            mark(cx, 0, "<rect x=\"" + coordinate(cx - 1) + "\" y=\"" + std::to_string(kTop + kPlotHeight - 6)
                            + "\" width=\"2\" height=\"6\" fill=\"#777\">" + title + ": no value</title></rect>\n");
        if (m == RunProvenance::Mark::Substituted)
            mark(cx, 1, "<rect x=\"" + coordinate(cx - 2.5) + "\" y=\"" + coordinate(py(y) - 2.5)
                            + "\" width=\"5\" height=\"5\" fill=\"#e69500\">" + title
                            + ": substituted</title></rect>\n");
        if (m == RunProvenance::Mark::Interpolated || m == RunProvenance::Mark::FromReference) {
            const bool line = m == RunProvenance::Mark::Interpolated;
            mark(cx, line ? 3 : 4, "<rect x=\"" + coordinate(cx - 2) + "\" y=\"" + coordinate(py(y) - 2)
                                       + "\" width=\"4\" height=\"4\" fill=\""
                                       + (line ? kInterpolatedColour : kFromReferenceColour) + "\">" + title
                                       + (line ? ": interpolated" : ": from the reference") + "</title></rect>\n");
        }
        if (flagged) {
            const double cy = std::isnan(y) ? kTop + 4 : py(y);
            mark(cx, 2, "<circle cx=\"" + coordinate(cx) + "\" cy=\"" + coordinate(cy)
                            + "\" r=\"3.2\" fill=\"none\" stroke=\"#d00\" stroke-width=\"1.4\">" + title + ": "
                            + escaped(mP.reason(day)) + "</title></circle>\n");
        }
    }

    // The whole chart: gaps as grey bands, the axes, the line, the marks.
    std::string svg(const Overview& o, const std::vector<std::pair<double, std::string>>& ticks)
    {
        const auto& series = mP.series()[mS];
        std::string svg = "<svg viewBox=\"0 0 " + std::to_string(kWidth) + " " + std::to_string(kHeight)
                          + "\" xmlns=\"http://www.w3.org/2000/svg\" role=\"img\" aria-label=\""
                          + escaped(seriesTitle(series)) + "\">\n";
        svg += "<rect x=\"" + std::to_string(kLeft) + "\" y=\"" + std::to_string(kTop) + "\" width=\""
               + std::to_string(kPlotWidth) + "\" height=\"" + std::to_string(kPlotHeight)
               + "\" fill=\"#fff\" stroke=\"#888\" stroke-width=\"0.5\"/>\n";
        for (const Gap& g : o.gaps) {
            // The band covers the missing days alone.
            const double a = px(g.xBefore + 0.5), b = px(g.xAfter - 0.5);
            svg += "<rect x=\"" + coordinate(a) + "\" y=\"" + std::to_string(kTop) + "\" width=\""
                   + coordinate(std::max(b - a, 1.0)) + "\" height=\"" + std::to_string(kPlotHeight)
                   + "\" fill=\"#ddd\"><title>" + std::to_string(g.days) + " days missing before "
                   + dateText(static_cast<long long>(g.xAfter)) + "</title></rect>\n";
        }
        // Axis ticks: five values, six dates.
        const int decimals =
            std::clamp(1 - static_cast<int>(std::floor(std::log10((mHigh - mLow) / 4))), 0, 3);
        for (int i = 0; i <= 4; ++i) {
            const double v = mLow + (mHigh - mLow) * i / 4;
            const double yy = py(v);
            svg += "<line x1=\"" + std::to_string(kLeft - 4) + "\" x2=\"" + std::to_string(kLeft + kPlotWidth)
                   + "\" y1=\"" + coordinate(yy) + "\" y2=\"" + coordinate(yy)
                   + "\" stroke=\"#eee\" stroke-width=\"0.5\"/>\n<text x=\"" + std::to_string(kLeft - 6)
                   + "\" y=\"" + coordinate(yy + 3) + "\" font-size=\"9\" text-anchor=\"end\">"
                   + number(v, decimals) + "</text>\n";
        }
        for (std::size_t i = 0; i < ticks.size(); ++i)
            svg += "<text x=\"" + coordinate(px(ticks[i].first)) + "\" y=\"" + std::to_string(kHeight - 8)
                   + "\" font-size=\"9\" text-anchor=\"" + (i == 0 ? "start" : i == 5 ? "end" : "middle") + "\">"
                   + ticks[i].second + "</text>\n";

        const auto points = mDecimator->finish();
        // The line stops where values or days are missing.
        std::string path;
        std::size_t nextGap = 0;
        const auto& gaps = o.gaps;
        for (std::size_t i = 0; i < points.size(); ++i) {
            bool gapPassed = false;
            while (nextGap < gaps.size() && gaps[nextGap].xAfter <= points[i].x) {
                gapPassed = gapPassed || (i > 0 && points[i - 1].x < gaps[nextGap].xAfter);
                ++nextGap;
            }
            path += (i == 0 || points[i].breakBefore || gapPassed) ? 'M' : 'L';
            path += coordinate(px(points[i].x)) + " " + coordinate(py(points[i].y)) + " ";
        }
        if (!path.empty())
            svg += "<path d=\"" + path + "\" fill=\"none\" stroke=\"" + (series.estimated ? "#1f6fb4" : "#333")
                   + "\" stroke-width=\"0.8\"/>\n";
        svg += mMarks;
        svg += "</svg>\n";
        return svg;
    }

private:
    // One mark of a kind per pixel column is all a reader can see, so a
    // chart holds a bounded number whatever the length of the run.
    void mark(double cx, int kind, const std::string& shape)
    {
        const auto column = static_cast<long long>(cx);
        if (!mSeen.insert(column * 8 + kind).second)
            return;
        mMarks += shape;
    }

    const RunProvenance& mP;
    std::size_t mS;
    double mLow, mHigh;
    double mX0 = 0, mX1 = 1;
    std::optional<MinMaxDecimator> mDecimator;
    std::unordered_set<long long> mSeen;
    std::string mMarks;
};

// Every series' chart in one more walk over the days.
std::vector<std::string> chartsOf(const RunProvenance& p, const Overview& o)
{
    std::vector<ChartDrawing> charts;
    charts.reserve(p.series().size());
    for (std::size_t s = 0; s < p.series().size(); ++s)
        charts.emplace_back(p, s, o);
    // Six dates under the axis: each the first day at or past its sixth of
    // the range.
    std::vector<std::pair<double, std::string>> ticks;
    const std::size_t n = p.dayCount();
    const double x0 = n == 0 ? 0 : o.x0;
    const double x1 = n == 0 ? 1 : std::max(o.xLast, x0 + 1);
    auto tickAt = [&](int i) { return x0 + (x1 - x0) * i / 5; };
    for (std::size_t d = 0; d < n; ++d) {
        const auto day = p.day(d);
        const double x = xOf(o, d, day);
        while (ticks.size() <= 5 && x >= tickAt(static_cast<int>(ticks.size())))
            ticks.emplace_back(x, RunProvenance::isoDate(day));
        for (auto& chart : charts)
            chart.add(d, day, x);
    }
    if (n > 0) {
        const auto last = p.day(n - 1);
        while (ticks.size() <= 5)
            ticks.emplace_back(xOf(o, n - 1, last), RunProvenance::isoDate(last));
    }
    std::vector<std::string> svgs;
    for (auto& chart : charts)
        svgs.push_back(chart.svg(o, ticks));
    return svgs;
}

void settingsTable(std::string& html, const ReportSettings& settings, const RunProvenance& p)
{
    html += "<h2>Settings</h2>\n<table>\n";
    auto row = [&](const char* name, const std::string& value) {
        html += "<tr><th>" + std::string(name) + "</th><td>" + escaped(value) + "</td></tr>\n";
    };
    row("Input file", settings.file);
    row("Columns", settings.layout);
    row("Rows before data", std::to_string(settings.rowsBefore));
    row("Task", settings.task);
    row("Site", settings.site.empty() ? std::string("not given") : settings.site);
    if (p.dayCount() > 0)
        row("Days", std::to_string(p.dayCount()) + ", " + RunProvenance::isoDate(p.day(0)) + " to "
                        + RunProvenance::isoDate(p.day(p.dayCount() - 1)));
    html += "</table>\n";
}

void flaggedTable(std::string& html, const RunProvenance& p, const Overview& o)
{
    html += "<h2 id=\"flagged\">Flagged days</h2>\n";
    if (!p.anyFlagged()) {
        html += "<p class=\"none\">The checkup lists no day.</p>\n";
        return;
    }
    html += "<table id=\"flagged-days\">\n<thead><tr><th>Date</th><th>Input line</th><th>Reason</th></tr></thead>\n<tbody>\n";
    for (std::size_t i = 0; i < p.missingRows().size() && i < kMostFlaggedRows; ++i) {
        const auto& row = p.missingRows()[i];
        html += "<tr><td></td><td class=\"n\">" + std::to_string(row.inputLine) + "</td><td>"
                + std::string(kReasonMissingValues) + ": <code>" + escaped(row.text) + "</code></td></tr>\n";
    }
    html += o.flaggedRows;
    html += "</tbody>\n</table>\n";
    if (o.flaggedLeft > 0)
        html += "<p>The first " + std::to_string(kMostFlaggedRows) + " flagged days are listed; " + std::to_string(o.flaggedLeft)
                + " more are left out. The flags file marks every one.</p>\n";
}

void gapsTable(std::string& html, const std::vector<Gap>& gaps, std::size_t count)
{
    html += "<h2>Gaps in the dates</h2>\n";
    if (gaps.empty()) {
        html += "<p class=\"none\">No day is missing between the first and the last.</p>\n";
        return;
    }
    html += "<table>\n<thead><tr><th>Last day before</th><th>First day after</th><th>Days missing</th></tr></thead>\n<tbody>\n";
    for (std::size_t i = 0; i < gaps.size() && i < kMostGapRows; ++i)
        html += "<tr><td>" + dateText(static_cast<long long>(gaps[i].xBefore)) + "</td><td>"
                + dateText(static_cast<long long>(gaps[i].xAfter)) + "</td><td class=\"n\">"
                + std::to_string(gaps[i].days) + "</td></tr>\n";
    html += "</tbody>\n</table>\n";
    if (count > kMostGapRows)
        html += "<p>And " + std::to_string(count - kMostGapRows) + " more gaps.</p>\n";
}

bool anyFilling(const RunProvenance& p) { return !p.gaps().empty() || !p.fits().empty(); }


// What the gap fill did, gap by gap, and the reference's correction month
// by month.
void fillTables(std::string& html, const RunProvenance& p, const Overview& o)
{
    html += "<h2 id=\"filled\">Filled gaps</h2>\n";
    if (p.gaps().empty()) {
        html += "<p class=\"none\">No value was missing.</p>\n";
    } else {
        const std::size_t filledDays = o.filledDays;
        html += "<p>" + std::to_string(filledDays) + (filledDays == 1 ? " day holds" : " days hold")
                + " a filled value.</p>\n";
        html += "<table id=\"filled-gaps\">\n<thead><tr><th>Variable</th><th>From</th><th>To</th><th>Days</th>"
                "<th>How filled</th></tr></thead>\n<tbody>\n";
        std::size_t listed = 0;
        for (const auto& gap : p.gaps()) {
            if (listed++ == kMostFlaggedRows)
                break;
            html += "<tr><td>" + escaped(std::string(variableInfo(gap.code).item)) + "</td><td>"
                    + dateText(gap.firstDay) + "</td><td>" + dateText(gap.firstDay + gap.days - 1)
                    + "</td><td class=\"n\">" + std::to_string(gap.days) + "</td><td>"
                    + (gap.how == 'I' ? "interpolated" : gap.how == 'R' ? "from the reference" : "not filled")
                    + "</td></tr>\n";
        }
        html += "</tbody>\n</table>\n";
        if (p.gaps().size() > kMostFlaggedRows)
            html += "<p>The first " + std::to_string(kMostFlaggedRows) + " gaps are listed; "
                    + std::to_string(p.gaps().size() - kMostFlaggedRows)
                    + " more are left out. The flags file marks every filled value.</p>\n";
    }
    if (p.fits().empty())
        return;
    html += "<h2 id=\"reference-fit\">The reference's correction</h2>\n<p>value = a + b &times; reference, "
            "fitted per variable and month on the days both measured; bias is the mean of value &minus; "
            "reference before the correction.</p>\n<table id=\"reference-fits\">\n<thead><tr><th>Variable</th>"
            "<th>Month</th><th>Days</th><th>a</th><th>b</th><th>R&sup2;</th><th>Bias</th><th>Used</th></tr>"
            "</thead>\n<tbody>\n";
    for (const auto& fit : p.fits()) {
        std::string used = fit.refused.empty() ? "yes" : "no: " + escaped(fit.refused);
        if (fit.months == 3)
            used += " (with the months either side)";
        else if (fit.months == 12)
            used += " (with the whole year)";
        html += "<tr><td>" + escaped(std::string(variableInfo(fit.code).item)) + "</td><td class=\"n\">"
                + std::to_string(fit.month) + "</td><td class=\"n\">" + std::to_string(fit.fit.days)
                + "</td><td class=\"n\">" + number(fit.fit.a, 3) + "</td><td class=\"n\">" + number(fit.fit.b, 3)
                + "</td><td class=\"n\">" + number(fit.fit.r2, 2) + "</td><td class=\"n\">"
                + number(fit.fit.bias, 2) + "</td><td>" + used + "</td></tr>\n";
    }
    html += "</tbody>\n</table>\n";
}

} // namespace

std::string qualityReportHtml(const RunProvenance& p, const ReportSettings& settings)
{
    // Out-of-order days are listed as flagged; the charts draw them in file
    // order, which needs the x values to ascend.
    const Overview o = overviewOf(p);
    const bool ascending = o.ascending;
    const auto charts = chartsOf(p, o);

    std::string html = "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>"
                       + std::string(kQualityReportTitle) + ": " + escaped(settings.file) + "</title>\n<style>"
                       + kStyle + "</style>\n</head>\n<body>\n<h1>" + kQualityReportTitle + "</h1>\n<p>"
                       + escaped(settings.file) + "</p>\n";
    settingsTable(html, settings, p);
    html += "<p class=\"legend\"><span><svg class=\"key\" viewBox=\"0 0 10 10\"><circle cx=\"5\" cy=\"5\" r=\"3.5\" "
            "fill=\"none\" stroke=\"#d00\" stroke-width=\"1.6\"/></svg>flagged by the checkup</span>"
            "<span><svg class=\"key\" viewBox=\"0 0 10 10\"><rect x=\"2\" y=\"2\" width=\"6\" height=\"6\" "
            "fill=\"#e69500\"/></svg>substituted</span>"
            "<span><svg class=\"key\" viewBox=\"0 0 10 10\"><rect x=\"4\" y=\"1\" width=\"2\" height=\"8\" "
            "fill=\"#777\"/></svg>no value</span>"
            "<span><svg class=\"key\" viewBox=\"0 0 10 10\"><rect width=\"10\" height=\"10\" fill=\"#ddd\"/></svg>"
            "days missing</span>";
    if (anyFilling(p))
        html += std::string("<span><svg class=\"key\" viewBox=\"0 0 10 10\"><rect x=\"2\" y=\"2\" width=\"6\" "
                            "height=\"6\" fill=\"")
                + kInterpolatedColour + "\"/></svg>interpolated</span><span><svg class=\"key\" viewBox=\"0 0 10 10\">"
                + "<rect x=\"2\" y=\"2\" width=\"6\" height=\"6\" fill=\"" + kFromReferenceColour
                + "\"/></svg>from the reference</span>";
    html += "</p>\n";
    if (!ascending)
        html += "<p>The dates are not in order: the charts show the days in the order of the file.</p>\n";

    for (std::size_t s = 0; s < p.series().size(); ++s) {
        const auto& series = p.series()[s];
        const Figures& f = o.figures[s];
        html += "<section class=\"series\">\n<h2>" + escaped(seriesTitle(series))
                + (series.unit.empty() ? std::string() : " (" + escaped(series.unit) + ")") + "</h2>\n";
        html += charts[s];
        const bool filling = anyFilling(p);
        html += std::string("<table>\n<tr><th>Values</th><th>Minimum</th><th>Maximum</th><th>Mean</th><th>No value</th>"
                "<th>Substituted</th>") + (filling ? "<th>Interpolated</th><th>From the reference</th>" : "")
                + "<th>Flagged</th></tr>\n<tr><td class=\"n\">"
                + std::to_string(f.count) + "</td><td class=\"n\">" + (f.count ? number(f.low) : "")
                + "</td><td class=\"n\">" + (f.count ? number(f.high) : "") + "</td><td class=\"n\">"
                + (f.count ? number(f.sum / static_cast<double>(f.count)) : "") + "</td><td class=\"n\">"
                + std::to_string(f.missing) + "</td><td class=\"n\">" + std::to_string(f.substituted)
                + (filling ? "</td><td class=\"n\">" + std::to_string(f.interpolated) + "</td><td class=\"n\">"
                                 + std::to_string(f.fromReference)
                           : std::string())
                + "</td><td class=\"n\">" + std::to_string(f.flagged) + "</td></tr>\n</table>\n</section>\n";
    }
    if (p.series().empty())
        html += "<p class=\"none\">No column holds a measured variable.</p>\n";
    gapsTable(html, o.listedGaps, o.gapCount);
    if (anyFilling(p))
        fillTables(html, p, o);
    flaggedTable(html, p, o);
    html += "<p class=\"none\">Minimum, maximum and mean are of the values read or estimated; substituted "
            "values are left out.</p>\n</body>\n</html>\n";
    return html;
}

std::string layoutDescription(const DataLayout& layout)
{
    std::string text = columnsText(layout);
    if (!layout.readsAsBlankSeparated())
        text += "; " + readingText(layout);
    return text;
}

void writeQualityReport(const std::filesystem::path& target, const RunProvenance& provenance,
                        const ReportSettings& settings)
{
    const std::string html = qualityReportHtml(provenance, settings);
    writeAtomically(target, html);
}

} // namespace pluvora
