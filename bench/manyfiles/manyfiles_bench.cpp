// Many station files through pluvora-batch's folder mode: the cost per file
// beyond the conversion itself, the gain of a second job, and the peak
// memory of one job as the number of files grows.
//
//   pluvora_manyfiles_bench [FILES [DAYS]]     (default 1000 files of 3650 days)

#include "batch/batchoptions.h"
#include "batch/batchrun.h"
#include "batch/manyfiles.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <variant>
#include <vector>

#include <sys/resource.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace pluvora;

namespace {

using Clock = std::chrono::steady_clock;

// A station file: one header row, then year, month, day, T-max, T-min and
// precipitation, with values that vary from day to day.
void writeStation(const fs::path& file, int days, unsigned seed)
{
    std::FILE* out = std::fopen(file.c_str(), "w");
    std::fputs("year month day tmax tmin prcp\n", out);
    int year = 1990, month = 1, day = 1;
    static const int kLength[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    for (int i = 0; i < days; ++i) {
        seed = seed * 1103515245u + 12345u;
        const double tmax = 15 + 12 * ((seed >> 8) % 1000) / 1000.0;
        const double tmin = tmax - 5 - ((seed >> 4) % 80) / 10.0;
        const double prcp = (seed >> 16) % 4 == 0 ? ((seed >> 3) % 300) / 10.0 : 0.0;
        std::fprintf(out, "%d %d %d %.1f %.1f %.1f\n", year, month, day, tmax, tmin, prcp);
        const bool leap = year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
        if (++day > kLength[month - 1] + (month == 2 && leap ? 1 : 0)) {
            day = 1;
            if (++month > 12) {
                month = 1;
                ++year;
            }
        }
    }
    std::fclose(out);
}

BatchOptions optionsFor(std::vector<std::string> args)
{
    std::vector<std::string> all{"--task", "1", "--rows", "1", "--columns",
                                 "Year,Month,Day,T-max:oC,T-min:oC,Precip:mm", "--site", "40.5 N 96.25 W 350"};
    all.insert(all.end(), args.begin(), args.end());
    const std::vector<std::string_view> views(all.begin(), all.end());
    auto parsed = parseBatchOptions(views);
    if (!std::holds_alternative<BatchOptions>(parsed)) {
        std::fprintf(stderr, "bad options: %s\n", std::get<UsageError>(parsed).message.c_str());
        std::exit(2);
    }
    return std::get<BatchOptions>(parsed);
}

double seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

// CPU time of this process and its ended jobs: on a shared machine the
// wall clock measures the neighbours too.
double cpuSeconds()
{
    double total = 0;
    for (const int who : {RUSAGE_SELF, RUSAGE_CHILDREN}) {
        rusage usage{};
        ::getrusage(who, &usage);
        total += static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
               + static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    }
    return total;
}

long childrenPeakKiB()
{
    rusage usage{};
    ::getrusage(RUSAGE_CHILDREN, &usage);
    return usage.ru_maxrss;
}

struct Timing {
    double wall = 0;
    double cpu = 0;
};

Timing folderRun(const fs::path& in, const fs::path& out, int jobs)
{
    const BatchOptions options = optionsFor({in.string(), "--out-dir", out.string(), "--jobs", std::to_string(jobs),
                                             "--quiet"});
    const auto start = Clock::now();
    const double cpu = cpuSeconds();
    if (runManyFiles(options) != 0)
        std::fprintf(stderr, "the folder run reported failures\n");
    return {seconds(start), cpuSeconds() - cpu};
}

} // namespace

int main(int argc, char* argv[])
{
    const int files = argc > 1 ? std::atoi(argv[1]) : 1000;
    const int days = argc > 2 ? std::atoi(argv[2]) : 3650;
    const int few = std::max(1, files / 10);
    char pattern[] = "/tmp/pluvora-manyfiles-bench-XXXXXX";
    const fs::path root = ::mkdtemp(pattern);
    const fs::path in = root / "in";
    const fs::path inFew = root / "few";
    fs::create_directories(in);
    fs::create_directories(inFew);
    for (int i = 0; i < files; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "station%05d.txt", i);
        writeStation(in / name, days, static_cast<unsigned>(i));
        if (i < few)
            fs::copy_file(in / name, inFew / name);
    }
    std::printf("%d station files of %d days\n", files, days);

    // Memory first: a job is a fork of this process, so it must not have
    // grown by running conversions itself.
    folderRun(inFew, root / "out-few", 1);
    const long peakFew = childrenPeakKiB();
    const Timing jobs1 = folderRun(in, root / "out-1", 1);
    const long peakAll = childrenPeakKiB();
    const Timing jobs2 = folderRun(in, root / "out-2", 2);

    // The conversion alone: the same runs one after another in this
    // process, scratch folder and safe write included.
    const auto start = Clock::now();
    const double cpuBefore = cpuSeconds();
    for (const auto& entry : fs::directory_iterator(in)) {
        BatchOptions one = optionsFor({entry.path().string(), "-o",
                                       (root / "out-direct" / entry.path().filename()).string()});
        fs::create_directories(root / "out-direct");
        if (runBatchFile(one) != 0)
            std::fprintf(stderr, "conversion failed: %s\n", entry.path().c_str());
    }
    const Timing direct{seconds(start), cpuSeconds() - cpuBefore};

    const double n = files;
    std::printf("                    wall s   CPU s   CPU ms per file\n");
    std::printf("conversion alone: %8.3f %7.3f %8.2f\n", direct.wall, direct.cpu, 1000 * direct.cpu / n);
    std::printf("--jobs 1:         %8.3f %7.3f %8.2f\n", jobs1.wall, jobs1.cpu, 1000 * jobs1.cpu / n);
    std::printf("--jobs 2:         %8.3f %7.3f %8.2f\n", jobs2.wall, jobs2.cpu, 1000 * jobs2.cpu / n);
    std::printf("overhead per file beyond the conversion: %.2f ms wall, %.2f ms CPU\n",
                1000 * (jobs1.wall - direct.wall) / n, 1000 * (jobs1.cpu - direct.cpu) / n);
    std::printf("--jobs 2 against --jobs 1: %.2f times faster (wall)\n", jobs1.wall / jobs2.wall);
    std::printf("peak memory of a job: %ld KiB after %d files, %ld KiB after %d files\n", peakFew, few, peakAll,
                files);
    double load[1] = {0};
    ::getloadavg(load, 1);
    std::printf("CPU cores: %ld, load average while measured: %.1f\n", ::sysconf(_SC_NPROCESSORS_ONLN), load[0]);
    fs::remove_all(root);
    return 0;
}
