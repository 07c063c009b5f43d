#include "batch/runsummary.h"

#include "engine/error.h"
#include "engine/io/backupreplace.h"
#include "engine/io/textwriter.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <fstream>
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

// The fields of one CSV record from `in`, which may span lines inside quotes.
bool readRecord(std::istream& in, std::vector<std::string>& fields)
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
        text += csvField(r.file) + ',' + r.status + ',' + std::to_string(r.exitCode) + ','
              + csvField(r.firstMessage) + ',' + std::to_string(r.rowsIn) + ',' + std::to_string(r.rowsOut)
              + ',' + std::to_string(r.flaggedDays) + ',' + std::to_string(r.missingValues) + ',' + seconds
              + (formats ? ',' + r.format : std::string()) + '\n';
    }
    return text;
}

std::vector<FileResult> readSummary(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        throw Error("Cannot open \"" + file.string() + "\"");
    std::vector<FileResult> results;
    std::vector<std::string> f;
    bool header = true;
    while (readRecord(in, f)) {
        if (std::exchange(header, false))
            continue;
        FileResult r;
        if ((f.size() != 9 && f.size() != 10) || !number(f[2], r.exitCode) || !number(f[4], r.rowsIn)
            || !number(f[5], r.rowsOut) || !number(f[6], r.flaggedDays) || !number(f[7], r.missingValues)
            || !number(f[8], r.seconds))
            continue;
        r.file = f[0];
        r.status = f[1];
        r.firstMessage = f[3];
        if (f.size() == 10)
            r.format = f[9];
        results.push_back(std::move(r));
    }
    return results;
}

int mergeSummaries(const fs::path& folder)
{
    static const std::regex shardName(R"(summary-(\d+)\.csv)");
    std::vector<std::pair<long, fs::path>> shards;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::smatch match;
        const std::string name = it->path().filename().string();
        if (std::regex_match(name, match, shardName))
            shards.emplace_back(std::stol(match[1]), it->path());
    }
    if (shards.empty())
        throw Error("No summary-K.csv in \"" + folder.string() + "\"");
    std::sort(shards.begin(), shards.end());
    // Shard K took inputs K, K+N, K+2N, ... of one list: taking the rows
    // in turns gives back that list's order.
    std::vector<std::vector<FileResult>> rows;
    std::size_t longest = 0;
    for (const auto& shard : shards) {
        rows.push_back(readSummary(shard.second));
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
    return static_cast<int>(shards.size());
}

} // namespace pluvora
