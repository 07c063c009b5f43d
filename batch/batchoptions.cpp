#include "batch/batchoptions.h"

#include "batch/outputclash.h"
#include "batch/templatechoice.h"
#include "engine/error.h"
#include "engine/fill/gapfill.h"
#include "engine/io/numbertext.h"

#include <filesystem>
#include <sstream>
#include <system_error>
#include <utility>

namespace pluvora {

const char* const kBatchUsage =
    "usage: pluvora-batch --task N --rows N --columns LIST [--site \"LAT N|S LON W|E ELEV\"]\n"
    "                     [--latitude TEXT] [--elevation TEXT] [--region 1|2|3]\n"
    "                     [--zone 1|2|3] [--pan 1..5] [--fetch TEXT] [--no-rearrange]\n"
    "                     [--no-substitution] [--sign N] [--substitute TEXT] [--yes]\n"
    "                     [--update FILE] [--fields blanks|comma|semicolon|tab|fixed]\n"
    "                     [--widths N,N,...] [--decimal-comma] [--trace TEXT] [--pick LIST]\n"
    "                     [--missing LIST]\n"
    "                     [--flags FILE.csv] [--report FILE.html]\n"
    "                     [--format wth|dssat|apsim|pcse-csv|cabo|aquacrop|stics]\n"
    "                     [--dssat-dates 5|7]\n"
    "                     [--fill-interpolate [LIST]] [--fill-from FILE]\n"
    "                     [--fill-layout \"OPTIONS\"] [--fill-min-r2 X]\n"
    "                     INPUT [-o OUTPUT]\n"
    "       pluvora-batch [options] INPUT... --out-dir DIR [--glob PATTERN] [--jobs N]\n"
    "                     [--skip-existing] [--quiet] [--shard K/N]\n"
    "       pluvora-batch --merge-summaries DIR\n"
    "       pluvora-batch --suggest FILE\n"
    "       pluvora-batch --get-power \"LAT,LON\" --from YYYY-MM-DD --to YYYY-MM-DD [-o FILE]\n"
    "                     [--parameters LIST] [--time-standard lst|utc]\n"
    "                     [--power-url URL] [--refresh]\n"
    "  --template NAME  rows and columns of the window's template NAME; --rows and\n"
    "             --columns given as well take the place of the template's own\n"
    "  --templates FILE  look NAME up in FILE (a template settings file) instead of\n"
    "             the user's templates\n"
    "  --columns  columns 1 to 12 in order, comma-separated, each a variable name\n"
    "             with ':' and a unit for measured variables, e.g.\n"
    "             \"Year,Month,Day,T-max:oF,T-min:oF,Precip:inch\"; an empty item\n"
    "             leaves its column unselected; \"auto\": the layout suggested from\n"
    "             each input's header and values (told on standard error first);\n"
    "             a date in one column is Date with\n"
    "             its format, one of YYYY-MM-DD, YYYYMMDD, YYYYDDD, YYYY/MM/DD,\n"
    "             DD/MM/YYYY, MM/DD/YYYY, DD.MM.YYYY, DD-MM-YYYY (a time after\n"
    "             it is ignored), e.g. \"Date:YYYY-MM-DD,T-max:oC,T-min:oC\"\n"
    "             Names and units match without regard to case. Humidity may be\n"
    "             given as DewPt (oC, oF, 0.1 oC) or VapPr (kPa, hPa, Pa) instead of\n"
    "             RelHum, with T-max and T-min columns, e.g.\n"
    "             \"Year,DOY,T-max:0.1 oC,T-min:0.1 oC,VapPr:hPa\"\n"
    "  --fields   how fields are separated: blanks (default; runs of blanks and\n"
    "             tabs), comma, semicolon, tab (double quotes respected, an\n"
    "             empty field is a missing value), or fixed (with --widths)\n"
    "  --widths   for --fields fixed: the position where each field ends,\n"
    "             e.g. --widths 5,11,17 for fields 1-5, 6-11 and 12-17\n"
    "  --decimal-comma  numbers are written 10,5 (not with --fields comma)\n"
    "             e.g. --fields semicolon --decimal-comma\n"
    "  --trace TEXT  a Precip field holding exactly TEXT is a trace and reads as\n"
    "             0, with a notice of how many, e.g. --trace -1 for KNMI files;\n"
    "             a template keeps its own\n"
    "  --missing LIST  a field holding exactly one of these comma-separated\n"
    "             texts is a missing value, as an empty delimited field is:\n"
    "             replaced by the substitute, or the run stops with the rows\n"
    "             listed (--no-substitution); texts and numbers compare as\n"
    "             written, e.g. --missing \"NA,M,null,-,***,-99.9\"; a template\n"
    "             keeps its own\n"
    "  --pick     keep only these fields of each data row, in this order, before\n"
    "             anything else; fields are counted from 1 as cut and awk count\n"
    "             them: each run of non-blanks is one field, letters included, or\n"
    "             with --fields the fields it sets, e.g.\n"
    "             --pick 1-5,18,22 makes fields 1 to 5, 18 and 22 columns 1 to 7\n"
    "  --         every argument after it is an INPUT, also one that begins with -\n"
    "  --suggest  print the options that describe FILE as its header and values\n"
    "             suggest, then the reason for each, one line each; a file in a crop\n"
    "             model's or a service's own format (DSSAT, APSIM, CABO, NASA POWER,\n"
    "             GHCN-Daily, GSOD, EPIC, SWAT) is read by that format's rules, named\n"
    "             on the first reason line\n"
    "  --site     site coordinates for tasks 1 and 6 (west positive, south negative);\n"
    "             with --columns auto, a file whose format's header gives the site\n"
    "             (DSSAT, CABO, NASA POWER, SWAT) needs none\n"
    "  --latitude latitude box of tasks 4, 5 and 7; --elevation: of task 7\n"
    "  --region   task 4: 1 Mid-West of USA, 2 continental, 3 coastal (default 1)\n"
    "  --zone     task 5: 1 cold / temperate, 2 dry tropical, 3 humid tropical\n"
    "             (default 1)\n"
    "  --pan      task 6: 1 Class-A green fetch, 2 Class-A dry fetch, 3 Colorado\n"
    "             green fetch, 4 Colorado dry fetch, 5 unknown (default 1)\n"
    "  --fetch    task 6 fetch in metres, as typed (default 1000)\n"
    "  --no-rearrange  tasks 4 to 7: append the estimate as a last column instead\n"
    "             of converting to the weather-file layout\n"
    "  --yes      answer Yes to every question (default No)\n"
    "  -o         write the result to OUTPUT instead of standard output\n"
    "  --update   task 2: append the new days to the weather file FILE, keeping\n"
    "             its previous content as FILE.old; when FILE is not updated the\n"
    "             result goes to standard output or OUTPUT as for other tasks\n"
    "  --out-dir  convert every INPUT (a folder: its files, sorted by name) to\n"
    "             DIR/NAME.wth, each written whole or not at all; task 2 updates\n"
    "             DIR/NAME.wth; ends with DIR/summary.csv (a file name that begins\n"
    "             with = + - or @ there gets a leading ', so no spreadsheet takes\n"
    "             it for a formula)\n"
    "  --glob     take only the folder files whose name matches PATTERN\n"
    "  --jobs     files converted at once (default: one per core)\n"
    "  --skip-existing  leave out inputs whose output is already in DIR (task 2:\n"
    "             whose days DIR/NAME.wth has already)\n"
    "  --quiet    no progress\n"
    "  --shard    take every N-th input from the K-th (0 to N-1) and write\n"
    "             DIR/summary-K.csv, for job arrays\n"
    "  --merge-summaries  join DIR/summary-*.csv into DIR/summary.csv\n"
    "  --format   task 1: the weather file written: wth (default), dssat (.WTH),\n"
    "             apsim (.met), pcse-csv (.csv), cabo (NAME.yyy, one file per\n"
    "             year, beside OUTPUT), aquacrop (NAME.Tnx, .ETo, .PLU and the\n"
    "             .CLI naming them) or stics (climat.txt lines); a day the\n"
    "             model's reader would refuse stops the run before anything is\n"
    "             written\n"
    "  --dssat-dates  5 for YYDDD dates (default, every DSSAT version) or 7 for\n"
    "             YYYYDDD (DSSAT 4.7.5 and later)\n"
    "  --flags    write each day's date and, per variable, M measured,\n"
    "             S substituted, E estimated, I interpolated, R from the\n"
    "             reference or X no value, with F appended\n"
    "             where the checkup lists the day, also when the run stops\n"
    "  --fill-interpolate  fill short gaps with a straight line between the\n"
    "             measured days either side, instead of substituting; LIST sets the\n"
    "             longest gap in days per variable over the defaults T-max=3,\n"
    "             T-min=3, RelHum=2, WndSpd=2, Solar=2 (others 0), e.g.\n"
    "             --fill-interpolate T-max=5,Solar=1; rain is never interpolated\n"
    "  --fill-from FILE  fill missing days, rain included, from a reference\n"
    "             series (a neighbour station, a gridded product) corrected per\n"
    "             variable and calendar month: value = a + b * reference (rain,\n"
    "             solar, sunshine and pan evaporation: b * reference) fitted on the\n"
    "             days both measured, at least 30 (a month with fewer borrows its\n"
    "             neighbours); absent days are inserted as rows; a gap that\n"
    "             cannot be filled stops the run with the gaps listed\n"
    "             FILE power: NASA POWER's daily series for the --site over the\n"
    "             input's days, fetched (see --get-power; --power-url, --refresh)\n"
    "  --fill-layout \"OPTIONS\"  the reference's layout as the options that\n"
    "             describe an input (--rows, --columns, --fields, --widths,\n"
    "             --decimal-comma, --missing, --sign, --pick, --template), in one\n"
    "             argument; without it the layout is suggested from the reference\n"
    "  --fill-min-r2 X  a month whose correction explains less than X (0 to 1,\n"
    "             default 0.25) of the station's days is not used\n"
    "  --get-power  fetch the daily series of the site at LAT,LON (decimal\n"
    "             degrees, north and east positive) from NASA POWER's daily point\n"
    "             service for agriculture (community AG), from --from to --to, and\n"
    "             write the CSV reply as it came, header block included, to FILE\n"
    "             or standard output; a notice gives the attribution NASA POWER\n"
    "             asks for and the site. The data are free to use; cite NASA\n"
    "             POWER where you use them. Replies are kept in\n"
    "             $XDG_CACHE_HOME/pluvora/power (default ~/.cache/pluvora/power),\n"
    "             one file per request address, and the same request is answered\n"
    "             from there without the network\n"
    "  --parameters  POWER parameter names, at most 20 (default\n"
    "             T2M_MAX,T2M_MIN,PRECTOTCORR,ALLSKY_SFC_SW_DWN,RH2M,WS2M,T2MDEW)\n"
    "  --time-standard  lst: days in local solar time (default); utc: UTC days\n"
    "  --power-url  the service's address (default https://power.larc.nasa.gov)\n"
    "  --refresh  ask the service again instead of taking the cached reply\n"
    "  --report   write a quality report: charts, figures, gaps and the days\n"
    "             the checkup lists, as one HTML file\n"
    "exit status: 0 the result was written (task 2: the file was updated, or\n"
    "             it needed no update), 1 a stage stopped the run, 2 bad options,\n"
    "             3 task 2 had new days but did not append them (a gap answered No,\n"
    "             or days before the file's last day that it does not have)\n";

std::variant<std::string, UsageError> parseSite(std::string_view text)
{
    std::istringstream in{std::string(text)};
    std::string lat, ns, lon, we, elev, extra;
    if (!(in >> lat >> ns >> lon >> we >> elev) || (in >> extra) || (ns != "N" && ns != "S")
        || (we != "W" && we != "E"))
        return UsageError{"--site needs \"LAT N|S LON W|E ELEV\", e.g. \"40.5 N 96.25 W 350\""};
    auto line = siteCoordinateLine(lat, ns == "N" ? Hemisphere::North : Hemisphere::South, lon,
                                   we == "W" ? LongitudeSide::West : LongitudeSide::East, elev);
    if (auto* error = std::get_if<SiteCoordinateError>(&line))
        return UsageError{std::string(error->message), true};
    return std::get<std::string>(line);
}

bool siteNeeded(const BatchOptions& options)
{
    return options.task == 1 || (options.task == 6 && options.rearrange);
}

namespace {

// "K/N" with 0 <= K < N.
std::optional<std::pair<int, int>> parseShard(std::string_view text)
{
    const std::size_t slash = text.find('/');
    if (slash == std::string_view::npos)
        return std::nullopt;
    const auto index = parseInteger(text.substr(0, slash));
    const auto count = parseInteger(text.substr(slash + 1));
    if (!index || !count || *count < 1 || *index < 0 || *index >= *count)
        return std::nullopt;
    return std::pair{*index, *count};
}

// The template's rows, columns and reading settings where the command line
// gives none.
std::optional<UsageError> applyTemplate(BatchOptions& options, bool rowsGiven, bool columnsGiven,
                                        bool readingGiven)
{
    TemplateLookup lookup;
    try {
        lookup = lookUpTemplate(*options.templateName, options.templatesFile);
    } catch (const Error& error) {
        return UsageError{std::string("--template: ") + error.what()};
    }
    if (!lookup.found) {
        std::string message = "no template named \"" + *options.templateName + "\"";
        if (lookup.names.empty()) {
            message += "; there are no templates";
        } else {
            message += "; the templates are:";
            for (const auto& name : lookup.names)
                message += "\n  " + name;
        }
        return UsageError{message};
    }
    const DataTemplate& spec = *lookup.found;
    if (!rowsGiven)
        options.rowsText = std::to_string(spec.rowsBefore);
    // Each part the command line gives holds over the template's: the
    // columns, and how fields are separated. The template's reading
    // settings stay with given columns, which are read the same way.
    const DataLayout given = options.layout;
    options.layout = spec;
    options.layout.rowsBefore = given.rowsBefore;
    if (!given.traceCode.empty())
        options.layout.traceCode = given.traceCode;
    if (!given.missingTexts.empty())
        options.layout.missingTexts = given.missingTexts;
    if (columnsGiven) {
        options.layout.variables = given.variables;
        options.layout.units = given.units;
    }
    if (readingGiven) {
        options.layout.fields = given.fields;
        options.layout.fieldEnds = given.fieldEnds;
        options.layout.decimalComma = given.decimalComma;
    }
    return std::nullopt;
}

} // namespace

std::variant<BatchOptions, UsageError> parseBatchOptions(const std::vector<std::string_view>& args)
{
    BatchOptions options;
    if (asksForPower(args)) {
        for (std::string_view arg : args)
            options.help = options.help || arg == "--help" || arg == "-h";
        if (options.help)
            return options;
        auto power = parsePowerOptions(args);
        if (auto* error = std::get_if<UsageError>(&power))
            return *error;
        options.power = std::get<PowerRequest>(std::move(power));
        return options;
    }
    std::optional<std::string_view> site;
    bool columnsGiven = false;
    bool rowsGiven = false;
    bool readingGiven = false;
    bool optionsEnded = false; // after "--" every argument is an input
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (optionsEnded || arg == "--") {
            if (std::exchange(optionsEnded, true))
                options.inputs.emplace_back(arg);
            continue;
        }
        auto value = [&]() -> std::optional<std::string_view> {
            if (i + 1 >= args.size())
                return std::nullopt;
            return args[++i];
        };
        auto needs = [&](std::string_view what) {
            return UsageError{std::string(arg) + " needs " + std::string(what)};
        };

        if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--no-substitution") {
            options.substitution = false;
        } else if (arg == "--yes") {
            options.yes = true;
        } else if (arg == "--task") {
            const auto v = value();
            const auto task = v ? parseInteger(*v) : std::nullopt;
            if (!task || *task < 1 || *task > 7)
                return needs("a task number from 1 to 7");
            options.task = *task;
        } else if (arg == "--rows") {
            const auto v = value();
            const auto rows = v ? parseInteger(*v) : std::nullopt;
            if (!rows || *rows < 0)
                return needs("a number of rows, 0 or more");
            options.rowsText = std::string(*v);
            rowsGiven = true;
        } else if (arg == "--columns") {
            const auto v = value();
            if (!v)
                return needs("a column list");
            options.columnsAuto = *v == "auto";
            try {
                if (!options.columnsAuto)
                    parseColumnsText(*v, options.layout);
            } catch (const LayoutTextError& error) {
                std::string message = error.what();
                if (!error.offered.empty())
                    message += "; " + error.offered;
                return UsageError{message};
            }
            columnsGiven = true;
        } else if (arg == "--format") {
            const auto v = value();
            const auto format = v ? modelFormatNamed(*v) : std::nullopt;
            if (!format)
                return needs("one of wth, dssat, apsim, pcse-csv, cabo, aquacrop, stics");
            options.format = *format;
            options.formatGiven = true;
        } else if (arg == "--dssat-dates") {
            const auto v = value();
            if (!v || (*v != "5" && *v != "7"))
                return needs("5 or 7");
            options.dssatDateDigits = *v == "7" ? 7 : 5;
        } else if (arg == "--site") {
            site = value();
            if (!site)
                return needs("the site coordinates");
        } else if (arg == "--latitude" || arg == "--elevation") {
            const auto v = value();
            if (!v)
                return needs("a value");
            (arg == "--latitude" ? options.latitude : options.elevation) = std::string(*v);
        } else if (arg == "--region" || arg == "--zone" || arg == "--pan") {
            const int highest = arg == "--pan" ? 5 : 3;
            const auto v = value();
            const auto choice = v ? parseInteger(*v) : std::nullopt;
            if (!choice || *choice < 1 || *choice > highest)
                return needs("a choice from 1 to " + std::to_string(highest));
            (arg == "--region" ? options.region : arg == "--zone" ? options.zone : options.pan) = *choice;
        } else if (arg == "--fetch") {
            const auto v = value();
            if (!v)
                return needs("a value");
            options.fetch = std::string(*v);
        } else if (arg == "--fields") {
            readingGiven = true;
            const auto v = value();
            if (!v)
                return needs("blanks, comma, semicolon, tab or fixed");
            try {
                options.layout.fields = fieldSeparatorFromName(*v);
            } catch (const LayoutTextError&) {
                return needs("blanks, comma, semicolon, tab or fixed");
            }
        } else if (arg == "--widths") {
            readingGiven = true;
            const auto v = value();
            if (!v)
                return needs("the field ends, e.g. 5,11,17");
            try {
                options.layout.fieldEnds = parseFieldEnds(*v);
            } catch (const LayoutTextError& error) {
                return UsageError{"--widths: " + std::string(error.what())};
            }
        } else if (arg == "--decimal-comma") {
            readingGiven = true;
            options.layout.decimalComma = true;
        } else if (arg == "--trace") {
            const auto v = value();
            if (!v || v->empty() || v->find_first_of(" \t") != std::string_view::npos)
                return needs("the text of a trace, one word, e.g. -1 or T");
            options.layout.traceCode = std::string(*v);
        } else if (arg == "--missing") {
            const auto v = value();
            if (!v)
                return needs("texts separated by commas, e.g. NA,M,null,-99.9");
            try {
                options.layout.missingTexts = parseMissingTexts(*v);
            } catch (const LayoutTextError& error) {
                return UsageError{"--missing: " + std::string(error.what())};
            }
        } else if (arg == "--no-rearrange") {
            options.rearrange = false;
        } else if (arg == "--sign") {
            const auto v = value();
            if (!v || !parseInteger(*v))
                return needs("a whole number");
            options.sign = std::string(*v);
            options.signGiven = true;
        } else if (arg == "--substitute") {
            const auto v = value();
            if (!v)
                return needs("a text");
            options.substitute = std::string(*v);
        } else if (arg == "--pick") {
            const auto v = value();
            const auto pick = v ? parseFieldPick(*v) : std::nullopt;
            if (!pick)
                return needs("a list of field numbers and ranges, e.g. 1-5,18,22");
            options.pick = *pick;
        } else if (arg == "-o") {
            const auto v = value();
            if (!v || v->empty())
                return needs("a file name");
            options.output = std::string(*v);
        } else if (arg == "--update") {
            const auto v = value();
            if (!v || v->empty())
                return needs("a weather file");
            options.update = std::string(*v);
        } else if (arg == "--suggest") {
            const auto v = value();
            if (!v || v->empty())
                return needs("a file");
            options.suggestFile = std::string(*v);
        } else if (arg == "--template" || arg == "--templates" || arg == "--out-dir"
                   || arg == "--glob" || arg == "--merge-summaries") {
            const auto v = value();
            if (!v || v->empty())
                return needs(arg == "--template" ? "a template name"
                             : arg == "--glob"   ? "a pattern"
                             : arg == "--templates" ? "a file"
                                                    : "a folder");
            const std::string text(*v);
            if (arg == "--template")
                options.templateName = text;
            else if (arg == "--templates")
                options.templatesFile = text;
            else if (arg == "--out-dir")
                options.outDir = text;
            else if (arg == "--glob")
                options.glob = text;
            else
                options.mergeSummaries = text;
        } else if (arg == "--jobs") {
            const auto v = value();
            const auto jobs = v ? parseInteger(*v) : std::nullopt;
            if (!jobs || *jobs < 1)
                return needs("a number of jobs, 1 or more");
            options.jobs = *jobs;
        } else if (arg == "--shard") {
            const auto v = value();
            const auto shard = v ? parseShard(*v) : std::nullopt;
            if (!shard)
                return needs("K/N with 0 <= K < N, e.g. 0/4");
            options.shardIndex = shard->first;
            options.shardCount = shard->second;
            options.shardGiven = true;
        } else if (arg == "--quiet") {
            options.quiet = true;
        } else if (arg == "--skip-existing") {
            options.skipExisting = true;
        } else if (arg == "--fill-interpolate") {
            options.fillInterpolate = true;
            // The list is optional: a next argument that reads as one is it.
            if (i + 1 < args.size() && !args[i + 1].starts_with('-')
                && args[i + 1].find('=') != std::string_view::npos) {
                options.fillLimits = std::string(args[++i]);
                FillSettings check;
                if (auto error = setInterpolationLimits(check, options.fillLimits))
                    return UsageError{"--fill-interpolate: " + *error};
            }
        } else if (arg == "--fill-from" || arg == "--fill-layout") {
            const auto v = value();
            if (!v || v->empty())
                return needs(arg == "--fill-from" ? "a file" : "the reference's layout options");
            (arg == "--fill-from" ? options.fillFrom : options.fillLayout) = std::string(*v);
        } else if (arg == "--power-url") {
            const auto v = value();
            const auto url = v ? powerBaseUrl(*v) : std::nullopt;
            if (!url)
                return needs("an address beginning with http:// or https://");
            options.powerUrl = *url;
        } else if (arg == "--refresh") {
            options.powerRefresh = true;
        } else if (arg == "--fill-min-r2") {
            const auto v = value();
            const auto bound = v ? parseDecimal(*v) : std::nullopt;
            if (!bound || *bound < 0 || *bound > 1)
                return needs("a number from 0 to 1");
            options.fillLeastR2 = *bound;
        } else if (arg == "--flags" || arg == "--report") {
            const auto v = value();
            if (!v || v->empty())
                return needs("a file name");
            (arg == "--flags" ? options.flags : options.report) = std::string(*v);
        } else if (arg.size() > 1 && arg.front() == '-') {
            return UsageError{"unknown option " + std::string(arg)};
        } else {
            options.inputs.emplace_back(arg);
        }
    }
    if (options.help)
        return options;
    if (options.columnsAuto && options.pick)
        return UsageError{"--columns auto picks the fields it describes: leave out --pick"};
    if (options.suggestFile) {
        if (!options.inputs.empty() || options.outDir)
            return UsageError{"--suggest takes one file and no other input"};
        return options;
    }
    if (options.mergeSummaries) {
        if (!options.inputs.empty() || options.outDir)
            return UsageError{"--merge-summaries takes no inputs and no --out-dir"};
        return options;
    }
    if (options.inputs.empty())
        return UsageError{"no input file"};
    if (!options.outDir && options.inputs.size() > 1)
        return UsageError{"more than one input file"};
    options.input = options.inputs.front();
    if (options.outDir && options.output)
        return UsageError{"-o and --out-dir do not go together: each input gets its own output"};
    if (options.outDir && options.update)
        return UsageError{"--update does not go with --out-dir: task 2 updates DIR/NAME.wth"};
    if (options.outDir && (options.flags || options.report))
        return UsageError{"--flags and --report are for one input, not --out-dir"};
    if (!options.outDir && (options.jobs || options.skipExisting || options.shardGiven))
        return UsageError{"--jobs, --skip-existing and --shard need --out-dir"};
    if (options.templatesFile && !options.templateName)
        return UsageError{"--templates needs --template NAME"};
    if (options.templateName) {
        if (auto error = applyTemplate(options, rowsGiven, columnsGiven, readingGiven))
            return *error;
        columnsGiven = true;
    }
    if (!columnsGiven)
        return UsageError{"--columns is required"};
    if (options.layout.fields == FieldSeparator::Fixed && options.layout.fieldEnds.empty())
        return UsageError{"--fields fixed needs --widths"};
    if (options.layout.fields != FieldSeparator::Fixed && !options.layout.fieldEnds.empty())
        return UsageError{"--widths is only for --fields fixed"};
    if (options.layout.fields == FieldSeparator::Comma && options.layout.decimalComma)
        return UsageError{"--decimal-comma cannot be used with --fields comma"};
    // Task 2 ends by asking for the weather file to update.
    if (options.task == 2 && !options.update && !options.outDir)
        return UsageError{"--update is required for task 2"};
    if (options.task != 2 && options.update)
        return UsageError{"--update is only for task 2"};
    if (options.fillFrom && !options.fillFromPower())
        if (auto reference = referenceOptions(options); auto* error = std::get_if<UsageError>(&reference))
            return *error;
    if (options.fillFromPower() && !site)
        return UsageError{"--fill-from power fetches the series of the site: give --site"};
    if (options.fillLayout && !options.fillFrom)
        return UsageError{"--fill-layout describes the --fill-from file: give that too"};
    if (options.fillAsked() && !options.substitution)
        return UsageError{"--fill-interpolate and --fill-from fill values that carry the missing-value sign: "
                          "leave out --no-substitution"};
    if (auto clash = outputClash(options))
        return UsageError{*clash};
    if (options.format != ModelFormat::Wth && options.task != 1)
        return UsageError{"--format is only for task 1"};
    if (modelFormatWritesManyFiles(options.format) && !options.output && !options.outDir)
        return UsageError{"--format " + std::string(modelFormatName(options.format))
                          + " writes several files: give -o NAME or --out-dir"};
    if (site) {
        auto line = parseSite(*site);
        if (auto* error = std::get_if<UsageError>(&line))
            return *error;
        options.siteLine = std::get<std::string>(line);
    } else if (siteNeeded(options) && !options.columnsAuto) {
        // With --columns auto the header of a file in a format that gives
        // the site may give it; the run looks before it begins.
        return UsageError{std::string(kSiteRequired)};
    }
    return options;
}

std::optional<std::vector<std::string>> splitOptionWords(std::string_view text)
{
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    char quote = 0;
    for (const char c : text) {
        if (quote) {
            if (c == quote)
                quote = 0;
            else
                word += c;
        } else if (c == '"' || c == '\'') {
            quote = c;
            inWord = true;
        } else if (c == ' ' || c == '\t' || c == '\n') {
            if (inWord)
                words.push_back(std::exchange(word, {}));
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (quote)
        return std::nullopt;
    if (inWord)
        words.push_back(word);
    return words;
}

std::variant<BatchOptions, UsageError> referenceOptions(const BatchOptions& options)
{
    const auto words = splitOptionWords(options.fillLayout.value_or("--columns auto"));
    if (!words)
        return UsageError{"--fill-layout: a quote is not closed"};
    std::vector<std::string_view> args;
    for (const auto& word : *words) {
        if (word == "--task" || word == "-o" || word == "--" || word.starts_with("--fill")
            || word == "--out-dir" || word == "--update")
            return UsageError{"--fill-layout: " + word + " is not part of a layout"};
        args.emplace_back(word);
    }
    args.insert(args.end(), {"--task", "3", "--", *options.fillFrom});
    auto parsed = parseBatchOptions(args);
    if (auto* error = std::get_if<UsageError>(&parsed))
        return UsageError{"--fill-layout: " + error->message, error->windowMessage};
    return parsed;
}

} // namespace pluvora
