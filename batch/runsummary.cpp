#include "batch/runsummary.h"

#include "engine/error.h"
#include "engine/io/backupreplace.h"
#include "engine/io/textwriter.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <fstream>
#include <optional>
#include <regex>
#include <utility>

namespace pluvora {

namespace fs = std::filesystem;

namespace {

std::string csvField(std::string_view text)
{
    if (text.find_first_of(",\"\r\n") == std::string_view::npos)
        return std::string(text);
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

bool formulaLike(std::string_view text)
{
    return !text.empty() && (text[0] == '=' || text[0] == '+' || text[0] == '-' || text[0] == '@');
}

// The fields of one CSV record from `in`, which may span lines inside
// quotes; `open` tells a record the file ended inside a quote.
bool readRecord(std::istream& in, std::vector<std::string>& fields, bool& open)
{
    fields.clear();
    std::string field;
    bool quoted = false;
    bool any = false;
    for (int c; (c = in.get()) != EOF;) {
        any = true;
        if (quoted) {
            if (c == '"') {
                if (in.peek() == '"')
                    field += static_cast<char>(in.get());
                else
                    quoted = false;
            } else {
                field += static_cast<char>(c);
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            fields.push_back(std::move(field));
            field.clear();
        } else if (c == '\n') {
            break;
        } else if (c != '\r') {
            field += static_cast<char>(c);
        }
    }
    if (!any)
        return false;
    open = quoted;
    fields.push_back(std::move(field));
    return true;
}

template <typename T>
bool number(const std::string& text, T& value)
{
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

} // namespace

std::string summaryText(const std::vector<FileResult>& results)
{
    const bool formats =
        std::any_of(results.begin(), results.end(), [](const FileResult& r) { return !r.format.empty(); });
    std::string text(kSummaryHeader);
    text += formats ? ",format\n" : "\n";
    char seconds[32];
    for (const FileResult& r : results) {
        std::snprintf(seconds, sizeof seconds, "%.3f", r.seconds);
        text += csvField(formulaLike(r.file) ? "'" + r.file : r.file) + ',' + r.status + ',' + std::to_string(r.exitCode) + ','
              + csvField(r.firstMessage) + ',' + std::to_string(r.rowsIn) + ',' + std::to_string(r.rowsOut)
              + ',' + std::to_string(r.flaggedDays) + ',' + std::to_string(r.missingValues) + ',' + seconds
              + (formats ? ',' + r.format : std::string()) + '\n';
    }
    return text;
}

std::vector<FileResult> readSummary(const fs::path& file, bool whole)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        throw Error("Cannot open \"" + file.string() + "\"");
    std::vector<FileResult> results;
    std::vector<std::string> f;
    bool header = true;
    bool open = false;
    for (std::size_t record = 1; readRecord(in, f, open); ++record) {
        if (std::exchange(header, false)) {
            std::string line;
            for (std::size_t i = 0; i < f.size(); ++i)
                line += (i ? "," : "") + f[i];
            if (whole && line != kSummaryHeader && line != std::string(kSummaryHeader) + ",format")
                throw Error("\"" + file.string() + "\" does not begin with the summary's header");
            continue;
        }
        FileResult r;
        if (open || (f.size() != 9 && f.size() != 10) || !number(f[2], r.exitCode) || !number(f[4], r.rowsIn)
            || !number(f[5], r.rowsOut) || !number(f[6], r.flaggedDays) || !number(f[7], r.missingValues)
            || !number(f[8], r.seconds)) {
            if (whole)
                throw Error("Row " + std::to_string(record) + " of \"" + file.string() + "\" cannot be read"
                            + (open ? ": a quote is not closed" : ""));
            continue;
        }
        r.file = f[0].size() > 1 && f[0][0] == '\'' && formulaLike(std::string_view(f[0]).substr(1)) ? f[0].substr(1)
                                                                                                   : f[0];
        r.status = f[1];
        r.firstMessage = f[3];
        if (f.size() == 10)
            r.format = f[9];
        results.push_back(std::move(r));
    }
    return results;
}

fs::path shardMarkFile(const fs::path& folder, int index)
{
    return folder / (".summary-" + std::to_string(index) + ".shard");
}

void writeShardMark(const fs::path& folder, const ShardMark& mark)
{
    writeAtomically(shardMarkFile(folder, mark.index), std::to_string(mark.index) + " " + std::to_string(mark.count)
                                                          + " " + std::to_string(mark.inputs) + "\n");
}

MergedSummaries mergeSummaries(const fs::path& folder)
{
    static const std::regex shardName(R"(summary-(\d+)\.csv)");
    std::vector<std::pair<int, fs::path>> shards;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::smatch match;
        const std::string name = it->path().filename().string();
        if (!std::regex_match(name, match, shardName))
            continue;
        int index = 0;
        if (!number(match[1].str(), index))
            throw Error("\"" + name + "\" names no shard a run writes: remove it");
        shards.emplace_back(index, it->path());
    }
    if (ec)
        throw Error("Cannot read the folder \"" + folder.string() + "\"");
    if (shards.empty())
        throw Error("No summary-K.csv in \"" + folder.string() + "\"");
    std::sort(shards.begin(), shards.end());
    // Every shard says which part of which list it took: stale shards of
    // an earlier split, and missing ones, are found before anything is
    // written.
    std::optional<ShardMark> first;
    for (const auto& [index, file] : shards) {
        std::ifstream in(shardMarkFile(folder, index));
        ShardMark mark;
        if (!(in >> mark.index >> mark.count >> mark.inputs) || mark.index != index)
            throw Error("\"" + file.filename().string() + "\" does not say which shard of which run it is: "
                        "run that shard again");
        if (!first)
            first = mark;
        if (mark.count != first->count || mark.inputs != first->inputs)
            throw Error("\"" + file.filename().string() + "\" is shard " + std::to_string(index) + " of "
                        + std::to_string(mark.count) + " over " + std::to_string(mark.inputs) + " inputs, \""
                        + shards.front().second.filename().string() + "\" of " + std::to_string(first->count)
                        + " over " + std::to_string(first->inputs) + ": remove the stale ones");
    }
    for (int k = 0; k < first->count; ++k)
        if (k >= static_cast<int>(shards.size()) || shards[static_cast<std::size_t>(k)].first != k)
            throw Error("summary-" + std::to_string(k) + ".csv of the " + std::to_string(first->count)
                        + " shards is missing from \"" + folder.string() + "\"");
    if (static_cast<int>(shards.size()) > first->count)
        throw Error("\"" + shards[static_cast<std::size_t>(first->count)].second.filename().string()
                    + "\" is not one of the " + std::to_string(first->count) + " shards: remove it");
    // Shard K took inputs K, K+N, K+2N, ... of one list: taking the rows
    // in turns gives back that list's order.
    std::vector<std::vector<FileResult>> rows;
    std::size_t longest = 0;
    for (const auto& shard : shards) {
        rows.push_back(readSummary(shard.second, true));
        longest = std::max(longest, rows.back().size());
    }
    std::vector<FileResult> all;
    for (std::size_t i = 0; i < longest; ++i)
        for (const auto& shardRows : rows)
            if (i < shardRows.size())
                all.push_back(shardRows[i]);
    const std::string text = summaryText(all);
    writeFileWhole(folder / "summary.csv", [&text](const fs::path& part) {
        TextWriter sink(part);
        sink.write(text);
        sink.close();
    });
    return {first->count, all.size(), first->inputs};
}

} // namespace pluvora
