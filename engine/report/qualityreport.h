#pragma once

#include "engine/columns/datalayout.h"
#include "engine/provenance/runprovenance.h"

#include <filesystem>
#include <string>

namespace pluvora {

inline constexpr const char* kQualityReportTitle = "Weather data quality report";

// The run's settings as the report names them.
struct ReportSettings {
    std::string file;    // the input file's name
    std::string layout;  // the column layout in its --columns text form
    int rowsBefore = 0;
    std::string task;    // the task list's item text
    std::string site;    // site or latitude as given; empty when none
};

// One self-contained HTML page (inline SVG and CSS, no scripts, nothing
// fetched): per series a chart with its flagged, substituted and missing
// days and its figures, the gaps in the dates, the table of flagged days
// with their input lines, and the settings. Laid out to print on A4.
std::string qualityReportHtml(const RunProvenance& provenance, const ReportSettings& settings);

void writeQualityReport(const std::filesystem::path& target, const RunProvenance& provenance,
                        const ReportSettings& settings);

// The --columns text, with the reading settings when the rows are not
// read as blank-separated fields.
std::string layoutDescription(const DataLayout& layout);

} // namespace pluvora
