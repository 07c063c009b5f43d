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

Figures figuresOf(const RunProvenance& p, std::size_t s)
{
    Figures f;
    for (std::size_t d = 0; d < p.days().size(); ++d) {
        const auto mark = p.mark(s, d);
        if (p.flagged(s, d))
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
        const double v = p.value(s, d);
        ++f.count;
        f.low = std::min(f.low, v);
        f.high = std::max(f.high, v);
        f.sum += v;
    }
    return f;
}

struct Gap {
    std::size_t before; // the day after the gap
    long long days;     // days missing
};

constexpr const char* kInterpolatedColour = "#1b9e77";
constexpr const char* kFromReferenceColour = "#7b3fb5";

std::vector<Gap> gapsOf(const std::vector<double>& x)
{
    std::vector<Gap> gaps;
    for (std::size_t d = 1; d < x.size(); ++d)
        if (x[d] - x[d - 1] > 1)
            gaps.push_back({d, static_cast<long long>(x[d] - x[d - 1] - 1)});
    return gaps;
}

// Chart of one series: the decimated line, gaps as grey bands, then the
// marks, each with its reason as the browser's tooltip.
std::string chartSvg(const RunProvenance& p, std::size_t s, const std::vector<double>& x,
                     const std::vector<Gap>& gaps)
{
    const auto& series = p.series()[s];
    std::vector<double> y(p.days().size());
    double low = std::numeric_limits<double>::infinity(), high = -low;
    for (std::size_t d = 0; d < y.size(); ++d) {
        y[d] = p.value(s, d);
        if (!std::isnan(y[d])) {
            low = std::min(low, y[d]);
            high = std::max(high, y[d]);
        }
    }
    if (!(low <= high)) {
        low = 0;
        high = 1;
    }
    if (high - low < 1e-9) {
        low -= 1;
        high += 1;
    }
    const double pad = (high - low) * 0.05;
    low -= pad;
    high += pad;
    const double x0 = x.empty() ? 0 : x.front();
    const double x1 = x.empty() ? 1 : std::max(x.back(), x0 + 1);
    auto px = [&](double v) { return kLeft + (v - x0) / (x1 - x0) * kPlotWidth; };
    auto py = [&](double v) { return kTop + (high - v) / (high - low) * kPlotHeight; };

    std::string svg = "<svg viewBox=\"0 0 " + std::to_string(kWidth) + " " + std::to_string(kHeight)
                      + "\" xmlns=\"http://www.w3.org/2000/svg\" role=\"img\" aria-label=\""
                      + escaped(seriesTitle(series)) + "\">\n";
    svg += "<rect x=\"" + std::to_string(kLeft) + "\" y=\"" + std::to_string(kTop) + "\" width=\""
           + std::to_string(kPlotWidth) + "\" height=\"" + std::to_string(kPlotHeight)
           + "\" fill=\"#fff\" stroke=\"#888\" stroke-width=\"0.5\"/>\n";
    for (const Gap& g : gaps) {
        // The band covers the missing days alone.
        const double a = px(x[g.before - 1] + 0.5), b = px(x[g.before] - 0.5);
        svg += "<rect x=\"" + coordinate(a) + "\" y=\"" + std::to_string(kTop) + "\" width=\""
               + coordinate(std::max(b - a, 1.0)) + "\" height=\"" + std::to_string(kPlotHeight)
               + "\" fill=\"#ddd\"><title>" + std::to_string(g.days) + " days missing before "
               + RunProvenance::isoDate(p.days()[g.before]) + "</title></rect>\n";
    }
    // Axis ticks: five values, six dates.
    const int decimals = std::clamp(1 - static_cast<int>(std::floor(std::log10((high - low) / 4))), 0, 3);
    for (int i = 0; i <= 4; ++i) {
        const double v = low + (high - low) * i / 4;
        const double yy = py(v);
        svg += "<line x1=\"" + std::to_string(kLeft - 4) + "\" x2=\"" + std::to_string(kLeft + kPlotWidth)
               + "\" y1=\"" + coordinate(yy) + "\" y2=\"" + coordinate(yy)
               + "\" stroke=\"#eee\" stroke-width=\"0.5\"/>\n<text x=\"" + std::to_string(kLeft - 6) + "\" y=\""
               + coordinate(yy + 3) + "\" font-size=\"9\" text-anchor=\"end\">" + number(v, decimals) + "</text>\n";
    }
    if (!x.empty())
        for (int i = 0; i <= 5; ++i) {
            const double v = x0 + (x1 - x0) * i / 5;
            const auto d = std::min(p.days().size() - 1,
                                    static_cast<std::size_t>(std::lower_bound(x.begin(), x.end(), v) - x.begin()));
            svg += "<text x=\"" + coordinate(px(x[d])) + "\" y=\"" + std::to_string(kHeight - 8)
                   + "\" font-size=\"9\" text-anchor=\"" + (i == 0 ? "start" : i == 5 ? "end" : "middle") + "\">"
                   + RunProvenance::isoDate(p.days()[d]) + "</text>\n";
        }

    const auto points = decimateMinMax(x, y, x0, x1, kPlotWidth);
    // The line stops where values or days are missing.
    std::string path;
    std::size_t nextGap = 0;
    for (std::size_t i = 0; i < points.size(); ++i) {
        bool gapPassed = false;
        while (nextGap < gaps.size() && x[gaps[nextGap].before] <= points[i].x) {
            gapPassed = gapPassed || (i > 0 && points[i - 1].x < x[gaps[nextGap].before]);
            ++nextGap;
        }
        path += (i == 0 || points[i].breakBefore || gapPassed) ? 'M' : 'L';
        path += coordinate(px(points[i].x)) + " " + coordinate(py(points[i].y)) + " ";
    }
    if (!path.empty())
        svg += "<path d=\"" + path + "\" fill=\"none\" stroke=\"" + (series.estimated ? "#1f6fb4" : "#333")
               + "\" stroke-width=\"0.8\"/>\n";

    // One mark of a kind per pixel column is all a reader can see.
    std::unordered_set<long long> seen;
    auto mark = [&](std::size_t d, int kind, const std::string& shape) {
        const auto column = static_cast<long long>(px(x[d]));
        if (!seen.insert(column * 8 + kind).second)
            return;
        svg += shape;
    };
    for (std::size_t d = 0; d < y.size(); ++d) {
        const auto m = p.mark(s, d);
        const double cx = px(x[d]);
        if ((m == RunProvenance::Mark::Measured || m == RunProvenance::Mark::Estimated) && !p.flagged(s, d))
            continue;
        const std::string title = "<title>" + RunProvenance::isoDate(p.days()[d]) + ", input line "
                                  + std::to_string(p.days()[d].inputLine);
        if (m == RunProvenance::Mark::Missing)
            mark(d, 0, "<rect x=\"" + coordinate(cx - 1) + "\" y=\"" + std::to_string(kTop + kPlotHeight - 6)
                           + "\" width=\"2\" height=\"6\" fill=\"#777\">" + title + ": no value</title></rect>\n");
        if (m == RunProvenance::Mark::Substituted)
            mark(d, 1, "<rect x=\"" + coordinate(cx - 2.5) + "\" y=\"" + coordinate(py(y[d]) - 2.5)
                           + "\" width=\"5\" height=\"5\" fill=\"#e69500\">" + title
                           + ": substituted</title></rect>\n");
        if (m == RunProvenance::Mark::Interpolated || m == RunProvenance::Mark::FromReference) {
            const bool line = m == RunProvenance::Mark::Interpolated;
            mark(d, line ? 3 : 4, "<rect x=\"" + coordinate(cx - 2) + "\" y=\"" + coordinate(py(y[d]) - 2)
                                      + "\" width=\"4\" height=\"4\" fill=\"" + (line ? kInterpolatedColour : kFromReferenceColour)
                                      + "\">" + title + (line ? ": interpolated" : ": from the reference")
                                      + "</title></rect>\n");
        }
        if (p.flagged(s, d)) {
            const double cy = std::isnan(y[d]) ? kTop + 4 : py(y[d]);
            mark(d, 2, "<circle cx=\"" + coordinate(cx) + "\" cy=\"" + coordinate(cy)
                           + "\" r=\"3.2\" fill=\"none\" stroke=\"#d00\" stroke-width=\"1.4\">" + title + ": "
                           + escaped(p.reason(p.days()[d])) + "</title></circle>\n");
        }
    }
    svg += "</svg>\n";
    return svg;
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
    if (!p.days().empty())
        row("Days", std::to_string(p.days().size()) + ", " + RunProvenance::isoDate(p.days().front()) + " to "
                        + RunProvenance::isoDate(p.days().back()));
    html += "</table>\n";
}

void flaggedTable(std::string& html, const RunProvenance& p)
{
    html += "<h2 id=\"flagged\">Flagged days</h2>\n";
    if (!p.anyFlagged()) {
        html += "<p class=\"none\">The checkup lists no day.</p>\n";
        return;
    }
    html += "<table id=\"flagged-days\">\n<thead><tr><th>Date</th><th>Input line</th><th>Reason</th></tr></thead>\n<tbody>\n";
    std::size_t listed = 0, left = 0;
    for (const auto& row : p.missingRows()) {
        if (listed == kMostFlaggedRows) {
            ++left;
            continue;
        }
        ++listed;
        html += "<tr><td></td><td class=\"n\">" + std::to_string(row.inputLine) + "</td><td>"
                + std::string(kReasonMissingValues) + ": <code>" + escaped(row.text) + "</code></td></tr>\n";
    }
    // A row with missing values is listed above with its text.
    for (const auto& day : p.days()) {
        const std::string_view reason = p.reason(day);
        if (reason.empty() || reason == kReasonMissingValues)
            continue;
        if (listed == kMostFlaggedRows) {
            ++left;
            continue;
        }
        ++listed;
        html += "<tr><td>" + RunProvenance::isoDate(day) + "</td><td class=\"n\">" + std::to_string(day.inputLine)
                + "</td><td>" + escaped(reason) + "</td></tr>\n";
    }
    html += "</tbody>\n</table>\n";
    if (left > 0)
        html += "<p>The first " + std::to_string(kMostFlaggedRows) + " flagged days are listed; " + std::to_string(left)
                + " more are left out. The flags file marks every one.</p>\n";
}

void gapsTable(std::string& html, const RunProvenance& p, const std::vector<Gap>& gaps)
{
    html += "<h2>Gaps in the dates</h2>\n";
    if (gaps.empty()) {
        html += "<p class=\"none\">No day is missing between the first and the last.</p>\n";
        return;
    }
    html += "<table>\n<thead><tr><th>Last day before</th><th>First day after</th><th>Days missing</th></tr></thead>\n<tbody>\n";
    for (std::size_t i = 0; i < gaps.size() && i < kMostGapRows; ++i)
        html += "<tr><td>" + RunProvenance::isoDate(p.days()[gaps[i].before - 1]) + "</td><td>"
                + RunProvenance::isoDate(p.days()[gaps[i].before]) + "</td><td class=\"n\">"
                + std::to_string(gaps[i].days) + "</td></tr>\n";
    html += "</tbody>\n</table>\n";
    if (gaps.size() > kMostGapRows)
        html += "<p>And " + std::to_string(gaps.size() - kMostGapRows) + " more gaps.</p>\n";
}

bool anyFilling(const RunProvenance& p) { return !p.gaps().empty() || !p.fits().empty(); }


// What the gap fill did, gap by gap, and the reference's correction month
// by month.
void fillTables(std::string& html, const RunProvenance& p)
{
    html += "<h2 id=\"filled\">Filled gaps</h2>\n";
    if (p.gaps().empty()) {
        html += "<p class=\"none\">No value was missing.</p>\n";
    } else {
        std::size_t filledDays = 0;
        for (std::size_t d = 0; d < p.days().size(); ++d)
            for (std::size_t s = 0; s < p.series().size(); ++s) {
                const auto m = p.mark(s, d);
                if (m == RunProvenance::Mark::Interpolated || m == RunProvenance::Mark::FromReference) {
                    ++filledDays;
                    break;
                }
            }
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
    std::vector<double> x;
    x.reserve(p.days().size());
    for (const auto& day : p.days())
        x.push_back(static_cast<double>(RunProvenance::dayNumber(day)));
    // Out-of-order days are listed as flagged; the charts draw them in file
    // order, which needs the x values to ascend.
    bool ascending = std::is_sorted(x.begin(), x.end());
    if (!ascending)
        for (std::size_t d = 0; d < x.size(); ++d)
            x[d] = static_cast<double>(d);
    const auto gaps = ascending ? gapsOf(x) : std::vector<Gap>{};

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
        const Figures f = figuresOf(p, s);
        html += "<section class=\"series\">\n<h2>" + escaped(seriesTitle(series))
                + (series.unit.empty() ? std::string() : " (" + escaped(series.unit) + ")") + "</h2>\n";
        html += chartSvg(p, s, x, gaps);
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
    gapsTable(html, p, gaps);
    if (anyFilling(p))
        fillTables(html, p);
    flaggedTable(html, p);
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
