// Peak memory of pluvora-batch for each task over one long generated input,
// with --report and --flags, so a run that keeps every day shows; then the
// update and the checkup without them.
//
//   pluvora_memory_bench [RECORDS [PROGRAM]]   (default 2920000 records and
//                                               the pluvora-batch built here)

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Consecutive days from 1 January 1800 with every column tasks 1 to 7 read,
// at a mid latitude; every `suspiciousEvery`-th day (none when 0) has a
// T-max the checkup lists, which stops every task but the checkup.
void writeInput(const fs::path& file, long records, long suspiciousEvery)
{
    std::FILE* out = std::fopen(file.c_str(), "w");
    std::fputs("Station 42, generated\nYear DOY Solar Tmax Tmin RH Wind Pan Sun Rain\n", out);
    int year = 1800, doy = 1;
    for (long i = 0; i < records; ++i) {
        const int t = static_cast<int>(i % 30);
        const double tmax = (suspiciousEvery > 0 && i % suspiciousEvery == 0) ? 75.0 : 15.4 + t;
        std::fprintf(out, "%d %d %d.5 %.1f %d.25 %d 2.5 %d.2 %d.3 %s\n", year, doy, 5 + t % 20, tmax, t - 5, 40 + t,
                     1 + t % 9, t % 12, (i % 7 == 0) ? "12.5" : "0");
        const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
        if (++doy > (leap ? 366 : 365)) {
            doy = 1;
            ++year;
        }
    }
    std::fclose(out);
}

struct Outcome {
    long peakKiB = 0;
    int status = -1;
};

Outcome run(const std::vector<std::string>& args)
{
    std::vector<char*> argv;
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        // The program's own messages are not what is measured.
        std::freopen("/dev/null", "w", stdout);
        std::freopen("/dev/null", "w", stderr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    rusage usage{};
    ::wait4(child, &status, 0, &usage);
    return {usage.ru_maxrss, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

} // namespace

int main(int argc, char* argv[])
{
    const long records = argc > 1 ? std::atol(argv[1]) : 2920000;
    const std::string program = argc > 2 ? argv[2] : PLUVORA_BATCH;
    const fs::path folder = fs::temp_directory_path() / ("pluvora-memory-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const fs::path input = folder / "station.txt";
    const fs::path suspicious = folder / "suspicious.txt";
    const fs::path third = folder / "third.txt";
    writeInput(input, records, 0);
    writeInput(suspicious, records, 7);
    writeInput(third, records / 3, 0);

    const std::string columns = "Year,DOY,Solar:MJ/m2/d,T-max:oC,T-min:oC,RelHum:%,WndSpd:m/s,PanEvap:mm,SunHr:hr,Precip:mm";
    const std::string flags = (folder / "flags.csv").string();
    const std::string report = (folder / "report.html").string();
    const std::string weather = (folder / "site.wth").string();
    auto argsFor = [&](int task, const fs::path& in) {
        return std::vector<std::string>{program, "--task", std::to_string(task), "--rows", "2", "--columns", columns,
                                        "--site", "40 N 90 W 300", "--latitude", "40", "--elevation", "300",
                                        "--yes", "--flags", flags, "--report", report, in.string(),
                                        "-o", (folder / "out.txt").string()};
    };

    std::printf("Peak memory of pluvora-batch with --report and --flags, %ld records\n\n", records);
    std::printf("The checkup (task 3) reads an input where every 7th day is suspicious.\n\n");
    std::printf("| task | peak MiB | exit |\n| --- | ---: | ---: |\n");
    std::fflush(stdout);
    // Task 2 updates a file that holds the first third: two thirds are new.
    auto measure = [&](int task, std::vector<std::string> args) {
        if (task == 2) {
            auto first = argsFor(1, third);
            first.back() = weather;
            run(first);
            args.insert(args.end() - 2, {"--update", weather});
        }
        const Outcome o = run(args);
        std::printf("| %d | %.1f | %d |\n", task, static_cast<double>(o.peakKiB) / 1024.0, o.status);
        std::fflush(stdout);
    };
    for (int task = 1; task <= 7; ++task)
        measure(task, argsFor(task, task == 3 ? suspicious : input));

    // Without --report and --flags: what the update and the checkup's list
    // hold themselves.
    std::printf("\nThe same without --report and --flags:\n\n| task | peak MiB | exit |\n| --- | ---: | ---: |\n");
    std::fflush(stdout);
    for (int task : {2, 3}) {
        auto args = argsFor(task, task == 3 ? suspicious : input);
        const auto at = std::find(args.begin(), args.end(), "--flags");
        args.erase(at, at + 4);
        measure(task, args);
    }
    fs::remove_all(folder);
    return 0;
}
