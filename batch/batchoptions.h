#pragma once

#include "batch/powerrequest.h"
#include "batch/usageerror.h"
#include "engine/columns/datalayout.h"
#include "engine/modelfiles/modelformat.h"
#include "engine/run/sitecoordinate.h"
#include "engine/table/fieldpick.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace pluvora {

// The command line of pluvora-batch: what the window's controls would hold.
struct BatchOptions {
    int task = 0; // 1 to 7, 0 when not given
    std::string rowsText;
    DataLayout layout;          // --columns and the reading settings
    std::optional<std::string> siteLine; // checked coordinate row
    std::string latitude;                // task page latitude, as typed
    std::string elevation;               // task 7 page elevation, as typed
    int region = 1;                      // task 4: 1 to 3, as the page's buttons
    int zone = 1;                        // task 5: 1 to 3
    int pan = 1;                         // task 6: 1 to 5
    std::string fetch = "1000";          // task 6 fetch box, as typed
    bool rearrange = true;               // "Convert and rearrange", tasks 4 to 7
    bool substitution = true;
    std::string sign = "-99";
    std::string substitute = "0.01";
    bool yes = false;
    bool help = false;
    std::string input;
    std::optional<std::string> output;
    std::optional<std::string> update; // task 2: the weather file to update
    std::optional<pluvora::FieldPick> pick; // fields of each data row kept, in order

    // A named template gives the rows and columns that --rows and
    // --columns do not.
    std::optional<std::string> templateName;
    std::optional<std::string> templatesFile; // instead of the user's templates

    // Many inputs, one output each in outDir.
    std::vector<std::string> inputs; // as given; `input` is the first
    std::optional<std::string> outDir;
    std::string glob = "*";          // which files of a folder input are taken
    int jobs = 0;                    // 0: one per core
    bool quiet = false;
    bool skipExisting = false;
    int shardIndex = 0;              // --shard K/N: every N-th input from K
    int shardCount = 1;
    bool shardGiven = false;
    std::optional<std::string> mergeSummaries; // a folder of summary-K.csv

    // --suggest FILE: print the layout suggested for FILE and stop.
    std::optional<std::string> suggestFile;
    // --columns auto: each input runs with the layout suggested from it;
    // --rows and --sign given as well win.
    bool columnsAuto = false;
    bool signGiven = false;
    // The input is in a format read as days (GHCN-Daily, CABO): the run
    // reads the rows of days its reader writes.
    bool readAsDays = false;
    // What the input's header says of the site, for the message when it
    // cannot give one.
    std::string headerSite;
    std::optional<std::string> flags;  // each day's provenance codes, CSV
    std::optional<std::string> report; // the quality report, HTML

    // Task 1: the crop model whose weather file is written.
    ModelFormat format = ModelFormat::Wth;
    bool formatGiven = false;
    int dssatDateDigits = 5; // --dssat-dates 5|7
    // Missing values filled instead of substituted.
    bool fillInterpolate = false;
    std::string fillLimits;                // --fill-interpolate LIST over the defaults
    std::optional<std::string> fillFrom;   // the reference file
    std::optional<std::string> fillLayout; // its layout as options; none: suggested
    double fillLeastR2 = 0.25;
    // --fill-from power: where NASA POWER is asked, and whether its cache is
    // passed over.
    std::string powerUrl = kPowerDefaultUrl;
    bool powerRefresh = false;
    bool fillFromPower() const { return fillFrom && *fillFrom == "power"; }
    bool fillAsked() const { return fillInterpolate || fillFrom.has_value(); }

    // --get-power: fetch a site's daily series instead of converting a file.
    std::optional<PowerRequest> power;
};

extern const char* const kBatchUsage;
inline constexpr const char* kSiteRequired =
    "--site is required for task 1, and for task 6 unless --no-rearrange is given";

std::variant<BatchOptions, UsageError> parseBatchOptions(const std::vector<std::string_view>& args);

// Tasks 1 and 6 end by asking for the site; a batch run cannot ask.
bool siteNeeded(const BatchOptions& options);
// The checked coordinate row of a --site text "LAT N|S LON W|E ELEV".
std::variant<std::string, UsageError> parseSite(std::string_view text);

// The options a reference's layout is given as (--fill-layout), each word
// apart as a shell splits them: blanks separate, quotes group; nothing
// when a quote is not closed.
std::optional<std::vector<std::string>> splitOptionWords(std::string_view text);

// The options that read the --fill-from file: its layout, given or
// suggested, in a checkup of that file.
std::variant<BatchOptions, UsageError> referenceOptions(const BatchOptions& options);

} // namespace pluvora
