#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace pluvora {

inline constexpr std::string_view kSummaryHeader =
    "file,status,exit code,first message,data rows in,rows out,flagged days,missing values,seconds";

// One input of a run over many files, as a row of summary.csv.
struct FileResult {
    std::string file;
    std::string status; // "ok", "failed", "skipped", "stopped"
    int exitCode = 0;
    std::string firstMessage;
    long rowsIn = 0;
    long rowsOut = 0;
    long flaggedDays = 0;
    long missingValues = 0;
    double seconds = 0;
    std::string format; // --format's name when given; a column of its own then
};

// The CSV text: the header, then one row per result, fields quoted where
// they hold a comma, a quote or a line break. A last "format" column is
// there when a result has a format.
std::string summaryText(const std::vector<FileResult>& results);

// The rows of a summary file; a row that does not parse is passed over.
// Throws Error when the file cannot be read.
std::vector<FileResult> readSummary(const std::filesystem::path& file);

// "summary-K.csv" of every shard in `folder`, joined in input order into
// `folder`/summary.csv. Returns how many shard files were joined; throws
// Error when there are none.
int mergeSummaries(const std::filesystem::path& folder);

} // namespace pluvora
