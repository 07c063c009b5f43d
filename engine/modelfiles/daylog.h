#pragma once

#include "engine/columns/columnspec.h"
#include "engine/record/record.h"

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

namespace pluvora {

// One converted day as the weather file gets it, in the units crop models
// read: MJ/m2/d, °C, %, mm, m/s, kPa. A variable without a column has no
// value.
struct ModelDay {
    int year = 0;
    int month = 0;
    int day = 0;
    int doy = 0;
    std::optional<double> solar;
    std::optional<double> tmax;
    std::optional<double> tmin;
    std::optional<double> precip;
    std::optional<double> relHum;
    std::optional<double> wind;
    std::optional<double> dewPt;
    std::optional<double> vapPr;
    std::optional<double> et;
};

// The days of a task-1 run kept in a working file, one line each, so that
// the model writers can read them twice while memory stays flat.
class DayLog {
public:
    explicit DayLog(std::filesystem::path file);
    ~DayLog();
    DayLog(const DayLog&) = delete;
    DayLog& operator=(const DayLog&) = delete;

    // Adds the record as converted from the units of `spec`.
    void add(const Record& record, const ColumnSpec& spec, int doy);
    // Forgets the days so far: the run starts again.
    void clear();
    // Ends the writing; the file can then be read.
    void close();

    const std::filesystem::path& file() const { return mFile; }

private:
    std::filesystem::path mFile;
    std::FILE* mOut = nullptr;
};

// Reads a DayLog's file from the start; throws Error when it cannot.
class DayLogReader {
public:
    explicit DayLogReader(const std::filesystem::path& file);
    ~DayLogReader();
    DayLogReader(const DayLogReader&) = delete;
    DayLogReader& operator=(const DayLogReader&) = delete;

    std::optional<ModelDay> next();

private:
    std::FILE* mIn = nullptr;
    std::string mLine;
};

} // namespace pluvora
