#pragma once

#include <cstddef>
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
// they hold a comma, a quote or a line break. A file name that a
// spreadsheet would take for a formula (= + - @ first) gets a leading '.
// A last "format" column is there when a result has a format.
std::string summaryText(const std::vector<FileResult>& results);

// The rows of a summary file, a file name's leading ' taken off again. A
// row that does not parse is passed over, or with `whole` throws Error
// naming it, as does a file without the header. Throws Error when the file
// cannot be read.
std::vector<FileResult> readSummary(const std::filesystem::path& file, bool whole = false);

// Which part of the whole list a shard's summary holds, kept beside it as
// ".summary-K.shard" so that the shards can be checked when joined.
struct ShardMark {
    int index = 0;
    int count = 1;
    std::size_t inputs = 0; // of the whole list
};
std::filesystem::path shardMarkFile(const std::filesystem::path& folder, int index);
void writeShardMark(const std::filesystem::path& folder, const ShardMark& mark);

// What the shards' summaries were joined into.
struct MergedSummaries {
    int shards = 0;
    std::size_t rows = 0;
    std::size_t inputs = 0;
};

// "summary-K.csv" of every shard in `folder`, joined in input order into
// `folder`/summary.csv. The shards must be 0 to N-1 of one run over one
// list, each read whole; otherwise Error says which is wrong and nothing
// is written.
MergedSummaries mergeSummaries(const std::filesystem::path& folder);

} // namespace pluvora
