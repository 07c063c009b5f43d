#pragma once

#include "tempfolder.h"

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace pluvora::test {

struct BatchOutcome {
    int status = -1;
    std::string err;
};

inline std::string shellQuoted(const std::string& arg)
{
    std::string q = "'";
    for (char c : arg)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

inline std::string batchCommand(const std::vector<std::string>& args)
{
    std::string command = shellQuoted(PLUVORA_BATCH_EXE);
    for (const auto& a : args)
        command += " " + shellQuoted(a);
    return command;
}

// The batch program in a shell, its standard error kept in `logs`, with a
// time limit so a hang fails instead of stopping the suite; `prefix` goes
// before it (variables, a cd, a ulimit).
inline BatchOutcome runBatchProgram(const std::filesystem::path& logs, const std::vector<std::string>& args,
                                    const std::string& prefix = "")
{
    const std::filesystem::path err = logs / "stderr.txt";
    const std::string command = "(" + prefix + " timeout 120 " + batchCommand(args) + ") >/dev/null 2>"
                                + shellQuoted(err.string()) + " </dev/null";
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, readFile(err)};
}

// A station file of 2011 days firstDay to lastDay under two header rows,
// for the columns "Year,DOY,T-max:oC,T-min:oC,Precip:mm".
inline std::string stationDays(int firstDay, int lastDay)
{
    std::string text = "Lincoln\nYear DOY Tmax Tmin Rain\n";
    for (int day = firstDay; day <= lastDay; ++day)
        text += "2011 " + std::to_string(day) + " 5.5 -2.0 0.5\n";
    return text;
}

inline const char* const kStationColumns = "Year,DOY,T-max:oC,T-min:oC,Precip:mm";

// Task `number` over such files with `more` options; task 1 with a site.
inline std::vector<std::string> stationTask(int number, const std::vector<std::string>& more)
{
    std::vector<std::string> args{"--task", std::to_string(number), "--rows", "2", "--columns", kStationColumns};
    if (number == 1)
        args.insert(args.end(), {"--site", "40.5 N 96.25 W 350"});
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

} // namespace pluvora::test
